// What the macro source tests share: a private temporary folder, whole-file reads and writes,
// and the small example definition.
#pragma once

#include "MacroCodeGenerator.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace vmg::testing {

namespace fs = std::filesystem;
using codegen::MacroDefinition;

class TempDir {
public:
    TempDir() {
        m_path = fs::temp_directory_path() /
                 ("vmg_macsource_" + std::to_string(::getpid()) + "_" + std::to_string(s_next++));
        fs::create_directories(m_path);
    }
    ~TempDir() { fs::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const fs::path& path() const { return m_path; }

private:
    static inline int s_next = 0;
    fs::path m_path;
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline constexpr char kReadPort[] = "1,ReadPort,0,,2,0,Reads one port pin\r\n"
                                    "2,Pin,PinVar,2,0,0\r\n"
                                    "3,ReadPortSub,-1,0,,2,0,0\r\n";

inline MacroDefinition readPort() {
    MacroDefinition d;
    d.Header = {"ReadPort", 0, 2, false, "Reads one port pin", 0};
    d.Params[0] = {"Pin", 2, "PinVar", false, false};
    d.Return = {"ReadPortSub", true, false, {"", 2, "", false, false}};
    return d;
}

} // namespace vmg::testing
