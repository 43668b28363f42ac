// Page 6's USER.MCD step: plan, summary line and write, around the keyword-file editor.
#include "UserMcd.h"

#include "Finish.h"
#include "MacroCodeGenerator.h"
#include "Text1252.h"

namespace vmg::wizard {

keyfile::Lines HintMemoLines(const QString& memoText) {
    const std::string bytes = HintFileBytes(memoText);
    keyfile::Lines lines;
    for (const std::string_view line : codegen::SplitLines(bytes, false)) {
        lines.emplace_back(line);
    }
    return lines;
}

keyfile::UpdatePlan PlanUserMcd(const QString& path, const QString& memoText) {
    return keyfile::PlanUpdate(CorePath(path), HintMemoLines(memoText));
}

QString UserMcdSummaryLine(const keyfile::UpdatePlan& plan, const QString& fileName) {
    const QString crLf = QStringLiteral("\r\n");
    switch (plan.Edit.Kind) {
    case keyfile::EditKind::Replaced:
    case keyfile::EditKind::Unchanged:
        return QStringLiteral("Hint will replace the existing entry for ") +
               FromCp1252(plan.Edit.Name) + QStringLiteral(" in ") + fileName + crLf;
    default:
        return QStringLiteral("Hint will be added to ") + fileName +
               (plan.Exists ? QString() : QStringLiteral(" (a new file)")) + crLf;
    }
}

bool WriteUserMcd(const QString& path, const keyfile::UpdatePlan& plan, QString& message) {
    const keyfile::WriteOutcome written = keyfile::ApplyUpdate(CorePath(path), plan);
    if (!written.Ok) {
        message = FromCoreText(written.Message);
    }
    return written.Ok;
}

} // namespace vmg::wizard
