// The session file and the atomic file edits shared by the qvPluginMgr library and vmacgen.
#include "Session.h"

#include "CodePage1252.h"
#include "Files.h"
#include "Library.h"

#include <charconv>
#include <system_error>

namespace vmg::pluginmgr {

namespace {

namespace fs = std::filesystem;

// Each paste gets its page afresh this many times when an editor saves it meanwhile.
constexpr int kPasteRetries = 3;

std::function<void()>& pasteHook() {
    static std::function<void()> hook;
    return hook;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void parseNumber(std::string_view text, std::int32_t& out) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size()) {
        out = value;
    }
}

// The length of the line end at pos (CR LF, CR or LF), 0 when there is none.
std::size_t lineEndAt(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) {
        return 0;
    }
    if (text[pos] == '\r') {
        return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    }
    return text[pos] == '\n' ? 1 : 0;
}

std::string_view firstLineEnd(std::string_view text) {
    const auto pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos) {
        return {};
    }
    return text.substr(pos, lineEndAt(text, pos));
}

std::string withLineEnds(std::string_view text, std::string_view lineEnd) {
    if (lineEnd.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t n = lineEndAt(text, i)) {
            out += lineEnd;
            i += n;
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace

fs::path SessionFilePath() {
    for (const char* variable : kSessionFolderVariables) {
        const std::string dir = platform::EnvironmentValue(variable);
        if (!dir.empty()) {
            return platform::PathFromUtf8(dir) / kSessionFileName;
        }
    }
    return {};
}

std::optional<Session> ParseSession(std::string_view text) {
    // An editor that writes UTF-8 may put a byte-order mark first.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Session session;
    bool named = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimBlanks(line.substr(0, equals));
        const std::string_view value = trimBlanks(line.substr(equals + 1));
        if (key == "page") {
            session.Page = std::string(value);
            named = platform::PathFromUtf8(session.Page).is_absolute();
        } else if (key == "core") {
            parseNumber(value, session.Core);
        } else if (key == "line") {
            parseNumber(value, session.Line);
        } else if (key == "column") {
            parseNumber(value, session.Column);
        }
    }
    if (!named) {
        return std::nullopt;
    }
    return session;
}

std::string SessionText(const Session& session) {
    return "page=" + session.Page + "\ncore=" + std::to_string(session.Core) +
           "\nline=" + std::to_string(session.Line) + "\ncolumn=" + std::to_string(session.Column) +
           "\n";
}

std::optional<Session> ReadSession() {
    const fs::path path = SessionFilePath();
    if (path.empty()) {
        return std::nullopt;
    }
    const auto text = ReadWholeFile(path, kMaxSessionBytes);
    if (!text) {
        return std::nullopt;
    }
    return ParseSession(*text);
}

std::string SessionProblem() {
    const fs::path path = SessionFilePath();
    std::error_code error;
    if (path.empty() || fs::symlink_status(path, error).type() == fs::file_type::not_found) {
        return {};
    }
    const std::string where = "The session file " + platform::Utf8FromPath(path);
    const platform::FileRead read =
        platform::ReadRegularFile(platform::Utf8FromPath(path), kMaxSessionBytes);
    if (read.Status == platform::ReadStatus::TooLarge) {
        return where + " is not used: it is larger than the limit of " +
               std::to_string(kMaxSessionBytes) + " bytes";
    }
    if (read.Status == platform::ReadStatus::NotRegularFile) {
        return where + " is not used: it is not a regular file";
    }
    if (!read.ok()) {
        return where + " is not used: it cannot be read (" + read.Reason + ")";
    }
    const auto session = ParseSession(read.Bytes);
    if (!session) {
        return where + " is not used: it has no page= line naming a page by its absolute path";
    }
    const platform::FileRead page = platform::CheckRegularFile(session->Page, kMaxPageBytes);
    if (page.Status == platform::ReadStatus::TooLarge) {
        return where + " is not used: its page " + session->Page + " is larger than the limit of " +
               std::to_string(kMaxPageBytes) + " bytes";
    }
    if (!page.ok()) {
        return where + " is not used: its page " + session->Page + " cannot be read (" +
               page.Reason + ")";
    }
    return {};
}

bool WriteSession(const Session& session, std::string& why) {
    const fs::path path = SessionFilePath();
    if (path.empty()) {
        why = std::string(kNoSessionFolder) + ", so there is no place for the session";
        return false;
    }
    // One line per key: a line break inside the path would split it.
    if (session.Page.find_first_of("\r\n") != std::string::npos) {
        why = "the page's path holds a line break";
        return false;
    }
    return ReplaceFileAtomically(path, SessionText(session), why);
}

bool RemoveSession(std::string& why) {
    const fs::path path = SessionFilePath();
    if (path.empty()) {
        why = std::string(kNoSessionFolder) + ", so there is no session";
        return false;
    }
    std::error_code error;
    fs::remove(path, error);
    if (error) {
        why = platform::Utf8FromPath(path) + ": " + error.message();
        return false;
    }
    return true;
}

bool IsReadableFile(const fs::path& path) {
    return platform::CheckRegularFile(platform::Utf8FromPath(path), UINT64_MAX).ok();
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::uintmax_t maxBytes) {
    platform::FileRead read = platform::ReadRegularFile(platform::Utf8FromPath(path), maxBytes);
    if (!read.ok()) {
        return std::nullopt;
    }
    return std::move(read.Bytes);
}

bool ReplaceFileAtomically(const fs::path& path, std::string_view content, std::string& why) {
    const platform::ReplaceResult replaced =
        platform::ReplaceFile(platform::Utf8FromPath(path), content);
    if (!replaced.ok()) {
        why = replaced.Reason;
    }
    return replaced.ok();
}

namespace {

// The length of the UTF-8 sequence at text[i] and its character; 0 when it is none.
std::size_t utf8At(std::string_view text, std::size_t i, char32_t& ch) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t n = lead >= 0xF0 && lead <= 0xF4   ? 4
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                                                         : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    ch = lead & (0xFF >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        ch = (ch << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (n == 3 && ch < 0x800) || (n == 4 && ch < 0x10000);
    return overlong || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF) ? 0 : n;
}

} // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t ch = 0;
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out += utf8[i++];
        } else if (const std::size_t n = utf8At(utf8, i, ch)) {
            out += static_cast<char>(richtext::UnicodeToCp1252(ch).value_or('?'));
            i += n;
        } else {
            out += utf8[i++];
        }
    }
    return out;
}

std::string InsertAt(std::string_view content, std::int32_t line, std::int32_t column,
                     std::string_view text) {
    std::string_view lineEnd = firstLineEnd(content);
    if (lineEnd.empty()) {
        lineEnd = firstLineEnd(text);
    }
    if (lineEnd.empty()) {
        lineEnd = "\r\n";
    }
    std::size_t pos = 0;
    bool pastLastLine = false;
    for (std::int32_t current = 1; current < line; ++current) {
        const auto end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            pastLastLine = true;
            break;
        }
        pos = end + lineEndAt(content, end);
    }
    std::string out;
    out.reserve(content.size() + text.size() + lineEnd.size());
    if (pastLastLine) {
        out.append(content);
        if (!content.empty() && content.back() != '\r' && content.back() != '\n') {
            out.append(lineEnd); // the last line has no line end of its own
        }
        out.append(withLineEnds(text, firstLineEnd(content)));
        return out;
    }
    const auto lineStop = std::min(content.find_first_of("\r\n", pos), content.size());
    const auto wanted = static_cast<std::size_t>(column > 1 ? column - 1 : 0);
    const std::size_t at = pos + std::min(wanted, lineStop - pos);
    out.append(content.substr(0, at));
    out.append(withLineEnds(text, firstLineEnd(content)));
    out.append(content.substr(at));
    return out;
}

bool InsertIntoFile(const fs::path& path, std::int32_t line, std::int32_t column,
                    std::string_view text, std::string& why) {
    // An editor may save the page between our read and our rename: the page must still be the
    // file that was read, or its new text is read and the insertion made again.
    for (int attempt = 0; attempt <= kPasteRetries; ++attempt) {
        const platform::FileRead page =
            platform::ReadRegularFile(platform::Utf8FromPath(path), kMaxPageBytes);
        if (!page.ok()) {
            why = platform::Utf8FromPath(path) + ": " + page.Reason;
            return false;
        }
        const auto unchanged = [&] {
            if (pasteHook()) {
                pasteHook()();
            }
            return platform::StampOf(platform::Utf8FromPath(path)) == page.Stamp;
        };
        const platform::ReplaceResult replaced = platform::ReplaceFile(
            platform::Utf8FromPath(path), InsertAt(page.Bytes, line, column, text), unchanged);
        if (replaced.Status != platform::ReplaceStatus::Abandoned) {
            why = replaced.Reason;
            return replaced.ok();
        }
    }
    why = platform::Utf8FromPath(path) + ": the page kept changing during the paste";
    return false;
}

void SetPasteHookForTests(std::function<void()> hook) {
    pasteHook() = std::move(hook);
}

} // namespace vmg::pluginmgr
