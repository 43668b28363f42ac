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

} // namespace vmg::platform
