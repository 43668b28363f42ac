// vmacgen: the wizard's generators for batch and build-script use, and the IDE session helper.
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: vmacgen COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  code FILE.mcs       print the macro generated from a macro source file\n"
    "  hint FILE.mcs       print the USER.MCD keyword block for the macro\n"
    "  hint-rtf FILE.mcs   print the rich-text preview of the keyword's hint\n"
    "  --help              print this text\n"
    "\n"
    "Text is written as code-page-1252 bytes; lines end in CR LF.\n"
    "Exit status: 0 done, 1 the file could not be read, 2 wrong usage.\n";

int usageError() {
    std::fputs(kUsage, stderr);
    return 2;
}

void writeOut(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// Reads the file into the program-start definition; on failure prints the reader's message.
bool load(const std::string& path, int32_t& count) {
    vmg::codegen::ResetModule();
    const auto result = vmg::macsource::ReadMacroSource(path);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return false;
    }
    count = result.count;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace vmg::codegen;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() != 2) {
        return usageError();
    }
    const std::string_view command = args[0];
    if (command != "code" && command != "hint" && command != "hint-rtf") {
        return usageError();
    }
    int32_t count = 0;
    if (!load(std::string(args[1]), count)) {
        return 1;
    }
    if (command == "code") {
        writeOut(JoinCrLf(GenerateMacro(count)));
    } else if (command == "hint") {
        writeOut(JoinCrLf(BuildKeyBlock(count)));
    } else {
        BuildKeyBlock(count);
        writeOut(HintToRtf());
    }
    return 0;
}
