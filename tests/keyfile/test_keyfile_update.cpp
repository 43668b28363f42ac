// Updating USER.MCD on disk: created, backed up, replaced whole, or left exactly as it was.
#include "KeyFileUpdate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace vmg::keyfile;
namespace fs = std::filesystem;

namespace {

const Lines kBlock = {"KEY (\"Blink\")", "\tHint = \"<b>Blink</b> <i></i></i>", "ENDKEY"};
const std::string kBlockText =
    "KEY (\"Blink\")\r\n\tHint = \"<b>Blink</b> <i></i></i>\r\nENDKEY\r\n";

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class KeyFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("vmg_keyfile_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_path = (m_dir / "USER.MCD").string();
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    void put(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    WriteOutcome update(const Lines& block = kBlock) {
        return ApplyUpdate(m_path, PlanUpdate(m_path, block));
    }
    // The folder holds exactly these names.
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            out.push_back(e.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path m_dir;
    std::string m_path;
};

TEST_F(KeyFileOnDisk, MissingFileIsCreatedWithoutBackup) {
    const UpdatePlan plan = PlanUpdate(m_path, kBlock);
    ASSERT_TRUE(plan.Ok) << plan.Message;
    EXPECT_FALSE(plan.Exists);
    EXPECT_TRUE(ApplyUpdate(m_path, plan).Ok);
    EXPECT_EQ(slurp(m_path), kBlockText);
    EXPECT_EQ(names(), std::vector<std::string>{"USER.MCD"});
}

TEST_F(KeyFileOnDisk, BackupHoldsThePreviousContentEachTime) {
    const std::string first = "; keywords\r\n";
    put(m_path, first);
    ASSERT_TRUE(update().Ok);
    const std::string inserted = slurp(m_path);
    EXPECT_EQ(inserted, first + "\r\n" + kBlockText);
    EXPECT_EQ(slurp(BackupPath(m_path)), first);

    Lines edited = kBlock;
    edited[1] = "\tHint = \"<b>Blink</b> <i><b>Pin</b> As BYTE </i></i>";
    ASSERT_TRUE(update(edited).Ok);
    EXPECT_EQ(slurp(BackupPath(m_path)), inserted);
    EXPECT_EQ(PlanUpdate(m_path, edited).Edit.Kind, EditKind::Unchanged);
    EXPECT_EQ(names(), (std::vector<std::string>{"USER.MCD", "USER.MCD.bak"}));
}

TEST_F(KeyFileOnDisk, UnchangedOrRefusedWritesNothing) {
    put(m_path, kBlockText);
    const UpdatePlan same = PlanUpdate(m_path, kBlock);
    EXPECT_EQ(same.Edit.Kind, EditKind::Unchanged);
    EXPECT_TRUE(ApplyUpdate(m_path, same).Ok);

    const std::string doubled = kBlockText + kBlockText;
    put(m_path, doubled);
    const UpdatePlan refused = PlanUpdate(m_path, kBlock);
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.Message, "Cannot add the hint to \"" + m_path +
                                   "\". The file holds more than one entry for Blink, at lines 1 "
                                   "and 4.");
    EXPECT_FALSE(ApplyUpdate(m_path, refused).Ok);
    EXPECT_EQ(slurp(m_path), doubled);
    EXPECT_EQ(names(), std::vector<std::string>{"USER.MCD"});
}

TEST_F(KeyFileOnDisk, KeepsPermissionsAndWritesThroughALink) {
    const fs::path real = m_dir / "real.mcd";
    put(real, "; x\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, m_path);
    ASSERT_TRUE(update().Ok);
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(slurp(real), "; x\n\nKEY (\"Blink\")\n\tHint = \"<b>Blink</b> <i></i></i>\nENDKEY\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(KeyFileOnDisk, UnwritablePlacesLoseNothing) {
    const std::string old = "; mine\r\n";
    // A read-only file (refused even for root), a backup that cannot be written, and a path
    // that is a folder.
    put(m_path, old);
    fs::permissions(m_path, fs::perms::owner_read | fs::perms::group_read);
    WriteOutcome r = update();
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, "Cannot create file \"" + m_path + "\". Permission denied.");
    EXPECT_EQ(slurp(m_path), old);
    EXPECT_EQ(names(), std::vector<std::string>{"USER.MCD"});

    fs::permissions(m_path, fs::perms::owner_write, fs::perm_options::add);
    fs::create_directory(BackupPath(m_path));
    r = update();
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Message.starts_with("Cannot create file \"" + m_path + ".bak\".")) << r.Message;
    EXPECT_EQ(slurp(m_path), old);

    const UpdatePlan folder = PlanUpdate(m_dir.string(), kBlock);
    EXPECT_FALSE(folder.Ok);
    EXPECT_EQ(folder.Message,
              "Cannot add the hint to \"" + m_dir.string() + "\". It is not a regular file.");
}

TEST_F(KeyFileOnDisk, ReadOnlyFolderLosesNothing) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write into a read-only folder";
    }
    put(m_path, "; mine\r\n");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(update().Ok);
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(slurp(m_path), "; mine\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{"USER.MCD"});
}

} // namespace
