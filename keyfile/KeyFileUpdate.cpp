// Reads the keyword file, runs the editor on it, and writes the backup and the new content.
#include "KeyFileUpdate.h"

#include "Files.h"
#include "InPlaceEdit.h"

namespace vmg::keyfile {
namespace {

// Far beyond any keyword file; it keeps a wrong choice of file from filling the memory.
constexpr std::uint64_t kMaxBytes = 64u << 20;

std::string cannotAdd(const std::string& path, const std::string& why) {
    return "Cannot add the hint to \"" + path + "\". " + why;
}

// The message of an edit that did not go through, naming the file it is about.
std::string failureMessage(const std::string& path, const platform::EditOutcome& r) {
    switch (r.Status) {
    case platform::EditStatus::CannotWrite:
        return "Cannot create file \"" + r.Where + "\". " + r.Reason;
    case platform::EditStatus::BackupLost:
        return "Cannot create file \"" + r.Where + "\". " + r.Reason + " The hint is in \"" + path +
               "\"; the previous backup is unchanged.";
    default:
        return cannotAdd(path, r.Reason);
    }
}

} // namespace

std::string BackupPath(const std::string& path) {
    return platform::BackupPathOf(path);
}

UpdatePlan PlanUpdate(const std::string& path, const Lines& block) {
    UpdatePlan plan;
    plan.Block = block;
    platform::FileRead read = platform::ReadRegularFile(path, kMaxBytes);
    if (!read.ok() && !read.Missing) {
        std::string why = read.Reason;
        if (read.Status != platform::ReadStatus::CannotOpen) {
            why = "It " + why; // "is not a regular file", "is larger than ..."
        }
        if (!why.ends_with('.')) {
            why += '.';
        }
        plan.Message = cannotAdd(path, why);
        return plan;
    }
    plan.Exists = read.ok();
    plan.OldBytes = std::move(read.Bytes);
    plan.Edit = PutKeyBlock(plan.OldBytes, block);
    if (plan.Edit.Kind == EditKind::Refused) {
        plan.Message = cannotAdd(path, plan.Edit.Message);
        return plan;
    }
    plan.Ok = true;
    return plan;
}

WriteOutcome ApplyUpdate(const std::string& path, const UpdatePlan& plan) {
    if (!plan.Ok) {
        return {false, plan.Message, plan};
    }
    UpdatePlan done;
    done.Block = plan.Block;
    const auto edit = [&](std::string_view current, bool exists) {
        done.Exists = exists;
        done.OldBytes = std::string(current);
        done.Edit = PutKeyBlock(current, plan.Block);
        if (done.Edit.Kind == EditKind::Refused) {
            return platform::EditPlan{true, {}, done.Edit.Message};
        }
        return platform::EditPlan{false, done.Edit.Bytes, {}};
    };
    platform::EditOptions options;
    options.Limit = kMaxBytes;
    options.MayCreate = true;
    const platform::EditOutcome r = platform::EditInPlace(path, edit, options);
    if (!r.ok()) {
        done.Message = failureMessage(path, r);
        return {false, done.Message, done};
    }
    done.Ok = true;
    return {true, {}, done};
}

} // namespace vmg::keyfile
