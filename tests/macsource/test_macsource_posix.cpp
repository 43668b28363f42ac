// The writer on a POSIX system: links written through, modes kept, read-only files refused to
// an unprivileged user.
#include "MacSourceReadWrite.h"
#include "MacSourceTestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace vmg;
using namespace vmg::testing;

namespace {

// The writer writes through a link and keeps a file's mode; as an unprivileged user it may not
// replace a read-only file (run in a child as "nobody" when the test runs as root).
TEST(MacroSourceWriter, KeepsLinksAndModesAndRefusesAReadOnlyFile) {
    TempDir dir;
    const std::string real = dir.file("Real.mcs");
    spit(real, "old");
    fs::permissions(real, fs::perms(0600));
    fs::create_symlink("Real.mcs", dir.file("M.mcs"));
    ASSERT_TRUE(macsource::WriteMacroSource(dir.file("M.mcs"), readPort(), 1).ok);
    EXPECT_TRUE(fs::is_symlink(dir.file("M.mcs")));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_NE(slurp(real), "old");

    const std::string readOnly = dir.file("RO.mcs");
    spit(readOnly, "old");
    fs::permissions(readOnly, fs::perms(0444));
    const auto attempt = [&] {
        const auto w = macsource::WriteMacroSource(readOnly, readPort(), 1);
        return !w.ok && w.message == "Cannot create file \"" + readOnly + "\". Permission denied";
    };
    if (::geteuid() == 0) {
        fs::permissions(dir.path(), fs::perms(0777));
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && attempt() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        EXPECT_TRUE(attempt());
    }
    EXPECT_EQ(slurp(readOnly), "old");
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all, fs::perms(0444));
}

} // namespace
