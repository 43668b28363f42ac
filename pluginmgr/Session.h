// The session file through which an editor, a script or a test tells our plug-in manager
// library which page is open, and the file edits of the paste.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vmg::pluginmgr {

inline constexpr const char* kSessionFileName = "vorlan-ide.session";

// A session is a handful of short lines; a bigger file is not one.
inline constexpr std::uintmax_t kMaxSessionBytes = 64 * 1024;
// The largest page that is read or pasted into: its text size with the closing NUL stays within
// the 64 MiB the wizard accepts.
inline constexpr std::uintmax_t kMaxPageBytes = 64 * 1024 * 1024 - 1;

// What the session names: the open page's file, its PIC core and the 1-based cursor.
struct Session {
    std::string Page; // absolute path
    std::int32_t Core = 0;
    std::int32_t Line = 1;
    std::int32_t Column = 1;
    bool operator==(const Session&) const = default;
};

// The folders the session is looked for in: the first of these variables that is set and not
// empty names it. Windows has neither of the first two unless a user or a tool sets them, so
// there the user's local application-data folder comes last.
#ifdef _WIN32
inline constexpr const char* kSessionFolderVariables[] = {"XDG_RUNTIME_DIR", "HOME",
                                                          "LOCALAPPDATA"};
inline constexpr const char* kNoSessionFolder =
    "none of XDG_RUNTIME_DIR, HOME and LOCALAPPDATA is set";
#else
inline constexpr const char* kSessionFolderVariables[] = {"XDG_RUNTIME_DIR", "HOME"};
inline constexpr const char* kNoSessionFolder = "neither XDG_RUNTIME_DIR nor HOME is set";
#endif

// vorlan-ide.session in the first folder of kSessionFolderVariables; an empty path when none
// of them is set.
std::filesystem::path SessionFilePath();

// Reads "key=value" lines (page, core, line, column; others ignored, '#' starts a comment
// line; a UTF-8 byte-order mark first is skipped). Nothing when no absolute page is named; an
// unreadable number keeps its default.
std::optional<Session> ParseSession(std::string_view text);
std::string SessionText(const Session& session);

// The session in SessionFilePath(), when there is one that names a page.
std::optional<Session> ReadSession();
// Why the session file that exists cannot be used (too large, not a regular file, unreadable,
// no page named, a page that cannot be read), as one line; empty when it is usable or when
// there is no session file.
std::string SessionProblem();
// Writes / removes the session file; on failure `why` tells the reason. Removing a session
// that is not there succeeds.
bool WriteSession(const Session& session, std::string& why);
bool RemoveSession(std::string& why);

// The functions below take paths; one held as UTF-8 text becomes a path by
// platform::PathFromUtf8, never by a plain conversion (the ANSI code page on Windows).

// A regular file (or a link to one) that can be opened for reading.
bool IsReadableFile(const std::filesystem::path& path);
// The whole file, or nothing when it is no regular file, cannot be read or is larger than
// maxBytes (at most maxBytes + 1 bytes are ever read).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path,
                                         std::uintmax_t maxBytes = UINTMAX_MAX);
// A UTF-8 text (a file name) in code page 1252, the IDE's 8-bit text: a character the code page
// lacks becomes '?'; bytes that are not UTF-8 are taken as they stand, as 8-bit text already.
std::string Utf8ToCp1252(std::string_view utf8);

// Replaces the file (through a symbolic link, its target) by writing a temporary file beside
// it and renaming it over the old one, so a reader never sees half a file; keeps the mode and,
// as root, the owner; refuses a file the user may not write.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                           std::string& why);

// The text inserted into content before the column-th character of the line-th line (both
// from 1; smaller values count as 1). A column past the line's end appends to the line; a
// line past the last appends to the content on a line of its own. The text's line ends are
// turned into the content's own (its first line end), so a file keeps one style.
std::string InsertAt(std::string_view content, std::int32_t line, std::int32_t column,
                     std::string_view text);
// Reads the page, inserts and replaces it; when the page changed between the read and the
// rename it is read again and the insertion redone, up to three times, before failing.
bool InsertIntoFile(const std::filesystem::path& path, std::int32_t line, std::int32_t column,
                    std::string_view text, std::string& why);
// Runs between each read of the page and its rename (an editor's save, for tests).
void SetPasteHookForTests(std::function<void()> hook);

} // namespace vmg::pluginmgr
