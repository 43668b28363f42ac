// Conversion between the core's code-page-1252 bytes and Qt's text, at the wizard's edge.
#pragma once

#include "Cp1252.h"
#include "MacroCodeGenerator.h"

#include <QString>

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
