// A private folder for a test's page files and session, with XDG_RUNTIME_DIR pointed at it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace vmg::idetest {

namespace fs = std::filesystem;

// Text for a test's name: control and non-ASCII bytes shown as '?'.
inline std::string printable(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        if (static_cast<unsigned char>(ch) < 32 || static_cast<unsigned char>(ch) > 126) {
            ch = '?';
        }
    }
    return out;
}

class TempIdeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vmg-ide-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
            m_oldRuntimeDir = old;
        }
        ::setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
    }

    void TearDown() override {
        if (m_oldRuntimeDir) {
            ::setenv("XDG_RUNTIME_DIR", m_oldRuntimeDir->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    fs::path writePage(const std::string& name, std::string_view content) const {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return path;
    }

    // The session as an editor would write it, by hand, not through our own writer.
    void writeSession(const fs::path& page, int core = 0, int line = 1, int column = 1) const {
        std::ofstream(m_dir / "vorlan-ide.session")
            << "page=" << page.string() << "\ncore=" << core << "\nline=" << line
            << "\ncolumn=" << column << "\n";
    }

    fs::path sessionPath() const { return m_dir / "vorlan-ide.session"; }

    static std::string readFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path m_dir;

private:
    std::optional<std::string> m_oldRuntimeDir;
};

} // namespace vmg::idetest
