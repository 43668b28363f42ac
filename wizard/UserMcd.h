// Page 6's USER.MCD step: the keyword-file editor run on the hint memo's lines, for Finish.
#pragma once

#include "KeyFileUpdate.h"

#include <QString>

namespace vmg::wizard {

// The hint memo's lines in code page 1252, as the keyword file receives them.
keyfile::Lines HintMemoLines(const QString& memoText);

// What adding the memo's block to the file at path would do, from the file's bytes now.
keyfile::UpdatePlan PlanUserMcd(const QString& path, const QString& memoText);

// The confirmation's line for the step, ending in CR LF: "Hint will be added to USER.MCD", or
// "Hint will replace the existing entry for Name in USER.MCD" when the file holds the name.
QString UserMcdSummaryLine(const keyfile::UpdatePlan& plan, const QString& fileName);

// Keeps the backup and replaces the file; false with the message to show when it could not.
bool WriteUserMcd(const QString& path, const keyfile::UpdatePlan& plan, QString& message);

} // namespace vmg::wizard
