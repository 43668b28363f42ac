// IDE_Info against our real qvPluginMgr library over temporary session and page files.
#include "IDE_Info.h"
#include "IdeTestSupport.h"
#include "cPluginInterface.h"

#include <sys/stat.h>

using namespace vmg::ide;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

class IdeInfoTest : public vmg::idetest::TempIdeFolder {
protected:
    void SetUp() override {
        TempIdeFolder::SetUp();
        SetPluginLibraryPath(""); // the library beside the test program
        ResetForTests();
    }
    void TearDown() override {
        SetPluginLibraryPath("");
        ResetForTests();
        TempIdeFolder::TearDown();
    }
    // Start-up as the wizard does it.
    bool connectAndLoad() {
        Connect(0);
        return LoadPageText();
    }
};

// Comments indented with blanks and tabs, code before a comment, labels and declarations.
constexpr const char* kPage = "' Counter demo\n"
                              "\t' set-up\n"
                              "  ; old style\n"
                              "Dim Counter As Byte\n"
                              "Dim X, Y As Word\n"
                              "Dimmer = 5\n"
                              "\n"
                              "Main: ' the start\n"
                              "  Indented:\n"
                              "\tCounter = Counter + 1 ' count\n"
                              "GoTo Main\n";

TEST_F(IdeInfoTest, ScansTheAttachedPageWithEveryLineEnd) {
    for (const std::string lineEnd : {"\r\n", "\r", "\n"}) {
        std::string text = kPage;
        for (auto pos = text.find('\n'); pos != std::string::npos;
             pos = text.find('\n', pos + lineEnd.size())) {
            text.replace(pos, 1, lineEnd);
        }
        writeSession(writePage("Demo.bas", text), 16);
        ResetForTests();
        ASSERT_TRUE(connectAndLoad()) << "line end " << testing::PrintToString(lineEnd);
        EXPECT_EQ(PageLines(), (Lines{"Dim Counter As Byte", "Dim X, Y As Word", "Dimmer = 5",
                                      "Main: ' the start", "  Indented:",
                                      " Counter = Counter + 1 ' count", "GoTo Main"}));
        EXPECT_TRUE(FindLabels());
        EXPECT_EQ(PageLabels(), Lines{"Main"});
        EXPECT_TRUE(FindVariables());
        EXPECT_EQ(PageVariables(), (Lines{"Counter", "X"}));
        EXPECT_EQ(CurrentPageName(), "Demo.bas");
        EXPECT_EQ(CurrentPageCore(), 16);
    }
}

TEST_F(IdeInfoTest, EmptyAndCommentOnlyPagesLoadWithNothingFound) {
    for (const char* text : {"", "' only\r\n\t; comments\r\n"}) {
        writeSession(writePage("Empty.bas", text));
        ASSERT_TRUE(connectAndLoad()) << text;
        EXPECT_TRUE(PageLines().empty());
        EXPECT_FALSE(FindLabels());
        EXPECT_FALSE(FindVariables());
    }
}

TEST_F(IdeInfoTest, GivesCoreNameAndCursorFromTheSession) {
    const std::string longName(70, 'N');
    writeSession(writePage(longName, "X\n"), 12, 3, 7);
    Connect(0);
    EXPECT_TRUE(IsConnected());
    EXPECT_EQ(CurrentPageName(), longName.substr(0, 64));
    EXPECT_EQ(CurrentPageCore(), 12); // neither 14 nor 16: the wizard targets both
    EXPECT_EQ(GetCursor(), (CursorPos{3, 7}));
}

TEST_F(IdeInfoTest, NotConnectedWithoutASessionOrItsPage) {
    writeSession(m_dir / "gone.bas");
    for (int round = 0; round < 2; ++round) {
        Connect(0);
        EXPECT_FALSE(IsConnected());
        EXPECT_EQ(CurrentPageName(), "");
        EXPECT_EQ(CurrentPageCore(), 0);
        EXPECT_FALSE(LoadPageText());
        EXPECT_EQ(GetCursor(), CursorPos{});
        fs::remove(sessionPath());
    }
}

TEST_F(IdeInfoTest, LostConnectionKeepsTheLinesAlreadyRead) {
    writeSession(writePage("Demo.bas", "Main:\n"));
    ASSERT_TRUE(connectAndLoad());
    fs::remove(sessionPath());
    EXPECT_FALSE(LoadPageText());
    EXPECT_EQ(PageLines(), Lines{"Main:"});
}

TEST_F(IdeInfoTest, RefusesATextSizeAbove64MiB) {
    writeSession(writePage("Small.bas", "Main:\n"));
    ASSERT_TRUE(connectAndLoad());
    // A sparse file: the text size the library reports is one more than 64 MiB.
    const fs::path big = writePage("Big.bas", "");
    fs::resize_file(big, 64 * 1024 * 1024);
    writeSession(big, 14);
    EXPECT_FALSE(LoadPageText());
    EXPECT_TRUE(PageLines().empty());
    EXPECT_EQ(CurrentPageCore(), 14); // the record itself is sound
}

// The library's side of the buffers: it writes only within the sizes it is given, and hands
// back no text for an identifier that is not the open page's.
TEST_F(IdeInfoTest, LibraryKeepsWithinBuffersAndChecksTheIdentifier) {
    const fs::path page = writePage("Demo.bas", "Main:\n");
    writeSession(page);
    const PluginFunctions* lib = PluginLibrary();
    ASSERT_NE(lib, nullptr);
    char id[kPageIdSize] = {};
    ASSERT_NE(lib->GetPage(id, 4), 0);
    EXPECT_EQ(std::string(id), page.string().substr(0, 3));
    ASSERT_NE(lib->GetPage(id, kPageIdSize), 0);
    EXPECT_EQ(std::string(id), page.string());

    PageInfo info{};
    EXPECT_EQ(lib->GetPageInfo("/elsewhere.bas", &info), 0);
    ASSERT_NE(lib->GetPageInfo(id, &info), 0);
    EXPECT_EQ(info.TextSize, 7); // the text and its closing NUL

    std::string small = page.string().substr(0, 3) + "#"; // three bytes lent, one sentinel
    EXPECT_NE(lib->GetPageText(small.data(), 3), 0);
    EXPECT_EQ(small, "Mai#");
    std::string wrong = "/elsewhere.bas";
    wrong.resize(16, '\0');
    EXPECT_EQ(lib->GetPageText(wrong.data(), 16), 0);
    EXPECT_EQ(wrong[0], '\0');
}

struct PasteCase {
    const char* what;
    CursorPos at;
    const char* expected;
};

TEST_F(IdeInfoTest, PastesAtTheCursorInThePagesOwnLineEnds) {
    const PasteCase cases[] = {
        {"middle of a line", {2, 3}, "Main:\nGoX\nY\nTo Main\n"},
        {"past the line's end", {1, 99}, "Main:X\nY\n\nGoTo Main\n"},
        {"past the last line", {9, 1}, "Main:\nGoTo Main\nX\nY\n"},
    };
    for (const auto& c : cases) {
        const fs::path page = writePage("Paste.bas", "Main:\nGoTo Main\n");
        fs::permissions(page,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        writeSession(page, 0, c.at.First, c.at.Second);
        Connect(0);
        ASSERT_EQ(GetCursor(), c.at) << c.what;
        PasteAt("X\r\nY\r\n", GetCursor());
        EXPECT_EQ(readFile(page), c.expected) << c.what;
        struct stat info {};
        ASSERT_EQ(::stat(page.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0640u) << c.what;
    }
}

// A library that is not there, and one that lacks the seven functions, both mean "not
// connected", even with a sound session in place.
TEST_F(IdeInfoTest, WithoutAUsableLibraryEveryOperationIsEmpty) {
    const fs::path page = writePage("Demo.bas", "Main:\nDim A As Byte\n");
    writeSession(page, 16, 1, 1);
    for (const char* library : {"/nonexistent/libqvPluginMgr.so", "libm.so.6"}) {
        SetPluginLibraryPath(library);
        ResetForTests();
        Connect(0);
        EXPECT_EQ(PluginLibrary(), nullptr) << library;
        EXPECT_FALSE(IsConnected());
        EXPECT_EQ(CurrentPageName(), "");
        EXPECT_EQ(CurrentPageCore(), 0);
        EXPECT_FALSE(LoadPageText());
        EXPECT_FALSE(FindLabels());
        EXPECT_FALSE(FindVariables());
        EXPECT_EQ(GetCursor(), CursorPos{});
        PasteAt("X\r\n", {1, 1});
        EXPECT_EQ(readFile(page), "Main:\nDim A As Byte\n");
    }
}

} // namespace
