// Fuzzes the code box as a user may leave it: any text, coloured with the IDE's settings (some
// taken from the input), written as the code file's RTF, which must be ASCII and read back to
// the same text.
#include "CodeColouring.h"
#include "Cp1252.h"
#include "HighlighterSettings.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QString>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    richtext::HighlighterSettings settings;
    const char styles[][3] = {" ", "B", "I", "BI"};
    settings.CommentStyle = QString::fromLatin1(styles[data[0] & 3]);
    settings.DeclareStyle = QString::fromLatin1(styles[(data[0] >> 2) & 3]);
    settings.KeywordVorlanStyle = QString::fromLatin1(styles[(data[0] >> 4) & 3]);
    settings.StringStyle = QString::fromLatin1(styles[(data[0] >> 6) & 3]);
    settings.CommentColor = data[1] * 0x010203u;
    // What a user can type into the box: control characters other than tab and line ends, and
    // the five bytes code page 1252 leaves undefined, are not kept by the code file, so they
    // stand as spaces here.
    std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    for (char& c : text) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') ||
            c == '\x7f' ||
            std::string_view("\x81\x8D\x8F\x90\x9D").find(c) != std::string_view::npos) {
            c = ' ';
        }
    }
    QTextDocument doc;
    doc.setPlainText(richtext::DecodeCp1252(text)); // the wizard's own reading of 8-bit text
    richtext::ColourCode(doc, settings);
    const std::string rtf = richtext::DocumentToRtf(doc);
    for (const char c : rtf) {
        if (c != '\r' && c != '\n' && (c < 0x20 || c > 0x7E)) {
            std::abort();
        }
    }
    QTextDocument back;
    richtext::ReadRtf(rtf, back);
    // Characters code page 1252 has no byte for are written as "?", as the 8-bit file holds them.
    if (richtext::EncodeCp1252(richtext::PlainTextCrLf(back)) !=
        richtext::EncodeCp1252(richtext::PlainTextCrLf(doc))) {
        std::abort();
    }
    return 0;
}
