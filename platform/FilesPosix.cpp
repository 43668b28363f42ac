// Files on POSIX systems: bounded reads that refuse anything but regular files, and whole-file
// replacement through a temporary file in the target's folder.
#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <ctime>
#include <random>
#include <thread>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vmg::platform {

namespace {

constexpr const char* kNotRegular = "is not a regular file";
constexpr std::string_view kTemporaryMark = ".vmg-";
constexpr std::size_t kTemporaryRandom = 6;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int f) : fd(f) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    // Closes now, reporting the error a late write-back may give.
    int closeNow() {
        const int result = ::close(fd);
        fd = -1;
        return result;
    }
};

FileStamp stampFrom(const struct stat& st) {
    FileStamp s;
    s.Device = static_cast<std::uint64_t>(st.st_dev);
    s.Inode = static_cast<std::uint64_t>(st.st_ino);
    s.Size = static_cast<std::uint64_t>(st.st_size);
    s.ModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                   static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return s;
}

std::string tooLarge(std::uint64_t limit) {
    return "is larger than the limit of " + std::to_string(limit) + " bytes";
}

// Opens for reading without blocking on a FIFO or a device, and checks the kind and the size on
// the descriptor itself, so the check and the read are on the same file.
FileRead openChecked(const std::string& path, std::uint64_t limit, Descriptor& fd) {
    FileRead r;
    fd.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat st {};
    if (fd.fd < 0 || ::fstat(fd.fd, &st) != 0) {
        r.Missing = fd.fd < 0 && errno == ENOENT;
        r.Reason = SystemErrorText(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.Status = ReadStatus::NotRegularFile;
        r.Reason = kNotRegular;
        return r;
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        r.Status = ReadStatus::TooLarge;
        r.Reason = tooLarge(limit);
        return r;
    }
    r.Status = ReadStatus::Ok;
    r.Stamp = stampFrom(st);
    return r;
}

std::string folderOf(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : path.substr(0, cut);
}

std::string nameOf(const std::string& path) {
    const auto cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The file a path finally names: symbolic links followed, also to a target that does not exist
// yet (so that a replace creates it rather than replacing the link).
std::optional<std::string> followLinks(std::string path, int& err) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return path;
            }
            err = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            err = n < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folderOf(path) + "/" + target;
    }
    err = ELOOP;
    return std::nullopt;
}

std::string randomSuffix() {
    static constexpr std::string_view kChars =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 engine{std::random_device{}()};
    std::string out;
    for (std::size_t i = 0; i < kTemporaryRandom; ++i) {
        out += kChars[engine() % kChars.size()];
    }
    return out;
}

std::string temporaryName(const std::string& folder, const std::string& name) {
    return folder + "/." + name + std::string(kTemporaryMark) + randomSuffix();
}

// Removes the user's own temporaries that a killed writer left in the folder long ago; a
// temporary of a replace that is running now is younger than that.
void removeStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (!IsTemporaryName(entry->d_name) ||
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            now - st.st_mtim.tv_sec > kStaleTemporarySeconds) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

ReplaceResult failed(const std::string& what, int err) {
    return {ReplaceStatus::Failed, what + ": " + SystemErrorText(err), err};
}

// The new file's content in the folder: an unnamed file where the file system offers one (a
// kill leaves nothing behind), else a named temporary of the recognisable pattern.
struct Temporary {
    Descriptor fd{-1};
    std::string name; // empty while unnamed
};

bool createTemporary(const std::string& folder, const std::string& name, Temporary& t, int& err) {
#ifdef O_TMPFILE
    t.fd.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (t.fd.fd >= 0) {
        return true;
    }
    // Only a file system without unnamed files makes us fall back to a named one.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        err = errno;
        return false;
    }
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = temporaryName(folder, name);
        t.fd.fd = ::open(candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (t.fd.fd >= 0) {
            t.name = candidate;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    err = errno;
    return false;
}

// Gives an unnamed temporary its temporary name, just before the rename.
bool nameTemporary(const std::string& folder, const std::string& name, Temporary& t, int& err) {
    const std::string self = "/proc/self/fd/" + std::to_string(t.fd.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = temporaryName(folder, name);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno != EEXIST &&
             ::linkat(t.fd.fd, "", AT_FDCWD, candidate.c_str(), AT_EMPTY_PATH) == 0)) {
            t.name = candidate;
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    err = errno;
    return false;
}

void flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // some file systems cannot: the rename itself has happened
        ::close(fd);
    }
}

// The old file's mode, and its owner when we may give it one; nothing for a new file.
bool keepModeAndOwner(int fd, const struct stat* old) {
    if (old == nullptr) {
        return true;
    }
    if (::geteuid() == 0 && ::fchown(fd, old->st_uid, old->st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd, old->st_mode & 07777) == 0;
}

} // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return path.native();
}

std::string AccessDeniedText() {
    return SystemErrorText(EACCES);
}

std::string SystemErrorText(int code) {
    return std::strerror(code);
}

FileRead ReadRegularFile(const std::string& path, std::uint64_t limit) {
    Descriptor fd(-1);
    FileRead r = openChecked(path, limit, fd);
    if (!r.ok()) {
        return r;
    }
    // The size said may be wrong (a file that grows, a /proc file of size 0): read up to one byte
    // past the limit and judge by what came.
    r.Bytes.reserve(static_cast<std::size_t>(r.Stamp.Size) + 1);
    char chunk[65536];
    for (;;) {
        // Up to one byte past the limit, never more (and no overflow for the largest limit).
        const std::uint64_t left = limit - r.Bytes.size();
        const std::size_t room =
            left >= sizeof chunk ? sizeof chunk : static_cast<std::size_t>(left) + 1;
        const ssize_t got = ::read(fd.fd, chunk, room);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            return {ReadStatus::CannotOpen, {}, SystemErrorText(err), {}};
        }
        if (got == 0) {
            break;
        }
        r.Bytes.append(chunk, static_cast<std::size_t>(got));
        if (r.Bytes.size() > limit) {
            return {ReadStatus::TooLarge, {}, tooLarge(limit), {}};
        }
    }
    return r;
}

FileRead CheckRegularFile(const std::string& path, std::uint64_t limit) {
    Descriptor fd(-1);
    return openChecked(path, limit, fd);
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return stampFrom(st);
}

bool IsTemporaryName(std::string_view name) {
    const std::size_t tail = kTemporaryMark.size() + kTemporaryRandom;
    if (name.size() < 2 + tail || name.front() != '.' ||
        name.substr(name.size() - tail, kTemporaryMark.size()) != kTemporaryMark) {
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
    int err = 0;
    const auto resolved = followLinks(path, err);
    if (!resolved) {
        return failed(path, err);
    }
    const std::string& target = *resolved;
    const std::string folder = folderOf(target);
    const std::string name = nameOf(target);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return failed(target, EISDIR);
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return {ReplaceStatus::Failed, target + ": " + kNotRegular, 0};
    }
    // The folder's permission lets anyone rename over a file; the file's own must allow writing.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return failed(target, errno);
    }
    removeStaleTemporaries(folder);

    Temporary temp;
    if (!createTemporary(folder, name, temp, err)) {
        return failed(folder, err);
    }
    const auto discard = [&](ReplaceResult result) {
        if (!temp.name.empty()) {
            ::unlink(temp.name.c_str());
        }
        return result;
    };
    if (!writeAll(temp.fd.fd, bytes) || !keepModeAndOwner(temp.fd.fd, exists ? &old : nullptr) ||
        ::fsync(temp.fd.fd) != 0) {
        return discard(failed(target, errno));
    }
    if (beforeRename && !beforeRename()) {
        return discard({ReplaceStatus::Abandoned, {}, 0});
    }
    if (temp.name.empty() && !nameTemporary(folder, name, temp, err)) {
        return failed(target, err);
    }
    if (temp.fd.closeNow() != 0) {
        return discard(failed(target, errno));
    }
    if (::rename(temp.name.c_str(), target.c_str()) != 0) {
        return discard(failed(target, errno));
    }
    flushFolder(folder);
    return {ReplaceStatus::Ok, {}, 0};
}

void UseBinaryStandardOutput() {}

bool IsInUseError(int code) {
    return code == ETXTBSY;
}

// The lock file goes while it is still locked, so a waiter that then gets the lock on it sees
// that its name is gone and starts again on a new one.
void EditLock::Release() {
    if (m_handle == kNone) {
        return;
    }
    ::unlink(m_lockPath.c_str());
    ::close(static_cast<int>(m_handle));
    m_handle = kNone;
}

LockStatus LockForEdit(const std::string& path, int waitMs, EditLock& lock, std::string& reason) {
    lock.Release();
    int err = 0;
    const auto resolved = followLinks(path, err);
    if (!resolved) {
        reason = SystemErrorText(err);
        return LockStatus::Failed;
    }
    const std::string lockPath = folderOf(*resolved) + "/." + nameOf(*resolved) + ".vmg-lock";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        // Read-only is enough for flock, and lets another user's run lock a file left by a crash.
        Descriptor fd(::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (fd.fd < 0) {
            reason = SystemErrorText(errno);
            return LockStatus::Failed;
        }
        if (::flock(fd.fd, LOCK_EX | LOCK_NB) == 0) {
            // Held; but the holder before us may have removed the file we locked.
            struct stat held {
            }, named{};
            if (::fstat(fd.fd, &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                lock.m_handle = std::exchange(fd.fd, -1);
                lock.m_lockPath = lockPath;
                return LockStatus::Held;
            }
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            reason = SystemErrorText(errno);
            return LockStatus::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return LockStatus::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace vmg::platform
