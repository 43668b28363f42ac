// Windows only: the application-window hook for message 1124, the system's own open-file and
// folder dialogs behind the Dialogs interface, and where the IDE link looks for its library
// and our stand-in for its session. The Native cases need Qt's windows platform (a display);
// on the offscreen platform they are skipped.
#include "WizardFixture.h"

#include "IDE_Info.h"
#include "QtDialogs.h"
#include "cPluginInterface.h"
#include "cPluginMessages.h"

#include <QAbstractNativeEventFilter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vmg::wizard::test {
namespace {

bool NativePlatform() {
    return QGuiApplication::platformName() == QLatin1String("windows");
}

// Sees the messages that reach the filters after the wizard's own (installed earlier, so
// asked later).
class MessageSpy final : public QAbstractNativeEventFilter {
public:
    MessageSpy() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~MessageSpy() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message >= WM_USER) {
            Seen.push_back({msg->hwnd, msg->message, msg->wParam});
        }
        return false;
    }
    bool Saw(HWND window, UINT message, WPARAM tag) const {
        for (const Message& m : Seen) {
            if (m.Window == window && m.Number == message && m.Tag == tag) {
                return true;
            }
        }
        return false;
    }

    struct Message {
        HWND Window;
        UINT Number;
        WPARAM Tag;
    };
    std::vector<Message> Seen;
};

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

class NativeWindowsTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        if (!NativePlatform()) {
            GTEST_SKIP() << "needs Qt's windows platform, not "
                         << qPrintable(QGuiApplication::platformName());
        }
    }
};

// Posted (filtered in the event loop, with no result to fill in) and sent (through the window
// procedure): neither reaches anyone else while the window exists; another message does. Once
// the window is gone the hook is too.
TEST_F(NativeWindowsTest, Message1124IsSwallowedWhileTheWindowExists) {
    MessageSpy spy;
    Start();
    const auto window = reinterpret_cast<HWND>(Window().winId());
    constexpr UINT kMessage = ide::kPluginMessage;
    ASSERT_EQ(kMessage, 1124u);
    ASSERT_TRUE(PostMessageW(window, kMessage, 1, 0));
    ASSERT_TRUE(PostMessageW(window, kMessage + 1, 2, 0));
    EXPECT_EQ(SendMessageW(window, kMessage, 3, 0), 0);
    Settle();
    EXPECT_FALSE(spy.Saw(window, kMessage, 1)) << "the posted message got through";
    EXPECT_FALSE(spy.Saw(window, kMessage, 3)) << "the sent message got through";
    EXPECT_TRUE(spy.Saw(window, kMessage + 1, 2)) << "the spy sees nothing at all";
    EXPECT_TRUE(Window().isVisible());

    Destroy();
    QWidget other;
    other.show();
    const auto otherWindow = reinterpret_cast<HWND>(other.winId());
    ASSERT_TRUE(PostMessageW(otherWindow, kMessage, 4, 0));
    Settle();
    EXPECT_TRUE(spy.Saw(otherWindow, kMessage, 4)) << "the hook outlived its window";
}

// A visible system dialog among a thread's windows: the system's own convention, which a lambda
// does not have on 32-bit Windows.
BOOL CALLBACK FindDialog(HWND window, LPARAM out) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring_view(name) == L"#32770") {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

// The modal dialog the system opened on this thread, once it is there.
HWND OpenDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers the system's dialog once it shows: types `text` into its name box (when given) and
// presses OK, or presses Cancel.
void AnswerWhenShown(std::function<void(HWND)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (const HWND dialog = OpenDialog()) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start(100);
    // Nobody answers a dialog that never shows: end it after a while.
    QTimer::singleShot(20000, timer, [timer] {
        timer->stop();
        timer->deleteLater();
    });
}

void PressCancel(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The name box has the focus when the dialog opens.
void TypeNameAndOk(HWND dialog, const QString& text) {
    HWND box = GetFocus();
    if (box == nullptr || GetAncestor(box, GA_ROOT) != dialog) {
        ADD_FAILURE() << "the dialog's name box has no focus";
        PressCancel(dialog);
        return;
    }
    SetWindowTextW(box, reinterpret_cast<const wchar_t*>(text.utf16()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(NativeWindowsTest, TheOpenDialogIsTheSystemsOwn) {
    Start();
    const QString file = WriteFile(QStringLiteral("Ädd Nums.mcs"), "1,AddNums,0,,0,0,\r\n");
    QtDialogs dialogs;
    const QString filter = QStringLiteral("Macro source (*.mcs);;All files (*)");

    AnswerWhenShown(PressCancel);
    EXPECT_EQ(dialogs.OpenFile(&Window(), TempPath(), filter), std::nullopt);

    AnswerWhenShown([&](HWND d) { TypeNameAndOk(d, QDir::toNativeSeparators(file)); });
    const auto chosen = dialogs.OpenFile(&Window(), TempPath(), filter);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QDir::fromNativeSeparators(*chosen), file);
}

TEST_F(NativeWindowsTest, TheFolderDialogIsTheSystemsOwn) {
    Start();
    const QString folder = QDir(TempPath()).filePath(QStringLiteral("Makros für PIC"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QtDialogs dialogs;

    AnswerWhenShown(PressCancel);
    EXPECT_EQ(dialogs.BrowseForFolder(&Window(), TempPath()), std::nullopt);

    AnswerWhenShown([&](HWND d) { TypeNameAndOk(d, QDir::toNativeSeparators(folder)); });
    const auto chosen = dialogs.BrowseForFolder(&Window(), TempPath());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QDir::toNativeSeparators(folder)) << "in the system's own separators";
}

// ---- The IDE link (any platform) ----

class IdeLinkWindowsTest : public WizardTest {};

TEST_F(IdeLinkWindowsTest, TheLibraryBesideTheProgramComesFirst) {
    EXPECT_EQ(ide::PluginLibraryCandidates("C:\\Program Files\\Vorlan"),
              (std::vector<std::string>{"C:\\Program Files\\Vorlan\\qvPluginMgr.dll",
                                        "qvPluginMgr.dll"}));
    // The one the tests load is our stand-in, beside them.
    ASSERT_NE(ide::PluginLibrary(), nullptr);
    const HMODULE loaded = GetModuleHandleW(L"qvPluginMgr.dll");
    ASSERT_NE(loaded, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(loaded, path, MAX_PATH);
    EXPECT_EQ(QFileInfo(QString::fromWCharArray(path)).absolutePath(),
              QCoreApplication::applicationDirPath());
}

// Without XDG_RUNTIME_DIR and HOME, as on most Windows machines, the session is looked for in
// the user's local application data.
TEST_F(IdeLinkWindowsTest, TheStandInFindsItsSessionInLocalAppData) {
    const QString local = QDir(TempPath()).filePath(QStringLiteral("Local Äpp Data"));
    ASSERT_TRUE(QDir().mkpath(local));
    // In UTF-16, past the C runtime's code page, as Windows gives it to every program.
    wchar_t old[MAX_PATH] = {};
    const bool hadOld = GetEnvironmentVariableW(L"LOCALAPPDATA", old, MAX_PATH) > 0;
    const std::wstring wide = QDir::toNativeSeparators(local).toStdWString();
    SetEnvironmentVariableW(L"LOCALAPPDATA", wide.c_str());
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("HOME");
    const QString page = WriteFile(QStringLiteral("Main.bas"), "Start:\r\n  GoTo Start\r\n");
    QFile session(QDir(local).filePath(QStringLiteral("vorlan-ide.session")));
    ASSERT_TRUE(session.open(QIODevice::WriteOnly));
    session.write("page=" + page.toUtf8() + "\r\ncore=14\r\n");
    session.close();

    Start();
    EXPECT_EQ(Find<QLabel>("pnlStat")->text(), QStringLiteral("IDE Connected"));
    EXPECT_EQ(ide::PageLabels(), std::vector<std::string>{"Start"});
    SetEnvironmentVariableW(L"LOCALAPPDATA", hadOld ? old : nullptr);
}

} // namespace
} // namespace vmg::wizard::test
