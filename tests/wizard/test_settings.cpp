// Reading the settings: when a key counts as there, what a key that is there gives for values
// that are missing or unreadable, and the defensive reading of single values.
#include "WizardFixture.h"

#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>

namespace vmg::wizard::test {
namespace {

using richtext::HighlighterSettings;

class SettingsTest : public WizardTest {
protected:
    void WriteText(const QString& relative, const QByteArray& text) {
        const QString path = QDir(TempPath()).filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
};

TEST_F(SettingsTest, AbsentKeysGiveEveryDefault) {
    EXPECT_EQ(ReadHighlighterSettings(), HighlighterSettings{});
    EXPECT_EQ(ReadWizardSettings(), DefaultWizardSettings());
    EXPECT_EQ(DefaultWizardSettings().FilePath, QDir::homePath());
}

TEST_F(SettingsTest, AnIdeFileWithoutTheHighlighterGroupIsAnAbsentKey) {
    WriteText("config/Kelvrane/VorlanIDE.conf", "[Options]\nSomething=1\n[Editor]\nFontSize=20\n");
    EXPECT_EQ(ReadHighlighterSettings(), HighlighterSettings{});
}

TEST_F(SettingsTest, AHighlighterKeyThatIsThereUsesNoDefaultForTexts) {
    // Only two values stored: the texts that are missing read as empty, the numbers that are
    // missing keep their defaults.
    StoreHighlighterSettings({{"FontSize", 12}, {"CommentColor", 0x0000FF}});
    HighlighterSettings expected;
    expected.FontSize = 12;
    expected.FontName = QString();
    expected.CommentColor = 0x0000FF;
    expected.CommentStyle = QString();
    expected.KeywordVorlanStyle = QString();
    expected.DeclareStyle = QString();
    expected.StringStyle = QString();
    expected.SFRStyle = QString();
    EXPECT_EQ(ReadHighlighterSettings(), expected);
}

TEST_F(SettingsTest, AWholeHighlighterKeyIsReadValueByValue) {
    WriteText("config/Kelvrane/VorlanIDE.conf",
              "[Options]\nHighlighter\\FontSize=10\nHighlighter\\FontName=Lucida Console\n"
              "Highlighter\\CommentColor=32768\nHighlighter\\CommentStyle=BI\n"
              "Highlighter\\KeywordVorlanColor=255\nHighlighter\\KeywordVorlanStyle=b\n"
              "Highlighter\\DeclareColor=0x800080\nHighlighter\\DeclareStyle=\" \"\n"
              "Highlighter\\StringColor=4294967295\nHighlighter\\StringStyle=I\n"
              "Highlighter\\SFRColor=not a colour\nHighlighter\\SFRStyle=\"B, I\"\n");
    const HighlighterSettings h = ReadHighlighterSettings();
    EXPECT_EQ(h.FontSize, 10);
    EXPECT_EQ(h.FontName, QStringLiteral("Lucida Console"));
    EXPECT_EQ(h.CommentColor, 32768u);
    EXPECT_EQ(h.CommentStyle, QStringLiteral("BI"));
    EXPECT_EQ(h.KeywordVorlanColor, 255u);
    EXPECT_EQ(h.KeywordVorlanStyle, QStringLiteral("b"));
    EXPECT_EQ(h.DeclareColor, 0x800080u);
    EXPECT_EQ(h.DeclareStyle, QStringLiteral(" "));
    EXPECT_EQ(h.StringColor, 0xFFFFFFFFu);
    EXPECT_EQ(h.StringStyle, QStringLiteral("I"));
    EXPECT_EQ(h.SFRColor, HighlighterSettings{}.SFRColor)
        << "an unreadable colour keeps its default";
    EXPECT_EQ(h.SFRStyle, QStringLiteral("B, I"));
}

TEST_F(SettingsTest, AFontSizeThatIsNoSizeKeepsTheDefault) {
    for (const QVariant& size : {QVariant(0), QVariant(-3), QVariant("large")}) {
        StoreHighlighterSettings({{"FontSize", size}});
        EXPECT_EQ(ReadHighlighterSettings().FontSize, 8) << size.toString().toStdString();
    }
}

TEST_F(SettingsTest, AWizardKeyThatIsThereReadsMissingAndUnreadableValuesSafely) {
    WriteWizardSettingsText("[General]\nPasteMac=1\nSaveMac=yes\nSaveHint=true\nSaveSource=-1\n"
                            "ReturnInd=7\nNoCode=\n");
    WizardSettings expected;
    expected.FilePath = QString(); // a missing text reads as empty, not as the default folder
    expected.PasteMac = true;
    expected.SaveMac = false; // unreadable flag: its default
    expected.SaveHint = true;
    expected.SaveSource = true;
    expected.AllowTypeConv = false; // missing
    expected.ReturnInd = -1;        // no such entry: nothing selected
    expected.NoCode = false;
    EXPECT_EQ(ReadWizardSettings(), expected);
}

TEST_F(SettingsTest, AnUnreadableSettingsFileCountsAsAbsent) {
    WriteWizardSettingsText("[General]\nFilePath=/somewhere\n");
    QFile::setPermissions(WizardSettingsFile(), QFileDevice::WriteOwner);
    if (QFileInfo(WizardSettingsFile()).isReadable()) {
        GTEST_SKIP() << "running with rights that read any file";
    }
    EXPECT_EQ(ReadWizardSettings(), DefaultWizardSettings());
}

// A FIFO or a folder where a settings file belongs is no settings file: read as absent (without
// waiting on the FIFO), and the wizard's own is neither written nor replaced.
TEST_F(SettingsTest, ASettingsFileThatIsNotARegularFileCountsAsAbsent) {
    const QString ide = UserSettingsFile(QStringLiteral("Kelvrane"), QStringLiteral("VorlanIDE"));
    const QString own = WizardSettingsFile();
    EXPECT_EQ(own, QSettings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("Quillory"), QStringLiteral("VorlanMacroGenerator"))
                       .fileName());
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "folder");
        for (const QString& path : {ide, own}) {
            QDir().mkpath(QFileInfo(path).path());
            QFile::remove(path);
            QDir().rmdir(path);
            ASSERT_TRUE(fifo ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                             : QDir().mkdir(path));
        }
        EXPECT_EQ(ReadHighlighterSettings(), HighlighterSettings{});
        EXPECT_EQ(ReadWizardSettings(), DefaultWizardSettings());
        EXPECT_FALSE(WriteWizardSettings(DefaultWizardSettings()));
        EXPECT_FALSE(QFileInfo(own).isFile());
        EXPECT_TRUE(QFileInfo::exists(own));
    }
}

TEST_F(SettingsTest, WrittenSettingsReadBackTheSame) {
    WizardSettings s;
    s.FilePath = QStringLiteral("/home/pic/Macros, old");
    s.PasteMac = true;
    s.SaveHint = true;
    s.AllowTypeConv = true;
    s.ReturnInd = 2;
    ASSERT_TRUE(WriteWizardSettings(s));
    EXPECT_EQ(ReadWizardSettings(), s);
    s.ReturnInd = -1;
    s.PasteMac = false;
    ASSERT_TRUE(WriteWizardSettings(s));
    EXPECT_EQ(ReadWizardSettings(), s);
}

// ---- Single values ----

struct NumberCase {
    QVariant value;
    std::optional<qint32> expected;
};

TEST(SettingValues, NumbersAreReadOnlyWhenTheyAreWhole32BitNumbers) {
    const NumberCase cases[] = {
        {QVariant(5), 5},
        {QVariant(-1), -1},
        {QVariant(qlonglong(4294967295LL)), -1}, // a DWORD with all bits set
        {QVariant(qlonglong(4294967296LL)), std::nullopt},
        {QVariant(qlonglong(-2147483649LL)), std::nullopt},
        {QVariant(QStringLiteral(" 42 ")), 42},
        {QVariant(QStringLiteral("+7")), 7},
        {QVariant(QStringLiteral("-2")), -2},
        {QVariant(QStringLiteral("0x800000")), 0x800000},
        {QVariant(QStringLiteral("4294967295")), -1},
        {QVariant(QStringLiteral("99999999999")), std::nullopt},
        {QVariant(QStringLiteral("12abc")), std::nullopt},
        {QVariant(QStringLiteral("")), std::nullopt},
        {QVariant(QStringLiteral("-")), std::nullopt},
        {QVariant(QStringLiteral("--1")), std::nullopt},
        {QVariant(QStringLiteral("1.5")), std::nullopt},
        {QVariant(QStringList{"1", "2"}), std::nullopt},
        {QVariant(QByteArray("\x01\x00", 2)), std::nullopt},
        {QVariant(), std::nullopt},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(SettingNumber(c.value), c.expected) << c.value.toString().toStdString();
    }
}

TEST(SettingValues, FlagsAreNumbersOrTheWordsTrueAndFalse) {
    const std::pair<QVariant, std::optional<bool>> cases[] = {
        {QVariant(1), true},          {QVariant(0), false},
        {QVariant("-1"), true},       {QVariant("0"), false},
        {QVariant("TRUE"), true},     {QVariant(" false "), false},
        {QVariant(true), true},       {QVariant("yes"), std::nullopt},
        {QVariant(""), std::nullopt}, {QVariant(), std::nullopt},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(SettingFlag(value), expected) << value.toString().toStdString();
    }
}

TEST(SettingValues, TextsAreTakenAsTheyStand) {
    EXPECT_EQ(SettingText(QVariant(QStringLiteral(" "))), QStringLiteral(" "));
    EXPECT_EQ(SettingText(QVariant()), QString());
    EXPECT_EQ(SettingText(QVariant(12)), QStringLiteral("12"));
    EXPECT_EQ(SettingText(QVariant(QStringList{"Courier", " New"})),
              QStringLiteral("Courier, New"));
    EXPECT_EQ(SettingText(QVariant(QByteArray("raw"))), QString());
}

} // namespace
} // namespace vmg::wizard::test
