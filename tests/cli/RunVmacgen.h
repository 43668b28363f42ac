// What the command-line tests share: running vmacgen with its output captured, reading a file.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace vmg::testing {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs "vmacgen ARGS" through the shell with no standard input; its output goes through files
// in `dir`, so that the bytes are read back exactly.
inline Outcome RunVmacgen(const std::filesystem::path& dir, const std::string& args) {
    const std::filesystem::path out = dir / "out", err = dir / "err";
    const std::string cmd = std::string(VMACGEN_PATH) + " " + args + " >" + out.string() + " 2>" +
                            err.string() + " </dev/null";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

} // namespace vmg::testing
