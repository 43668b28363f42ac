// Conversion between the core's code-page-1252 bytes and Qt's text, at the wizard's edge.
#pragma once

#include "Cp1252.h"

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

} // namespace vmg::wizard
