// The Windows side of the platform layer's library loading: LoadLibrary and GetProcAddress.
#include "Library.h"
#include "WideWin32.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

namespace vmg::platform {

using win32::Utf8;
using win32::Wide;

LibraryHandle OpenLibrary(const std::string& path) {
    // A path with a folder in it: the library's own dependencies are looked for beside it first.
    // A bare name is searched for the usual way. The path is UTF-8, so the wide call is the one
    // that loads from a folder whose name is not ASCII.
    const bool inFolder = path.find_first_of("\\/") != std::string::npos;
    // No "cannot find the disk" boxes while probing: a missing library is an ordinary answer.
    DWORD oldMode = 0;
    const bool quiet =
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE library =
        LoadLibraryExW(Wide(path).c_str(), nullptr, inFolder ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (quiet) {
        SetThreadErrorMode(oldMode, nullptr);
    }
    return reinterpret_cast<LibraryHandle>(library);
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
    // A function's address comes back as FARPROC; callers cast it to its real type.
    void* out = nullptr;
    static_assert(sizeof(out) == sizeof(address));
    std::memcpy(&out, &address, sizeof(out));
    return out;
}

void CloseLibrary(LibraryHandle library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

std::string ProgramFolder() {
    // The buffer grows until the whole path fits: a path may be longer than MAX_PATH.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            break;
        }
        if (buffer.size() > 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::string path = Utf8(std::wstring_view(buffer.data(), length));
    const auto cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        return {};
    }
    return path.substr(0, cut);
}

std::string LibraryFileName(const std::string& base) {
    return base + ".dll";
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    // Backslashes: a path loaded with an altered search path must not use forward slashes.
    return folder + "\\" + name;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    }
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i) {
        out.push_back(Utf8(wide[i]));
    }
    LocalFree(wide);
    return out;
}

std::string EnvironmentValue(const char* name) {
    const std::wstring wideName = Wide(name);
    std::vector<wchar_t> buffer(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return Utf8(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(length); // the size needed, closing NUL included; it may grow meanwhile
    }
    return {};
}

} // namespace vmg::platform
