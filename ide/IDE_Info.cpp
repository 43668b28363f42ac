// The IDE_Info module: the calls into the plug-in manager library and the lists it owns.
#include "IDE_Info.h"
#include "cPluginInterface.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vmg::ide {

namespace {

struct PageLists {
    std::vector<std::string> m_lines;
    std::vector<std::string> m_labels;
    std::vector<std::string> m_variables;
};

PageLists& lists() {
    static PageLists instance;
    return instance;
}

// The library when it is there and says it is connected; every operation asks first.
const PluginFunctions* connectedLibrary() {
    const PluginFunctions* lib = PluginLibrary();
    if (lib == nullptr || lib->IsConnected() == 0) {
        return nullptr;
    }
    return lib;
}

// The page identifier with one byte more than the library is told about, always NUL, so that
// an identifier that fills its buffer is still cut at the buffer's end.
using PageId = std::array<char, kPageIdSize + 1>;

bool readPageInfo(const PluginFunctions& lib, PageId& id, PageInfo& info) {
    id.fill('\0');
    lib.GetPage(id.data(), kPageIdSize);
    id.back() = '\0';
    std::memset(&info, 0, sizeof(info));
    return lib.GetPageInfo(id.data(), &info) != 0;
}

// The problem, with the library's own reason for the last failure when it gives one.
std::string withLibraryReason(std::string problem, const PluginFunctions& lib) {
    if (lib.GetLastErrorText != nullptr) {
        std::array<char, 1024> reason{};
        lib.GetLastErrorText(reason.data(), static_cast<std::int32_t>(reason.size()));
        reason.back() = '\0';
        if (reason[0] != '\0') {
            problem += std::string(" (") + reason.data() + ")";
        }
    }
    return problem;
}

} // namespace

void Connect(std::intptr_t windowHandle) {
    if (const PluginFunctions* lib = PluginLibrary()) {
        lib->Connect(windowHandle);
    }
}

bool IsConnected() {
    return connectedLibrary() != nullptr;
}

std::string CurrentPageName() {
    const PluginFunctions* lib = connectedLibrary();
    PageId id;
    PageInfo info;
    if (lib == nullptr || !readPageInfo(*lib, id, info)) {
        return {};
    }
    const char* begin = info.Name;
    return std::string(begin, std::find(begin, begin + kPageNameSize, '\0'));
}

std::int32_t CurrentPageCore() {
    const PluginFunctions* lib = connectedLibrary();
    PageId id;
    PageInfo info;
    if (lib == nullptr || !readPageInfo(*lib, id, info)) {
        return 0;
    }
    return info.Core;
}

bool LoadPageText() {
    const PluginFunctions* lib = connectedLibrary();
    if (lib == nullptr) {
        return false;
    }
    auto& lines = lists().m_lines;
    lines = {};
    PageId id;
    PageInfo info;
    if (!readPageInfo(*lib, id, info)) {
        return false;
    }
    // The size comes from outside: a buffer is made only for a believable one.
    const auto size = PageTextBufferSize(info.TextSize);
    if (!size) {
        return false;
    }
    // The library finds the page identifier in the buffer's first bytes.
    std::vector<char> buffer(*size, '\0');
    std::copy_n(id.begin(), std::min<std::size_t>(*size, kPageIdSize), buffer.begin());
    lib->GetPageText(buffer.data(), info.TextSize);
    lines = CleanPageText(std::string_view(buffer.data(), buffer.size()));
    return true;
}

bool FindLabels() {
    auto& state = lists();
    state.m_labels = ScanLabels(state.m_lines);
    return !state.m_labels.empty();
}

bool FindVariables() {
    auto& state = lists();
    state.m_variables = ScanVariables(state.m_lines);
    return !state.m_variables.empty();
}

CursorPos GetCursor() {
    CursorPos pos;
    if (const PluginFunctions* lib = connectedLibrary()) {
        lib->GetPageCursorPos(&pos.First, &pos.Second);
    }
    return pos;
}

PasteResult PasteAt(const std::string& text, CursorPos pos) {
    const PluginFunctions* lib = connectedLibrary();
    if (lib == nullptr) {
        return {false, "the IDE is not connected"};
    }
    if (lib->SetPageTextAt(pos.First, pos.Second, text.c_str()) != 0) {
        return {true, {}};
    }
    PasteResult failed;
    if (lib->GetLastErrorText != nullptr) {
        std::array<char, 1024> reason{};
        lib->GetLastErrorText(reason.data(), static_cast<std::int32_t>(reason.size()));
        reason.back() = '\0';
        failed.Reason = reason.data();
    }
    return failed;
}

std::string PasteProblem() {
    const PluginFunctions* lib = PluginLibrary();
    if (lib == nullptr) {
        return "the IDE is not connected";
    }
    if (lib->IsConnected() == 0) {
        return withLibraryReason("the IDE is not connected", *lib);
    }
    PageId id;
    PageInfo info;
    if (!readPageInfo(*lib, id, info)) {
        return withLibraryReason("the IDE's page cannot be read", *lib);
    }
    return {};
}

const std::vector<std::string>& PageLines() {
    return lists().m_lines;
}

const std::vector<std::string>& PageLabels() {
    return lists().m_labels;
}

const std::vector<std::string>& PageVariables() {
    return lists().m_variables;
}

void ResetForTests() {
    lists() = PageLists{};
}

} // namespace vmg::ide
