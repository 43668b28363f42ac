// The Windows side of the platform layer's file calls: UTF-8 paths inside, wide calls at the edge.
#include "Files.h"
#include "WideWin32.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>
#include <vector>

namespace vmg::platform {

using win32::Utf8;
using win32::Wide;

namespace {

// Closes its handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    bool Close() {
        const bool ok = !Valid() || CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

// Others may go on reading, writing and renaming the file while we look at it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string lastErrorText() {
    return SystemErrorText(static_cast<int>(GetLastError()));
}

std::string failedOn(const std::string& what, DWORD error) {
    return what + ": " + SystemErrorText(static_cast<int>(error));
}

ReplaceResult failed(const std::string& what, DWORD error) {
    return {ReplaceStatus::Failed, failedOn(what, error), static_cast<int>(error)};
}

// Backup semantics let a folder be opened too, so that it is told apart rather than refused
// with "access denied".
HANDLE openExisting(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::uint64_t joined(DWORD high, DWORD low) {
    return (std::uint64_t{high} << 32) | low;
}

FileStamp stampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    // FILETIME counts 100 ns from 1601; the stamp counts nanoseconds from 1970.
    constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
    FileStamp stamp;
    stamp.Device = info.dwVolumeSerialNumber;
    stamp.Inode = joined(info.nFileIndexHigh, info.nFileIndexLow);
    stamp.Size = joined(info.nFileSizeHigh, info.nFileSizeLow);
    const auto ticks = static_cast<std::int64_t>(
        joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    stamp.ModifiedNs = (ticks - kTicksFrom1601To1970) * 100;
    return stamp;
}

// Reads until the end of the file or until more than limit bytes are in; false on a read error.
bool readUpTo(HANDLE file, std::uint64_t limit, std::string& out) {
    constexpr DWORD kChunk = 64 * 1024;
    std::vector<char> chunk(kChunk);
    while (out.size() <= limit) {
        const std::uint64_t room = limit - out.size() + 1; // one past the limit tells "too large"
        const DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(room, kChunk));
        DWORD got = 0;
        if (!ReadFile(file, chunk.data(), wanted, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        out.append(chunk.data(), got);
    }
    return true;
}

constexpr const char* kNotRegular = "is not a regular file";
constexpr std::wstring_view kTemporaryMark = L".vmg-";
constexpr std::size_t kTemporaryRandom = 6;

std::string tooLarge(std::uint64_t limit) {
    return "is larger than the limit of " + std::to_string(limit) + " bytes";
}

} // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(win32::Wide(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return win32::Utf8(path.native());
}

std::string AccessDeniedText() {
    return SystemErrorText(ERROR_ACCESS_DENIED);
}

std::string SystemErrorText(int code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    // The system's messages end in a line end, which a message box or a log line does not want.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(static_cast<unsigned long>(code));
    }
    return Utf8(text);
}

namespace {

// Opens path for reading and checks, on that handle, that it is a regular file within the
// limit; Ok with the stamp (Bytes still empty) when it is.
FileRead openChecked(const std::string& path, std::uint64_t limit, Handle& file) {
    FileRead result;
    file.Reset(openExisting(Wide(path), GENERIC_READ));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        result.Missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        result.Reason = SystemErrorText(static_cast<int>(error));
        return result;
    }
    // A console, a printer port or a pipe is refused before anything is read from it.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return {ReadStatus::NotRegularFile, {}, kNotRegular, {}};
    }
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        result.Reason = lastErrorText();
        return result;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {ReadStatus::NotRegularFile, {}, kNotRegular, {}};
    }
    const FileStamp stamp = stampOf(info);
    if (stamp.Size > limit) {
        return {ReadStatus::TooLarge, {}, tooLarge(limit), {}};
    }
    return {ReadStatus::Ok, {}, {}, stamp};
}

} // namespace

FileRead ReadRegularFile(const std::string& path, std::uint64_t limit) {
    Handle file(INVALID_HANDLE_VALUE);
    FileRead result = openChecked(path, limit, file);
    if (!result.ok()) {
        return result;
    }
    result.Bytes.reserve(static_cast<std::size_t>(result.Stamp.Size));
    if (!readUpTo(file.Get(), limit, result.Bytes)) {
        return {ReadStatus::CannotOpen, {}, lastErrorText(), {}};
    }
    if (result.Bytes.size() > limit) { // it grew while being read
        return {ReadStatus::TooLarge, {}, tooLarge(limit), {}};
    }
    result.Stamp.Size = result.Bytes.size();
    return result;
}

FileRead CheckRegularFile(const std::string& path, std::uint64_t limit) {
    Handle file(INVALID_HANDLE_VALUE);
    return openChecked(path, limit, file);
}

std::optional<FileStamp> StampOf(const std::string& path) {
    Handle file(openExisting(Wide(path), FILE_READ_ATTRIBUTES));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) {
        return std::nullopt;
    }
    return stampOf(info);
}

namespace {

// Where the new text goes: the target's final path (through a link, to the linked file), and
// whether there is an old file to replace.
struct Target {
    std::wstring Path;
    bool Exists = false;
    DWORD Attributes = 0; // the old file's hidden and system marks, which the new one keeps
};

// Nothing (and the system's reason) when the target cannot be replaced: a file the user may not
// write, a folder, a path whose folder is missing.
std::optional<Target> examineTarget(const std::string& path, DWORD& why) {
    Target target{Wide(path), false};
    // Opening for writing, without changing anything, asks the system whether the user may.
    Handle old(CreateFileW(target.Path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!old.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return target;
        }
        why = error;
        return std::nullopt;
    }
    // The read-only attribute binds every user on Windows, even where the file system would
    // let the write through (Wine running as root).
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(old.Get(), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        why = ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    target.Exists = true;
    target.Attributes = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        why = ERROR_DIRECTORY;
        return std::nullopt;
    }
    std::vector<wchar_t> final(MAX_PATH + 1);
    DWORD length = GetFinalPathNameByHandleW(
        old.Get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    if (length >= final.size()) {
        final.resize(length + 1);
        length = GetFinalPathNameByHandleW(old.Get(), final.data(),
                                           static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    }
    if (length > 0 && length < final.size()) {
        target.Path.assign(final.data(), length);
    }
    return target;
}

// A name no other writer picks: the process, a counter and the clock, mixed.
std::wstring uniqueSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    std::uint64_t x = (std::uint64_t{GetCurrentProcessId()} << 32) ^
                      static_cast<std::uint64_t>(now.QuadPart) ^
                      (++counter * 0x9E3779B97F4A7C15ull);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring out;
    for (int i = 0; i < 6; ++i) {
        out += kLetters[x % 36];
        x /= 36;
    }
    return out;
}

// The folder of a path with its closing separator ("" for a bare name), and the name.
std::pair<std::wstring, std::wstring> split(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) {
        return {L"", path};
    }
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// Removes temporaries that a killed writer left in the folder long ago; a temporary of a
// replace that is running now is younger than that. The folder's security decides whose.
void removeStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L".*" + std::wstring(kTemporaryMark) + L"*";
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const std::uint64_t now = joined(nowTime.dwHighDateTime, nowTime.dwLowDateTime);
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    do {
        const std::uint64_t written =
            joined(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTemporaryName(Utf8(found.cFileName)) && now > written &&
            (now - written) / kTicksPerSecond > std::uint64_t{kStaleTemporarySeconds}) {
            DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Creates ".NAME.vmg-xxxxxx" beside the target, opened for writing.
HANDLE createTemporary(const std::wstring& target, std::wstring& name) {
    const auto [folder, file] = split(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + L"." + file + std::wstring(kTemporaryMark) + uniqueSuffix();
        HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), wanted, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// ReplaceFileW keeps the old file's attributes, security and creation time; where it cannot
// work (some network and FAT file systems, or a target that vanished meanwhile) a replacing
// move does the same job less carefully.
// A file another program holds open without delete sharing cannot be replaced either way: its
// reason is ReplaceFileW's own, not the fallback's "access denied".
bool renameOver(const Target& target, const std::wstring& temporary, DWORD& error) {
    DWORD replaceError = 0;
    if (target.Exists) {
        if (ReplaceFileW(target.Path.c_str(), temporary.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                         nullptr)) {
            return true;
        }
        replaceError = GetLastError();
        if (IsInUseError(static_cast<int>(replaceError))) {
            error = replaceError;
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), target.Path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && IsInUseError(static_cast<int>(replaceError))) {
        error = replaceError;
    }
    return false;
}

} // namespace

bool IsTemporaryName(std::string_view name) {
    const std::size_t tail = kTemporaryMark.size() + kTemporaryRandom;
    if (name.size() < 2 + tail || name.front() != '.') {
        return false;
    }
    const std::string_view mark = name.substr(name.size() - tail, kTemporaryMark.size());
    if (!std::equal(mark.begin(), mark.end(), kTemporaryMark.begin())) {
        return false;
    }
    for (const char c : name.substr(name.size() - kTemporaryRandom)) {
        const bool alnum =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) {
            return false;
        }
    }
    return true;
}

ReplaceResult ReplaceFile(const std::string& path, std::string_view bytes,
                          const std::function<bool()>& beforeRename) {
    DWORD error = 0;
    const auto target = examineTarget(path, error);
    if (!target) {
        return failed(path, error);
    }
    removeStaleTemporaries(split(target->Path).first);
    std::wstring temporary;
    Handle file(createTemporary(target->Path, temporary));
    if (!file.Valid()) {
        return failed(path, GetLastError());
    }
    const bool written = writeAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    const DWORD writeError = GetLastError();
    if (!file.Close() || !written) {
        const DWORD why = written ? GetLastError() : writeError;
        DeleteFileW(temporary.c_str());
        return failed(path, why);
    }
    // A hidden target stays hidden (ReplaceFileW would merge the marks, the fallback would not).
    if (target->Attributes != 0) {
        SetFileAttributesW(temporary.c_str(), target->Attributes);
    }
    if (beforeRename && !beforeRename()) {
        DeleteFileW(temporary.c_str());
        return {ReplaceStatus::Abandoned, {}, 0};
    }
    if (renameOver(*target, temporary, error)) {
        return {ReplaceStatus::Ok, {}, 0};
    }
    ReplaceResult result = failed(path, error);
    // Only when the old file is gone is the temporary the one copy of the text: then it stays.
    if (GetFileAttributesW(target->Path.c_str()) != INVALID_FILE_ATTRIBUTES || !target->Exists) {
        DeleteFileW(temporary.c_str());
    } else {
        result.Reason += "; the new text is kept in " + Utf8(temporary);
    }
    return result;
}

bool IsInUseError(int code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_USER_MAPPED_FILE;
}

// The lock file stays (hidden): removing it while another process waits on it would let a
// third lock a new file of the same name at the same time.
void EditLock::Release() {
    if (m_handle == kNone) {
        return;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    OVERLAPPED at{};
    UnlockFileEx(handle, 0, 1, 0, &at);
    CloseHandle(handle);
    m_handle = kNone;
}

LockStatus LockForEdit(const std::string& path, int waitMs, EditLock& lock, std::string& reason) {
    lock.Release();
    // Through a link, to the linked file, as the replace goes.
    std::wstring target = Wide(path);
    DWORD ignored = 0;
    if (const auto examined = examineTarget(path, ignored)) {
        target = examined->Path;
    }
    const auto [folder, name] = split(target);
    const std::wstring lockPath = folder + L"." + name + L".vmg-lock";
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs);
    for (;;) {
        HANDLE handle = CreateFileW(
            lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (!IsInUseError(static_cast<int>(error)) || GetTickCount64() >= deadline) {
                reason = SystemErrorText(static_cast<int>(error));
                return LockStatus::Failed;
            }
        } else {
            OVERLAPPED at{};
            if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                           &at)) {
                lock.m_handle = reinterpret_cast<std::intptr_t>(handle);
                lock.m_lockPath = Utf8(lockPath);
                return LockStatus::Held;
            }
            CloseHandle(handle);
            if (GetTickCount64() >= deadline) {
                return LockStatus::Busy;
            }
        }
        Sleep(5);
    }
}

void UseBinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace vmg::platform
