// Reading the settings: when a key counts as there, what a key that is there gives for values
// that are missing or unreadable, and the defensive reading of single values.
#include "WizardFixture.h"

#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#ifdef Q_OS_WIN
#include "WindowsRegistry.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

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
#ifdef Q_OS_WIN
    EXPECT_EQ(DefaultWizardSettings().FilePath, QStringLiteral("C:\\"));
#else
    EXPECT_EQ(DefaultWizardSettings().FilePath, QDir::homePath());
#endif
}

// The settings files' own forms: INI texts, file modes, FIFOs and folders in their place.
#ifndef Q_OS_WIN
TEST_F(SettingsTest, AnIdeFileWithoutTheHighlighterGroupIsAnAbsentKey) {
    WriteText("config/Kelvrane/VorlanIDE.conf", "[Options]\nSomething=1\n[Editor]\nFontSize=20\n");
    EXPECT_EQ(ReadHighlighterSettings(), HighlighterSettings{});
}

#endif // !Q_OS_WIN

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

#ifndef Q_OS_WIN
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

#endif // !Q_OS_WIN

TEST_F(SettingsTest, AFontSizeThatIsNoSizeKeepsTheDefault) {
    for (const QVariant& size : {QVariant(0), QVariant(-3), QVariant("large")}) {
        StoreHighlighterSettings({{"FontSize", size}});
        EXPECT_EQ(ReadHighlighterSettings().FontSize, 8) << size.toString().toStdString();
    }
}

#ifndef Q_OS_WIN
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

#endif // !Q_OS_WIN

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

#ifdef Q_OS_WIN
// ---- The registry: the keys where the IDE and the wizard keep them, and values of every type
//      that the IDE, a hand or another program may have left there ----

QByteArray Dword(quint32 v) {
    return QByteArray(reinterpret_cast<const char*>(&v), sizeof(v));
}
QByteArray Qword(quint64 v) {
    return QByteArray(reinterpret_cast<const char*>(&v), sizeof(v));
}
QByteArray Utf16(const QString& text) {
    const std::wstring wide = text.toStdWString() + L'\0';
    return QByteArray(reinterpret_cast<const char*>(wide.c_str()),
                      static_cast<int>(wide.size() * sizeof(wchar_t)));
}

struct Seeded {
    const char* name;
    registry::Type type;
    QByteArray data;
};

void Seed(const wchar_t* key, std::initializer_list<Seeded> values) {
    for (const Seeded& v : values) {
        registry::SetRaw(key, v.name, v.type, v.data);
    }
}

TEST_F(SettingsTest, OnlyTheIdesOwnHighlighterKeyCounts) {
    registry::SetDword(L"Kelvrane\\VorlanIDE\\Options", "FontSize", 20);
    registry::SetDword(L"Kelvrane\\VorlanIDE\\Editor\\Highlighter", "FontSize", 20);
    registry::SetDword(L"Software\\Kelvrane\\VorlanIDE\\Options\\Highlighter", "FontSize", 20);
    EXPECT_EQ(ReadHighlighterSettings(), HighlighterSettings{});
    registry::SetDword(registry::kHighlighterKey, "FontSize", 20);
    EXPECT_EQ(ReadHighlighterSettings().FontSize, 20);
}

TEST_F(SettingsTest, RegistryValuesOfEveryTypeAreReadSafely) {
    using registry::Type;
    Seed(registry::kHighlighterKey,
         {{"FontSize", Type::Dword, Dword(10)},
          {"FontName", Type::Sz, Utf16(QStringLiteral("Lucida Console"))},
          {"CommentColor", Type::Sz, Utf16(QStringLiteral("32768"))},
          {"CommentStyle", Type::Sz, Utf16(QStringLiteral("BI"))},
          {"KeywordVorlanColor", Type::Qword, Qword(255)},
          {"KeywordVorlanStyle", Type::MultiSz, QByteArray("B\0\0\0I\0\0\0\0\0\0\0", 12)},
          {"DeclareColor", Type::Sz, Utf16(QStringLiteral("0x800080"))},
          {"DeclareStyle", Type::Sz, Utf16(QStringLiteral(" "))},
          {"StringColor", Type::Dword, Dword(0xFFFFFFFF)},
          {"StringStyle", Type::Dword, Dword(1)},
          {"SFRColor", Type::Binary, QByteArray("\x01\x00\x00\x00", 4)},
          {"SFRStyle", Type::Binary, QByteArray()}});
    const HighlighterSettings h = ReadHighlighterSettings();
    EXPECT_EQ(h.FontSize, 10);
    EXPECT_EQ(h.FontName, QStringLiteral("Lucida Console"));
    EXPECT_EQ(h.CommentColor, 32768u);
    EXPECT_EQ(h.CommentStyle, QStringLiteral("BI"));
    EXPECT_EQ(h.KeywordVorlanColor, 255u);
    EXPECT_EQ(h.KeywordVorlanStyle, QStringLiteral("B,I"));
    EXPECT_EQ(h.DeclareColor, 0x800080u);
    EXPECT_EQ(h.DeclareStyle, QStringLiteral(" "));
    EXPECT_EQ(h.StringColor, 0xFFFFFFFFu);
    EXPECT_EQ(h.StringStyle, QStringLiteral("1"));
    EXPECT_EQ(h.SFRColor, HighlighterSettings{}.SFRColor) << "binary data is no colour";
    EXPECT_EQ(h.SFRStyle, QString());

    Seed(registry::kWizardKey, {{"FilePath", Type::Sz, Utf16(QStringLiteral("D:\\Makros für PIC"))},
                                {"PasteMac", Type::Dword, Dword(1)},
                                {"SaveMac", Type::Sz, Utf16(QStringLiteral("yes"))},
                                {"SaveHint", Type::Sz, Utf16(QStringLiteral("true"))},
                                {"SaveSource", Type::Dword, Dword(0xFFFFFFFF)},
                                {"AllowTypeConv", Type::Binary, QByteArray("\x01", 1)},
                                {"ReturnInd", Type::Dword, Dword(7)},
                                {"NoCode", Type::Sz, Utf16(QString())},
                                {"AddUserMcd", Type::Qword, Qword(1)}});
    WizardSettings expected;
    expected.FilePath = QStringLiteral("D:\\Makros für PIC");
    expected.PasteMac = true;
    expected.SaveHint = true;
    expected.SaveSource = true;
    expected.ReturnInd = -1; // no such entry: nothing selected
    expected.AddUserMcd = true;
    EXPECT_EQ(ReadWizardSettings(), expected);
}

// The wizard's key holds texts as REG_SZ and numbers and flags as REG_DWORD, an index of -1
// with all 32 bits set.
TEST_F(SettingsTest, WrittenSettingsAreStringsAndDwords) {
    WizardSettings s;
    s.FilePath = QStringLiteral("C:\\Users\\Zoë\\Macros, old");
    s.SaveHint = true;
    s.ReturnInd = -1;
    s.UserMcdPath = QStringLiteral("C:\\Vorlan IDE\\USER.MCD");
    ASSERT_TRUE(WriteWizardSettings(s));
    using registry::Type;
    const std::pair<const char*, registry::Value> expected[] = {
        {"FilePath", {Type::Sz, Utf16(s.FilePath)}},
        {"PasteMac", {Type::Dword, Dword(0)}},
        {"SaveMac", {Type::Dword, Dword(0)}},
        {"SaveHint", {Type::Dword, Dword(1)}},
        {"SaveSource", {Type::Dword, Dword(0)}},
        {"AllowTypeConv", {Type::Dword, Dword(0)}},
        {"ReturnInd", {Type::Dword, Dword(0xFFFFFFFF)}},
        {"NoCode", {Type::Dword, Dword(0)}},
        {"AddUserMcd", {Type::Dword, Dword(0)}},
        {"UserMcdPath", {Type::Sz, Utf16(s.UserMcdPath)}},
    };
    for (const auto& [name, value] : expected) {
        const auto stored = registry::Read(registry::kWizardKey, name);
        ASSERT_TRUE(stored.has_value()) << name;
        EXPECT_EQ(stored->Kind, value.Kind) << name;
        EXPECT_EQ(stored->Data.toHex(), value.Data.toHex()) << name;
    }
    EXPECT_EQ(ReadWizardSettings(), s);
}
// A 32-bit wizard on 64-bit Windows: HKEY_CURRENT_USER is one key for both registry views, so
// its settings land where 64-bit programs see them (nothing under WOW6432Node), and the
// highlighter key the IDE (a 32-bit program) writes through its view is the one read.
TEST_F(SettingsTest, BothRegistryViewsShareTheUsersKeys) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (sizeof(void*) == 4 && registry::UnderWine()) {
        EXPECT_TRUE(wow64) << "the 32-bit tests must run as on 64-bit Windows";
    }
    WizardSettings s;
    s.FilePath = QStringLiteral("C:\\Macros");
    ASSERT_TRUE(WriteWizardSettings(s));
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, registry::kWizardKey, 0, KEY_READ | view, &key),
                  ERROR_SUCCESS)
            << view;
        wchar_t text[64] = {};
        DWORD size = sizeof(text);
        EXPECT_EQ(RegQueryValueExW(key, L"FilePath", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(QString::fromWCharArray(text), s.FilePath) << view;
        RegCloseKey(key);
    }
    HKEY redirected = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\WOW6432Node\\Quillory", 0,
                            KEY_READ | KEY_WOW64_64KEY, &redirected),
              ERROR_SUCCESS);

    HKEY ide = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, registry::kHighlighterKey, 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_32KEY, nullptr, &ide, nullptr),
              ERROR_SUCCESS);
    const DWORD points = 13;
    RegSetValueExW(ide, L"FontSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&points),
                   sizeof(points));
    RegCloseKey(ide);
    EXPECT_EQ(ReadHighlighterSettings().FontSize, 13);
}
#endif // Q_OS_WIN

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
