// Imports the plug-in manager library's seven functions by name at run time.
#include "cPluginInterface.h"

#include "Files.h"
#include "Library.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

namespace vmg::ide {

namespace {

// The private library folder relative to the program's folder, set by the build for installed
// layouts; empty where the library is installed beside the program.
#ifdef VMG_PRIVATE_LIBRARY_FOLDER
constexpr const char* kPrivateLibraryFolder = VMG_PRIVATE_LIBRARY_FOLDER;
#else
constexpr const char* kPrivateLibraryFolder = "";
#endif

using Handle = platform::LibraryHandle;
Handle openLibrary(const std::string& path) {
    return platform::OpenLibrary(path);
}
void* findFunction(Handle lib, const char* name) {
    return platform::LibrarySymbol(lib, name);
}
void closeLibrary(Handle lib) {
    platform::CloseLibrary(lib);
}

struct Loader {
    bool m_tried = false;
    Handle m_handle = nullptr;
    PluginFunctions m_functions;
    std::optional<std::string> m_overridePath;
    std::string m_ideFolder;
};

Loader& loader() {
    static Loader instance;
    return instance;
}

// Function pointers come back from the system as untyped addresses.
template <typename Fn> Fn asFunction(void* address) {
    Fn fn = nullptr;
    static_assert(sizeof(fn) == sizeof(address));
    std::memcpy(&fn, &address, sizeof(fn));
    return fn;
}

// True when all seven functions were found; a library that lacks one is not used at all.
bool resolve(Handle lib, PluginFunctions& out) {
    std::array<void*, std::size(kPluginFunctionNames)> found{};
    for (std::size_t i = 0; i < found.size(); ++i) {
        found[i] = findFunction(lib, kPluginFunctionNames[i]);
        if (found[i] == nullptr) {
            return false;
        }
    }
    out.Connect = asFunction<ConnectFn>(found[0]);
    out.IsConnected = asFunction<IsConnectedFn>(found[1]);
    out.GetPage = asFunction<GetPageFn>(found[2]);
    out.GetPageInfo = asFunction<GetPageInfoFn>(found[3]);
    out.GetPageText = asFunction<GetPageTextFn>(found[4]);
    out.GetPageCursorPos = asFunction<GetPageCursorPosFn>(found[5]);
    out.SetPageTextAt = asFunction<SetPageTextAtFn>(found[6]);
    out.GetLastErrorText =
        asFunction<GetLastErrorTextFn>(findFunction(lib, kLastErrorFunctionName));
    return true;
}

std::vector<std::string> candidates(const Loader& state) {
    if (!state.m_overridePath) {
        return PluginLibraryCandidates(ProgramFolder(), state.m_ideFolder);
    }
    std::vector<std::string> paths{*state.m_overridePath};
    if (!state.m_ideFolder.empty()) {
        paths.push_back(PluginLibraryIn(state.m_ideFolder));
    }
    return paths;
}

// name inside folder; a folder that already ends in its separator (a root) gets no second one.
std::string inFolder(const std::string& folder, const std::string& name) {
    const bool endsInSeparator = folder.back() == '/' || folder.back() == '\\';
    return endsInSeparator ? folder + name : platform::PathInFolder(folder, name);
}

// Far above any real library; only a limit for the check that the file is there.
constexpr std::uint64_t kLibraryFileLimit = std::uint64_t{1} << 30;

} // namespace

std::string PluginLibraryFileName() {
    return platform::LibraryFileName("qvPluginMgr");
}

std::vector<std::string> PluginLibraryCandidates(const std::string& programFolder,
                                                 const std::string& ideFolder) {
    const std::string name = PluginLibraryFileName();
    std::vector<std::string> candidates;
    if (!programFolder.empty()) {
        candidates.push_back(inFolder(programFolder, name));
        // An installed program keeps the library in its private folder, at a place fixed
        // relative to the program's own folder, so a copy installed under any prefix (or
        // DESTDIR) finds its own library and not another installation's.
        const std::string privateFolder = kPrivateLibraryFolder;
        if (!privateFolder.empty()) {
            candidates.push_back(
                inFolder(programFolder, platform::PathInFolder(privateFolder, name)));
        }
    }
    // The IDE lives in a folder of its own, which the user names once; our own places come
    // first, so a build or test tree keeps using the library beside it.
    if (!ideFolder.empty()) {
        candidates.push_back(PluginLibraryIn(ideFolder));
    }
    // A bare name makes the system search its usual places.
    candidates.push_back(name);
    return candidates;
}

std::string PluginLibraryIn(const std::string& folder) {
    return folder.empty() ? PluginLibraryFileName() : inFolder(folder, PluginLibraryFileName());
}

bool FolderHoldsPluginLibrary(const std::string& folder) {
    return !folder.empty() &&
           platform::CheckRegularFile(PluginLibraryIn(folder), kLibraryFileLimit).ok();
}

std::string ProgramFolder() {
    return platform::ProgramFolder();
}

const PluginFunctions* PluginLibrary() {
    Loader& state = loader();
    if (!state.m_tried) {
        state.m_tried = true;
        Handle lib = nullptr;
        for (const std::string& candidate : candidates(state)) {
            if ((lib = openLibrary(candidate)) != nullptr) {
                break;
            }
        }
        if (lib != nullptr) {
            if (resolve(lib, state.m_functions)) {
                state.m_handle = lib;
            } else {
                closeLibrary(lib);
            }
        }
    }
    return state.m_handle != nullptr ? &state.m_functions : nullptr;
}

void SetIdeFolder(const std::string& folder) {
    Loader& state = loader();
    state.m_ideFolder = folder;
    if (state.m_handle == nullptr) {
        state.m_tried = false;
    }
}

const std::string& IdeFolder() {
    return loader().m_ideFolder;
}

void SetPluginLibraryPath(const std::string& path) {
    Loader& state = loader();
    if (state.m_handle != nullptr) {
        closeLibrary(state.m_handle);
    }
    state = Loader{};
    if (!path.empty()) {
        state.m_overridePath = path;
    }
}

} // namespace vmg::ide
