// The in-place edit of the seam, served by the atomic replace: read, plan, replace only while
// the file is still the one read, then the backup.
#include "EditSeam.h"

#include "Files.h"

#include <filesystem>

namespace vmg::upgrade::seam {
namespace {

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

std::string sentence(std::string text) {
    if (!text.empty() && !text.ends_with('.')) {
        text += '.';
    }
    return text;
}

} // namespace

std::string BackupPathOf(const std::string& path) {
    return path + ".bak";
}

EditOutcome EditInPlace(const std::string& path, const EditPlanner& plan,
                        const EditOptions& options) {
    EditOutcome out;
    out.Where = path;
    platform::FileRead read = platform::ReadRegularFile(path, options.Limit);
    std::error_code error;
    const bool missing = read.Status == platform::ReadStatus::CannotOpen &&
                         !std::filesystem::exists(platform::PathFromUtf8(path), error) && !error;
    if (!read.ok() && !(missing && options.MayCreate)) {
        const bool own = read.Status != platform::ReadStatus::CannotOpen;
        out.Reason = sentence((own ? "It " : "") + read.Reason);
        return out;
    }
    out.Existed = read.ok();
    out.OldBytes = std::move(read.Bytes);
    const EditPlan p = plan(out.OldBytes, out.Existed);
    if (p.Refused) {
        out.Status = EditStatus::Refused;
        out.Reason = p.Reason;
        return out;
    }
    out.NewBytes = p.Bytes;
    if (out.Existed && out.NewBytes == out.OldBytes) {
        out.Status = EditStatus::Unchanged;
        return out;
    }
    out.Status = EditStatus::CannotWrite;
    if (out.NewBytes.size() > options.Limit) {
        out.Reason = "The new content would be larger than the limit of " +
                     std::to_string(options.Limit) + " bytes.";
        return out;
    }
    if (markedReadOnly(path)) {
        out.Reason = sentence(platform::AccessDeniedText());
        return out;
    }
    // The file must still be the version read when the new one takes its place.
    const auto same = [&] {
        return out.Existed ? platform::StampOf(path) == read.Stamp : !platform::StampOf(path);
    };
    const platform::ReplaceResult r = platform::ReplaceFile(path, out.NewBytes, same);
    if (r.Status == platform::ReplaceStatus::Abandoned) {
        out.Status = EditStatus::Changed;
        out.Reason = "It was changed by another program after it was read.";
        return out;
    }
    if (!r.ok()) {
        out.Reason = sentence(r.Reason);
        return out;
    }
    out.Status = EditStatus::Written;
    if (options.KeepBackup && out.Existed) {
        const std::string bak = BackupPathOf(path);
        const platform::ReplaceResult b = platform::ReplaceFile(bak, out.OldBytes);
        if (!b.ok()) {
            out.Status = EditStatus::BackupLost;
            out.Where = bak;
            out.Reason = sentence(b.Reason);
        }
    }
    return out;
}

} // namespace vmg::upgrade::seam
