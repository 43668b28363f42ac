// The program: the wizard window and its confirmation dialog, run until the window closes.
#include "Confirm.h"
#include "ExitWhenPainted.h"
#include "IDE_Info.h"
#include "Illustration.h"
#include "QtDialogs.h"
#include "Session.h"
#include "VorlanMacGen.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <string>

namespace {

// Used only by the automated smoke and install tests: after the given milliseconds, print the
// title of the window when it is on screen, the page panel shown, and what the IDE link read at
// start-up (so a test can tell the plug-in library was reached), then close it.
void ArmSmokeExit(QWidget& window) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VMG_SMOKE_EXIT_MS", &ok);
    if (!ok || ms < 0) {
        return;
    }
    QTimer::singleShot(ms, &window, [&window] {
        if (window.isVisible()) {
            std::printf("shown: %s\n", qPrintable(window.windowTitle()));
            for (const QWidget* page : window.findChildren<QWidget*>(
                     QRegularExpression(QStringLiteral("^pnlStep\\d$")))) {
                if (page->isVisible()) {
                    std::printf("page shown: %s\n", qPrintable(page->objectName()));
                }
            }
            std::string labels;
            for (const std::string& label : vmg::ide::PageLabels()) {
                labels += (labels.empty() ? "" : ",") + label;
            }
            std::printf("page: %s; labels: %s\n", vmg::ide::CurrentPageName().c_str(),
                        labels.c_str());
            std::fflush(stdout);
        }
        window.close();
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VorlanMacroGenerator"));
    // Names the installed desktop entry, so the desktop shows the menu's icon for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quillory.vorlan_macro_generator"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(vmg::wizard::MacroIllustration())));

    // A session that is there but cannot be used leaves the wizard without the IDE, as no
    // session does; say why, once, where a user who set it up will look.
    if (const std::string problem = vmg::pluginmgr::SessionProblem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
    }

    vmg::wizard::QtDialogs dialogs;
    vmg::wizard::TfmMacroGen window(dialogs);
    // Created hidden right after the main window and kept until the program ends; every Finish
    // shows it again.
    vmg::wizard::TfmConfirm fmConfirm(&window);
    dialogs.SetConfirmDialog(&fmConfirm);
    window.show();
    // The one argument the program takes: a file to open (Explorer's or the file manager's
    // double click on a macro source file). Qt has taken its own options out; anything else
    // is left alone.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments[1].startsWith(u'-')) {
        QTimer::singleShot(0, &window,
                           [&window, path = arguments[1]] { window.OpenAtStart(path); });
    }
    ArmSmokeExit(window);
    vmg::wizard::ExitWhenPainted(window);
    return QApplication::exec();
}
