// vmacgen: the wizard's generators for batch and build-script use, and the IDE session helper.
#include "CheckCommand.h"
#include "Files.h"
#include "HintIntoCommand.h"
#include "ImportCommand.h"
#include "Library.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "Session.h"
#include "UpgradeCommand.h"
#include "Usage.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

int PageCommand(); // PageCommand.cpp

namespace {

// Each command's part of the usage text; `vmacgen COMMAND --help` prints it alone.
struct CommandHelp {
    std::string_view name;
    std::string_view text;
    std::string_view status; // its exit statuses, when its text does not give them
};

constexpr CommandHelp kCommands[] = {
    {"code", "  code FILE.mcs       print the macro generated from a macro source file\n",
     "Exit status: 0 done, 1 the file could not be read, 2 wrong usage.\n"},
    {"hint",
     "  hint FILE.mcs       print the USER.MCD keyword block for the macro\n"
     "  hint FILE.mcs --into PATH [--dry-run]\n"
     "                      put the keyword block into the USER.MCD file PATH, replacing the\n"
     "                      macro's old block (old file kept as PATH.bak); --dry-run prints\n"
     "                      the change as a unified diff and writes nothing\n",
     "Exit status: 0 done (also when the block is already there), 1 the file could not be\n"
     "read, or --into's file is refused or cannot be written, 2 wrong usage.\n"},
    {"hint-rtf", "  hint-rtf FILE.mcs   print the rich-text preview of the keyword's hint\n",
     "Exit status: 0 done, 1 the file could not be read, 2 wrong usage.\n"},
    {"attach",
     "  attach PAGE [--core 14|16] [--line N] [--column N]\n"
     "                      point the wizard at PAGE, the file being edited: its PIC core\n"
     "                      and the cursor (line and column from 1) where Finish pastes\n",
     "Exit status: 0 done, 1 the page cannot be read or the session file cannot be\n"
     "written, 2 wrong usage.\n"},
    {"detach", "  detach              forget the page that attach named\n",
     "Exit status: 0 done, 1 the session file cannot be removed, 2 wrong usage.\n"},
    {"check",
     "  check FILE.mcs | --code FILE  [--call 'LINE'] [--page PAGE] [--set SYMBOL=VALUE]...\n"
     "        [--return-arg N] [--all-kinds] [--calls-in PAGE]\n"
     "                      lint the macro generated from FILE.mcs (or an edited macro text,\n"
     "                      code page 1252) and print the argument counts its count checks\n"
     "                      pass; --call simulates the compile-time checks for a call line\n"
     "                      (symbols derived from it, then the firing #ERROR or the expansion);\n"
     "                      --page takes variables and labels from a page file; --set overrides\n"
     "                      one symbol; --return-arg picks the argument a RETURNVALUE macro\n"
     "                      returns in (0 none; the last by default); --all-kinds (needs\n"
     "                      FILE.mcs) tries every kind of every parameter and the return value;\n"
     "                      --calls-in simulates every call of the macro on PAGE (one line a\n"
     "                      call: passes, fires, or cannot be decided) with PAGE's names.\n"
     "                      A call line ends at a comment mark (' or ;) or a statement\n"
     "                      separator (:) outside quotes.\n"
     "                      Exit status: 0 clean, 1 lint errors, a failing --all-kinds row or an\n"
     "                      unreadable file, 2 wrong usage, 3 a call fires an #ERROR, 4 a call\n"
     "                      cannot be decided (a symbol without a value) and none fires.\n",
     ""},
    {"import",
     "  import FILE [--macro NAME] [--hint FILE] [-o OUT.mcs]\n"
     "                      read a macro that the wizard generated (in a code file or a saved\n"
     "                      _mac.rtf) back into its macro source file (see import --help)\n",
     ""},
    {"upgrade",
     "  upgrade FILE [--macro NAME] [--hint USER.MCD] [--dry-run]\n"
     "                      regenerate the macros of a code file where they stand: each one\n"
     "                      the generator now writes otherwise (the old count bounds, another\n"
     "                      layout) is replaced in place, one edited by hand is left as it is;\n"
     "                      one line a macro, with the calls in the file that pass before and\n"
     "                      after. The old file is kept as FILE.bak; --hint also regenerates\n"
     "                      the macros' blocks in a keyword file; --dry-run prints the change\n"
     "                      as a unified diff and writes nothing\n",
     "Exit status: 0 done or up to date, 1 a file is refused or cannot be written, 2 wrong\n"
     "usage.\n"},
    {"page",
     "  page                show what the wizard's link to the IDE sees, or why it sees nothing\n",
     "Exit status: 0 the page was read, 1 no connection or no page, 2 wrong usage.\n"},
};

constexpr std::string_view kOptions =
    "\n"
    "Options:\n"
    "  --help, -h          print this text; COMMAND --help prints that command's part alone\n"
    "  --version           print the program's version\n";

constexpr std::string_view kTextNote =
    "Text is written as code-page-1252 bytes; lines end in CR LF.\n";

constexpr std::string_view kFooter =
    "Exit status: 0 done, 1 the file could not be read, 2 wrong usage.\n"
    "attach and detach also end with 1 when the session file cannot be written or removed.\n"
    "hint --into also ends with 0 when the block is already there, 1 when the file is refused\n"
    "or cannot be written; upgrade ends with 1 when a file is refused or cannot be written.\n";

std::string usage() {
    std::string text = "Usage: vmacgen COMMAND ARGUMENTS\n\nCommands:\n";
    for (const CommandHelp& c : kCommands) {
        text += c.text;
    }
    return text.append(kOptions).append("\n").append(kTextNote).append(kFooter);
}

// The help of one command, or nothing when there is no such command.
std::optional<std::string> commandUsage(std::string_view name) {
    for (const CommandHelp& c : kCommands) {
        if (c.name == name) {
            return "Usage: vmacgen " + std::string(name) + " ARGUMENTS\n\n" + std::string(c.text) +
                   "\n" + std::string(kTextNote) + std::string(c.status);
        }
    }
    return std::nullopt;
}

bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

using vmg::cli::UsageError;

// Wrong usage: the line that says what was wrong, then the usage of the command (the whole
// usage when no known command was named); status 2.
int wrongUsage(std::string_view command, const std::string& problem) {
    const auto help = commandUsage(command);
    const std::string who = help ? "vmacgen " + std::string(command) : std::string("vmacgen");
    std::fprintf(stderr, "%s: %s\n\n", who.c_str(), problem.c_str());
    std::fputs(help ? help->c_str() : usage().c_str(), stderr);
    return 2;
}

// Single-row edit distance: how many letters to add, drop or change to turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "unknown command X", with the command it most likely meant when one is a slip away.
std::string unknownCommand(std::string_view name) {
    std::string text = "unknown command " + std::string(name);
    // One slip in a short name, two in a longer one; more is another word.
    std::size_t best = name.size() >= 6 ? 3 : 2;
    std::string_view meant;
    for (const CommandHelp& c : kCommands) {
        if (const std::size_t d = editDistance(name, c.name); d < best) {
            best = d;
            meant = c.name;
        }
    }
    if (!meant.empty()) {
        text += "; did you mean " + std::string(meant) + "?";
    }
    return text;
}

void writeOut(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// Reads the file into a program-start definition; on failure prints the reader's message.
bool load(const std::string& path, vmg::codegen::MacroDefinition& def, int32_t& count) {
    def = vmg::codegen::MacroDefinition{};
    const auto result = vmg::macsource::ReadMacroSourceToGenerate(path, def);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return false;
    }
    if (!result.note.empty()) {
        std::fprintf(stderr, "%s\n", result.note.c_str());
    }
    count = result.count;
    return true;
}

// A whole number from 1 up; nothing when the text is anything else.
std::optional<int32_t> positiveNumber(std::string_view text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

// vmacgen attach PAGE [--core 14|16] [--line N] [--column N]
int attach(std::span<const std::string_view> args) {
    namespace session = vmg::pluginmgr;
    session::Session current;
    std::optional<std::string> page;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--core" || arg == "--line" || arg == "--column") {
            if (i + 1 >= args.size()) {
                throw UsageError(vmg::cli::MissingValue(arg, "a value"));
            }
            const std::string_view given = args[++i];
            const auto number = positiveNumber(given);
            if (arg == "--core" && (!number || (*number != 14 && *number != 16))) {
                throw UsageError("--core must be 14 or 16, not " + std::string(given));
            }
            if (!number) {
                throw UsageError(std::string(arg) + " must be a whole number from 1, not " +
                                 std::string(given));
            }
            if (arg == "--core") {
                current.Core = *number;
            } else if (arg == "--line") {
                current.Line = *number;
            } else {
                current.Column = *number;
            }
        } else if ((arg.size() > 1 && arg.front() == '-') || page) {
            throw UsageError(vmg::cli::UnexpectedArgument(arg));
        } else {
            page = std::string(arg);
        }
    }
    if (!page) {
        throw UsageError("no PAGE given");
    }
    std::error_code error;
    const auto path =
        std::filesystem::absolute(vmg::platform::PathFromUtf8(*page), error).lexically_normal();
    const vmg::platform::FileRead read =
        vmg::platform::CheckRegularFile(vmg::platform::Utf8FromPath(path), UINT64_MAX);
    if (error || !read.ok()) {
        // Worded as the other commands word a file they cannot open.
        const std::string reason = error ? error.message()
                                   : read.Status == vmg::platform::ReadStatus::NotRegularFile
                                       ? "It is not a regular file"
                                       : read.Reason;
        std::fprintf(stderr, "Cannot open file \"%s\". %s\n", page->c_str(), reason.c_str());
        return 1;
    }
    current.Page = vmg::platform::Utf8FromPath(path);
    std::string why;
    if (!session::WriteSession(current, why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    return 0;
}

// vmacgen detach
int detach() {
    std::string why;
    if (!vmg::pluginmgr::RemoveSession(why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    return 0;
}

// The code, hint and hint-rtf commands: one macro source file in, the generated text out.
int generate(std::string_view command, std::span<const std::string_view> args) {
    using namespace vmg::codegen;
    if (args.empty()) {
        throw UsageError("no FILE.mcs given");
    }
    if (args.size() > 1 || args[0].starts_with("-")) {
        throw UsageError(vmg::cli::UnexpectedArgument(args.size() > 1 ? args[1] : args[0]));
    }
    MacroDefinition def;
    int32_t count = 0;
    if (!load(std::string(args[0]), def, count)) {
        return 1;
    }
    if (command == "code") {
        writeOut(JoinCrLf(MacroLines(def, count)));
    } else if (command == "hint") {
        writeOut(JoinCrLf(KeyBlock(def, count)));
    } else {
        // The hint is the keyword block's fourth line.
        const Lines block = KeyBlock(def, count);
        writeOut(
            HintLineToRtf(block.size() >= 4 ? std::string_view(block[3]) : std::string_view()));
    }
    return 0;
}

// A known command with its arguments; wrong usage throws UsageError.
int runCommand(std::string_view command, std::span<const std::string_view> args) {
    if (command == "import") {
        return vmg::cli::ImportCommand(args);
    }
    if (command == "page") {
        if (!args.empty()) {
            throw UsageError(vmg::cli::UnexpectedArgument(args[0]));
        }
        return PageCommand();
    }
    if (command == "attach") {
        return attach(args);
    }
    if (command == "check") {
        return vmg::cli::CheckCommand(args);
    }
    if (command == "upgrade") {
        return vmg::cli::UpgradeCommand(args);
    }
    if (command == "detach") {
        if (!args.empty()) {
            throw UsageError(vmg::cli::UnexpectedArgument(args[0]));
        }
        return detach();
    }
    if (command == "hint" && args.size() > 1) {
        return vmg::cli::HintIntoCommand(args);
    }
    return generate(command, args);
}

} // namespace

int main(int argc, char** argv) {
    vmg::platform::UseBinaryStandardOutput();
    const std::vector<std::string> arguments = vmg::platform::ProgramArguments(argc, argv);
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    if (args.size() == 1 && isHelp(args[0])) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::fputs("vmacgen " VMG_VERSION "\n", stdout);
        return 0;
    }
    if (args.empty()) {
        return wrongUsage({}, "no command given");
    }
    const std::string_view command = args[0];
    if (!commandUsage(command)) {
        return wrongUsage({}, command.starts_with("-") ? vmg::cli::UnexpectedArgument(command)
                                                       : unknownCommand(command));
    }
    // import prints its own, longer help.
    if (command != "import" && std::any_of(args.begin() + 1, args.end(), isHelp)) {
        std::fputs(commandUsage(command)->c_str(), stdout);
        return 0;
    }
    try {
        return runCommand(command, std::span(args).subspan(1));
    } catch (const UsageError& wrong) {
        return wrongUsage(command, wrong.what());
    }
}
