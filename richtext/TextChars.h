// Which characters the RTF reader and writer keep as text, so that what one writes the other
// reads back unchanged.
#pragma once

namespace vmg::richtext::detail {

// Control characters (C0 but the tab, DEL, C1) and Qt's markers for embedded objects (U+FFFC)
// and frames are no text of a code file; line and paragraph breaks are structure, handled by
// the callers.
inline bool IsDroppedChar(char16_t ch) {
    return (ch < 0x20 && ch != u'\t') || (ch >= 0x7F && ch < 0xA0) || ch == 0xFFFC ||
           ch == 0xFDD0 || ch == 0xFDD1;
}

} // namespace vmg::richtext::detail
