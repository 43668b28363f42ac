// The confirmation dialog fmConfirm: its look and places, its text, its two answers, its place
// over the main window, and the production dialogs showing it.
#include "Confirm.h"
#include "QtDialogs.h"
#include "WindowFont.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vmg::wizard::test {
namespace {

// Runs `answer` on the modal dialog once it is shown; a dialog left open is cancelled.
void WhenShown(const std::function<void(QWidget&)>& answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        answer(*modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog != nullptr && dialog->isVisible()) {
            dialog->reject();
        }
    });
}

TEST(ConfirmDialog, HasItsCaptionBorderFontAndPlaces) {
    QWidget owner;
    TfmConfirm dialog(&owner);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("fmConfirm"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Confirm Actions"));
    EXPECT_EQ(dialog.size(), QSize(301, 178));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "the border is fixed";
    const Qt::WindowFlags flags = dialog.windowFlags();
    for (const Qt::WindowType button :
         {Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
          Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint}) {
        EXPECT_FALSE(flags.testFlag(button)) << "title-bar button " << button;
    }
    EXPECT_EQ(dialog.font().family(), WindowFont().family());
    EXPECT_EQ(dialog.font().pointSize(), 8);
    EXPECT_FALSE(dialog.isVisible()) << "created hidden";

    struct Place {
        const char* name;
        QRect rect; // within its parent
        const char* text;
    };
    const Place places[] = {
        {"imgIcon", {8, 8, 32, 32}, nullptr},       {"lblConfirm", {56, 8, 233, 121}, nullptr},
        {"pnlButtons", {0, 137, 301, 41}, nullptr}, {"cmdOK", {176, 8, 51, 25}, "OK"},
        {"cmdCancel", {240, 8, 51, 25}, "Cancel"},
    };
    for (const Place& p : places) {
        auto* w = dialog.findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
        if (p.text != nullptr) {
            EXPECT_EQ(qobject_cast<QPushButton*>(w)->text(), QLatin1String(p.text));
        }
    }
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("lblConfirm"))->wordWrap());
}

TEST(ConfirmDialog, ShowsItsTextAsLinesAndNeverAsMarkup) {
    TfmConfirm dialog;
    dialog.SetConfirmText(
        QStringLiteral("Code will be placed in <b>Main</b>.bas\r\n\r\nor Cancel"));
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("lblConfirm"));
    EXPECT_EQ(label->text(), QStringLiteral("Code will be placed in <b>Main</b>.bas\n\nor Cancel"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST(ConfirmDialog, OkAcceptsAndEveryOtherWayOutCancels) {
    struct Case {
        const char* how;
        std::function<void(QWidget&)> answer;
        int result;
    };
    const auto click = [](const char* button) {
        return [button](QWidget& w) {
            QTest::mouseClick(w.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        };
    };
    const Case cases[] = {
        {"OK", click("cmdOK"), QDialog::Accepted},
        {"Enter", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Return); }, QDialog::Accepted},
        {"Cancel", click("cmdCancel"), QDialog::Rejected},
        {"Enter on Cancel",
         [](QWidget& w) {
             auto* cancel = w.findChild<QPushButton*>(QStringLiteral("cmdCancel"));
             cancel->setFocus();
             QTest::keyClick(cancel, Qt::Key_Return);
         },
         QDialog::Rejected},
        {"Escape", [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); }, QDialog::Rejected},
        {"Closed", [](QWidget& w) { w.close(); }, QDialog::Rejected},
    };
    QWidget owner;
    owner.show();
    TfmConfirm dialog(&owner);
    for (const Case& c : cases) {
        WhenShown(c.answer);
        EXPECT_EQ(dialog.exec(), c.result) << c.how;
        EXPECT_FALSE(dialog.isVisible()) << c.how;
    }
}

TEST(ConfirmDialog, IsCentredOnItsOwnerEachTimeWithTheApplicationsIcon) {
    const QIcon before = QApplication::windowIcon();
    QPixmap red(48, 48);
    red.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(red));
    QWidget owner;
    owner.setGeometry(100, 80, 471, 360);
    owner.show();
    TfmConfirm dialog(&owner);
    for (const QPoint ownerAt : {QPoint(100, 80), QPoint(300, 200)}) {
        owner.move(ownerAt);
        WhenShown([&](QWidget& w) {
            EXPECT_EQ(w.frameGeometry().center(), owner.frameGeometry().center());
        });
        dialog.exec();
    }
    const QPixmap icon = dialog.findChild<QLabel*>(QStringLiteral("imgIcon"))->pixmap();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.toImage().pixelColor(16, 16), QColor(Qt::red));
    QApplication::setWindowIcon(before);
}

// The production dialogs show the program's one confirmation dialog with the summary; without
// one they show a dialog of the same kind.
TEST(ConfirmDialog, TheProductionQuestionShowsTheDialogWithTheSummary) {
    QWidget owner;
    owner.show();
    TfmConfirm fmConfirm(&owner);
    QtDialogs dialogs;
    for (const bool shared : {true, false}) {
        SCOPED_TRACE(shared ? "shared" : "own");
        dialogs.SetConfirmDialog(shared ? &fmConfirm : nullptr);
        for (const bool ok : {true, false}) {
            WhenShown([&](QWidget& w) {
                EXPECT_EQ(w.objectName(), QStringLiteral("fmConfirm"));
                EXPECT_EQ(&w == &fmConfirm, shared);
                EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblConfirm"))->text(),
                          QStringLiteral("Hint will be saved to A_hnt.dat\n\nChoose OK"));
                QTest::mouseClick(w.findChild<QPushButton*>(ok ? QStringLiteral("cmdOK")
                                                               : QStringLiteral("cmdCancel")),
                                  Qt::LeftButton);
            });
            EXPECT_EQ(
                dialogs.ConfirmActions(
                    &owner, QStringLiteral("Hint will be saved to A_hnt.dat\r\n\r\nChoose OK")),
                ok);
        }
    }
}

} // namespace
} // namespace vmg::wizard::test
