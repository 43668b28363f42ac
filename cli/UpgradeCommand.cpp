// vmacgen upgrade: every macro of a code file regenerated where it stands, with a report.
#include "UpgradeCommand.h"

#include "KeyFile.h"
#include "MacroImport.h"
#include "Upgrade.h"

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

std::optional<Options> parse(std::span<const std::string_view> args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string>* value = arg == "--macro"  ? &o.macro
                                            : arg == "--hint" ? &o.hint
                                                              : nullptr;
        if (value != nullptr) {
            if (*value || i + 1 >= args.size() || args[i + 1].empty()) {
                return std::nullopt;
            }
            *value = std::string(args[++i]);
        } else if (arg == "--dry-run" && !o.dryRun) {
            o.dryRun = true;
        } else if (arg.starts_with("-") || !o.file.empty() || arg.empty()) {
            return std::nullopt;
        } else {
            o.file = std::string(arg);
        }
    }
    return o.file.empty() ? std::nullopt : std::optional(o);
}

void out(std::FILE* to, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

// Writes one file's new content; false (with the reason on standard error) when refused.
bool write(const std::string& path, const std::string& oldBytes, const std::string& newBytes) {
    const upgrade::EditOutcome r = upgrade::EditInPlace(path, oldBytes, newBytes);
    if (!r.Message.empty()) {
        out(stderr, r.Message + "\n");
    }
    return r.Ok;
}

} // namespace

int UpgradeCommand(std::span<const std::string_view> args) {
    const auto o = parse(args);
    if (!o) {
        out(stderr, "Usage: vmacgen upgrade FILE [--macro NAME] [--hint USER.MCD] [--dry-run]\n");
        return 2;
    }
    const macimport::FileBytes file = macimport::ReadTextFile(o->file);
    if (!file.Ok) {
        out(stderr, file.Message + "\n");
        return 1;
    }
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
    const upgrade::UpgradePlan plan = upgrade::PlanUpgrade(file.Bytes, options);
    if (!plan.Problem.empty()) {
        out(stderr, o->file + ": " + plan.Problem + "\n");
        return 1;
    }
    // A dry run keeps standard output for the diff.
    std::FILE* report = o->dryRun ? stderr : stdout;
    for (const auto& m : plan.Macros) {
        out(report, upgrade::FormatReport(m) + "\n");
    }
    out(report, o->file + ": " + upgrade::FormatTotal(plan.Macros) + "\n");
    if (!plan.KeywordProblem.empty()) {
        out(stderr, *o->hint + ": " + plan.KeywordProblem + "; it is left as it is\n");
    }
    if (o->dryRun) {
        out(stdout, keyfile::UnifiedDiff(file.Bytes, plan.NewText, o->file, o->file));
        if (plan.KeywordChanged) {
            out(stdout, keyfile::UnifiedDiff(hint.Bytes, plan.NewKeywordText, *o->hint, *o->hint));
        }
        return plan.KeywordProblem.empty() ? 0 : 1;
    }
    bool ok = !plan.Changed || write(o->file, file.Bytes, plan.NewText);
    if (ok && plan.KeywordChanged) {
        ok = write(*o->hint, hint.Bytes, plan.NewKeywordText);
    }
    return ok && plan.KeywordProblem.empty() ? 0 : 1;
}

} // namespace vmg::cli
