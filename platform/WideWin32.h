// UTF-8 inside, UTF-16 at the Windows API: the conversions of the platform layer's Windows side.
#pragma once

#include <windows.h>
// windows.h makes ReplaceFile a macro for ReplaceFileW, which would rename ours.
#undef ReplaceFile

#include <string>
#include <string_view>

namespace vmg::platform::win32 {

// Bytes that are not UTF-8 become U+FFFD, so a bad name fails to open rather than opening
// some other file.
inline std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    }
    return out;
}

inline std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    }
    return out;
}

} // namespace vmg::platform::win32
