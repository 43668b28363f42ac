// Editing a file in place without losing anyone's data: one writer at a time, a check that the
// file is still the one read, an atomic replace and a backup that survives a failed write.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vmg::platform {

// The encoding a text file's byte-order mark declares when it is one that our 8-bit editors
// cannot edit: "UTF-16 LE", "UTF-16 BE", "UTF-32 LE" or "UTF-32 BE"; nothing for anything else
// (8-bit text, with or without a UTF-8 mark).
std::optional<std::string> WideEncodingOf(std::string_view bytes);

// The length of a UTF-8 byte-order mark at the start of bytes: 3 or 0. Editors keep the mark
// where it is and look for blocks and macros in the text after it.
std::size_t Utf8MarkLength(std::string_view bytes);

// The planner's answer for the file's content as read under the lock.
struct EditPlan {
    bool Refused = false; // nothing is written; Reason says why (the planner's own words)
    std::string Bytes;    // the new content when not Refused; the old one means "unchanged"
    std::string Reason;
};

// Works out the new content from the current one (the whole file, a UTF-8 mark included).
// exists is false when the file is missing (and EditOptions::MayCreate allows it); current is
// then empty. Called once per EditInPlace, under the lock.
using EditPlanner = std::function<EditPlan(std::string_view current, bool exists)>;

struct EditOptions {
    std::uint64_t Limit = 64u << 20; // the largest content read, and the largest one written
    bool MayCreate = false;          // a missing file is planned as empty and then created
    bool KeepBackup = true;          // the previous content becomes "<path>.bak"
    bool RefuseWideText = true;      // UTF-16 and UTF-32 files are refused, naming the encoding
    int LockWaitMs = 5000;           // how long to wait for another writer of the same file
};

enum class EditStatus {
    Written,     // the new content is in place (and the old one in the backup)
    Unchanged,   // the planner gave the same bytes: nothing was written
    Refused,     // the planner refused: Reason is its own
    Busy,        // another program is writing the file (held the lock past LockWaitMs)
    Changed,     // another program changed the file between our read and our replace
    CannotRead,  // missing (without MayCreate), unreadable, not a regular file, too large,
                 // or in an encoding we cannot edit
    CannotWrite, // not writable, would grow past the limit, or the replace failed
    BackupLost,  // the new content is in place, but the backup could not be put in place (the
                 // previous backup is then still there, unchanged)
};

struct EditOutcome {
    EditStatus Status = EditStatus::CannotRead;
    bool Existed = false; // whether the file existed when it was read
    std::string OldBytes; // the content that was read (empty when missing)
    std::string NewBytes; // what the planner gave (when not Refused)
    std::string Reason;   // when not Written/Unchanged: one or more sentences, each ending in
                          // one stop, without a file's name ("It is not a regular file.",
                          // "It is in use by another program.", the system's text)
    std::string Where;    // the file Reason is about: the path, or its backup
    bool ok() const { return Status == EditStatus::Written || Status == EditStatus::Unchanged; }
};

// The backup of path: the same name followed by ".bak" (USER.MCD.bak), beside it.
std::string BackupPathOf(const std::string& path);

// Edits the file at path in place, for every tool that changes a file the user keeps (USER.MCD,
// code files): takes the file's edit lock (waiting up to LockWaitMs; Busy otherwise), reads it
// whole (a read failure is a missing file only when the system says so), lets plan work out the
// new content, refuses a result above the limit, and replaces the file through a temporary file
// in its folder, keeping its permissions and (on Windows) its hidden and system attributes.
// Just before the replace the file is checked to be still the one read (same identity, size,
// time and bytes; still absent for a new file), else Changed and nothing is written. With
// KeepBackup the old content is written to a temporary beside "<path>.bak" first and moved over
// it only once the new file is in place, so a failed replace leaves the file and the old backup
// as they were. The lock is held until everything is done.
EditOutcome EditInPlace(const std::string& path, const EditPlanner& plan,
                        const EditOptions& options = {});

// Writes bytes to path whole for a command's output file (-o): through the same lock, with an
// existing file kept as "<path>.bak" like an in-place edit; a folder or other non-regular target
// is refused as "not a regular file".
EditOutcome WriteWholeFile(const std::string& path, std::string_view bytes,
                           const EditOptions& options = {});

} // namespace vmg::platform
