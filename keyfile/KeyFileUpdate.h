// Updating a USER.MCD keyword file on disk: read, edit, keep a backup, replace atomically.
#pragma once

#include "KeyFile.h"

#include <string>

namespace vmg::keyfile {

// What putting a block into the file at path would do, worked out from its current bytes.
struct UpdatePlan {
    bool Ok = false;      // false: Message says why nothing may be written
    std::string Message;  // "Cannot add the hint to "<path>". <reason>"
    bool Exists = false;  // false: the file is missing and will be created
    std::string OldBytes; // the file's current content
    EditResult Edit;      // the editor's answer (Refused when Ok is false)
    Lines Block;          // the block, for the update to work out again under the lock
};

// A preview that writes nothing (for a dry run or a summary): the file is read once, without the
// lock. A file is missing only when the system says so.
UpdatePlan PlanUpdate(const std::string& path, const Lines& block);

struct WriteOutcome {
    bool Ok = false;
    std::string Message; // when not Ok: names the file and gives the reason
    UpdatePlan Done;     // what was done: the plan worked out again under the lock
};

// The backup of path: the same name followed by ".bak" (USER.MCD.bak), beside it.
std::string BackupPath(const std::string& path);

// Carries out a plan that is Ok as an in-place edit (platform::EditInPlace): under the file's
// edit lock the file is read again and the plan's block put into what it holds now, so that a
// writer who came between the plan and the update loses nothing; the old content becomes the
// backup once the new one is in place. An unchanged edit writes nothing. On failure the file
// and its old backup keep their content.
WriteOutcome ApplyUpdate(const std::string& path, const UpdatePlan& plan);

} // namespace vmg::keyfile
