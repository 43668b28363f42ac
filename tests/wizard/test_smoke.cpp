// The real program on a virtual display: it starts, shows its window and closes again.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

TEST(Smoke, TheProgramShowsItsWindowOnAVirtualDisplay) {
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile::setPermissions(home.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Its own home: no stored settings are read and none are left behind, no IDE session.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("VMG_SMOKE_EXIT_MS"), QStringLiteral("1500"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(xvfbRun,
                  {QStringLiteral("-a"), QStringLiteral("-s"),
                   QStringLiteral("-screen 0 1024x768x24"), QStringLiteral(VMG_WIZARD_BINARY)});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not close by itself";
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("shown: Vorlan Macro Generator")))
        << "stdout: " << out.toStdString() << "\nstderr: " << err.toStdString();
    EXPECT_FALSE(QDir(home.filePath(QStringLiteral("config"))).exists())
        << "closing without Finish stored settings";
}

#ifdef Q_OS_WIN
bool WizardKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quillory\\VorlanMacroGenerator", 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// The program itself on the tests' platform. On Qt's windows platform the plug-in manager's
// message 1124, posted and sent to the program's window, changes nothing: the window stays
// until the program closes it, which ends the program with status 0.
TEST(Smoke, TheProgramShowsItsWindowAndEndsCleanly) {
    const bool native = QGuiApplication::platformName() == QLatin1String("windows");
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const bool storedBefore = WizardKeyExists();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
    env.insert(QStringLiteral("LOCALAPPDATA"), QDir::toNativeSeparators(home.path()));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.remove(QStringLiteral("HOME"));
    env.insert(QStringLiteral("VMG_SMOKE_EXIT_MS"), QStringLiteral("4000"));

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationDirPath() +
                  QStringLiteral("/VorlanMacroGenerator.exe"));
    ASSERT_TRUE(program.waitForStarted(10000));
    if (native) {
        HWND window = nullptr;
        for (int i = 0; i < 100 && window == nullptr; ++i) {
            program.waitForFinished(100);
            window = FindWindowW(nullptr, L"Vorlan Macro Generator");
        }
        ASSERT_NE(window, nullptr) << "the window did not show";
        EXPECT_TRUE(PostMessageW(window, 1124, 0, 0));
        DWORD_PTR result = 1;
        EXPECT_NE(SendMessageTimeoutW(window, 1124, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
        EXPECT_EQ(result, 0u);
        EXPECT_TRUE(IsWindow(window));
    }
    ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not close by itself";
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("shown: Vorlan Macro Generator"))) << out.toStdString();
    if (!storedBefore) {
        EXPECT_FALSE(WizardKeyExists()) << "closing without Finish stored settings";
    }
}
#endif

} // namespace
