// The seven functions of the IDE's plug-in manager library and the loader that imports them.
#pragma once

#include "cPluginTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// The library's calling convention: the build defines it (__stdcall on 32-bit Windows, where
// the IDE's library uses the system's convention; nothing elsewhere).
#ifndef VMG_PLUGIN_CALL
#define VMG_PLUGIN_CALL
#endif

namespace vmg::ide {

// Signatures as the library exports them (C linkage, imported by name). Handles and pointers
// are pointer-sized; every other argument and result is a 32-bit integer.
using ConnectFn = std::int32_t(VMG_PLUGIN_CALL*)(std::intptr_t windowHandle);
using IsConnectedFn = std::int32_t(VMG_PLUGIN_CALL*)();
using GetPageFn = std::int32_t(VMG_PLUGIN_CALL*)(char* pageId, std::int32_t size);
using GetPageInfoFn = std::int32_t(VMG_PLUGIN_CALL*)(const char* pageId, PageInfo* info);
using GetPageTextFn = std::int32_t(VMG_PLUGIN_CALL*)(char* buffer, std::int32_t textSize);
using GetPageCursorPosFn = std::int32_t(VMG_PLUGIN_CALL*)(std::int32_t* first,
                                                          std::int32_t* second);
using SetPageTextAtFn = std::int32_t(VMG_PLUGIN_CALL*)(std::int32_t first, std::int32_t second,
                                                       const char* text);

// Not one of the seven, and looked for only in addition: our own library's reason for its
// last failed SetPageTextAt (NUL-terminated into the buffer; result the reason's length).
using GetLastErrorTextFn = std::int32_t(VMG_PLUGIN_CALL*)(char* buffer, std::int32_t size);
inline constexpr const char* kLastErrorFunctionName = "GetLastErrorText";

// The exported names, in the order of PluginFunctions.
inline constexpr const char* kPluginFunctionNames[] = {
    "Connect",     "IsConnected",      "GetPage",      "GetPageInfo",
    "GetPageText", "GetPageCursorPos", "SetPageTextAt"};

struct PluginFunctions {
    ConnectFn Connect = nullptr;
    IsConnectedFn IsConnected = nullptr;
    GetPageFn GetPage = nullptr;
    GetPageInfoFn GetPageInfo = nullptr;
    GetPageTextFn GetPageText = nullptr;
    GetPageCursorPosFn GetPageCursorPos = nullptr;
    SetPageTextAtFn SetPageTextAt = nullptr;
    GetLastErrorTextFn GetLastErrorText = nullptr; // may be missing
};

// "qvPluginMgr.dll" on Windows, "libqvPluginMgr.so" elsewhere.
std::string PluginLibraryFileName();

// The folder of the running program ("" when it cannot be told).
std::string ProgramFolder();

// The paths the library is looked for at, in order: beside the program, then in the
// installed program's private library folder (relative to the program's folder), then in the
// folder the user named as the IDE's (when one is named), then the bare file name for the
// system's search path. Without a program folder, the last two only.
std::vector<std::string> PluginLibraryCandidates(const std::string& programFolder,
                                                 const std::string& ideFolder = {});

// The library's file in a folder ("C:\Vorlan" gives "C:\Vorlan\qvPluginMgr.dll").
std::string PluginLibraryIn(const std::string& folder);
// Whether a folder holds the library's file (a regular file the user may read).
bool FolderHoldsPluginLibrary(const std::string& folder);

// The library's functions, imported on the first call from the first of
// PluginLibraryCandidates(ProgramFolder(), IdeFolder()) that loads. Null when the library or
// any one of the seven functions is missing; the answer is remembered, so a missing library is
// looked for only once, until SetIdeFolder names another place.
const PluginFunctions* PluginLibrary();

// The folder the user named as the IDE's, where the library is also looked for ("" for
// none). When no library has been imported yet, the next import looks again, there too; a
// library already imported stays.
void SetIdeFolder(const std::string& folder);
const std::string& IdeFolder();

// Makes the next import load `path` (a file path, or a bare name for the system's search)
// instead of the program's own places and the system's, and unloads what was imported so far
// (the IDE's folder, when one is named later, is still tried after it); an empty path restores
// the usual lookup and forgets the IDE's folder. For tests that need a library other than the
// one beside the program.
void SetPluginLibraryPath(const std::string& path);

} // namespace vmg::ide
