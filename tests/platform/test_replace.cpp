// The platform layer's atomic replace and bounded reader, on whichever system runs the tests.
#include "Files.h"
#include "Library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;
using vmg::platform::ReadRegularFile;
using vmg::platform::ReadStatus;
using vmg::platform::ReplaceFile;
using vmg::platform::ReplaceStatus;

// The layer takes UTF-8; std::filesystem gives it as char8_t.
std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class PlatformFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("vmg-platform-") + info->name() + "-" + std::to_string(std::rand()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(m_dir, ignored);
    }

    static std::string read(const fs::path& path) {
        const auto got = ReadRegularFile(utf8(path), 1 << 20);
        return got.Status == ReadStatus::Ok ? got.Bytes : "<" + got.Reason + ">";
    }
    std::size_t entriesIn(const fs::path& folder) const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path m_dir;
};

struct ReplaceCase {
    const char* Name;
    // Prepares the folder and gives the target; an empty path skips the case (with the reason
    // in skipWhy).
    std::function<fs::path(const fs::path& dir, std::string& skipWhy)> Prepare;
    std::function<bool()> BeforeRename;
    ReplaceStatus Expected;
    const char* ContentAfter; // nullptr: the target does not exist afterwards
};

void PrintTo(const ReplaceCase& c, std::ostream* out) {
    *out << c.Name;
}

const char kOld[] = "Old:\r\n  GoSub Old\r\n";
const char kNew[] = "New: \xE9\r\n\0after NUL\n";
const std::string kNewBytes(kNew, sizeof kNew - 1);

const ReplaceCase kReplaceCases[] = {
    {"ReplacesAnExistingFile",
     [](const fs::path& dir, std::string&) {
         writeFile(dir / "page.bas", kOld);
         return dir / "page.bas";
     },
     {},
     ReplaceStatus::Ok,
     kNew},
    {"CreatesAMissingFile",
     [](const fs::path& dir, std::string&) { return dir / "new.mcs"; },
     {},
     ReplaceStatus::Ok,
     kNew},
    {"RefusesAReadOnlyTarget",
     [](const fs::path& dir, std::string& skipWhy) {
         const fs::path target = dir / "locked.bas";
         writeFile(target, kOld);
         fs::permissions(target,
                         fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         // On Windows the read-only attribute binds everyone; on POSIX root may write anyway.
         constexpr bool kAttributeBindsEveryone = fs::path::preferred_separator == '\\';
         if (!kAttributeBindsEveryone && std::ofstream(target, std::ios::app)) {
             skipWhy = "this user may write a read-only file";
             return fs::path();
         }
         return target;
     },
     {},
     ReplaceStatus::Failed,
     kOld},
    {"RefusesATargetInAMissingFolder",
     [](const fs::path& dir, std::string&) { return dir / "no such folder" / "page.bas"; },
     {},
     ReplaceStatus::Failed,
     nullptr},
    {"WritesANonAsciiPath",
     [](const fs::path& dir, std::string&) {
         const fs::path folder = dir / fs::path(u8"Prüfung Ωmega 日本");
         fs::create_directories(folder);
         writeFile(folder / fs::path(u8"Blink-é.bas"), kOld);
         return folder / fs::path(u8"Blink-é.bas");
     },
     {},
     ReplaceStatus::Ok,
     kNew},
    {"AbandonedJustBeforeTheRenameLeavesTheOldFile",
     [](const fs::path& dir, std::string&) {
         writeFile(dir / "page.bas", kOld);
         return dir / "page.bas";
     },
     [] { return false; }, ReplaceStatus::Abandoned, kOld},
};

class ReplaceTest : public PlatformFiles, public ::testing::WithParamInterface<ReplaceCase> {};

} // namespace

TEST_P(ReplaceTest, EndsWithTheNewFileOrTheOldOne) {
    const ReplaceCase& c = GetParam();
    std::string skipWhy;
    const fs::path target = c.Prepare(m_dir, skipWhy);
    if (target.empty()) {
        GTEST_SKIP() << skipWhy;
    }
    const bool existed = fs::exists(target);
    const auto entriesBefore =
        fs::exists(target.parent_path()) ? entriesIn(target.parent_path()) : 0;

    const auto result = ReplaceFile(utf8(target), kNewBytes, c.BeforeRename);

    EXPECT_EQ(result.Status, c.Expected) << result.Reason;
    EXPECT_EQ(result.Reason.empty(), c.Expected != ReplaceStatus::Failed) << result.Reason;
    if (c.ContentAfter == nullptr) {
        EXPECT_FALSE(fs::exists(target));
        EXPECT_FALSE(fs::exists(target.parent_path()));
        return;
    }
    const std::string expected = c.ContentAfter == kNew ? kNewBytes : std::string(c.ContentAfter);
    EXPECT_EQ(read(target), expected);
    // No temporary file is left behind, whatever the outcome; a new file adds just itself.
    const bool created = !existed && c.Expected == ReplaceStatus::Ok;
    EXPECT_EQ(entriesIn(target.parent_path()), entriesBefore + (created ? 1 : 0));
    // The name on disk is the one asked for, character for character.
    bool found = false;
    for (const auto& entry : fs::directory_iterator(target.parent_path())) {
        found = found || entry.path().filename().u8string() == target.filename().u8string();
    }
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(Platform, ReplaceTest, ::testing::ValuesIn(kReplaceCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// A program that dies between writing the temporary file and the rename leaves the old file as
// it was: that is the point of writing beside it first.
TEST_F(PlatformFiles, ACrashBeforeTheRenameLeavesTheOldFileIntact) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path target = m_dir / "page.bas";
    writeFile(target, kOld);
    EXPECT_EXIT(ReplaceFile(utf8(target), kNewBytes,
                            [] {
                                std::_Exit(7);
                                return true;
                            }),
                ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(read(target), kOld);
}

TEST_F(PlatformFiles, ReaderRefusesWhatIsNotAWholeRegularFile) {
    writeFile(m_dir / "four", "1234");
    writeFile(m_dir / "five", "12345");
    writeFile(m_dir / "empty", "");
    struct {
        fs::path Path;
        ReadStatus Status;
        const char* Reason; // nullptr: the system's own text, whatever it is
    } const cases[] = {
        {m_dir / "four", ReadStatus::Ok, ""},
        {m_dir / "empty", ReadStatus::Ok, ""},
        {m_dir / "five", ReadStatus::TooLarge, "is larger than the limit of 4 bytes"},
        {m_dir, ReadStatus::NotRegularFile, "is not a regular file"},
        {m_dir / "missing", ReadStatus::CannotOpen, nullptr},
    };
    for (const auto& c : cases) {
        const auto got = ReadRegularFile(utf8(c.Path), 4);
        EXPECT_EQ(got.Status, c.Status) << c.Path;
        if (c.Reason != nullptr) {
            EXPECT_EQ(got.Reason, c.Reason) << c.Path;
        } else {
            EXPECT_FALSE(got.Reason.empty()) << c.Path;
            EXPECT_NE(got.Reason.back(), '\n') << c.Path;
        }
        if (got.Status == ReadStatus::Ok) {
            EXPECT_EQ(got.Stamp.Size, got.Bytes.size());
            EXPECT_EQ(vmg::platform::StampOf(utf8(c.Path)), got.Stamp) << c.Path;
        }
    }
}

TEST_F(PlatformFiles, AReplacedFileHasANewStamp) {
    const fs::path target = m_dir / "page.bas";
    writeFile(target, kOld);
    const auto before = vmg::platform::StampOf(utf8(target));
    ASSERT_TRUE(before.has_value());
    ASSERT_TRUE(ReplaceFile(utf8(target), kNewBytes).ok());
    EXPECT_NE(vmg::platform::StampOf(utf8(target)), before);
    EXPECT_FALSE(vmg::platform::StampOf(utf8(m_dir / "missing")).has_value());
}

TEST(PlatformSystem, ErrorTextsAndTheProgramFolder) {
    // 2 is "no such file" both as errno and as a Windows error code.
    const std::string text = vmg::platform::SystemErrorText(2);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;

    const std::string folder = vmg::platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::is_directory(fs::path(std::u8string(folder.begin(), folder.end()))));
    EXPECT_NE(folder.back(), '/');
    EXPECT_NE(folder.back(), '\\');

    EXPECT_EQ(vmg::platform::OpenLibrary(folder + "/no-such-library.dll"), nullptr);
    EXPECT_EQ(vmg::platform::LibrarySymbol(nullptr, "Connect"), nullptr);
}
