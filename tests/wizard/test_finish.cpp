// Finish on the output page: the summary, Cancel, the overwrite questions, files that cannot be
// made, the paste into the IDE's page (through our plug-in manager library), edits on the review
// pages reaching the files and the paste, and the settings stored only on a completed run.
#include "WizardFixture.h"

#include "CodeColouring.h"
#include "Finish.h"
#include "MacroCodeGenerator.h"
#include "Page6Output.h"
#include "RtfReader.h"
#include "Settings.h"
#include "Text1252.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include "Files.h"
#else
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace vmg::wizard::test {
namespace {

const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";
const QByteArray kPage = "Dim Total As Word\r\nAddSub:\r\n  Return\r\n";
const QString kTail = QStringLiteral("\r\nChoose OK to continue with action\r\n"
                                     "or Cancel to return to Wizard");

constexpr const char* kCode = "AddNums_mac.rtf";
constexpr const char* kHint = "AddNums_hnt.dat";
constexpr const char* kSource = "AddNums.mcs";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

class FinishTest : public WizardTest {
protected:
    QString OutDir() const { return QDir(TempPath()).filePath(QStringLiteral("out")); }
    QString Out(const char* name) const { return QDir(OutDir()).filePath(QLatin1String(name)); }
    QString PageFile() const { return QDir(TempPath()).filePath(QStringLiteral("Main.bas")); }

    // The example macro on page 6, with the IDE's page open when asked, the files going to
    // `folder` (the output folder unless told) and the boxes ticked as given, by clicking them.
    void ReachOutput(const OutputChoices& ticks, bool withIde = true,
                     std::optional<QString> folder = std::nullopt) {
        if (withIde) {
            WriteSession(16, kPage);
        }
        QDir().mkpath(OutDir());
        Start();
        NextTo(1);
        OpenSource(kAddNums);
        NextTo(6);
        m_dialogs.Paths.push_back(folder.value_or(OutDir()));
        Click("cmdBrowseSavePath");
        const OutputChoices now = Window().OutputPage()->Choices();
        const auto tick = [this](bool have, bool want, const char* box) {
            if (have != want) {
                Click(box);
            }
        };
        tick(now.PasteCode, ticks.PasteCode, "chkPasteCode");
        tick(now.SaveCode, ticks.SaveCode, "chkSaveCode");
        tick(now.SaveHint, ticks.SaveHint, "chkSaveHint");
        tick(now.SaveSource, ticks.SaveSource, "chkSaveSource");
        m_dialogs.Clear();
        m_settingsBefore = StoredWizardSettings();
    }

    // Finish with the answers to the summary and to any questions after it.
    void Finish(std::initializer_list<bool> answers) {
        m_dialogs.YesNo.assign(answers.begin(), answers.end());
        Click("cmdNavFinished");
        EXPECT_TRUE(m_dialogs.YesNo.empty()) << "fewer questions than answers\n"
                                             << m_dialogs.Transcript().toStdString();
    }

    // The page as it is after the example's code was pasted at the session's cursor (line 3).
    QByteArray PastedPage() const {
        return "Dim Total As Word\r\nAddSub:\r\n" +
               Bytes(codegen::JoinCrLf(codegen::MacroLines(codegen::Definition(), 2))) +
               "  Return\r\n";
    }

    // The wizard stayed open on page 6 and stored no settings.
    void ExpectStillOpen() {
        EXPECT_TRUE(Window().isVisible());
        EXPECT_EQ(State().CurrentPage, 6);
        EXPECT_EQ(StoredWizardSettings(), m_settingsBefore);
    }

    std::set<QString> FilesInOut() const {
        const QStringList names = QDir(OutDir()).entryList(QDir::Files | QDir::Hidden);
        return {names.begin(), names.end()};
    }

private:
    QByteArray m_settingsBefore;
};

struct SummaryCase {
    const char* name;
    OutputChoices ticks;
    bool storedPaste; // "Paste Code to..." ticked from the settings (the only way without the IDE)
    bool withIde;
    QString summary;
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
    *os << c.name;
}

class SummaryTest : public FinishTest, public ::testing::WithParamInterface<SummaryCase> {};

// Cancel first: nothing at all happens. Then OK: exactly what was listed happens, the settings
// are stored and the wizard closes.
TEST_P(SummaryTest, CancelDoesNothingAndOkDoesWhatWasListed) {
    const SummaryCase& c = GetParam();
    if (c.storedPaste) {
        StoreWizardSettings({{"PasteMac", 1}});
    }
    ReachOutput(c.ticks, c.withIde);
    Finish({false});
    EXPECT_EQ(m_dialogs.Texts(DialogKind::ConfirmActions).join(u'|').toStdString(),
              c.summary.toStdString());
    EXPECT_TRUE(FilesInOut().empty());
    ExpectStillOpen();

    Finish({true});
    EXPECT_EQ(m_dialogs.Calls.size(), 2u) << m_dialogs.Transcript().toStdString();
    std::set<QString> want;
    for (const auto& [on, name] :
         {std::pair{c.ticks.SaveCode, kCode}, std::pair{c.ticks.SaveHint, kHint},
          std::pair{c.ticks.SaveSource, kSource}}) {
        if (on) {
            want.insert(QLatin1String(name));
        }
    }
    EXPECT_EQ(FilesInOut(), want);
    if (c.withIde) {
        EXPECT_EQ(ReadAll(PageFile()), c.ticks.PasteCode ? PastedPage() : kPage);
    }
    EXPECT_FALSE(Window().isVisible());
    WizardSettings stored;
    stored.FilePath = QDir::toNativeSeparators(OutDir());
    stored.PasteMac = c.ticks.PasteCode || c.storedPaste;
    stored.SaveMac = c.ticks.SaveCode;
    stored.SaveHint = c.ticks.SaveHint;
    stored.SaveSource = c.ticks.SaveSource;
    stored.ReturnInd = 1; // the loaded macro's In-Line
    EXPECT_EQ(ReadWizardSettings(), stored);
}

const SummaryCase kSummaries[] = {
    {"NothingTicked", {}, false, true, QStringLiteral("Closing down Wizard - No action taken")},
    {"OnlySaveHint",
     {false, false, true, false},
     false,
     true,
     QStringLiteral("Hint will be saved to AddNums_hnt.dat\r\n") + kTail},
    {"Everything",
     {true, true, true, true},
     false,
     true,
     QStringLiteral("Code will be placed in Main.bas at your current cursor position.\r\n"
                    "Code will be saved to AddNums_mac.rtf\r\n"
                    "Hint will be saved to AddNums_hnt.dat\r\n"
                    "Source will be saved to AddNums.mcs\r\n") +
         kTail},
    {"PasteTickedWithoutTheIde",
     {true, true, false, false},
     true,
     false,
     QStringLiteral("Code will be saved to AddNums_mac.rtf\r\n") + kTail},
    {"PasteAlone",
     {true, false, false, false},
     false,
     true,
     QStringLiteral("Code will be placed in Main.bas at your current cursor position.\r\n") +
         kTail},
};

INSTANTIATE_TEST_SUITE_P(Choices, SummaryTest, ::testing::ValuesIn(kSummaries),
                         [](const auto& info) { return std::string(info.param.name); });

struct OverwriteCase {
    const char* name;
    std::set<std::string> existing;
    std::vector<bool> answers; // after the summary's OK
    bool done;
};

void PrintTo(const OverwriteCase& c, std::ostream* os) {
    *os << c.name;
}

class OverwriteTest : public FinishTest, public ::testing::WithParamInterface<OverwriteCase> {};

// Every question comes before any change: a No leaves files, page and settings as they were.
TEST_P(OverwriteTest, AllQuestionsFirstThenEverythingOrNothing) {
    const OverwriteCase& c = GetParam();
    ReachOutput({true, true, true, true});
    for (const std::string& name : c.existing) {
        WriteFile(QStringLiteral("out/") + QString::fromStdString(name), "old");
    }
    std::vector<bool> answers{true};
    answers.insert(answers.end(), c.answers.begin(), c.answers.end());
    m_dialogs.YesNo.assign(answers.begin(), answers.end());
    Click("cmdNavFinished");
    EXPECT_TRUE(m_dialogs.YesNo.empty()) << m_dialogs.Transcript().toStdString();
    EXPECT_EQ(
        m_dialogs.Texts(DialogKind::Warning),
        QStringList(static_cast<int>(c.answers.size()), QStringLiteral("Overwrite existing file")));
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty());

    for (const char* name : {kCode, kHint, kSource}) {
        SCOPED_TRACE(name);
        const bool existed = c.existing.count(name) > 0;
        if (c.done) {
            EXPECT_NE(ReadAll(Out(name)), QByteArray("old"));
            EXPECT_TRUE(QFile::exists(Out(name)));
        } else {
            EXPECT_EQ(QFile::exists(Out(name)), existed);
            if (existed) {
                EXPECT_EQ(ReadAll(Out(name)), QByteArray("old"));
            }
        }
    }
    if (c.done) {
        EXPECT_EQ(ReadAll(PageFile()), PastedPage());
        EXPECT_FALSE(Window().isVisible());
        EXPECT_EQ(ReadWizardSettings().FilePath, QDir::toNativeSeparators(OutDir()));
    } else {
        EXPECT_EQ(ReadAll(PageFile()), kPage);
        ExpectStillOpen();
    }
}

const OverwriteCase kOverwrites[] = {
    {"NoForTheCodeFile", {kCode}, {false}, false},
    {"YesForTheCodeNoForTheSource", {kCode, kSource}, {true, false}, false},
    {"NoForTheLastOfThree", {kCode, kHint, kSource}, {true, true, false}, false},
    {"YesForAllThree", {kCode, kHint, kSource}, {true, true, true}, true},
    {"OnlyTheExistingHintIsAsked", {kHint}, {true}, true},
};

INSTANTIATE_TEST_SUITE_P(Files, OverwriteTest, ::testing::ValuesIn(kOverwrites),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FinishTest, FinishAfterADeclinedOverwritePastesTheCodeOnce) {
    ReachOutput({true, true, false, true});
    WriteFile(QStringLiteral("out/AddNums_mac.rtf"), "old");
    Finish({true, false});
    EXPECT_EQ(ReadAll(PageFile()), kPage);
    EXPECT_FALSE(QFile::exists(Out(kSource)));
    ExpectStillOpen();

    Finish({true, true});
    EXPECT_EQ(ReadAll(PageFile()), PastedPage());
    EXPECT_EQ(ReadAll(PageFile()).count("AddNums MACRO"), 1);
    EXPECT_TRUE(QFile::exists(Out(kSource)));
    EXPECT_FALSE(Window().isVisible());
}

struct FailureCase {
    const char* name;
    const char* folder;      // below the temporary folder
    const char* blocker;     // made as a folder below the output folder, when given
    const char* failingFile; // the file the message names
    const char* reason;      // the system's reason; on Windows the text of windowsError
    int windowsError;
    std::set<std::string> written;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureTest : public FinishTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    static QString Reason(const FailureCase& c) {
#ifdef Q_OS_WIN
        return QString::fromStdString(platform::SystemErrorText(c.windowsError));
#else
        return QLatin1String(c.reason);
#endif
    }
};

// The message names the file and the system's reason; what came before stays written, nothing
// after it is written, nothing is pasted and no settings are stored.
TEST_P(FailureTest, AFileThatCannotBeMadeStopsBeforeThePaste) {
    const FailureCase& c = GetParam();
    const QString folder = QDir(TempPath()).filePath(QLatin1String(c.folder));
    WriteFile(QStringLiteral("plain-file"), "not a folder");
    ReachOutput({true, true, true, true}, true, folder);
    if (c.blocker != nullptr) {
        ASSERT_TRUE(QDir(folder).mkpath(QLatin1String(c.blocker)));
    }
    m_dialogs.YesNo.assign({true});
    if (c.blocker != nullptr) {
        m_dialogs.YesNo.push_back(true); // it is there: overwrite it
    }
    Click("cmdNavFinished");
    const QString path = QDir(folder).filePath(QLatin1String(c.failingFile));
    EXPECT_EQ(m_dialogs.Texts(DialogKind::Error),
              QStringList{QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), Reason(c))});
    for (const char* name : {kCode, kHint, kSource}) {
        const QFileInfo file(QDir(folder).filePath(QLatin1String(name)));
        EXPECT_EQ(file.isFile(), c.written.count(name) > 0) << name;
    }
    EXPECT_EQ(ReadAll(PageFile()), kPage);
    ExpectStillOpen();
}

const FailureCase kFailures[] = {
    // Windows: ERROR_PATH_NOT_FOUND (3), ERROR_ACCESS_DENIED (5).
    {"MissingFolder", "out/missing", nullptr, kCode, "No such file or directory", 3, {}},
    {"FolderIsAFile", "plain-file", nullptr, kCode, "Not a directory", 3, {}},
    {"HintNameTakenByAFolder", "out", kHint, kHint, "Is a directory", 5, {kCode}},
};

INSTANTIATE_TEST_SUITE_P(Folders, FailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// A field that the macro source file cannot hold (a hidden control's text with a comma) stops
// Finish before any file is written or anything pasted, and the message names the field.
TEST_F(FinishTest, AFieldTheSourceFileCannotHoldStopsBeforeAnyFile) {
    ReachOutput({true, true, true, true});
    codegen::ReturnDef().RetArg.VarName = "Tot,al";
    Finish({true});
    const QStringList errors = m_dialogs.Texts(DialogKind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(
        QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(Out(kSource)))));
    EXPECT_TRUE(errors[0].contains(QStringLiteral("return variable \"Tot,al\"")))
        << errors[0].toStdString();
    EXPECT_TRUE(m_dialogs.Texts(DialogKind::Warning).isEmpty());
    EXPECT_TRUE(FilesInOut().empty());
    EXPECT_EQ(ReadAll(PageFile()), kPage);
    ExpectStillOpen();
}

TEST_F(FinishTest, EditsOnTheReviewPagesReachTheFilesAndThePaste) {
    WriteSession(16, kPage);
    QDir().mkpath(OutDir());
    Start();
    NextTo(1);
    OpenSource(kAddNums);
    NextTo(4);
    auto* code = Find<QTextEdit>("rtxtCode");
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("; checked"));
    QTest::keyClick(code, Qt::Key_Return);
    Next();
    auto* hint = Find<QPlainTextEdit>("memoHint");
    hint->setFocus();
    QTest::keyClick(hint, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(hint, Qt::Key_Return);
    QTest::keyClicks(hint, QStringLiteral("; mine"));
    Next();
    m_dialogs.Paths.push_back(OutDir());
    Click("cmdBrowseSavePath");
    for (const char* box : {"chkPasteCode", "chkSaveCode", "chkSaveHint"}) {
        Click(box);
    }
    Finish({true});
    ASSERT_FALSE(Window().isVisible()) << m_dialogs.Transcript().toStdString();

    const QByteArray generated =
        Bytes(codegen::JoinCrLf(codegen::MacroLines(codegen::Definition(), 2)));
    QTextDocument saved;
    richtext::ReadRtf(ReadAll(Out(kCode)).toStdString(), saved);
    EXPECT_EQ(ToCp1252(richtext::PlainTextCrLf(saved)), "; checked\r\n" + generated.toStdString());
    EXPECT_EQ(ReadAll(PageFile()),
              "Dim Total As Word\r\nAddSub:\r\n; checked\r\n" + generated + "  Return\r\n");
    EXPECT_EQ(ReadAll(Out(kHint)),
              Bytes(codegen::JoinCrLf(codegen::KeyBlock(codegen::Definition(), 2))) + "; mine\r\n");
}

// Names as users have them: a save folder, a page, a macro source and a keyword file with
// blanks and letters beyond ASCII. Everything is written where it belongs, in CR LF, the page
// is named right, and vmacgen reads the saved source under its name.
TEST_F(FinishTest, NamesWithBlanksAndLettersBeyondAscii) {
    const QString folder = QDir(TempPath()).filePath(QString::fromUtf8("Makros für PIC Ø"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString page = WriteFile(QString::fromUtf8("Zähler Seite.bas"), kPage);
    WriteFile(QStringLiteral("run/vorlan-ide.session"),
              "page=" + page.toUtf8() + "\r\ncore=16\r\nline=3\r\ncolumn=1\r\n");
    const QString mcd = QDir(folder).filePath(QString::fromUtf8("Vorlan IDE Ü USER.MCD"));
    Start();
    NextTo(1);
    m_dialogs.Paths.push_back(WriteFile(QString::fromUtf8("Ädd Nums.mcs"), kAddNums));
    Click("cmdReload");
    ASSERT_TRUE(m_dialogs.Texts(DialogKind::Error).isEmpty())
        << m_dialogs.Transcript().toStdString();
    NextTo(6);
    EXPECT_EQ(Find<QLabel>("lblPasteDest")->text(), QString::fromUtf8("Zähler Seite.bas"));
    m_dialogs.Paths.push_back(folder);
    Click("cmdBrowseSavePath");
    m_dialogs.Paths.push_back(mcd);
    Click("cmdBrowseUserMcd");
    for (const char* box : {"chkPasteCode", "chkSaveCode", "chkSaveHint", "chkSaveSource"}) {
        Click(box);
    }
    Finish({true});
    ASSERT_FALSE(Window().isVisible()) << m_dialogs.Transcript().toStdString();

    const QByteArray code = Bytes(codegen::JoinCrLf(codegen::MacroLines(codegen::Definition(), 2)));
    const QByteArray block = Bytes(codegen::JoinCrLf(codegen::KeyBlock(codegen::Definition(), 2)));
    EXPECT_EQ(ReadAll(page), PastedPage());
    EXPECT_EQ(ReadAll(QDir(folder).filePath(kHint)), block);
    EXPECT_EQ(ReadAll(mcd), block);
    for (const QString& file :
         {QDir(folder).filePath(kCode), QDir(folder).filePath(kSource), mcd, page}) {
        const QByteArray bytes = ReadAll(file);
        EXPECT_FALSE(bytes.isEmpty()) << file.toStdString();
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << file.toStdString() << ": a bare LF";
    }
    EXPECT_EQ(ReadWizardSettings().FilePath, QDir::toNativeSeparators(folder));

    QProcess vmacgen;
    vmacgen.start(
        BuiltProgram(VMACGEN_NAME),
        {QStringLiteral("code"), QDir::toNativeSeparators(QDir(folder).filePath(kSource))});
    ASSERT_TRUE(vmacgen.waitForFinished(30000));
    EXPECT_EQ(vmacgen.exitCode(), 0) << vmacgen.readAllStandardError().toStdString();
    EXPECT_EQ(vmacgen.readAllStandardOutput(), code);
}

TEST_F(FinishTest, TheSavePathBoxTakesNoTyping) {
    ReachOutput({});
    auto* box = Find<QLineEdit>("txtSavePath");
    EXPECT_TRUE(box->isReadOnly());
    Type("txtSavePath", QStringLiteral("/typed"));
    EXPECT_EQ(box->text(), QDir::toNativeSeparators(OutDir()));
    EXPECT_EQ(State().SaveFolder, QDir::toNativeSeparators(OutDir()));
}

TEST(FinishParts, FolderAndNameAreJoinedByOneSeparator) {
    const QString sep = QDir::separator();
    struct Case {
        QString folder;
        QString path;
    };
    const Case cases[] = {
        {QStringLiteral("/tmp/out"), QStringLiteral("/tmp/out") + sep + QStringLiteral("N.mcs")},
        {QStringLiteral("/tmp/out/"), QStringLiteral("/tmp/out/N.mcs")},
        {QStringLiteral("/"), QStringLiteral("/N.mcs")},
        {QString(), sep + QStringLiteral("N.mcs")},
#ifdef Q_OS_WIN
        {QStringLiteral("C:\\"), QStringLiteral("C:\\N.mcs")},
        {QStringLiteral("C:\\Macros"), QStringLiteral("C:\\Macros\\N.mcs")},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinFolder(c.folder, QStringLiteral("N.mcs")), c.path) << c.folder.toStdString();
    }
}

TEST(FinishParts, TheBoxesLinesEndOnceInTheTextAndInTheFiles) {
    struct Case {
        QString shown; // the box's content
        QString code;  // the code box's paragraphs, each ending in CR LF
        QString hint;  // the memo's lines, each ending in CR LF
    };
    const Case cases[] = {
        {QString(), QString(), QString()},
        {QStringLiteral("ENDM"), QStringLiteral("ENDM\r\n"), QStringLiteral("ENDM\r\n")},
        {QStringLiteral("a\nENDM"), QStringLiteral("a\r\nENDM\r\n"),
         QStringLiteral("a\r\nENDM\r\n")},
        // One Enter after the last line of the code adds one empty line.
        {QStringLiteral("a\nENDM\n"), QStringLiteral("a\r\nENDM\r\n\r\n"),
         QStringLiteral("a\r\nENDM\r\n")},
        {QStringLiteral("a\n\nENDM\n\n"), QStringLiteral("a\r\n\r\nENDM\r\n\r\n\r\n"),
         QStringLiteral("a\r\n\r\nENDM\r\n\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        QTextDocument doc;
        doc.setPlainText(c.shown);
        EXPECT_EQ(CodeTextCrLf(doc), c.code);
        EXPECT_EQ(HintFileBytes(c.shown), ToCp1252(c.hint));
        QTextDocument back;
        richtext::ReadRtf(CodeFileRtf(doc), back);
        EXPECT_EQ(richtext::PlainTextCrLf(back), c.code);
        EXPECT_EQ(doc.toPlainText(), c.shown) << "writing the file changed the box";
    }
}

// A paste chosen while the IDE had the page, whose page is gone at Finish: the summary says so
// in its own line, OK writes nothing and keeps page 6 with the reason; unticked, the code saves.
TEST_F(FinishTest, APasteThatCanNoLongerHappenIsToldAndNothingIsWritten) {
    ReachOutput({true, true, false, false});
    const QString moved = PageFile() + QStringLiteral(".moved");
    ASSERT_TRUE(QFile::rename(PageFile(), moved));
    Finish({true});
    const QStringList summary = m_dialogs.Texts(DialogKind::ConfirmActions);
    ASSERT_EQ(summary.size(), 1);
    const QString line = summary[0].section(QStringLiteral("\r\n"), 0, 0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("Code cannot be placed in Main.bas: the IDE is not "
                                               "connected (")))
        << summary[0].toStdString();
    EXPECT_TRUE(line.contains(PageFile())) << "the reason names the page";
    EXPECT_TRUE(summary[0].contains(QStringLiteral("\r\nCode will be saved to AddNums_mac.rtf")));
    const QStringList errors = m_dialogs.Texts(DialogKind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(line)) << errors[0].toStdString();
    EXPECT_TRUE(FilesInOut().empty());
    ExpectStillOpen();

    m_dialogs.Clear();
    Click("chkPasteCode");
    Finish({true});
    EXPECT_EQ(FilesInOut(), std::set<QString>{QLatin1String(kCode)});
    EXPECT_EQ(ReadAll(moved), kPage);
    EXPECT_FALSE(Window().isVisible());
}

// A page the paste cannot write (a full disk when running as root, else a read-only page): the
// error names the page and the reason, the files before it stay written, no settings are
// stored and page 6 stays; once the page can be written, Finish pastes the code once.
TEST_F(FinishTest, AFailedPasteIsReportedAndFinishCanBeRunAgain) {
    ReachOutput({true, false, true, false});
    const QString full = QDir(TempPath()).filePath(QStringLiteral("full"));
    QString page = PageFile();
    bool mounted = false;
#ifdef Q_OS_WIN
    // The read-only attribute: refused for every user.
    static_cast<void>(full);
    QFile::setPermissions(page, QFileDevice::ReadOwner);
#else
    if (::geteuid() == 0) {
        QDir().mkpath(full);
        mounted =
            ::mount("tmpfs", QFile::encodeName(full).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    if (mounted) {
        // The session is read afresh on every call: point it at a page on a full disk.
        page = QDir(full).filePath(QStringLiteral("Main.bas"));
        WriteFile(QStringLiteral("full/Main.bas"), kPage);
        WriteFile(QStringLiteral("run/vorlan-ide.session"),
                  "page=" + QFile::encodeName(page) + "\ncore=16\nline=3\ncolumn=1\n");
        QFile filler(QDir(full).filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        filler.close();
    } else if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root without a way to mount a small tmpfs";
    } else {
        QFile::setPermissions(page, QFileDevice::ReadOwner);
    }
#endif

    Finish({true});
    const QStringList errors = m_dialogs.Texts(DialogKind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("The code could not be placed in Main.bas. ")))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(page)) << errors[0].toStdString();
    EXPECT_EQ(ReadAll(page), kPage);
    EXPECT_TRUE(QFile::exists(Out(kHint))); // the files come before the paste
    ExpectStillOpen();

    if (mounted) {
        QFile::remove(QDir(full).filePath(QStringLiteral("filler")));
    } else {
        QFile::setPermissions(page, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    m_dialogs.Clear();
    Finish({true, true}); // the summary, then the hint file that is there now
    EXPECT_EQ(ReadAll(page).count("AddNums MACRO"), 1);
    EXPECT_FALSE(Window().isVisible());
#ifndef Q_OS_WIN
    if (mounted) {
        ::umount(QFile::encodeName(full).constData());
    }
#endif
}

} // namespace
} // namespace vmg::wizard::test
