// The dynamic-library side of the platform layer, where the running program lives, and its
// environment.
#pragma once
#include <string>
#include <vector>

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

// An environment variable's value as UTF-8 (on Windows read as UTF-16, so a folder whose name
// is not in the ANSI code page comes through); empty when it is unset.
std::string EnvironmentValue(const char* name);
// The program's arguments after its name, as UTF-8: on Windows taken from the UTF-16 command
// line, since argv holds them in the ANSI code page; elsewhere argv as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace vmg::platform
