// The real program on a virtual display: it starts, shows its window and closes again.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace
