// Page 6's "Add Hint to USER.MCD": choosing the file, the summary line, the questions before any
// write, the backup, refusals that write nothing, and the choice remembered in the settings.
#include "WizardFixture.h"

#include "Files.h"
#include "MacroCodeGenerator.h"
#include "Page6Output.h"
#include "Settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>

namespace vmg::wizard::test {
namespace {

const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";
const QByteArray kOther = "KEY (\"Other\")\r\n\tHighlighter = KeywordUser\r\nENDKEY\r\n";
const QString kTail = QStringLiteral("\r\nChoose OK to continue with action\r\n"
                                     "or Cancel to return to Wizard");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UserMcdTest : public WizardTest {
protected:
    QString Mcd() const { return QDir(TempPath()).filePath(QStringLiteral("USER.MCD")); }
    QString Out(const char* name) const {
        return QDir(TempPath()).filePath(QStringLiteral("out/") + QLatin1String(name));
    }

    // The example macro on page 6, the files going to out/, nothing ticked.
    void ReachOutput() {
        QDir().mkpath(QDir(TempPath()).filePath(QStringLiteral("out")));
        Start();
        NextTo(1);
        OpenSource(kAddNums);
        NextTo(6);
        m_dialogs.Paths.push_back(QDir(TempPath()).filePath(QStringLiteral("out")));
        Click("cmdBrowseSavePath");
        m_dialogs.Clear();
        m_settingsBefore = StoredWizardSettings();
    }
    void ChooseMcd(const QString& path) {
        m_dialogs.Paths.push_back(path);
        Click("cmdBrowseUserMcd");
    }
    void Finish(std::initializer_list<bool> answers) {
        m_dialogs.YesNo.assign(answers.begin(), answers.end());
        Click("cmdNavFinished");
        EXPECT_TRUE(m_dialogs.YesNo.empty()) << m_dialogs.Transcript().toStdString();
    }
    QByteArray Block() {
        return QByteArray::fromStdString(
            codegen::JoinCrLf(codegen::KeyBlock(Window().Definition(), 2)));
    }
    void ExpectStillOpenWithoutSettings() {
        EXPECT_TRUE(Window().isVisible());
        EXPECT_EQ(StoredWizardSettings(), m_settingsBefore);
    }

    QByteArray m_settingsBefore;
};

TEST_F(UserMcdTest, ChoosingTheFileEnablesAndTicksTheChoice) {
    ReachOutput();
    auto* box = Find<QCheckBox>("chkAddUserMcd");
    EXPECT_EQ(box->text(), QStringLiteral("Add Hint to USER.MCD"));
    EXPECT_FALSE(box->isEnabled());
    m_dialogs.Paths.push_back(std::nullopt); // cancelled: still nothing chosen
    Click("cmdBrowseUserMcd");
    EXPECT_FALSE(box->isEnabled());
    ChooseMcd(Mcd());
    ASSERT_EQ(m_dialogs.Calls.size(), 2u);
    EXPECT_EQ(m_dialogs.Calls[1].Extra, QStringLiteral("Keyword Files (*.mcd);;All Files (*)"));
    EXPECT_EQ(m_dialogs.Calls[0].Text, State().SaveFolder);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(Find<QLabel>("lblUserMcdName")->text(), QStringLiteral("USER.MCD"));
    EXPECT_EQ(Find<QLabel>("lblUserMcdName")->toolTip(), QDir::toNativeSeparators(Mcd()));
}

TEST_F(UserMcdTest, FinishAddsThenReplacesWithABackup) {
    WriteFile(QStringLiteral("USER.MCD"), kOther);
    ReachOutput();
    Click("chkSaveHint");
    ChooseMcd(Mcd());
    Finish({true});
    ASSERT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions),
              QStringList{QStringLiteral("Hint will be saved to AddNums_hnt.dat\r\n"
                                         "Hint will be added to USER.MCD\r\n") +
                          kTail})
        << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(ReadAll(Mcd()), kOther + "\r\n" + Block());
    EXPECT_EQ(ReadAll(Mcd() + ".bak"), kOther);
    EXPECT_FALSE(Window().isVisible());
    const WizardSettings stored = ReadWizardSettings();
    EXPECT_TRUE(stored.AddUserMcd);
    EXPECT_EQ(stored.UserMcdPath, QDir::toNativeSeparators(Mcd()));

    // The next run starts with the choice made, and replaces its own entry.
    const QByteArray first = ReadAll(Mcd());
    ReachOutput();
    EXPECT_TRUE(Find<QCheckBox>("chkAddUserMcd")->isChecked());
    EXPECT_EQ(Find<QLabel>("lblUserMcdName")->text(), QStringLiteral("USER.MCD"));
    Finish({true, true}); // OK, and Yes to overwriting the hint file
    EXPECT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions).value(0),
              QStringLiteral("Hint will be saved to AddNums_hnt.dat\r\n"
                             "Hint will replace the existing entry for AddNums in USER.MCD\r\n") +
                  kTail);
    EXPECT_EQ(ReadAll(Mcd()), first) << "the same block, once";
}

TEST_F(UserMcdTest, TheMemoAsEditedIsWrittenIntoANewFile) {
    ReachOutput();
    Back();
    auto* memo = Find<QPlainTextEdit>("memoHint");
    memo->setPlainText(
        memo->toPlainText().replace(QStringLiteral("KeywordUser"), QStringLiteral("KeywordMine")));
    Next();
    ChooseMcd(Mcd());
    Finish({true});
    EXPECT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions).value(0),
              QStringLiteral("Hint will be added to USER.MCD (a new file)\r\n") + kTail);
    EXPECT_EQ(ReadAll(Mcd()), Block().replace("KeywordUser", "KeywordMine"));
    EXPECT_FALSE(QFile::exists(Mcd() + ".bak"));
}

TEST_F(UserMcdTest, NoOrARefusalWritesNothing) {
    // An overwrite question answered No comes before any write.
    WriteFile(QStringLiteral("USER.MCD"), kOther);
    ReachOutput();
    Click("chkSaveHint");
    ChooseMcd(Mcd());
    QFile hint(Out("AddNums_hnt.dat"));
    ASSERT_TRUE(hint.open(QIODevice::WriteOnly));
    hint.close();
    Finish({true, false});
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Warning),
              QStringList{QStringLiteral("Overwrite existing file")});
    EXPECT_EQ(ReadAll(Mcd()), kOther);
    EXPECT_FALSE(QFile::exists(Mcd() + ".bak"));
    ExpectStillOpenWithoutSettings();

    // A file the editor refuses stops Finish before the summary.
    const QByteArray doubled = "KEY (\"AddNums\")\r\nENDKEY\r\nKEY (\"addnums\")\r\nENDKEY\r\n";
    WriteFile(QStringLiteral("USER.MCD"), doubled);
    m_dialogs.Clear();
    Finish({});
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Error),
              QStringList{QStringLiteral("Cannot add the hint to \"") +
                          QDir::toNativeSeparators(Mcd()) +
                          QStringLiteral("\". The file holds more than one entry for AddNums, at "
                                         "lines 1 and 3.")});
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::ConfirmActions).isEmpty());
    EXPECT_EQ(ReadAll(Mcd()), doubled);
    ExpectStillOpenWithoutSettings();

    // A file that may not be written is found out before the backup is made.
    WriteFile(QStringLiteral("USER.MCD"), kOther);
    QFile::setPermissions(Mcd(), QFileDevice::ReadOwner);
    Click("chkSaveHint"); // off: nothing else to write
    m_dialogs.Clear();
    Finish({true});
#ifdef Q_OS_WIN
    const QString denied = QString::fromStdString(platform::SystemErrorText(5)); // access denied
#else
    const QString denied = QStringLiteral("Permission denied.");
#endif
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Error),
              QStringList{QStringLiteral("Cannot create file \"") +
                          QDir::toNativeSeparators(Mcd()) + QStringLiteral("\". ") + denied});
    EXPECT_EQ(ReadAll(Mcd()), kOther);
    EXPECT_FALSE(QFile::exists(Mcd() + ".bak"));
    ExpectStillOpenWithoutSettings();
}

// Finish's USER.MCD in the encodings it may meet: the wide ones refused by name and left as
// they are, a UTF-8 mark kept with the block on line 1 found and replaced.
TEST_F(UserMcdTest, EncodingsOfTheKeywordFile) {
    const struct {
        QByteArray before;
        const char* refused; // the encoding named, or nullptr when written
    } cases[] = {
        {QByteArray("\xFF\xFE;\0\r\0\n\0", 8), "UTF-16 LE"},
        {QByteArray("\xFE\xFF\0;\0\r\0\n", 8), "UTF-16 BE"},
        {QByteArray("\xFF\xFE\0\0;\0\0\0", 8), "UTF-32 LE"},
        {QByteArray("\xEF\xBB\xBFKEY (\"AddNums\")\r\n\tHint = \"old\"\r\nENDKEY\r\n"), nullptr},
    };
    for (const auto& c : cases) {
        WriteFile(QStringLiteral("USER.MCD"), c.before);
        ReachOutput();
        ChooseMcd(Mcd());
        Finish(c.refused ? std::initializer_list<bool>{} : std::initializer_list<bool>{true});
        if (c.refused != nullptr) {
            EXPECT_EQ(
                m_dialogs.Texts(DialogKind::Error),
                QStringList{QStringLiteral("Cannot add the hint to \"") +
                            QDir::toNativeSeparators(Mcd()) + QStringLiteral("\". It is in ") +
                            QLatin1String(c.refused) +
                            QStringLiteral("; only 8-bit text (code page 1252) can be edited.")});
            EXPECT_EQ(ReadAll(Mcd()), c.before);
        } else {
            EXPECT_EQ(ReadAll(Mcd()), "\xEF\xBB\xBF" + Block());
            EXPECT_EQ(ReadAll(Mcd() + ".bak"), c.before);
        }
    }
}

TEST_F(UserMcdTest, AStoredChoiceWithoutAFileStaysOff) {
    StoreWizardSettings({{"AddUserMcd", 1}, {"UserMcdPath", QString()}});
    Start();
    EXPECT_FALSE(Find<QCheckBox>("chkAddUserMcd")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkAddUserMcd")->isChecked());
}

} // namespace
} // namespace vmg::wizard::test
