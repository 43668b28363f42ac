// vmacgen check: the lint findings and count range of a macro, a call's outcome, --all-kinds.
#include "CheckCommand.h"

#include "CallCheck.h"
#include "IDE_Info.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "PageDeclarations.h"
#include "Usage.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace vmg::cli {

namespace {

struct Options {
    std::optional<std::string> mcs, code, call, page, callsIn;
    std::vector<std::pair<std::string, callcheck::Value>> sets;
    int returnArg = -1;
    bool allKinds = false;
};

std::optional<std::string> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Throws UsageError (or returns false) on wrong usage.
bool parse(std::span<const std::string_view> args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--all-kinds") {
            o.allKinds = true;
        } else if (arg == "--code" || arg == "--call" || arg == "--page" || arg == "--calls-in") {
            if (!hasValue) {
                throw UsageError(MissingValue(arg, arg == "--call" ? "a call line" : "a file"));
            }
            auto& into = arg == "--code"       ? o.code
                         : arg == "--call"     ? o.call
                         : arg == "--calls-in" ? o.callsIn
                                               : o.page;
            into = std::string(args[++i]);
        } else if (arg == "--set") {
            const auto set = hasValue ? callcheck::ParseAssignment(args[++i]) : std::nullopt;
            if (!set) {
                throw UsageError(hasValue ? "--set takes SYMBOL=VALUE, not " + std::string(args[i])
                                          : MissingValue(arg, "SYMBOL=VALUE"));
            }
            o.sets.push_back(*set);
        } else if (arg == "--return-arg") {
            const std::string_view v = hasValue ? args[++i] : std::string_view();
            const auto [end, err] = std::from_chars(v.data(), v.data() + v.size(), o.returnArg);
            if (v.empty() || err != std::errc() || end != v.data() + v.size() || o.returnArg < 0) {
                throw UsageError("--return-arg must be a whole number from 0, not " +
                                 std::string(v));
            }
        } else if (arg.starts_with("-") || o.mcs) {
            throw UsageError(UnexpectedArgument(arg));
        } else {
            o.mcs = std::string(arg);
        }
    }
    if (!o.mcs && !o.code) {
        throw UsageError("no FILE.mcs and no --code FILE given");
    }
    if (o.allKinds && !o.mcs) {
        throw UsageError("--all-kinds needs FILE.mcs");
    }
    return true;
}

std::optional<callcheck::PageNames> readPage(const std::string& path) {
    const auto bytes = readBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    const auto lines = ide::CleanPageText(*bytes);
    callcheck::PageNames page;
    page.labels = ide::ScanLabels(lines);
    for (const auto& d : ide::ScanDeclarations(lines)) {
        page.variables.push_back({d.name, callcheck::KindOfDimType(d.type, d.isArray)});
    }
    return page;
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int fail(const std::string& path, const char* what) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", path.c_str(), what);
    return 1;
}

// One line a call of the macro on the page; 3 when one fires, 4 when none fires but one
// cannot be decided, else 0.
int checkCallsIn(const callcheck::MacroText& macro, const std::string& path,
                 const std::string& pageText, const callcheck::PageNames& page) {
    const auto results = callcheck::CheckCalls(macro, pageText, page);
    if (results.empty()) {
        print("no call of " + macro.name + " in " + path + "\n");
    }
    int status = 0;
    for (const auto& r : results) {
        print(callcheck::FormatCallResult(r) + "\n");
        if (r.outcome.kind == callcheck::Outcome::Kind::ErrorFired) {
            status = 3;
        } else if (r.outcome.kind == callcheck::Outcome::Kind::Undecided && status == 0) {
            status = 4;
        }
    }
    return status;
}

} // namespace

int CheckCommand(std::span<const std::string_view> args) {
    Options o;
    if (!parse(args, o)) {
        throw UsageError("wrong usage");
    }
    codegen::MacroDefinition def; // the program-start state, then what the file sets
    int32_t count = 0;
    if (o.mcs) {
        const auto read = macsource::ReadMacroSourceToGenerate(*o.mcs, def);
        if (!read.ok) {
            std::fprintf(stderr, "%s\n", read.message.c_str());
            return 1;
        }
        if (!read.note.empty()) {
            std::fprintf(stderr, "%s\n", read.note.c_str());
        }
        count = read.count;
    }
    std::string text;
    if (o.code) {
        const auto bytes = readBytes(*o.code);
        if (!bytes) {
            return fail(*o.code, "the macro text cannot be read");
        }
        text = *bytes;
    } else {
        text = codegen::JoinCrLf(codegen::MacroLines(def, count));
    }
    callcheck::PageNames page;
    // The page of --calls-in gives the names, unless --page names another.
    const std::optional<std::string>& namesFrom = o.page ? o.page : o.callsIn;
    if (namesFrom) {
        const auto read = readPage(*namesFrom);
        if (!read) {
            return fail(*namesFrom, "the page cannot be read");
        }
        page = *read;
    }
    std::string callsPage;
    if (o.callsIn) {
        const auto bytes = readBytes(*o.callsIn);
        if (!bytes) {
            return fail(*o.callsIn, "the page cannot be read");
        }
        callsPage = *bytes;
    }

    const callcheck::MacroText macro = callcheck::ReadMacro(text);
    print(callcheck::FormatFindings(macro.findings));
    print("argument counts that pass: " +
          callcheck::DescribeCounts(callcheck::PassingCounts(macro)) + "\n");
    bool failed = callcheck::HasErrors(macro.findings);
    if (o.allKinds) {
        const auto table = callcheck::CheckAllKinds(macro, def, count);
        print(callcheck::FormatKindTable(table));
        failed = failed || !table.AllPass();
    }
    int status = failed ? 1 : 0;
    if (o.call || !o.sets.empty()) {
        callcheck::CallAnalysis call;
        if (o.call) {
            call = callcheck::AnalyseCall(*o.call, macro, page, o.returnArg);
        }
        callcheck::Bindings used = call.bindings;
        for (const auto& [name, value] : o.sets) {
            callcheck::SetSymbol(used, name, value);
        }
        const auto outcome = callcheck::Evaluate(macro, used);
        print(callcheck::FormatCall(call, used));
        print(callcheck::FormatOutcome(outcome));
        if (status == 0 && outcome.kind != callcheck::Outcome::Kind::Expansion) {
            status = outcome.kind == callcheck::Outcome::Kind::ErrorFired ? 3 : 4;
        }
    }
    if (o.callsIn) {
        const int calls = checkCallsIn(macro, *o.callsIn, callsPage, page);
        status = status == 0 ? calls : status;
    }
    std::fflush(stdout);
    return status;
}

} // namespace vmg::cli
