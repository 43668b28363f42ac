// Dynamic libraries and the program's folder on POSIX systems.
#include "Library.h"

#include <array>
#include <cstdlib>

#include <dlfcn.h>
#include <unistd.h>

namespace vmg::platform {

LibraryHandle OpenLibrary(const std::string& path) {
    return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
    return library == nullptr ? nullptr : ::dlsym(library, name);
}

void CloseLibrary(LibraryHandle library) {
    if (library != nullptr) {
        ::dlclose(library);
    }
}

std::string ProgramFolder() {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return {};
    }
    const std::string path(buffer.data(), static_cast<std::size_t>(length));
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) {
        return {};
    }
    return path.substr(0, cut == 0 ? 1 : cut);
}

std::string LibraryFileName(const std::string& base) {
    return "lib" + base + ".so";
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace vmg::platform
