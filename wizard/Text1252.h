// Conversion between the core's code-page-1252 bytes and Qt's text, at the wizard's edge.
#pragma once

#include "Cp1252.h"
#include "MacroCodeGenerator.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <string>

namespace vmg::wizard {

// One codec on every platform: Qt's named converters depend on ICU, which not every Qt build
// has, and this one keeps the five unassigned bytes through a round trip.
inline QString FromCp1252(const std::string& bytes) {
    return richtext::DecodeCp1252(bytes);
}

// A character that the code page lacks becomes '?', which no name rule accepts.
inline std::string ToCp1252(const QString& text) {
    return richtext::EncodeCp1252(text);
}

// The characters of a text that code page 1252 cannot hold, each once, as a reader can tell
// them apart: separated by spaces, a character that shows nothing by its code (U+200B).
// Empty when the code page holds the whole text.
inline QString CharsOutsideCp1252(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    const std::u32string outside =
        richtext::CharsOutsideCp1252(std::u32string(ucs4.begin(), ucs4.end()));
    QStringList shown;
    for (const char32_t ch : outside) {
        const bool visible = QChar::isPrint(ch) && !QChar::isSpace(ch) &&
                             QChar::category(ch) != QChar::Mark_NonSpacing;
        shown << (visible ? QString::fromUcs4(&ch, 1)
                          : QStringLiteral("U+%1")
                                .arg(static_cast<uint>(ch), 4, 16, QChar(u'0'))
                                .toUpper());
    }
    return shown.join(u' ');
}

// Paths handed to the core, and the core's messages (which name paths and carry the system's
// reasons), are UTF-8 on every system; Qt's local 8-bit encoding is the ANSI code page on
// Windows, which cannot hold every name.
inline std::string CorePath(const QString& path) {
    return path.toUtf8().toStdString();
}
inline QString FromCoreText(const std::string& text) {
    return QString::fromStdString(text);
}

// Generated lines as an edit box holds them: one line per paragraph, no line end after the
// last one (the boxes break lines with LF; files and the paste get CR LF again).
inline QString LinesForEditor(const codegen::Lines& lines) {
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += u'\n';
        }
        text += FromCp1252(lines[i]);
    }
    return text;
}

} // namespace vmg::wizard
