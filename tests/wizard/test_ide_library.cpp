// The wizard against a plug-in manager library of the IDE's kind (tests/idelib, 32-bit Windows
// only): the calls it makes, in order and with their arguments, and libraries it cannot use.
#include "WizardFixture.h"

#include "cPluginInterface.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

namespace vmg::wizard::test {
namespace {

const QByteArray kPageId = "C:\\Work\\Adder.bas";
// The library's page with its NUL: the size its record gives.
constexpr int kPageTextSize = 57;

class IdeLibraryTest : public WizardTest {
protected:
    void TearDown() override {
        WizardTest::TearDown();
        ide::SetPluginLibraryPath(""); // the stand-in beside the test program again
    }
    // Uses one form of the library; its call log starts empty.
    void Use(const char* form) {
        const QString folder = QDir(QCoreApplication::applicationDirPath())
                                   .filePath(QStringLiteral("idelib/") + QLatin1String(form));
        if (!QFile::exists(folder + QStringLiteral("/qvPluginMgr.dll"))) {
            GTEST_SKIP() << "no library of the IDE's kind in " << folder.toStdString();
        }
        m_log = folder + QStringLiteral("/qvPluginMgr.log");
        QFile::remove(m_log);
        ide::SetPluginLibraryPath(
            QDir::toNativeSeparators(folder + "/qvPluginMgr.dll").toStdString());
    }
    QList<QByteArray> Calls() const {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
    }
    QString m_log;
};

TEST_F(IdeLibraryTest, AWholeRunMakesTheCallsThePluginInterfacePromises) {
    Use("plain");
    if (IsSkipped()) {
        return;
    }
    Start();
    EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Connected"));
    Next();
    Type("txtMacroName", QStringLiteral("AddNums"));
    Next();
    Click("cmdGetVars0");
    Type("txtParamName", QStringLiteral("First"));
    Click("cmdAddArg");
    Next();
    Click("cmdShowLabels");
    auto* routine = Find<QComboBox>("cmbSubroutineName");
    routine->setCurrentIndex(routine->findText(QStringLiteral("AddSub")));
    ASSERT_EQ(routine->currentText(), QStringLiteral("AddSub"));
    Next();
    ASSERT_EQ(State().CurrentPage, 4) << m_dialogs.Transcript().toStdString();
    Next();
    Next();
    ASSERT_EQ(State().CurrentPage, 6) << m_dialogs.Transcript().toStdString();
    Click("chkPasteCode");
    m_dialogs.YesNo.push_back(true);
    Click("cmdNavFinished");
    ASSERT_FALSE(Window().isVisible()) << m_dialogs.Transcript().toStdString();

    const QByteArray page = "GetPage(buffer, 256)";
    const QByteArray info = "GetPageInfo(record) for " + kPageId;
    const QByteArray text =
        "GetPageText(buffer, " + QByteArray::number(kPageTextSize) + ") for " + kPageId;
    const QByteArray asked = "IsConnected()";
    // Qt's headless platform has no system window to hand over.
    const QByteArray connect = QGuiApplication::platformName() == QLatin1String("windows")
                                   ? "Connect(a window)"
                                   : "Connect(no window)";
    QList<QByteArray> expected = {connect, asked}; // start-up: connect once
    expected += {asked, page, info, text};         // the page's text
    expected += {asked, page, info};               // its core
    expected += {asked, page, info};               // the output page's page name
    expected += {asked, page, info}; // the confirmation: can the page still be reached?
    expected += {asked, "GetPageCursorPos(first, second)"}; // the cursor
    expected += {asked};                                    // and the paste
    QList<QByteArray> calls = Calls();
    ASSERT_GT(calls.size(), expected.size()) << m_log.toStdString();
    const QByteArray paste = calls[expected.size()];
    EXPECT_EQ(calls.mid(0, expected.size()), expected);
    // At the cursor the library gave, the macro's whole code with CR LF line ends.
    EXPECT_TRUE(paste.startsWith("SetPageTextAt(3, 1) AddNums MACRO  P1\\r\\n")) << paste.data();
    EXPECT_TRUE(paste.endsWith("ENDM\\r\\n")) << paste.data();
    EXPECT_EQ(calls.mid(expected.size() + 1), QList<QByteArray>{""}) << "nothing after the paste";
}

// Decorated names ("Connect@4") or a missing function: the library is not used at all, and the
// wizard runs on without the IDE.
TEST_F(IdeLibraryTest, ALibraryWithoutThePlainNamesOrAFunctionLeavesTheWizardNotConnected) {
    for (const char* form : {"decorated", "nopaste"}) {
        SCOPED_TRACE(form);
        Use(form);
        if (IsSkipped()) {
            return;
        }
        Start();
        EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Not Connected"));
        Next();
        Type("txtMacroName", QStringLiteral("AddNums"));
        Next();
        EXPECT_EQ(State().CurrentPage, 2) << m_dialogs.Transcript().toStdString();
        EXPECT_TRUE(Calls().isEmpty()) << "a library that cannot be used is not called";
        Destroy();
    }
}

} // namespace
} // namespace vmg::wizard::test
