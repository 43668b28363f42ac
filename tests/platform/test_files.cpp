// The platform layer's files: bounded reads of regular files only, and whole-or-nothing
// replacement that keeps modes, writes through links and refuses what the user may not write.
#include "Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vmg::platform;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vmg-platform-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }
    std::string put(const std::string& name, std::string_view bytes, int mode = 0644) const {
        const std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ::chmod(path.c_str(), static_cast<mode_t>(mode));
        return path;
    }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    // Names in the folder other than the given ones: leftovers of a replace.
    std::vector<std::string> othersThan(std::initializer_list<std::string> keep) const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename().string();
            if (std::find(keep.begin(), keep.end(), name) == keep.end()) {
                out.push_back(name);
            }
        }
        return out;
    }
    fs::path m_dir;
};

// Runs body in a child process as the unprivileged user "nobody"; its exit status.
int asNobody(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(99);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(FilesTest, ReadsRegularFilesWholeInEveryLineEndAndRefusesEverythingElse) {
    const std::string fifo = (m_dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string link = (m_dir / "link").string();
    const std::string bytes = std::string("a\r\nb\rc\nd\0\xE9", 10);
    const std::string file = put("page.bas", bytes);
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    const std::string sock = (m_dir / "sock").string();
    const int sfd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
    ASSERT_EQ(::bind(sfd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    struct Case {
        std::string path;
        ReadStatus status;
        std::string reason;
    };
    const Case cases[] = {
        {file, ReadStatus::Ok, ""},
        {link, ReadStatus::Ok, ""},
        {put("empty", ""), ReadStatus::Ok, ""},
        {m_dir.string(), ReadStatus::NotRegularFile, "is not a regular file"},
        {fifo, ReadStatus::NotRegularFile, "is not a regular file"},
        {sock, ReadStatus::CannotOpen, SystemErrorText(ENXIO)},
        {"/dev/zero", ReadStatus::NotRegularFile, "is not a regular file"},
        {(m_dir / "missing").string(), ReadStatus::CannotOpen, SystemErrorText(ENOENT)},
        {put("big", std::string(11, 'x')), ReadStatus::TooLarge,
         "is larger than the limit of 10 bytes"},
        {put("limit", std::string(10, 'x')), ReadStatus::Ok, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const FileRead read = ReadRegularFile(c.path, 10);
        EXPECT_EQ(read.Status, c.status);
        EXPECT_EQ(read.Reason, c.reason);
        EXPECT_EQ(CheckRegularFile(c.path, 10).Status, c.status);
    }
    EXPECT_EQ(ReadRegularFile(file, 10).Bytes, bytes);
    EXPECT_EQ(ReadRegularFile(file, 10).Stamp, *StampOf(file));
    EXPECT_EQ(ReadRegularFile(file, UINT64_MAX).Bytes, bytes); // the largest limit
    ::close(sfd);
}

TEST_F(FilesTest, AFileThatSaysItIsEmptyIsStillReadOnlyUpToTheLimit) {
    // /proc files report a size of 0 and hold more.
    FileRead read = ReadRegularFile("/proc/self/status", 4);
    EXPECT_EQ(read.Status, ReadStatus::TooLarge);
    read = ReadRegularFile("/proc/self/status", 1 << 20);
    EXPECT_EQ(read.Status, ReadStatus::Ok);
    EXPECT_NE(read.Bytes.find("Umask:"), std::string::npos);
}

TEST_F(FilesTest, AReplaceKeepsModeWritesThroughLinksAndCreatesWithTheUsualMode) {
    const std::string page = put("page.bas", "old", 0640);
    const std::string link = (m_dir / "link.bas").string();
    ASSERT_EQ(::symlink("page.bas", link.c_str()), 0);
    ASSERT_TRUE(ReplaceFile(link, "new").ok());
    EXPECT_EQ(slurp(page), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(page).permissions() & fs::perms::all, fs::perms(0640));

    // A dangling link makes its target.
    const std::string dangling = (m_dir / "dangling.mcs").string();
    ASSERT_EQ(::symlink("made.mcs", dangling.c_str()), 0);
    ASSERT_TRUE(ReplaceFile(dangling, "made").ok());
    EXPECT_EQ(slurp((m_dir / "made.mcs").string()), "made");
    EXPECT_TRUE(fs::is_symlink(dangling));

    const mode_t mask = ::umask(027);
    ASSERT_TRUE(ReplaceFile((m_dir / "fresh").string(), "x").ok());
    ::umask(mask);
    EXPECT_EQ(fs::status(m_dir / "fresh").permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(othersThan({"page.bas", "link.bas", "dangling.mcs", "made.mcs", "fresh"}),
              std::vector<std::string>{});
}

TEST_F(FilesTest, AsRootTheOwnerIsKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file to another user";
    }
    const std::string page = put("page.bas", "old");
    ASSERT_EQ(::chown(page.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(ReplaceFile(page, "new").ok());
    struct stat st {};
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}

TEST_F(FilesTest, AnUnprivilegedUserCannotReplaceAReadOnlyFileOrWriteIntoAReadOnlyFolder) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the check as another user";
    }
    ::chmod(m_dir.c_str(), 0777);
    const std::string readOnly = put("ro.bas", "old", 0444);
    ASSERT_EQ(::chown(readOnly.c_str(), 65534, 65534), 0);
    const fs::path closed = m_dir / "closed";
    fs::create_directory(closed);
    const std::string inClosed = (closed / "page.bas").string();
    std::ofstream(inClosed) << "old";
    ::chown(inClosed.c_str(), 65534, 65534);
    ::chmod(closed.c_str(), 0555);

    struct Case {
        std::string path;
        int code;
    };
    for (const Case& c : {Case{readOnly, EACCES}, Case{inClosed, EACCES}}) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(asNobody([&] {
                      const ReplaceResult r = ReplaceFile(c.path, "new");
                      return r.Status == ReplaceStatus::Failed && r.Code == c.code &&
                                     r.Reason.find(SystemErrorText(c.code)) != std::string::npos
                                 ? 0
                                 : 1;
                  }),
                  0);
        EXPECT_EQ(slurp(c.path), "old");
    }
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all, fs::perms(0444));
}

TEST_F(FilesTest, AFullDiskLeavesTheOldFileAndNoTemporary) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    const fs::path mnt = m_dir / "small";
    fs::create_directory(mnt);
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << SystemErrorText(errno);
    }
    const std::string page = (mnt / "page.bas").string();
    std::ofstream(page) << "old";
    const ReplaceResult r = ReplaceFile(page, std::string(256 * 1024, 'x'));
    EXPECT_EQ(r.Status, ReplaceStatus::Failed);
    EXPECT_EQ(r.Code, ENOSPC);
    EXPECT_EQ(slurp(page), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(mnt), fs::directory_iterator()), 1);
    ::umount(mnt.c_str());
}

TEST_F(FilesTest, AnAbandonedOrKilledReplaceLeavesTheOldFileAndNoTemporary) {
    const std::string page = put("page.bas", "old");
    EXPECT_EQ(ReplaceFile(page, "new", [] { return false; }).Status, ReplaceStatus::Abandoned);
    EXPECT_EQ(slurp(page), "old");

    // Killed between the write and the rename.
    const pid_t child = ::fork();
    if (child == 0) {
        ReplaceFile(page, "new", [] {
            ::raise(SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(slurp(page), "old");
    EXPECT_EQ(othersThan({"page.bas"}), std::vector<std::string>{});
}

TEST_F(FilesTest, OnlyOurOwnStaleTemporariesAreRemoved) {
    const std::string stale = put(".page.bas.vmg-Ab12Cd", "left by a kill");
    const std::string young = put(".page.bas.vmg-Ab12Ce", "being written");
    const std::string other = put(".page.bas.XyZ123", "someone else's");
    const std::string old = put(".other.vmg-Ab12Cd", "old too");
    const auto age = [](const std::string& path) {
        const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 2 * 86400, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    };
    age(stale);
    age(other);
    age(old);
    ASSERT_TRUE(ReplaceFile((m_dir / "page.bas").string(), "new").ok());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(young));
    EXPECT_TRUE(fs::exists(other));
}

TEST(TemporaryNames, HaveOnePattern) {
    struct Case {
        const char* name;
        bool temporary;
    };
    for (const Case c : {Case{".page.bas.vmg-Ab12Cd", true}, Case{".x.vmg-000000", true},
                         Case{"page.bas.vmg-Ab12Cd", false}, Case{".page.bas.vmg-Ab12C", false},
                         Case{".page.bas.vmg-Ab12C!", false}, Case{".vmg-Ab12Cd", false},
                         Case{"page.bas", false}}) {
        EXPECT_EQ(IsTemporaryName(c.name), c.temporary) << c.name;
    }
}
