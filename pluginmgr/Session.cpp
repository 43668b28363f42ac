// The session file and the atomic file edits shared by the qvPluginMgr library and vmacgen.
#include "Session.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vmg::pluginmgr {

namespace {

namespace fs = std::filesystem;

// A session is a handful of short lines; anything bigger is not one.
constexpr std::uintmax_t kMaxSessionBytes = 64 * 1024;

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

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
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

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

fs::path SessionFilePath() {
    for (const char* variable : {"XDG_RUNTIME_DIR", "HOME"}) {
        const char* dir = std::getenv(variable);
        if (dir != nullptr && *dir != '\0') {
            return fs::path(dir) / kSessionFileName;
        }
    }
    return {};
}

std::optional<Session> ParseSession(std::string_view text) {
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
            named = fs::path(session.Page).is_absolute();
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

bool WriteSession(const Session& session, std::string& why) {
    const fs::path path = SessionFilePath();
    if (path.empty()) {
        why = "neither XDG_RUNTIME_DIR nor HOME is set, so there is no place for the session";
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
        why = "neither XDG_RUNTIME_DIR nor HOME is set, so there is no session";
        return false;
    }
    std::error_code error;
    fs::remove(path, error);
    if (error) {
        why = path.string() + ": " + error.message();
        return false;
    }
    return true;
}

bool IsReadableFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

std::optional<std::string> ReadWholeFile(const fs::path& path, std::uintmax_t maxBytes) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > maxBytes) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    // The file may have changed since its size was taken: keep what was there.
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
}

bool ReplaceFileAtomically(const fs::path& path, std::string_view content, std::string& why) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    if (error) {
        why = path.string() + ": " + error.message();
        return false;
    }
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + a temporary.
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    std::string pattern = (target.parent_path() / hidden).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        why = errnoText(target.parent_path().string());
        return false;
    }
    const std::string temp(name.data());
    struct stat old {};
    bool ok = writeAll(fd, content) &&
              (::stat(target.c_str(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0);
    ok = ok && ::fsync(fd) == 0;
    if (!ok) {
        why = errnoText(temp);
    }
    if (::close(fd) != 0 && ok) {
        why = errnoText(temp);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        why = errnoText(target.string());
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
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
    const auto content = ReadWholeFile(path);
    if (!content) {
        why = path.string() + ": cannot be read";
        return false;
    }
    return ReplaceFileAtomically(path, InsertAt(*content, line, column, text), why);
}

} // namespace vmg::pluginmgr
