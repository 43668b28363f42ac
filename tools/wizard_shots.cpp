// Screenshots of every wizard page and of its other windows, for looking at the layout under a
// scale factor or font size:
//   xvfb-run -a -s "-screen 0 1024x768x24" env QT_SCALE_FACTOR=1.5
//       build/bin/vmg_wizard_shots OUTDIR examples/AddNums.mcs [USER.MCD]
// A session attached with `vmacgen attach` gives page 6 its paste destination; SHOT_FONT_POINTS
// stands in for a larger system font.
#include "Confirm.h"
#include "Dialogs.h"
#include "HelpWindow.h"
#include "Illustration.h"
#include "Page6Output.h"
#include "VorlanMacGen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

using namespace vmg::wizard;

QString g_out;

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

void Save(QWidget* w, const QString& name) {
    Settle();
    const QString path = QDir(g_out).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
}

void SaveScreen(const QString& name) {
    Settle();
    QScreen* screen = QGuiApplication::primaryScreen();
    screen->grabWindow(0).save(QDir(g_out).filePath(name + QStringLiteral(".png")));
}

// Opens the given macro source, shows the summary and the help, and declines everything else.
class ShotDialogs final : public Dialogs {
public:
    explicit ShotDialogs(QString source) : m_source(std::move(source)) {}
    void Information(QWidget*, const QString& text) override {
        std::fprintf(stderr, "information: %s\n", qPrintable(text));
    }
    bool Confirm(QWidget*, const QString&) override { return false; }
    bool WarningYesNo(QWidget*, const QString&) override { return false; }
    void Error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    void Beep() override {}
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&) override {
        return m_source;
    }
    std::optional<QString> BrowseForFolder(QWidget*, const QString&) override {
        return std::nullopt;
    }
    bool ConfirmActions(QWidget* parent, const QString& summary) override {
        TfmConfirm dialog(parent->window());
        dialog.SetConfirmText(summary);
        dialog.show();
        Save(&dialog, QStringLiteral("confirm"));
        SaveScreen(QStringLiteral("confirm-screen"));
        return false;
    }
    void Help(QWidget* parent, int topic) override {
        auto* help = new HelpWindow(parent->window());
        help->ShowTopic(topic);
        Save(help, QStringLiteral("help"));
        help->close();
    }

private:
    QString m_source;
};

void Click(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QPushButton*>(QLatin1String(name))) {
        button->click();
    } else {
        std::fprintf(stderr, "no button %s\n", name);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR MACRO.mcs [USER.MCD]\n", argv[0]);
        return 2;
    }
    if (const int points = qEnvironmentVariableIntValue("SHOT_FONT_POINTS"); points > 0) {
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(MacroIllustration())));
    ShotDialogs dialogs(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));
    TfmMacroGen window(dialogs);
    window.show();
    Save(&window, QStringLiteral("page0"));
    Click(window, "cmdNavNext");
    Click(window, "cmdReload");
    Save(&window, QStringLiteral("page1"));
    Click(window, "cmdPreview");
    auto* preview = window.findChild<QWidget*>(QStringLiteral("fmPreview"));
    if (preview != nullptr) {
        Save(preview, QStringLiteral("preview"));
        SaveScreen(QStringLiteral("preview-screen"));
    }
    for (int page = 2; page <= 6; ++page) {
        Click(window, "cmdNavNext");
        if (page == 2 && preview != nullptr) {
            // The lines an answer changed, still marked.
            if (auto* optional = window.findChild<QCheckBox*>(QStringLiteral("chkArgOptional"))) {
                optional->click();
            }
            Save(preview, QStringLiteral("preview-marked"));
        }
        if (page == 3 && preview != nullptr) {
            // An answer Next would refuse: the last good text, dimmed, under the reason.
            if (auto* sub = window.findChild<QComboBox*>(QStringLiteral("cmbSubroutineName"))) {
                const QString kept = sub->currentText();
                sub->setEditText(QStringLiteral("1st"));
                Save(preview, QStringLiteral("preview-refused"));
                sub->setEditText(kept);
            }
        }
        if (page == 6) {
            if (argc > 3) {
                window.OutputPage()->SetUserMcdPath(QString::fromLocal8Bit(argv[3]));
            }
            window.OutputPage()->SetChoices({true, true, true, true, true});
        }
        Save(&window, QStringLiteral("page%1").arg(page));
        if (page == 4) {
            Click(window, "cmdCheckCall");
            if (auto* check = window.findChild<QWidget*>(QStringLiteral("fmCheckCall"))) {
                Save(check, QStringLiteral("checkcall"));
                SaveScreen(QStringLiteral("checkcall-screen"));
                check->close();
            }
        }
    }
    Click(window, "cmdNavHelp");
    Click(window, "cmdNavFinished");
    return 0;
}
