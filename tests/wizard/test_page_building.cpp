// Pages are built on first entry: a page built late looks and behaves as one built at start-up,
// with the same controls in the same Tab order and places, and start-up's settings and IDE
// findings in them.
#include "WizardFixture.h"

#include "WizardPage.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <array>
#include <cctype>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace vmg::wizard::test {
namespace {

// Every widget of the page with its place and state, one line each in creation order.
std::string Controls(const QWidget& page) {
    QString text;
    for (const QWidget* w : page.findChildren<QWidget*>()) {
        const QRect g = w->geometry();
        text += QStringLiteral("\n%1 %2,%3 %4x%5 shown=%6 enabled=%7 ")
                    .arg(w->objectName())
                    .arg(g.x())
                    .arg(g.y())
                    .arg(g.width())
                    .arg(g.height())
                    .arg(w->isVisibleTo(&page))
                    .arg(w->isEnabled());
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            text += QStringLiteral("checked=%1").arg(b->isChecked());
        } else if (const auto* c = qobject_cast<const QComboBox*>(w)) {
            text += Items(c).join(u'|') + QStringLiteral(" [%1]").arg(c->currentText());
        } else if (const auto* e = qobject_cast<const QLineEdit*>(w)) {
            text += u'[' + e->text() + u']';
        } else if (const auto* l = qobject_cast<const QLabel*>(w)) {
            text += u'[' + l->text() + u']';
        }
    }
    return text.toStdString();
}

// The Tab stops of the page and of the navigation strip: in the window's focus chain, and in
// the order they were created with the strip last, as when it is created after every page.
// Hidden ones count too, so that the order does not depend on the answers.
std::pair<std::string, std::string> TabOrders(QWidget& window, const QWidget& page) {
    const QWidget* strip = window.findChild<QWidget*>(QStringLiteral("pnlNavigation"));
    const auto stop = [&window](const QWidget* w) {
        return (w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr &&
               w->window() == &window; // not the drop-down lists' pop-ups
    };
    QStringList chain;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if (stop(w) && (page.isAncestorOf(w) || strip->isAncestorOf(w))) {
            chain << w->objectName();
        }
    }
    QStringList created;
    for (const QWidget* parent : {&page, strip}) {
        for (const QWidget* w : parent->findChildren<QWidget*>()) {
            if (stop(w)) {
                created << w->objectName();
            }
        }
    }
    return {chain.join(u' ').toStdString(), created.join(u' ').toStdString()};
}

struct PageView {
    QImage picture;
    std::string controls;
    std::pair<std::string, std::string> tabOrders;
};

// What a control of a page built late must show: part of its line in Controls().
struct Shows {
    int page;
    const char* line;
};

// A run: stored settings and an IDE page, or the user's changes on page 1 before pages 2 and 3
// exist; and what must have reached the pages built late.
struct Scenario {
    const char* name;
    bool storedSettingsAndIde;
    std::vector<Shows> expected;
};

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.name;
}

class PageBuildingTest : public WizardTest, public ::testing::WithParamInterface<Scenario> {
protected:
    // From page 0 to page 6, with every page built right after start-up when `allAtStart`;
    // each page's view on arrival.
    std::array<PageView, kPageCount> Walk(bool allAtStart) {
        TfmMacroGen& window = StartAgain();
        if (allAtStart) {
            window.BuildAllPages();
        }
        std::array<PageView, kPageCount> views;
        for (int page = 0; page < kPageCount; ++page) {
            NextTo(page);
            const auto* shown =
                window.findChild<WizardPage*>(QStringLiteral("pnlStep%1").arg(page));
            // As drawn on the screen: QWidget::grab would lay out the hidden pages first.
            QCoreApplication::processEvents();
            views[page] = {window.screen()->grabWindow(window.winId()).toImage(), Controls(*shown),
                           TabOrders(window, *shown)};
            if (page == 1 && !GetParam().storedSettingsAndIde) {
                Click("chkTypeConvOn");
                OpenSource("1,Loaded,0,,0,0,Two\r\n2,First,ArgA,2,0,0\r\n2,Second,ArgB,3,1,0\r\n"
                           "3,LoadedSub,-1,0,,0,0,0\r\n");
            }
        }
        return views;
    }
};

TEST_P(PageBuildingTest, APageBuiltOnEntryIsThePageBuiltAtStartUp) {
    if (GetParam().storedSettingsAndIde) {
        StoreWizardSettings({{"AllowTypeConv", 1},
                             {"ReturnInd", 2},
                             {"NoCode", 1},
                             {"PasteMac", 1},
                             {"FilePath", QStringLiteral("/macros")},
                             {"AddUserMcd", 1},
                             {"UserMcdPath", QStringLiteral("/ide/USER.MCD")}});
        WriteSession(16, "Dim Counter As Word\r\nStart:\r\n  GoTo Start\r\n");
    }
    const auto late = Walk(false);
    const auto early = Walk(true);
    for (int page = 0; page < kPageCount; ++page) {
        SCOPED_TRACE(testing::Message() << "page " << page);
        EXPECT_EQ(late[page].controls, early[page].controls);
        EXPECT_EQ(late[page].tabOrders.first, late[page].tabOrders.second);
        EXPECT_EQ(late[page].tabOrders, early[page].tabOrders);
        EXPECT_TRUE(late[page].picture == early[page].picture) << "the pages look different";
    }
    // A "?" stands for the width of a captioned control, which follows the font of the system
    // (captions are widened to fit).
    for (const Shows& want : GetParam().expected) {
        std::string pattern;
        for (const char c : std::string(want.line)) {
            pattern += c == '?' ? std::string("[0-9]+")
                       : std::isalnum(static_cast<unsigned char>(c)) || c == '\n'
                           ? std::string(1, c)
                           : std::string("\\") + c;
        }
        EXPECT_TRUE(std::regex_search(late[want.page].controls, std::regex(pattern)))
            << want.line << " not in" << late[want.page].controls;
    }
}

const Scenario kScenarios[] = {
    {"StoredSettingsAndIde",
     true,
     {{1, "\ncboReturn 376,152 73x21 shown=1 enabled=1 None|In-Line|Parameter [Parameter]"},
      {1, "\noptTgt16 240,280 ?x17 shown=1 enabled=1 checked=1"},
      {2, "\nchkAllowAltArgs 320,240 ?x17 shown=0 enabled=1 checked=1"},
      {2, "\npnlDestVar 120,208 257x25 shown=0"},
      {3, "\ncmdShowLabels 320,0 ?x21 shown=1 enabled=1"},
      {3, "\ncmdGetVars1 320,0 ?x21 shown=1 enabled=1"},
      {6, "\nchkPasteCode 168,168 ?x17 shown=1 enabled=1 checked=1"},
      {6, "\nchkAddUserMcd 8,168 ?x17 shown=1 enabled=1 checked=1"},
      {6, "\ntxtSavePath 168,268 257x21 shown=1 enabled=1 [/macros]"}}},
    {"ChangesOnPage1",
     false,
     {{2, "\nchkAllowAltArgs 320,240 ?x17 shown=0 enabled=1 checked=1"},
      {2, "\npnlParamNum 16,152 ?x25 shown=1 enabled=1 [Parameter 1]"},
      {3, "\nchkAllowAltRet 320,32 ?x17 shown=0 enabled=1 checked=1"},
      {6, "\nchkPasteCode 168,168 ?x17 shown=1 enabled=0 checked=0"}}},
};

INSTANTIATE_TEST_SUITE_P(Runs, PageBuildingTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardTest, OnlyThePagesReachedAreBuilt) {
    TfmMacroGen& window = Start();
    EXPECT_EQ(window.PagesBuilt(), 1);
    NextTo(2);
    EXPECT_EQ(window.PagesBuilt(), 4) << "page 2's entry hands page 3 its type lists";
    Back();
    EXPECT_EQ(window.PagesBuilt(), 4);
}

} // namespace
} // namespace vmg::wizard::test
