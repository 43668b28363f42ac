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
};

UpdatePlan PlanUpdate(const std::string& path, const Lines& block);

struct WriteOutcome {
    bool Ok = false;
    std::string Message; // when not Ok: names the file and gives the system's reason
};

// The backup of path: the same name followed by ".bak" (USER.MCD.bak), beside it.
std::string BackupPath(const std::string& path);

// Carries out a plan that is Ok: when the file existed its old content goes to the backup
// (replaced each time), then the new content replaces the file, keeping its permissions. An
// unchanged edit writes nothing. On failure the file keeps its old content.
WriteOutcome ApplyUpdate(const std::string& path, const UpdatePlan& plan);

} // namespace vmg::keyfile
