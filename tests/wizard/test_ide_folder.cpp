// Page 0's "IDE Folder...": a folder holding the IDE's library connects at once and at every
// later start; anything else is refused and stores nothing.
#include "WizardFixture.h"

#include "MacroCodeGenerator.h"
#include "Settings.h"
#include "cPluginInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#ifdef Q_OS_WIN
#include "WindowsRegistry.h"
#endif

namespace vmg::wizard::test {
namespace {

// As on a Windows install: no library beside the program nor on the system's path, so only a
// folder the user names can supply one.
class IdeFolderTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        ide::SetPluginLibraryPath(QDir(TempPath()).filePath(QStringLiteral("none")).toStdString());
    }
    void TearDown() override {
        WizardTest::TearDown();
        ide::SetPluginLibraryPath(""); // the library beside the test program again
    }

    // A folder with a blank in its name, holding a copy of our library when asked to.
    QString IdeFolder(bool withLibrary) {
        const QString folder = QDir(TempPath()).filePath(QStringLiteral("Vorlan IDE"));
        EXPECT_TRUE(QDir().mkpath(folder));
        if (withLibrary) {
            const QString name = QString::fromStdString(ide::PluginLibraryFileName());
            EXPECT_TRUE(QFile::copy(QDir(QCoreApplication::applicationDirPath()).filePath(name),
                                    QDir(folder).filePath(name)));
        }
        return QDir::toNativeSeparators(folder);
    }
    QString Status() { return Find<QLabel>("pnlStat")->text(); }
    // The wizard's key holds nothing: no file here, no value in the registry on Windows.
    bool NoWizardKey() {
#ifdef Q_OS_WIN
        return registry::Dump(registry::kWizardKey).isEmpty();
#else
        return !QFileInfo::exists(WizardSettingsFile());
#endif
    }
};

TEST_F(IdeFolderTest, AFolderWithTheLibraryConnectsNowAndAtTheNextStart) {
    WriteSession(16, "Start:\r\n  Dim Counter As Byte\r\n  GoTo Start\r\n");
    const QString folder = IdeFolder(true);
    Start();
    ASSERT_EQ(Status(), QStringLiteral("IDE Not Connected"));
    EXPECT_EQ(codegen::MacroHeader().Target, 0);

    m_dialogs.Paths.push_back(folder);
    Click("cmdIdeFolder");
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::Information).isEmpty())
        << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(Status(), QStringLiteral("IDE Connected"));
    EXPECT_TRUE(Find<QPushButton>("cmdShowLabels")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("cmdGetVars0")->isEnabled());
    EXPECT_EQ(codegen::MacroHeader().Target, 2) << "the page's core, as at start-up";

    // Stored at once, in a key that otherwise reads as the absent one did (the save folder
    // default, not an empty one).
    EXPECT_EQ(ReadIdeFolder(), folder);
    EXPECT_EQ(ReadWizardSettings(), DefaultWizardSettings());
#ifdef Q_OS_WIN
    const auto stored = registry::Read(registry::kWizardKey, "IdeFolder");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->Kind, registry::Type::Sz);
#endif

    // A new run, the library not yet loaded: found through the stored folder before page 0.
    ide::SetPluginLibraryPath(QDir(TempPath()).filePath(QStringLiteral("none")).toStdString());
    codegen::ResetModule();
    Start();
    EXPECT_EQ(Status(), QStringLiteral("IDE Connected"));
    EXPECT_EQ(ide::IdeFolder(), folder.toStdString());
}

TEST_F(IdeFolderTest, AConnectionAfterPageOneKeepsTheTargetShownThere) {
    WriteSession(16, "Start:\r\n");
    const QString folder = IdeFolder(true);
    Start();
    NextTo(1);
    Click("OptTgt14");
    NextTo(2); // names the macro and takes page 1's answers
    Back();
    Back();
    m_dialogs.Paths.push_back(folder);
    Click("cmdIdeFolder");
    ASSERT_EQ(Status(), QStringLiteral("IDE Connected"));
    EXPECT_EQ(codegen::MacroHeader().Target, 1);
    NextTo(1);
    EXPECT_TRUE(Find<QRadioButton>("OptTgt14")->isChecked());
}

TEST_F(IdeFolderTest, AFolderWithoutTheLibraryOrACancelStoresNothing) {
    const QString folder = IdeFolder(false);
    Start();
    m_dialogs.Paths.push_back(folder);
    Click("cmdIdeFolder");
    m_dialogs.Paths.push_back(std::nullopt);
    Click("cmdIdeFolder");
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Information),
              QStringList{QStringLiteral("There is no %1 in the folder %2")
                              .arg(QString::fromStdString(ide::PluginLibraryFileName()), folder)});
    EXPECT_EQ(Status(), QStringLiteral("IDE Not Connected"));
    EXPECT_TRUE(NoWizardKey()) << "no key made for a refused folder";
    EXPECT_TRUE(ide::IdeFolder().empty());
}

} // namespace
} // namespace vmg::wizard::test
