// The file side of the platform layer: bounded reads of regular files, whole-file replacement,
// file stamps and the system's error texts. Paths are UTF-8; contents are raw bytes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vmg::platform {

// std::filesystem and our UTF-8 paths. On Windows a path made from a plain string is read in
// the C runtime's code page, so a name that is not ASCII would name another file; these convert
// as UTF-8 (bytes that are not UTF-8 become U+FFFD, as in every other call) and never throw.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The system's own text for an error code: strerror(errno) on POSIX, FormatMessage(GetLastError())
// on Windows, without a trailing line end or full stop added by us.
std::string SystemErrorText(int code);
// The system's text for a write the user may not make (EACCES, ERROR_ACCESS_DENIED).
std::string AccessDeniedText();

// What identifies one version of one file: a paste checks that the page is still the file it read.
struct FileStamp {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0; // file index on Windows
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0; // modification time in nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};

enum class ReadStatus { Ok, CannotOpen, NotRegularFile, TooLarge };

struct FileRead {
    ReadStatus Status = ReadStatus::CannotOpen;
    std::string Bytes;    // the whole file when Ok
    std::string Reason;   // when not Ok: the system's text, or "is not a regular file" /
                          // "is larger than the limit of N bytes" (caller words the message)
    FileStamp Stamp;      // of the file that was read, when Ok
    bool Missing = false; // CannotOpen because the system says no such file exists (nothing else,
                          // such as a sharing violation or a denied folder, counts as missing)
    bool ok() const { return Status == ReadStatus::Ok; }
};

// Reads a regular file (or a symbolic link to one) whole. Anything else (directory, FIFO,
// device, socket) is refused before any byte is read: POSIX opens with O_NONBLOCK and checks
// with fstat on the same descriptor. Reads at most limit + 1 bytes, so a file that grows or lies
// about its size still cannot exceed the limit.
FileRead ReadRegularFile(const std::string& path, std::uint64_t limit);

// The same checks as ReadRegularFile without reading: Ok (with the stamp, Bytes empty) when the
// path is a regular file that can be opened for reading and is not above the limit.
FileRead CheckRegularFile(const std::string& path, std::uint64_t limit);

// Stamp of the file at path now (following links), or nothing when it cannot be examined.
std::optional<FileStamp> StampOf(const std::string& path);

enum class ReplaceStatus { Ok, Failed, Abandoned };

struct ReplaceResult {
    ReplaceStatus Status = ReplaceStatus::Failed;
    std::string Reason; // the system's text when Failed, naming what failed
    int Code = 0;       // the system's error code when Failed by one (0 otherwise)
    bool ok() const { return Status == ReplaceStatus::Ok; }
};

// Replaces the file at path whole with bytes, or leaves it as it was: a temporary file in the
// target's own folder, written, flushed to disk, then renamed over the target (and the folder
// flushed on POSIX). A symbolic link is written through to its target. An existing target the user
// may not write is refused with the system's reason; the new file keeps the old one's mode (and
// owner when running as root). A missing target is created with the usual mode (0666 less the
// umask, read without changing it). When beforeRename is given it runs just before the rename;
// returning false abandons the replace (temporary removed, target untouched, status Abandoned).
ReplaceResult ReplaceFile(const std::string& path, std::string_view bytes,
                          const std::function<bool()>& beforeRename = {});

// Whether another program holds path open in a way that keeps us from replacing it (a
// sharing violation on Windows); the reason for a Failed replace then says "in use".
bool IsInUseError(int code);

// An exclusive lock on the edits of one file, released when its EditLock goes (and by the
// system when the process ends, so a crash never leaves a file locked). It is taken on a lock
// file beside the target, ".<name>.vmg-lock", because the target itself is replaced by a rename
// and a lock on it would stay with the old file: POSIX locks it with flock and removes it on
// release; Windows locks it with LockFileEx and keeps it, hidden.
enum class LockStatus { Held, Busy, Failed };
class EditLock;

// Takes the edit lock of the file at path (links followed), waiting up to waitMs milliseconds
// for another holder. Busy when another process still holds it; Failed with the system's reason
// when the lock file cannot be made (a folder that is missing or not writable).
LockStatus LockForEdit(const std::string& path, int waitMs, EditLock& lock, std::string& reason);

class EditLock {
public:
    EditLock() = default;
    EditLock(EditLock&& other) noexcept;
    EditLock& operator=(EditLock&& other) noexcept;
    EditLock(const EditLock&) = delete;
    EditLock& operator=(const EditLock&) = delete;
    ~EditLock() { Release(); }
    bool Held() const { return m_handle != kNone; }
    void Release();

private:
    friend LockStatus LockForEdit(const std::string&, int, EditLock&, std::string&);
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone; // a descriptor on POSIX, a HANDLE on Windows
    std::string m_lockPath;
};

// Temporary files of ReplaceFile that a killed process may leave behind are named
// ".<target's name>.vmg-XXXXXX" (six letters or digits) in the target's folder; the next
// replace in that folder removes the user's own ones that are older than this.
inline constexpr std::int64_t kStaleTemporarySeconds = 24 * 60 * 60;
// True when a file name has the temporary files' pattern.
bool IsTemporaryName(std::string_view name);

// Standard output takes bytes as they are: Windows' C runtime would otherwise turn every LF
// into CR LF, so CR LF text would come out as CR CR LF. Nothing to do on POSIX.
void UseBinaryStandardOutput();

} // namespace vmg::platform
