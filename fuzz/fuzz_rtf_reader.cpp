// Fuzzes the RTF reader, and the writer on what it read: what the writer makes of a document must
// read back to a document that the writer writes the same way.
#include "CodeColouring.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vmg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    QTextDocument first;
    richtext::ReadRtf(input, first);
    const std::string written = richtext::DocumentToRtf(first);
    for (const char c : written) {
        if (c != '\r' && c != '\n' && (c < 0x20 || c > 0x7E)) {
            std::abort(); // the file must be plain ASCII
        }
    }
    QTextDocument second;
    second.setDefaultFont(first.defaultFont());
    richtext::ReadRtf(written, second);
    if (richtext::PlainTextCrLf(second) != richtext::PlainTextCrLf(first) ||
        richtext::DocumentToRtf(second) != written) {
        std::abort();
    }
    return 0;
}
