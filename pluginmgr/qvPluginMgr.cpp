// Our own qvPluginMgr library: "the IDE" is whatever page the session file names.
#include "Files.h"
#include "Session.h"
#include "cPluginInterface.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

// The build defines how a function leaves the library (dllexport on Windows).
#ifndef VMG_PLUGIN_EXPORT
#define VMG_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

using vmg::ide::PageInfo;
namespace session = vmg::pluginmgr;

namespace {

// Why the last call that failed did so, for GetLastErrorText.
std::string& lastError() {
    static std::string text;
    return text;
}

// Every call reads the session afresh, so an editor that rewrites it (another page, a moved
// cursor) is seen at once, and a removed session means "not connected".
std::optional<session::Session> connectedSession() {
    auto current = session::ReadSession();
    // The session's page is UTF-8 text: on Windows a plain string would become a path in the
    // ANSI code page, naming another file when the name is not ASCII.
    if (!current || !session::IsReadableFile(vmg::platform::PathFromUtf8(current->Page))) {
        // The wizard asks why when a paste it was offered can no longer happen.
        const std::string problem = session::SessionProblem();
        lastError() = problem.empty() ? "no page is attached" : problem;
        return std::nullopt;
    }
    return current;
}

// The page's identifier is its path, as much of it as the identifier buffer holds.
std::string_view pageIdOf(const session::Session& current) {
    return std::string_view(current.Page).substr(0, vmg::ide::kPageIdSize - 1);
}

// True when the identifier in the caller's buffer (cut at size bytes) is the current page's.
bool samePage(const char* given, std::size_t size, const session::Session& current) {
    const std::string_view id = pageIdOf(current);
    const auto length = static_cast<std::size_t>(std::find(given, given + size, '\0') - given);
    if (length == size && size < id.size()) {
        return id.substr(0, size) == std::string_view(given, size); // cut by a small buffer
    }
    return std::string_view(given, length) == id;
}

} // namespace

extern "C" {

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL Connect(std::intptr_t windowHandle) {
    // A file has no window to tell about the wizard's.
    (void)windowHandle;
    return connectedSession() ? 1 : 0;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL IsConnected() {
    return connectedSession() ? 1 : 0;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL GetPage(char* pageId, std::int32_t size) {
    if (pageId == nullptr || size <= 0) {
        return 0;
    }
    const auto current = connectedSession();
    if (!current) {
        pageId[0] = '\0';
        return 0;
    }
    const std::string_view id = pageIdOf(*current);
    const std::size_t n = std::min(id.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(pageId, id.data(), n);
    pageId[n] = '\0';
    return 1;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL GetPageInfo(const char* pageId, PageInfo* info) {
    if (pageId == nullptr || info == nullptr) {
        return 0;
    }
    const auto current = connectedSession();
    if (!current || !samePage(pageId, vmg::ide::kPageIdSize, *current)) {
        return 0;
    }
    // The size is the wizard's to judge (it refuses one above its limit), as long as it fits.
    const vmg::platform::FileRead page = vmg::platform::CheckRegularFile(
        current->Page, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) - 1);
    if (!page.ok()) {
        return 0;
    }
    // The text size counts the closing NUL, so an empty page still has a size of 1.
    const std::uint64_t size = page.Stamp.Size;
    std::memset(info, 0, sizeof(*info));
    // The record holds 8-bit text, as the IDE's does; file names are UTF-8 here.
    const std::string name = session::Utf8ToCp1252(
        vmg::platform::Utf8FromPath(vmg::platform::PathFromUtf8(current->Page).filename()));
    std::memcpy(info->Name, name.data(), std::min(name.size(), sizeof(info->Name)));
    info->Core = current->Core;
    info->TextSize = static_cast<std::int32_t>(size) + 1;
    return 1;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL GetPageText(char* buffer, std::int32_t textSize) {
    if (buffer == nullptr || textSize <= 0) {
        return 0;
    }
    const auto size = static_cast<std::size_t>(textSize);
    const auto current = connectedSession();
    std::optional<std::string> text;
    if (current && samePage(buffer, size, *current)) {
        text = session::ReadWholeFile(vmg::platform::PathFromUtf8(current->Page),
                                      session::kMaxPageBytes);
    }
    if (!text) {
        buffer[0] = '\0'; // never hand back the identifier as if it were the text
        return 0;
    }
    const std::size_t n = std::min(text->size(), size);
    std::memcpy(buffer, text->data(), n);
    if (n < size) {
        buffer[n] = '\0';
    }
    return 1;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL GetPageCursorPos(std::int32_t* first,
                                                                std::int32_t* second) {
    const auto current = connectedSession();
    if (first == nullptr || second == nullptr || !current) {
        return 0;
    }
    *first = current->Line;
    *second = current->Column;
    return 1;
}

VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL SetPageTextAt(std::int32_t first,
                                                             std::int32_t second,
                                                             const char* text) {
    const auto current = connectedSession();
    if (text == nullptr || !current) {
        lastError() = "no page is open";
        return 0;
    }
    std::string why;
    if (!session::InsertIntoFile(vmg::platform::PathFromUtf8(current->Page), first, second, text,
                                 why)) {
        lastError() = why;
        return 0;
    }
    lastError().clear();
    return 1;
}

// Not one of the seven: the reason of the last failed SetPageTextAt, copied NUL-terminated into
// the buffer (cut to its size); the result is the reason's full length, 0 when there is none.
VMG_PLUGIN_EXPORT std::int32_t VMG_PLUGIN_CALL GetLastErrorText(char* buffer, std::int32_t size) {
    const std::string& text = lastError();
    if (buffer != nullptr && size > 0) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
}

} // extern "C"

// The exports must keep the signatures that the wizard imports them with.
static_assert(std::is_same_v<decltype(&Connect), vmg::ide::ConnectFn>);
static_assert(std::is_same_v<decltype(&IsConnected), vmg::ide::IsConnectedFn>);
static_assert(std::is_same_v<decltype(&GetPage), vmg::ide::GetPageFn>);
static_assert(std::is_same_v<decltype(&GetPageInfo), vmg::ide::GetPageInfoFn>);
static_assert(std::is_same_v<decltype(&GetPageText), vmg::ide::GetPageTextFn>);
static_assert(std::is_same_v<decltype(&GetPageCursorPos), vmg::ide::GetPageCursorPosFn>);
static_assert(std::is_same_v<decltype(&SetPageTextAt), vmg::ide::SetPageTextAtFn>);
static_assert(std::is_same_v<decltype(&GetLastErrorText), vmg::ide::GetLastErrorTextFn>);
