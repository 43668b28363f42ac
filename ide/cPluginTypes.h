// The records that the IDE's plug-in manager library fills for a plug-in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vmg::ide {

// Sizes of the buffers that the wizard hands to the library.
inline constexpr std::int32_t kPageIdSize = 256;
inline constexpr std::size_t kPageNameSize = 64;

// The page-information record, 1132 bytes. Only the name, the core and the text size are read;
// the rest belongs to the library and is kept as opaque bytes so that the record has the
// library's size and the three fields sit at the library's offsets.
struct PageInfo {
    char Name[kPageNameSize];      // NUL-terminated only when shorter than 64 characters
    unsigned char Reserved1[1044]; // offsets 64 to 1107
    std::int32_t Core;             // 14 or 16; any other value: neither core family
    unsigned char Reserved2[12];   // offsets 1112 to 1123
    std::int32_t TextSize;         // bytes to hand to GetPageText
    unsigned char Reserved3[4];    // offsets 1128 to 1131
};

static_assert(std::is_standard_layout_v<PageInfo>);
static_assert(sizeof(PageInfo) == 1132);
static_assert(offsetof(PageInfo, Name) == 0);
static_assert(offsetof(PageInfo, Core) == 1108);
static_assert(offsetof(PageInfo, TextSize) == 1124);

} // namespace vmg::ide
