// What the screen shows: captions whole on every page, page 6's USER.MCD group clear of the
// rows, the confirmation growing with its summary, and the Check window's place beside the main
// window. Run again at QT_SCALE_FACTOR 2 (see CMakeLists.txt).
#include "WizardFixture.h"

#include "Confirm.h"
#include "Finish.h"
#include "Page6Output.h"
#include "Placement.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>

namespace vmg::wizard::test {
namespace {

const QByteArray kAddNums = "1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                            "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n";

// Every caption on the page shown can be read whole.
void ExpectCaptionsWhole(QWidget* page) {
    for (const QAbstractButton* b : page->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || b->text().isEmpty()) {
            continue;
        }
        const int text = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(u'&'));
        QStyleOptionButton option;
        option.initFrom(b);
        int room = b->width() - 4;
        if (qobject_cast<const QCheckBox*>(b) != nullptr) {
            room = b->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, b).width();
        } else if (qobject_cast<const QRadioButton*>(b) != nullptr) {
            room = b->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, b).width();
        }
        EXPECT_LE(text, room) << b->objectName().toStdString();
    }
    for (const QLabel* l : page->findChildren<QLabel*>()) {
        if (!l->isVisible() || l->text().isEmpty()) {
            continue;
        }
        if (l->wordWrap()) {
            EXPECT_LE(l->heightForWidth(l->width()), l->height()) << l->objectName().toStdString();
        } else {
            EXPECT_LE(l->sizeHint().width(), l->width()) << l->objectName().toStdString();
        }
    }
}

TEST_F(WizardTest, LayoutEveryCaptionOnEveryPageIsWhole) {
    Start();
    NextTo(1);
    OpenSource(kAddNums);
    for (int page = 1; page < kPageCount; ++page) {
        NextTo(page);
        SCOPED_TRACE(::testing::Message() << "page " << page);
        if (page == 6) {
            Window().OutputPage()->SetUserMcdPath(WriteFile("USER.MCD", ""));
        }
        ExpectCaptionsWhole(&Window());
    }
}

// Nothing placed on page 6 moves; the USER.MCD group overlaps nothing, keeps clear of the
// column of check boxes, and is read (tabbed) before it.
TEST_F(WizardTest, LayoutPageSixKeepsItsPlacesAndTheUserMcdGroupApart) {
    Start();
    NextTo(6);
    const int top = 297 - 145;
    const std::pair<const char*, QRect> placed[] = {
        {"chkPasteCode", {168, top + 16, 97, 17}},  {"chkSaveCode", {168, top + 40, 89, 17}},
        {"chkSaveHint", {168, top + 64, 89, 17}},   {"chkSaveSource", {168, top + 88, 89, 17}},
        {"txtSavePath", {168, top + 116, 257, 21}}, {"cmdBrowseSavePath", {432, top + 116, 33, 21}},
        {"lblStep6", {160, 16, 289, 145}},
    };
    for (const auto& [name, rect] : placed) {
        EXPECT_EQ(Find<QWidget>(name)->pos(), rect.topLeft()) << name;
        EXPECT_GE(Find<QWidget>(name)->width(), rect.width()) << name;
    }
    QWidget* page = Find<QWidget>("pnlStep6");
    for (const char* name : {"chkAddUserMcd", "lblUserMcdName", "cmdBrowseUserMcd"}) {
        const QRect mine = Find<QWidget>(name)->geometry();
        EXPECT_LE(mine.right(), 168 - 16) << name;
        for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!other->objectName().contains("UserMcd")) {
                EXPECT_FALSE(mine.intersects(other->geometry()))
                    << name << " over " << other->objectName().toStdString();
            }
        }
    }
    QStringList order;
    for (QWidget* w = Find<QWidget>("chkAddUserMcd"); order.size() < 8; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty()) {
            order << w->objectName();
        }
    }
    EXPECT_EQ(order,
              QStringList({"chkAddUserMcd", "cmdBrowseUserMcd", "chkPasteCode", "chkSaveCode",
                           "chkSaveHint", "chkSaveSource", "txtSavePath", "cmdBrowseSavePath"}));
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
        FinishPlan plan{true,
                        true,
                        true,
                        true,
                        "Blink.bas",
                        "/tmp",
                        name + "_mac.rtf",
                        name + "_hnt.dat",
                        name + ".mcs",
                        true,
                        "/tmp/USER.MCD",
                        "USER.MCD"};
        dialog.SetConfirmText(SummaryText(plan, "Hint will replace the existing entry for " + name +
                                                    " in USER.MCD\r\n"));
        const auto* label = dialog.findChild<QLabel*>("lblConfirm");
        const auto* strip = dialog.findChild<QWidget*>("pnlButtons");
        EXPECT_EQ(label->pos(), QPoint(56, 8));
        EXPECT_EQ(label->width(), 233);
        EXPECT_LE(label->heightForWidth(label->width()), label->height());
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
    struct Case {
        const char* what;
        QRect owner, screen;
        QPoint ownerAt;
        QRect window;
    };
    const QSize wanted(600, 600);
    const Case cases[] = {
        {"room on the right",
         {400, 200, 471, 360},
         {0, 0, 1920, 1080},
         {400, 200},
         {879, 200, 600, 600}},
        {"room on the left only",
         {1300, 100, 471, 360},
         {0, 0, 1920, 1080},
         {1300, 100},
         {692, 100, 600, 600}},
        {"narrowed on the wider side",
         {300, 100, 471, 360},
         {0, 0, 1200, 800},
         {300, 100},
         {779, 100, 421, 600}},
        {"owner moved aside",
         {276, 204, 471, 360},
         {0, 0, 1024, 768},
         {209, 204},
         {688, 168, 336, 600}},
        {"short screen", {100, 50, 471, 360}, {0, 0, 1280, 500}, {100, 50}, {579, 0, 600, 500}},
        {"too narrow for both", {20, 20, 471, 360}, {0, 0, 640, 480}, {0, 20}, {304, 0, 336, 480}},
    };
    for (const Case& c : cases) {
        const SideBySide at = PlaceBeside(c.owner, wanted, 336, c.screen);
        EXPECT_EQ(at.Owner, c.ownerAt) << c.what;
        EXPECT_EQ(at.Window, c.window) << c.what;
        const QRect ownerNow(at.Owner, c.owner.size());
        if (c.screen.width() >= c.owner.width() + 336 + 8) {
            EXPECT_FALSE(ownerNow.intersects(at.Window)) << c.what;
        }
        EXPECT_TRUE(c.screen.contains(at.Window)) << c.what;
    }
}

} // namespace
} // namespace vmg::wizard::test
