// The dynamic-library side of the platform layer, and where the running program lives.
#pragma once
#include <string>

namespace vmg::platform {

// Dynamic libraries: dlopen/dlsym, LoadLibraryA/GetProcAddress.
using LibraryHandle = void*;
LibraryHandle OpenLibrary(const std::string& path);           // nullptr when it cannot be loaded
void* LibrarySymbol(LibraryHandle library, const char* name); // nullptr when missing
void CloseLibrary(LibraryHandle library);                     // nothing for nullptr
std::string ProgramFolder(); // folder of the running executable, without a trailing separator
// The file name the system gives a library called base: "base.dll", "libbase.so".
std::string LibraryFileName(const std::string& base);
// name inside folder, joined with the system's own separator.
std::string PathInFolder(const std::string& folder, const std::string& name);

} // namespace vmg::platform
