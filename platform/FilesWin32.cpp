// The Windows side of the platform layer's file calls: UTF-8 paths inside, wide calls at the edge.
#include "Files.h"
#include "WideWin32.h"

#include <algorithm>
#include <atomic>
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

std::string tooLarge(std::uint64_t limit) {
    return "is larger than the limit of " + std::to_string(limit) + " bytes";
}

} // namespace

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

FileRead ReadRegularFile(const std::string& path, std::uint64_t limit) {
    FileRead result;
    Handle file(openExisting(Wide(path), GENERIC_READ));
    if (!file.Valid()) {
        result.Reason = lastErrorText();
        return result;
    }
    // A console, a printer port or a pipe is refused before anything is read from it.
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        result.Status = ReadStatus::NotRegularFile;
        result.Reason = "is not a regular file";
        return result;
    }
    if (!GetFileInformationByHandle(file.Get(), &info)) {
        result.Reason = lastErrorText();
        return result;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.Status = ReadStatus::NotRegularFile;
        result.Reason = "is not a regular file";
        return result;
    }
    const FileStamp stamp = stampOf(info);
    if (stamp.Size > limit) {
        result.Status = ReadStatus::TooLarge;
        result.Reason = tooLarge(limit);
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(stamp.Size));
    if (!readUpTo(file.Get(), limit, bytes)) {
        result.Reason = lastErrorText();
        return result;
    }
    if (bytes.size() > limit) { // it grew while being read
        result.Status = ReadStatus::TooLarge;
        result.Reason = tooLarge(limit);
        return result;
    }
    result.Status = ReadStatus::Ok;
    result.Bytes = std::move(bytes);
    result.Stamp = stamp;
    result.Stamp.Size = result.Bytes.size();
    return result;
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
};

// Nothing (and the system's reason) when the target cannot be replaced: a file the user may not
// write, a folder, a path whose folder is missing.
std::optional<Target> examineTarget(const std::string& path, std::string& why) {
    Target target{Wide(path), false};
    // Opening for writing, without changing anything, asks the system whether the user may.
    Handle old(CreateFileW(target.Path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!old.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return target;
        }
        why = failedOn(path, error);
        return std::nullopt;
    }
    // The read-only attribute binds every user on Windows, even where the file system would
    // let the write through (Wine running as root).
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(old.Get(), &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        why = failedOn(path, ERROR_ACCESS_DENIED);
        return std::nullopt;
    }
    target.Exists = true;
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

// Creates ".NAME.xxxxxx" beside the target, opened for writing.
HANDLE createTemporary(const std::wstring& target, std::wstring& name) {
    const auto cut = target.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"" : target.substr(0, cut + 1);
    const std::wstring file = cut == std::wstring::npos ? target : target.substr(cut + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + L"." + file + L"." + uniqueSuffix();
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
bool renameOver(const Target& target, const std::wstring& temporary, DWORD& error) {
    if (target.Exists &&
        ReplaceFileW(target.Path.c_str(), temporary.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        return true;
    }
    if (MoveFileExW(temporary.c_str(), target.Path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    error = GetLastError();
    return false;
}

} // namespace

ReplaceResult ReplaceFile(const std::string& path, std::string_view bytes,
                          const std::function<bool()>& beforeRename) {
    ReplaceResult result;
    const auto target = examineTarget(path, result.Reason);
    if (!target) {
        return result;
    }
    std::wstring temporary;
    Handle file(createTemporary(target->Path, temporary));
    if (!file.Valid()) {
        result.Reason = failedOn(path, GetLastError());
        return result;
    }
    const bool written = writeAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    const DWORD writeError = GetLastError();
    if (!file.Close() || !written) {
        result.Reason = failedOn(Utf8(temporary), written ? GetLastError() : writeError);
        DeleteFileW(temporary.c_str());
        return result;
    }
    if (beforeRename && !beforeRename()) {
        DeleteFileW(temporary.c_str());
        result.Status = ReplaceStatus::Abandoned;
        return result;
    }
    DWORD error = 0;
    if (renameOver(*target, temporary, error)) {
        result.Status = ReplaceStatus::Ok;
        return result;
    }
    result.Reason = failedOn(path, error);
    // Only when the old file is gone is the temporary the one copy of the text: then it stays.
    if (GetFileAttributesW(target->Path.c_str()) != INVALID_FILE_ATTRIBUTES || !target->Exists) {
        DeleteFileW(temporary.c_str());
    } else {
        result.Reason += "; the new text is kept in " + Utf8(temporary);
    }
    return result;
}

} // namespace vmg::platform
