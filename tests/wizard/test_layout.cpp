// What the screen shows: page 6's USER.MCD group clear of the rows, the confirmation growing
// with its summary, and the Check window's place beside the main window (captions: see
// test_page_looks.cpp). Run again at QT_SCALE_FACTOR 2 (see CMakeLists.txt).
#include "WizardFixture.h"

#include "Confirm.h"
#include "Finish.h"
#include "Page6Output.h"
#include "Placement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace vmg::wizard::test {
namespace {

// Nothing placed on page 6 moves; the USER.MCD group overlaps nothing, keeps clear of the
// column of check boxes, and is read (tabbed) before it.
TEST_F(WizardTest, LayoutPageSixKeepsItsPlacesAndTheUserMcdGroupApart) {
    Start();
    NextTo(6);
    const std::pair<const char*, QPoint> placed[] = {
        {"chkPasteCode", {168, 168}}, {"chkSaveCode", {168, 192}},
        {"chkSaveHint", {168, 216}},  {"chkSaveSource", {168, 240}},
        {"txtSavePath", {168, 268}},  {"cmdBrowseSavePath", {432, 268}},
    };
    for (const auto& [name, at] : placed) {
        EXPECT_EQ(Find<QWidget>(name)->pos(), at) << name;
    }
    QWidget* page = Find<QWidget>("pnlStep6");
    for (const char* name : {"chkAddUserMcd", "lblUserMcdName", "cmdBrowseUserMcd", "chkWriteBack",
                             "lblWriteBackName"}) {
        const QRect mine = Find<QWidget>(name)->geometry();
        if (MeasuresAsShown()) { // a caption may widen into the gap with a wider font
            EXPECT_LE(mine.right(), 168 - 16) << name;
        }
        for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const char* group = QByteArray(name).contains("UserMcd") ? "UserMcd" : "WriteBack";
            EXPECT_TRUE(other->objectName().contains(group) || !mine.intersects(other->geometry()))
                << name << " over " << other->objectName().toStdString();
        }
    }
    QStringList order;
    for (QWidget* w = Find<QWidget>("chkAddUserMcd"); order.size() < 9; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)) {
            order << w->objectName();
        }
    }
    EXPECT_EQ(order.join(' '), "chkAddUserMcd cmdBrowseUserMcd chkWriteBack chkPasteCode "
                               "chkSaveCode chkSaveHint chkSaveSource txtSavePath "
                               "cmdBrowseSavePath");
}

// The longest summaries: every action with the USER.MCD line, macro names up to ones far beyond
// any real use (the name rule sets no length).
TEST(LayoutConfirm, TheSummaryIsNeverClippedAndOkAndCancelFollowIt) {
    QWidget owner;
    owner.show();
    TfmConfirm dialog(&owner);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int length : {7, 31, 200, 5000}) {
        SCOPED_TRACE(::testing::Message() << "name of " << length);
        const QString name = QStringLiteral("M") + QString(length - 1, u'x');
        FinishPlan plan;
        plan.Paste = plan.SaveCode = plan.SaveHint = plan.SaveSource = true;
        plan.PasteDest = "Blink.bas";
        plan.CodeName = name + "_mac.rtf";
        plan.HintName = name + "_hnt.dat";
        plan.SourceName = name + ".mcs";
        dialog.SetConfirmText(SummaryText(plan, "Hint will replace the existing entry for " + name +
                                                    " in USER.MCD\r\n"));
        const auto* label = dialog.findChild<QLabel*>("lblConfirm");
        const auto* strip = dialog.findChild<QWidget*>("pnlButtons");
        EXPECT_EQ(label->pos(), QPoint(56, 8));
        EXPECT_EQ(label->width(), 233);
        const QRect text = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                             Qt::TextWordWrap, label->text());
        EXPECT_LE(text.width(), label->width());
        EXPECT_LE(text.height(), label->height());
        EXPECT_EQ(strip->y(), label->geometry().bottom() + 1 + 8);
        EXPECT_EQ(dialog.height(), strip->geometry().bottom() + 1);
        EXPECT_EQ(dialog.width(), 301);
        EXPECT_LE(dialog.height(), screen.height());
    }
    // A summary that fits keeps the designed sizes.
    dialog.SetConfirmText(QStringLiteral("Closing down Wizard - No action taken"));
    EXPECT_EQ(dialog.size(), QSize(301, 178));
    EXPECT_EQ(dialog.findChild<QLabel*>("lblConfirm")->height(), 121);
}

TEST(LayoutCheckWindow, GoesBesideTheMainWindowMovingItOnlyWhenItMust) {
    const struct {
        QRect owner, screen;
        QPoint ownerAt;
        QRect window;
    } cases[] = {
        // Room on the right; on the left only; narrowed, the owner moved aside; too narrow for
        // both: on the screen, over the owner.
        {{400, 200, 471, 360}, {0, 0, 1920, 1080}, {400, 200}, {879, 200, 600, 600}},
        {{1300, 100, 471, 360}, {0, 0, 1920, 1080}, {1300, 100}, {692, 100, 600, 600}},
        {{276, 204, 471, 360}, {0, 0, 1024, 768}, {209, 204}, {688, 168, 336, 600}},
        {{20, 20, 471, 360}, {0, 0, 640, 480}, {0, 20}, {304, 0, 336, 480}},
    };
    for (const auto& c : cases) {
        const SideBySide at = PlaceBeside(c.owner, QSize(600, 600), 336, c.screen);
        EXPECT_EQ(at.Owner, c.ownerAt);
        EXPECT_EQ(at.Window, c.window);
    }
}

// Wherever the system put a tool window, it is moved (shrunk only when larger) within the area.
TEST(LayoutToolWindows, StayWithinTheAvailableArea) {
    const struct {
        QRect frame, area, within;
    } cases[] = {
        {{882, 100, 400, 600}, {0, 0, 1280, 984}, {880, 100, 400, 600}}, // 2 px past the right
        {{-10, -5, 300, 200}, {0, 0, 1024, 738}, {0, 0, 300, 200}},
        {{100, 500, 400, 600}, {0, 0, 1024, 738}, {100, 138, 400, 600}},
        {{0, 0, 1200, 900}, {0, 30, 1024, 738}, {0, 30, 1024, 738}},
        {{50, 60, 300, 200}, {0, 0, 1024, 738}, {50, 60, 300, 200}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinArea(c.frame, c.area), c.within);
    }
}

} // namespace
} // namespace vmg::wizard::test
