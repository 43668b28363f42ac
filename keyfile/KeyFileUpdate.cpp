// Reads the keyword file, runs the editor on it, and writes the backup and the new content.
#include "KeyFileUpdate.h"

#include "Files.h"

#include <filesystem>

namespace vmg::keyfile {
namespace {

// Far beyond any keyword file; it keeps a wrong choice of file from filling the memory.
constexpr std::uint64_t kMaxBytes = 64u << 20;

std::string cannotWrite(const std::string& path, const platform::ReplaceResult& r) {
    const std::string reason =
        r.Code != 0 ? platform::SystemErrorText(r.Code) : std::string("It is not a regular file");
    return "Cannot create file \"" + path + "\". " + reason;
}

// A file marked read-only (no write permission for anyone) is left alone even by a user, such
// as root, whom the system would let write it.
bool markedReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status st = fs::status(platform::PathFromUtf8(path), error);
    return !error && fs::is_regular_file(st) &&
           (st.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write)) == fs::perms::none;
}

} // namespace

std::string BackupPath(const std::string& path) {
    return path + ".bak";
}

UpdatePlan PlanUpdate(const std::string& path, const Lines& block) {
    UpdatePlan plan;
    platform::FileRead read = platform::ReadRegularFile(path, kMaxBytes);
    std::error_code error;
    // A missing file (or a link to none) is created; anything else unreadable is refused.
    const bool missing = read.Status == platform::ReadStatus::CannotOpen &&
                         !std::filesystem::exists(platform::PathFromUtf8(path), error) && !error;
    if (!read.ok() && !missing) {
        std::string why = read.Reason;
        if (read.Status != platform::ReadStatus::CannotOpen) {
            why = "It " + why; // "is not a regular file", "is larger than ..."
        }
        plan.Message = "Cannot add the hint to \"" + path + "\". " + why + ".";
        return plan;
    }
    plan.Exists = !missing;
    plan.OldBytes = std::move(read.Bytes);
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
    if (markedReadOnly(path)) {
        return {false, "Cannot create file \"" + path + "\". " + platform::AccessDeniedText()};
    }
    // The backup is written once the new content is ready to take the file's place, so that a
    // file that cannot be replaced gets no backup, and one whose backup fails is not replaced.
    WriteOutcome backup{true, {}};
    const std::string bak = BackupPath(path);
    const auto writeBackup = [&] {
        if (!plan.Exists) {
            return true;
        }
        const platform::ReplaceResult r = platform::ReplaceFile(bak, plan.OldBytes);
        if (!r.ok()) {
            backup = {false, cannotWrite(bak, r)};
        }
        return r.ok();
    };
    const platform::ReplaceResult r = platform::ReplaceFile(path, plan.Edit.Bytes, writeBackup);
    if (!backup.Ok) {
        return backup;
    }
    if (!r.ok()) {
        return {false, cannotWrite(path, r)};
    }
    return {true, {}};
}

} // namespace vmg::keyfile
