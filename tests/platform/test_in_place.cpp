// The in-place edit: encodings, the backup's order, the still-the-same check, the lock and many
// writers at once, on whichever system runs the tests.
#include "Files.h"
#include "InPlaceEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace vmg::platform;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

class InPlaceEdit : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("vmg-inplace-") + info->name() + "-" + std::to_string(std::rand()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = utf8(m_dir / "USER.MCD");
        m_bak = m_file + ".bak";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    static void put(const std::string& path, const std::string& bytes) {
        std::ofstream(pathOf(path), std::ios::binary) << bytes;
    }
    static std::string get(const std::string& path) {
        std::ifstream in(pathOf(path), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            out.push_back(utf8(entry.path().filename()));
#ifdef _WIN32
            if (out.back().ends_with(".vmg-lock")) {
                out.pop_back(); // Windows keeps the lock file, hidden
            }
#endif
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // An edit that appends a line, as the keyword editor appends a block.
    static EditPlanner append(const std::string& line) {
        return [line](std::string_view current, bool) {
            return EditPlan{false, std::string(current) + line + "\r\n", {}};
        };
    }

    fs::path m_dir;
    std::string m_file, m_bak;
};

TEST_F(InPlaceEdit, EncodingsWeCannotEditAreRefusedByName) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        const char* encoding; // nullptr: edited
    } cases[] = {
        {"\xFF\xFE;\0 \0x\0"s, "UTF-16 LE"},   {"\xFE\xFF\0;\0 \0x"s, "UTF-16 BE"},
        {"\xFF\xFE\0\0;\0\0\0"s, "UTF-32 LE"}, {"\0\0\xFE\xFF\0\0\0;"s, "UTF-32 BE"},
        {"\xEF\xBB\xBF; x\r\n", nullptr},      {"; x\r\n", nullptr},
        {"\xFF; 8-bit\r\n", nullptr},
    };
    for (const auto& c : cases) {
        put(m_file, c.bytes);
        fs::remove(pathOf(m_bak));
        const EditOutcome r = EditInPlace(m_file, append("new"));
        if (c.encoding != nullptr) {
            EXPECT_EQ(r.Status, EditStatus::CannotRead) << c.encoding;
            EXPECT_EQ(r.Reason, std::string("It is in ") + c.encoding +
                                    "; only 8-bit text (code page 1252) can be edited.");
            EXPECT_EQ(get(m_file), c.bytes);
            EXPECT_EQ(get(m_bak), "<missing>");
        } else {
            EXPECT_EQ(r.Status, EditStatus::Written) << r.Reason;
            EXPECT_EQ(get(m_file), c.bytes + "new\r\n");
            EXPECT_EQ(get(m_bak), c.bytes);
        }
    }
    EXPECT_EQ(Utf8MarkLength("\xEF\xBB\xBFKEY"), 3u);
    EXPECT_EQ(Utf8MarkLength("\xEF\xBBKEY"), 0u);
}

// Whatever stops the edit after the read, the file and the previous backup stay as they were,
// nothing of ours is left in the folder, and the reason says what happened.
TEST_F(InPlaceEdit, AStoppedEditKeepsTheFileAndTheOldBackup) {
    const std::string held = "; held\r\n", old = "; old backup\r\n";
    const struct {
        const char* what;
        EditPlanner plan;
        EditStatus status;
        const char* reason; // the start of it
        std::string after;  // the file's content afterwards
    } cases[] = {
        {"another writer without the lock",
         [&](std::string_view current, bool) {
             put(m_file, "; theirs\r\n");
             return EditPlan{false, std::string(current) + "mine\r\n", {}};
         },
         EditStatus::Changed, "Another program changed it", "; theirs\r\n"},
        {"the same size and bytes, a new time",
         [&](std::string_view current, bool) {
             fs::last_write_time(pathOf(m_file),
                                 fs::last_write_time(pathOf(m_file)) - std::chrono::hours(1));
             return EditPlan{false, std::string(current) + "mine\r\n", {}};
         },
         EditStatus::Changed, "Another program changed it", held},
        {"too large",
         [](std::string_view, bool) {
             return EditPlan{false, std::string(65, 'x'), {}};
         },
         EditStatus::CannotWrite, "The new content would be larger than the limit of 64 bytes.",
         held},
        {"refused",
         [](std::string_view, bool) {
             return EditPlan{true, {}, "No."};
         },
         EditStatus::Refused, "No.", held},
    };
    EditOptions options;
    options.Limit = 64;
    for (const auto& c : cases) {
        put(m_file, held);
        put(m_bak, old);
        const EditOutcome r = EditInPlace(m_file, c.plan, options);
        EXPECT_EQ(r.Status, c.status) << c.what;
        EXPECT_TRUE(r.Reason.starts_with(c.reason)) << c.what << ": " << r.Reason;
        EXPECT_EQ(get(m_file), c.after) << c.what;
        EXPECT_EQ(get(m_bak), old) << c.what;
        EXPECT_EQ(names(), (std::vector<std::string>{"USER.MCD", "USER.MCD.bak"})) << c.what;
    }
}

TEST_F(InPlaceEdit, MissingFilesAndFoldersInTheWay) {
    // A file that another writer creates between our read and our replace is not overwritten.
    EditOptions create;
    create.MayCreate = true;
    EditOutcome r = EditInPlace(
        m_file,
        [&](std::string_view, bool exists) {
            EXPECT_FALSE(exists);
            put(m_file, "; theirs\r\n");
            return EditPlan{false, "; mine\r\n", {}};
        },
        create);
    EXPECT_EQ(r.Status, EditStatus::Changed);
    EXPECT_EQ(get(m_file), "; theirs\r\n");

    // Without MayCreate a missing file is refused with the system's reason, one stop at its end.
    r = EditInPlace(utf8(m_dir / "none"), append("x"));
    EXPECT_EQ(r.Status, EditStatus::CannotRead);
    EXPECT_TRUE(r.Reason.ends_with(".") && !r.Reason.ends_with("..")) << r.Reason;

    // A folder as the file, as the backup, or as the output of a whole write.
    fs::create_directory(m_dir / "folder");
    fs::create_directory(pathOf(m_bak));
    for (const EditOutcome& got :
         {EditInPlace(utf8(m_dir / "folder"), append("x")), EditInPlace(m_file, append("x")),
          WriteWholeFile(utf8(m_dir / "folder"), "x")}) {
        EXPECT_NE(got.Status, EditStatus::Written);
        EXPECT_EQ(got.Reason, "It is not a regular file.");
    }
    EXPECT_EQ(get(m_file), "; theirs\r\n");
    r = EditInPlace(m_file, append("x"));
    EXPECT_EQ(r.Where, m_bak);

    // A whole write keeps what it replaces as the backup.
    fs::remove(pathOf(m_bak));
    ASSERT_TRUE(WriteWholeFile(m_file, "; new\r\n").ok());
    EXPECT_EQ(get(m_file), "; new\r\n");
    EXPECT_EQ(get(m_bak), "; theirs\r\n");
}

TEST_F(InPlaceEdit, AHeldLockMakesTheEditWaitThenGiveUp) {
    put(m_file, "; x\r\n");
    EditLock held;
    std::string why;
    ASSERT_EQ(LockForEdit(m_file, 0, held, why), LockStatus::Held) << why;
    EditOptions quick;
    quick.LockWaitMs = 100;
    const EditOutcome busy = EditInPlace(m_file, append("y"), quick);
    EXPECT_EQ(busy.Status, EditStatus::Busy);
    EXPECT_EQ(busy.Reason, "Another program is writing it; try again when it has finished.");
    EXPECT_EQ(get(m_file), "; x\r\n");

    // Released while another waits: the waiter gets it.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        held.Release();
    });
    quick.LockWaitMs = 5000;
    EXPECT_TRUE(EditInPlace(m_file, append("y"), quick).ok());
    release.join();
    EXPECT_EQ(get(m_file), "; x\r\ny\r\n");
}

// Many writers at once, each appending its own line: every one that says it succeeded has its
// line in the file, and the line that was there first is never lost.
TEST_F(InPlaceEdit, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 16;
    put(m_file, "; first\r\n");
    std::vector<EditStatus> status(kWriters);
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.emplace_back([&, i] {
            status[static_cast<std::size_t>(i)] =
                EditInPlace(m_file, append("; line " + std::to_string(i))).Status;
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    const std::string final = get(m_file);
    EXPECT_TRUE(final.starts_with("; first\r\n")) << final;
    for (int i = 0; i < kWriters; ++i) {
        const bool present =
            final.find("; line " + std::to_string(i) + "\r\n") != std::string::npos;
        EXPECT_TRUE(status[static_cast<std::size_t>(i)] == EditStatus::Written ? present : !present)
            << i;
        EXPECT_NE(status[static_cast<std::size_t>(i)], EditStatus::Changed) << i;
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"USER.MCD", "USER.MCD.bak"}));
}

#ifdef _WIN32
// A file another program holds open without delete sharing cannot be replaced: the reason says
// so, and the file and its previous backup are as they were.
TEST_F(InPlaceEdit, AFileInUseKeepsItsBackup) {
    put(m_file, "; held\r\n");
    put(m_bak, "; old backup\r\n");
    const std::wstring wide = pathOf(m_file).wstring();
    HANDLE holder = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const EditOutcome r = EditInPlace(m_file, append("new"));
    CloseHandle(holder);
    EXPECT_EQ(r.Status, EditStatus::CannotWrite);
    EXPECT_EQ(r.Reason, "It is in use by another program.");
    EXPECT_EQ(get(m_file), "; held\r\n");
    EXPECT_EQ(get(m_bak), "; old backup\r\n");

    // Hidden and system marks stay on the new file.
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(EditInPlace(m_file, append("new")).ok());
    EXPECT_EQ(GetFileAttributesW(wide.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

} // namespace
