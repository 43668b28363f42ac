// Reads the keyword file, runs the editor on it, and writes the backup and the new content.
#include "KeyFileUpdate.h"

#include "MacSourceReadWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vmg::keyfile {
namespace {

// Far beyond any keyword file; it keeps a wrong choice of file from filling the memory.
constexpr std::size_t kMaxBytes = 64u << 20;

enum class Read { Ok, Missing, Failed };

// The whole file, refusing anything that is not a regular file before reading a byte.
Read readFile(const std::string& path, std::string& bytes, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return errno == ENOENT ? Read::Missing : Read::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "It is not a regular file.";
        ::close(fd);
        return Read::Failed;
    }
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > kMaxBytes) {
            why = got < 0 ? std::strerror(errno) : "It is too large for a keyword file.";
            ::close(fd);
            return Read::Failed;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return Read::Ok;
}

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}

// The file a write of path goes to: a symbolic link is written through to its target.
std::string writeTarget(const std::string& path, std::string& why) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    std::string target = std::filesystem::weakly_canonical(path, error).string();
    if (error) {
        why = error.message();
        return {};
    }
    return target;
}

// Why an existing file may not be replaced, or 0. A file marked read-only is refused even for
// a user (root) whom the system would let write it.
int writeDenied(const std::string& target, const struct stat& st) {
    if (::access(target.c_str(), W_OK) != 0) {
        return errno;
    }
    return (st.st_mode & 0222) == 0 ? EACCES : 0;
}

// Refuses, before anything is written, a file that could not be replaced.
WriteOutcome checkReplaceable(const std::string& path) {
    std::string why;
    const std::string target = writeTarget(path, why);
    if (target.empty()) {
        return {false, cannotWrite(path, why)};
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (const int denied = writeDenied(target, st); denied != 0) {
            return {false, cannotWrite(path, std::strerror(denied))};
        }
    }
    return {true, {}};
}

// Replaces the file whole, keeping an existing file's mode.
WriteOutcome replaceFile(const std::string& path, std::string_view bytes) {
    if (WriteOutcome check = checkReplaceable(path); !check.Ok) {
        return check;
    }
    std::string why;
    const std::string target = writeTarget(path, why);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    const auto written = macsource::WriteFileAtomically(target, bytes);
    if (!written.ok) {
        return {false, written.message};
    }
    if (exists) {
        ::chmod(target.c_str(), st.st_mode & 07777);
    }
    return {true, {}};
}

} // namespace

std::string BackupPath(const std::string& path) {
    return path + ".bak";
}

UpdatePlan PlanUpdate(const std::string& path, const Lines& block) {
    UpdatePlan plan;
    std::string why;
    const Read read = readFile(path, plan.OldBytes, why);
    if (read == Read::Failed) {
        plan.Message = "Cannot add the hint to \"" + path + "\". " + why;
        return plan;
    }
    plan.Exists = read == Read::Ok;
    plan.Edit = PutKeyBlock(plan.OldBytes, block);
    if (plan.Edit.Kind == EditKind::Refused) {
        plan.Message = "Cannot add the hint to \"" + path + "\". " + plan.Edit.Message;
        return plan;
    }
    plan.Ok = true;
    return plan;
}

WriteOutcome ApplyUpdate(const std::string& path, const UpdatePlan& plan) {
    if (!plan.Ok) {
        return {false, plan.Message};
    }
    if (plan.Edit.Kind == EditKind::Unchanged) {
        return {true, {}};
    }
    if (const WriteOutcome check = checkReplaceable(path); !check.Ok) {
        return check;
    }
    if (plan.Exists) {
        const WriteOutcome backup = replaceFile(BackupPath(path), plan.OldBytes);
        if (!backup.Ok) {
            return backup;
        }
    }
    return replaceFile(path, plan.Edit.Bytes);
}

} // namespace vmg::keyfile
