// vmacgen upgrade: every macro of a code file regenerated where it stands, with a report.
#include "UpgradeCommand.h"

#include "KeyFile.h"
#include "MacroImport.h"
#include "Upgrade.h"
#include "Usage.h"

#include <cstdio>
#include <optional>
#include <string>

namespace vmg::cli {
namespace {

struct Options {
    std::string file;
    std::optional<std::string> macro, hint;
    bool dryRun = false;
};

// Throws UsageError on wrong usage.
Options parse(std::span<const std::string_view> args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string>* value = arg == "--macro"  ? &o.macro
                                            : arg == "--hint" ? &o.hint
                                                              : nullptr;
        if (value != nullptr) {
            if (*value) {
                throw UsageError(std::string(arg) + " given twice");
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                throw UsageError(MissingValue(arg, arg == "--macro" ? "a macro name" : "a file"));
            }
            *value = std::string(args[++i]);
        } else if (arg == "--dry-run" && !o.dryRun) {
            o.dryRun = true;
        } else if (arg.starts_with("-") || !o.file.empty() || arg.empty()) {
            throw UsageError(UnexpectedArgument(arg));
        } else {
            o.file = std::string(arg);
        }
    }
    if (o.file.empty()) {
        throw UsageError("no FILE given");
    }
    return o;
}

void out(std::FILE* to, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

void report(std::FILE* to, const std::string& file, const upgrade::UpgradePlan& plan) {
    for (const auto& m : plan.Macros) {
        out(to, upgrade::FormatReport(m) + "\n");
    }
    out(to, file + ": " + upgrade::FormatTotal(plan.Macros) + "\n");
}

// The change as a unified diff, the reports on standard error; nothing is written.
int dryRun(const Options& o, const macimport::FileBytes& hint,
           const upgrade::UpgradeOptions& options) {
    const macimport::FileBytes file = macimport::ReadTextFile(o.file);
    if (!file.Ok) {
        out(stderr, file.Message + "\n");
        return 1;
    }
    const upgrade::UpgradePlan plan = upgrade::PlanUpgrade(file.Bytes, options);
    if (!plan.Problem.empty()) {
        out(stderr, o.file + ": " + plan.Problem + "\n");
        return 1;
    }
    report(stderr, o.file, plan);
    out(stdout, keyfile::UnifiedDiff(file.Bytes, plan.NewText, o.file, o.file));
    if (!plan.KeywordProblem.empty()) {
        out(stderr, *o.hint + ": " + plan.KeywordProblem + "\n");
        return 1;
    }
    if (plan.KeywordChanged) {
        out(stdout, keyfile::UnifiedDiff(hint.Bytes, plan.NewKeywordText, *o.hint, *o.hint));
    }
    return 0;
}

// The code file, then the keyword file, each through the in-place edit.
int upgradeFiles(const Options& o, const upgrade::UpgradeOptions& options) {
    using upgrade::seam::EditStatus;
    const upgrade::FileUpgrade done = upgrade::UpgradeFile(o.file, options);
    if (done.Edit.Status == EditStatus::Refused) {
        out(stderr, o.file + ": " + done.Edit.Reason + "\n");
        return 1;
    }
    if (!done.Edit.ok() && done.Edit.Status != EditStatus::BackupLost) {
        out(stderr, upgrade::EditFailure(done.Edit) + "\n");
        return 1;
    }
    report(stdout, o.file, done.Plan);
    bool ok = done.Edit.ok();
    if (!ok) {
        out(stderr, upgrade::EditFailure(done.Edit) + "\n");
    }
    if (o.hint) {
        const auto keywords = upgrade::UpgradeKeywordFile(*o.hint, done.Plan.Macros);
        if (!keywords.ok()) {
            out(stderr, keywords.Status == EditStatus::Refused
                            ? *o.hint + ": " + keywords.Reason + "; it is left as it is\n"
                            : upgrade::EditFailure(keywords) + "\n");
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace

int UpgradeCommand(std::span<const std::string_view> args) {
    const std::optional<Options> o = parse(args);
    upgrade::UpgradeOptions options;
    options.Macro = o->macro;
    macimport::FileBytes hint;
    if (o->hint) {
        hint = macimport::ReadTextFile(*o->hint);
        if (!hint.Ok) {
            out(stderr, hint.Message + "\n");
            return 1;
        }
        options.KeywordText = hint.Bytes;
        options.KeywordSource = *o->hint;
    }
    return o->dryRun ? dryRun(*o, hint, options) : upgradeFiles(*o, options);
}

} // namespace vmg::cli
