// vmacgen hint FILE.mcs --into PATH [--dry-run]: puts the macro's keyword block into USER.MCD.
#include "HintIntoCommand.h"

#include "KeyFileUpdate.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "Usage.h"

#include <cstdio>
#include <optional>
#include <string>

namespace vmg::cli {
namespace {

struct Options {
    std::string source;
    std::string into;
    bool dryRun = false;
};

std::optional<Options> parse(std::span<const std::string_view> args) {
    Options o;
    bool haveSource = false, haveInto = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--into" && i + 1 < args.size() && !haveInto) {
            o.into = std::string(args[++i]);
            haveInto = true;
        } else if (args[i] == "--into") {
            throw UsageError(haveInto ? "--into given twice" : MissingValue(args[i], "a PATH"));
        } else if (args[i] == "--dry-run" && !o.dryRun) {
            o.dryRun = true;
        } else if (!args[i].starts_with("-") && !haveSource) {
            o.source = std::string(args[i]);
            haveSource = true;
        } else {
            throw UsageError(UnexpectedArgument(args[i]));
        }
    }
    if (!haveSource || !haveInto || o.into.empty()) {
        throw UsageError(!haveSource ? "no FILE.mcs given"
                         : haveInto  ? "--into needs a PATH that is not empty"
                                     : "--dry-run goes with --into PATH");
    }
    return o;
}

void say(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

std::string doneLine(const Options& o, const keyfile::UpdatePlan& plan) {
    const std::string& name = plan.Edit.Name;
    const std::string at = " at line " + std::to_string(plan.Edit.Line);
    switch (plan.Edit.Kind) {
    case keyfile::EditKind::Unchanged:
        return "The entry for " + name + " in " + o.into + " is already up to date.\n";
    case keyfile::EditKind::Replaced:
        return "Replaced the entry for " + name + " in " + o.into + at + "; the old file is " +
               keyfile::BackupPath(o.into) + ".\n";
    default:
        return plan.Exists ? "Added " + name + " to " + o.into + at + "; the old file is " +
                                 keyfile::BackupPath(o.into) + ".\n"
                           : "Created " + o.into + " with " + name + ".\n";
    }
}

} // namespace

int HintIntoCommand(std::span<const std::string_view> args) {
    const auto options = parse(args);
    if (!options) {
        throw UsageError("wrong usage");
    }
    codegen::MacroDefinition def;
    const auto read = macsource::ReadMacroSourceToGenerate(options->source, def);
    if (!read.ok) {
        std::fprintf(stderr, "%s\n", read.message.c_str());
        return 1;
    }
    if (!read.note.empty()) {
        std::fprintf(stderr, "%s\n", read.note.c_str());
    }
    const auto plan = keyfile::PlanUpdate(options->into, codegen::KeyBlock(def, read.count));
    if (!plan.Ok) {
        std::fprintf(stderr, "%s\n", plan.Message.c_str());
        return 1;
    }
    if (options->dryRun) {
        say(keyfile::UnifiedDiff(plan.OldBytes, plan.Edit.Bytes,
                                 plan.Exists ? options->into : "/dev/null", options->into));
        return 0;
    }
    // The file is read again under its lock: the line says what was done to it then.
    const auto written = keyfile::ApplyUpdate(options->into, plan);
    if (!written.Ok) {
        std::fprintf(stderr, "%s\n", written.Message.c_str());
        return 1;
    }
    say(doneLine(*options, written.Done));
    return 0;
}

} // namespace vmg::cli
