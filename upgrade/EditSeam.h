// The one seam through which upgrade and the wizard's write-back edit a file in place: lock,
// read, plan, a check that the file is still the one read, an atomic replace, the backup.
// Its shape is the shared in-place edit's, so that the callers need no change when it is
// served by that edit; here it is served by the atomic replace alone (no lock between
// programs).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vmg::upgrade::seam {

// The planner's answer for the file's content as read.
struct EditPlan {
    bool Refused = false; // nothing is written; Reason says why
    std::string Bytes;    // the new content when not Refused; the old one means "unchanged"
    std::string Reason;
};

using EditPlanner = std::function<EditPlan(std::string_view current, bool exists)>;

struct EditOptions {
    std::uint64_t Limit = 64u << 20; // the largest content read, and the largest one written
    bool MayCreate = false;          // a missing file is planned as empty and then created
    bool KeepBackup = true;          // the previous content becomes "<path>.bak"
    bool RefuseWideText = true;      // (not served here)
    int LockWaitMs = 5000;           // (not served here)
};

enum class EditStatus {
    Written,     // the new content is in place (and the old one in the backup)
    Unchanged,   // the planner gave the same bytes: nothing was written
    Refused,     // the planner refused: Reason is its own
    Busy,        // another program is writing the file
    Changed,     // the file changed between the read and the replace
    CannotRead,  // missing, unreadable, not a regular file or too large
    CannotWrite, // not writable, too large a result, or the replace failed
    BackupLost,  // the new content is in place, the backup could not be written
};

struct EditOutcome {
    EditStatus Status = EditStatus::CannotRead;
    bool Existed = false;
    std::string OldBytes; // the content that was read
    std::string NewBytes; // what the planner gave (when not Refused)
    std::string Reason;   // when not Written/Unchanged: sentences without the file's name
    std::string Where;    // the file Reason is about: the path, or its backup
    bool ok() const { return Status == EditStatus::Written || Status == EditStatus::Unchanged; }
};

std::string BackupPathOf(const std::string& path);

EditOutcome EditInPlace(const std::string& path, const EditPlanner& plan,
                        const EditOptions& options = {});

} // namespace vmg::upgrade::seam
