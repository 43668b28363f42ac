// What the command-line tests share: running vmacgen with its output captured in a folder of the
// test's own, writing and reading files there.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

// A test with a fresh folder of its own: run() runs vmacgen there, file() writes a file there.
class CommandTest : public ::testing::Test {
protected:
    explicit CommandTest(const char* prefix) : m_prefix(prefix) {}
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / (m_prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    Outcome run(const std::string& args) { return RunVmacgen(m_dir, args); }
    std::string file(const std::string& name, const std::string& bytes) {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        return (m_dir / name).string();
    }

    std::string m_prefix;
    std::filesystem::path m_dir;
};

} // namespace vmg::testing
