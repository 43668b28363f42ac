// The in-place edit every tool shares: lock, read, plan, check, backup aside, replace, backup in.
#include "InPlaceEdit.h"

#include "Files.h"

#include <filesystem>
#include <limits>
#include <utility>

namespace vmg::platform {
namespace {

// A system's text as a sentence of our messages: one stop at its end, never two.
std::string sentence(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    if (!text.empty() && text.back() != '.') {
        text += '.';
    }
    return text;
}

EditOutcome stopped(EditOutcome out, EditStatus status, std::string reason,
                    std::string where = {}) {
    out.Status = status;
    out.Reason = std::move(reason);
    if (!where.empty()) {
        out.Where = std::move(where);
    }
    return out;
}

std::string readFailure(const FileRead& read, std::uint64_t limit) {
    switch (read.Status) {
    case ReadStatus::NotRegularFile:
        return "It is not a regular file.";
    case ReadStatus::TooLarge:
        return "It is larger than the limit of " + std::to_string(limit) + " bytes.";
    default:
        return sentence(read.Reason);
    }
}

std::string replaceFailure(const ReplaceResult& r) {
    if (r.Code == 0) {
        return "It is not a regular file.";
    }
    if (IsInUseError(r.Code)) {
        return "It is in use by another program.";
    }
    return sentence(SystemErrorText(r.Code));
}

// A file marked read-only (no write permission for anyone) is left alone even by a user, such
// as root, whom the system would let write it.
bool markedReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status st = fs::status(PathFromUtf8(path), error);
    return !error && fs::is_regular_file(st) &&
           (st.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write)) == fs::perms::none;
}

// Whether the file at path is still what was read: the same file, size, time and bytes; or,
// for a file that was missing, still missing.
bool stillAsRead(const std::string& path, const FileRead& read, std::uint64_t limit) {
    const FileRead now = ReadRegularFile(path, limit);
    if (!read.ok()) {
        return now.Missing;
    }
    return now.ok() && now.Stamp == read.Stamp && now.Bytes == read.Bytes;
}

// Replaces the file (checking it first), with the old content going to the backup only after
// the replace succeeded: the backup's own replace runs ours just before its rename.
EditOutcome replaceWithBackup(const std::string& path, const FileRead& read, EditOutcome out,
                              const EditOptions& options) {
    bool tried = false, changed = false;
    ReplaceResult main;
    const auto replaceMain = [&] {
        tried = true;
        main = ReplaceFile(path, out.NewBytes, [&] {
            changed = !stillAsRead(path, read, options.Limit);
            return !changed;
        });
        return main.ok();
    };
    if (!options.KeepBackup || !out.Existed) {
        replaceMain();
    } else {
        const std::string bak = BackupPathOf(path);
        const ReplaceResult backup = ReplaceFile(bak, out.OldBytes, replaceMain);
        if (!tried) {
            return stopped(std::move(out), EditStatus::CannotWrite, replaceFailure(backup), bak);
        }
        if (main.ok() && !backup.ok()) {
            return stopped(std::move(out), EditStatus::BackupLost, replaceFailure(backup), bak);
        }
    }
    if (changed) {
        return stopped(std::move(out), EditStatus::Changed,
                       "Another program changed it while it was being edited; nothing was "
                       "written. Try again.");
    }
    if (!main.ok()) {
        return stopped(std::move(out), EditStatus::CannotWrite, replaceFailure(main));
    }
    out.Status = EditStatus::Written;
    return out;
}

} // namespace

std::optional<std::string> WideEncodingOf(std::string_view bytes) {
    // UTF-32 LE starts like UTF-16 LE, so it is looked at first.
    if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
        return "UTF-32 LE";
    }
    if (bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return "UTF-32 BE";
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return "UTF-16 LE";
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return "UTF-16 BE";
    }
    return std::nullopt;
}

std::size_t Utf8MarkLength(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

std::string BackupPathOf(const std::string& path) {
    return path + ".bak";
}

EditOutcome EditInPlace(const std::string& path, const EditPlanner& plan,
                        const EditOptions& options) {
    EditOutcome out;
    out.Where = path;
    EditLock lock;
    std::string why;
    switch (LockForEdit(path, options.LockWaitMs, lock, why)) {
    case LockStatus::Busy:
        return stopped(std::move(out), EditStatus::Busy,
                       "Another program is writing it; try again when it has finished.");
    case LockStatus::Failed:
        return stopped(std::move(out), EditStatus::CannotWrite, sentence(why));
    case LockStatus::Held:
        break;
    }
    const FileRead read = ReadRegularFile(path, options.Limit);
    if (!read.ok() && !(read.Missing && options.MayCreate)) {
        return stopped(std::move(out), EditStatus::CannotRead, readFailure(read, options.Limit));
    }
    out.Existed = read.ok();
    out.OldBytes = read.Bytes;
    if (const auto wide = WideEncodingOf(out.OldBytes); wide && options.RefuseWideText) {
        return stopped(std::move(out), EditStatus::CannotRead,
                       "It is in " + *wide + "; only 8-bit text (code page 1252) can be edited.");
    }
    EditPlan planned = plan(out.OldBytes, out.Existed);
    if (planned.Refused) {
        return stopped(std::move(out), EditStatus::Refused, std::move(planned.Reason));
    }
    out.NewBytes = std::move(planned.Bytes);
    if (out.Existed && out.NewBytes == out.OldBytes) {
        out.Status = EditStatus::Unchanged;
        return out;
    }
    if (out.NewBytes.size() > options.Limit) {
        return stopped(std::move(out), EditStatus::CannotWrite,
                       "The new content would be larger than the limit of " +
                           std::to_string(options.Limit) + " bytes.");
    }
    if (out.Existed && markedReadOnly(path)) {
        return stopped(std::move(out), EditStatus::CannotWrite, sentence(AccessDeniedText()));
    }
    const std::string bak = BackupPathOf(path);
    if (options.KeepBackup && out.Existed &&
        CheckRegularFile(bak, std::numeric_limits<std::uint64_t>::max()).Status ==
            ReadStatus::NotRegularFile) {
        return stopped(std::move(out), EditStatus::CannotWrite, "It is not a regular file.", bak);
    }
    return replaceWithBackup(path, read, std::move(out), options);
}

EditOutcome WriteWholeFile(const std::string& path, std::string_view bytes,
                           const EditOptions& options) {
    EditOptions whole = options;
    whole.MayCreate = true;
    whole.RefuseWideText = false;
    return EditInPlace(
        path,
        [&](std::string_view, bool) {
            return EditPlan{false, std::string(bytes), {}};
        },
        whole);
}

// The lock's handle moves with it; Release, which differs by system, lives beside its taking.
EditLock::EditLock(EditLock&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kNone)), m_lockPath(std::move(other.m_lockPath)) {}

EditLock& EditLock::operator=(EditLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_handle = std::exchange(other.m_handle, kNone);
        m_lockPath = std::move(other.m_lockPath);
    }
    return *this;
}

} // namespace vmg::platform
