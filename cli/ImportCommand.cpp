// vmacgen import FILE [--macro NAME] [--hint FILE] [-o OUT.mcs]: the macro's .mcs on standard
// output (or in OUT.mcs), the summary of what the text did not tell on standard error.
#include "ImportCommand.h"

#include "Files.h"
#include "InPlaceEdit.h"
#include "MacroImport.h"
#include "Usage.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vmg::cli {
namespace {

constexpr const char* kUsage =
    "Usage: vmacgen import FILE [--macro NAME] [--hint FILE] [-o OUT.mcs]\n"
    "\n"
    "Reads a macro that the wizard generated (from a code file, or from a saved _mac.rtf)\n"
    "back into its macro source file, and prints it, or writes it to OUT.mcs whole.\n"
    "  --macro NAME   the macro to read when FILE holds several\n"
    "  --hint FILE    the macro's keyword block (a NAME_hnt.dat, or USER.MCD) for what the\n"
    "                 text cannot tell: optional parameters before the last mandatory one,\n"
    "                 and the target (DeviceCore)\n"
    "A macro whose lines depart from the generator's text is refused with the first line\n"
    "that departs. The summary (what was deduced, and from what) goes to standard error.\n"
    "Exit status: 0 done, 1 refused or unreadable, 2 wrong usage, or several macros and no\n"
    "--macro (their names go to standard error).\n";

struct Options {
    std::string file;
    std::optional<std::string> macro, hint, out;
};

std::optional<Options> parse(std::span<const std::string_view> args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string>* value = arg == "--macro"  ? &o.macro
                                            : arg == "--hint" ? &o.hint
                                            : arg == "-o"     ? &o.out
                                                              : nullptr;
        if (value != nullptr) {
            if (*value) {
                throw UsageError(std::string(arg) + " given twice");
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                throw UsageError(MissingValue(arg, arg == "--macro" ? "a NAME" : "a FILE"));
            }
            *value = std::string(args[++i]);
        } else if (arg.starts_with("-") || !o.file.empty() || arg.empty()) {
            throw UsageError(arg.empty() ? std::string("an empty argument")
                                         : UnexpectedArgument(arg));
        } else {
            o.file = std::string(arg);
        }
    }
    if (o.file.empty()) {
        throw UsageError("no FILE given");
    }
    return o;
}

void err(const std::string& text) {
    std::fputs(text.c_str(), stderr);
}

// Macro names are compared as the compiler does, without regard to letter case.
bool sameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
               return up(x) == up(y);
           });
}

// The macro to import: the only one, or the one --macro names (exactly, else in any case).
std::optional<macimport::MacroPlace> choose(const std::vector<macimport::MacroPlace>& places,
                                            const Options& o, int& status) {
    status = 1;
    if (places.empty()) {
        err(o.file + ": no macro found (no line of the form NAME MACRO)\n");
        return std::nullopt;
    }
    std::string list;
    for (const auto& p : places) {
        list += "  " + p.Name + " (line " + std::to_string(p.HeaderLine) + ")\n";
    }
    if (!o.macro) {
        if (places.size() == 1) {
            return places.front();
        }
        status = 2;
        err(o.file + " holds " + std::to_string(places.size()) +
            " macros; choose one with --macro NAME:\n" + list);
        return std::nullopt;
    }
    for (const bool exact : {true, false}) {
        std::vector<macimport::MacroPlace> named;
        for (const auto& p : places) {
            if (exact ? p.Name == *o.macro : sameNoCase(p.Name, *o.macro)) {
                named.push_back(p);
            }
        }
        if (named.size() == 1) {
            return named.front();
        }
        if (named.size() > 1) {
            err(o.file + " holds " + *o.macro + " more than once:\n" + list);
            return std::nullopt;
        }
    }
    err(o.file + " holds no macro " + *o.macro + "; it holds:\n" + list);
    return std::nullopt;
}

std::optional<macimport::KeywordHint> readHint(const Options& o, const std::string& name,
                                               std::vector<std::string>& notes, bool& failed) {
    failed = false;
    if (!o.hint) {
        return std::nullopt;
    }
    const macimport::FileBytes read = macimport::ReadTextFile(*o.hint);
    if (!read.Ok) {
        err(read.Message + "\n");
        failed = true;
        return std::nullopt;
    }
    auto hint = macimport::FindKeywordHint(read.Bytes, name, *o.hint);
    if (!hint) {
        notes.push_back(*o.hint + " holds no keyword block for " + name + "; not used");
    }
    return hint;
}

// The same file as another path names, whatever the spelling: same volume and file number.
bool sameFile(const std::string& a, const std::string& b) {
    const auto x = platform::StampOf(a), y = platform::StampOf(b);
    return x && y && x->Device == y->Device && x->Inode == y->Inode;
}

// -o never replaces what the command reads; another existing file is kept as OUT.bak.
int writeOut(const Options& o, const std::string& mcs) {
    for (const std::string* input : {&o.file, o.hint ? &*o.hint : nullptr}) {
        if (input != nullptr && sameFile(*o.out, *input)) {
            err("Cannot create file \"" + *o.out + "\". It is the input file \"" + *input +
                "\"; choose another name for the macro source file.\n");
            return 1;
        }
    }
    const platform::EditOutcome written = platform::WriteWholeFile(*o.out, mcs);
    if (written.ok()) {
        return 0;
    }
    std::string message = "Cannot create file \"" + written.Where + "\". " + written.Reason;
    if (written.Status == platform::EditStatus::BackupLost) {
        message += " The macro is in \"" + *o.out + "\"; the previous backup is unchanged.";
    }
    err(message + "\n");
    return 1;
}

} // namespace

int ImportCommand(std::span<const std::string_view> args) {
    // --help wherever it stands, as for every command.
    if (std::any_of(args.begin(), args.end(),
                    [](std::string_view a) { return a == "--help" || a == "-h"; })) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const auto o = parse(args);
    if (!o) {
        throw UsageError("wrong usage");
    }
    const macimport::FileBytes file = macimport::ReadTextFile(o->file);
    if (!file.Ok) {
        err(file.Message + "\n");
        return 1;
    }
    const std::string text = macimport::CodeText(file.Bytes);
    int status = 0;
    const auto place = choose(macimport::FindMacros(text), *o, status);
    if (!place) {
        return status;
    }
    std::vector<std::string> notes;
    bool failed = false;
    const auto hint = readHint(*o, place->Name, notes, failed);
    if (failed) {
        return 1;
    }
    macimport::ImportResult r = macimport::ImportMacro(text, *place, hint ? &*hint : nullptr);
    if (!r.Ok) {
        err(o->file + ": " + place->Name + ": " + r.Message + "\n");
        return 1;
    }
    r.Notes.insert(r.Notes.end(), notes.begin(), notes.end());
    std::string why;
    const auto mcs = macimport::SourceFileText(r, why);
    if (!mcs) {
        err(o->file + ": " + place->Name + ": " + why + "\n");
        return 1;
    }
    if (o->out) {
        if (writeOut(*o, *mcs) != 0) {
            return 1;
        }
    } else {
        std::fwrite(mcs->data(), 1, mcs->size(), stdout);
        std::fflush(stdout);
    }
    err(macimport::Summary(r, o->file));
    return 0;
}

} // namespace vmg::cli
