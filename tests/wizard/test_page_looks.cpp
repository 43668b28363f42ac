// Every page at the window's fixed size with this system's font: no caption is cut off. With
// VMG_PAGE_SHOTS naming a folder, each page's picture and the place and size of every control
// are written there (shots-<platform>/pageN.png, layout-<platform>.txt), so that one system's
// pages can be compared with another's.
#include "WizardFixture.h"

#include "Page6Output.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

#include <algorithm>

namespace vmg::wizard::test {
namespace {

QString Caption(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// The pixels a one-line caption's glyphs cover, from its start.
int InkWidth(const QFontMetrics& fm, const QString& text) {
    return text.isEmpty() ? 0 : fm.tightBoundingRect(text).right() + 1;
}

// A glyph's last column is the faint, anti-aliased edge of its stroke; losing it cuts nothing
// a reader would miss.
constexpr int kEdgeSlack = 1;

// A text of a few lines still shows whole when its box is a little lower than the font's line
// height (which counts the space above and below the glyphs); a line more than fits is not.
constexpr int kLineSlack = 2;

// Why a control's caption does not fit it; empty when it does. A caption is drawn clipped to
// the rectangle its style gives it: a label's contents, a button's contents (inside its frame
// and margins), a check box's or radio button's text beside the indicator.
QString Cut(const QWidget& w) {
    const QFontMetrics fm = w.fontMetrics();
    QSize need;
    QSize room;
    if (const auto* label = qobject_cast<const QLabel*>(&w)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText) {
            return {};
        }
        room = label->contentsRect().size();
        if (label->wordWrap() || label->text().contains(u'\n')) {
            const int flags = (label->wordWrap() ? Qt::TextWordWrap : 0) | int(label->alignment());
            need = fm.boundingRect(QRect(0, 0, room.width(), 10000), flags, label->text()).size();
        } else {
            need = QSize(InkWidth(fm, label->text()), fm.height());
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool push = qobject_cast<const QPushButton*>(&w) != nullptr;
        const bool check = qobject_cast<const QCheckBox*>(&w) != nullptr;
        if (!push && !check && qobject_cast<const QRadioButton*>(&w) == nullptr) {
            return {};
        }
        const QStyle::SubElement contents = push    ? QStyle::SE_PushButtonContents
                                            : check ? QStyle::SE_CheckBoxContents
                                                    : QStyle::SE_RadioButtonContents;
        room = w.style()->subElementRect(contents, &option, &w).size();
        // A push button centres its caption, so the whole advance counts; the others start it
        // at the left, where only the glyphs' ink reaches the right edge.
        const QString caption = Caption(button->text());
        need = QSize(push ? fm.horizontalAdvance(caption) : InkWidth(fm, caption), fm.height());
    } else {
        return {};
    }
    if (need.width() <= room.width() + kEdgeSlack && need.height() <= room.height() + kLineSlack) {
        return {};
    }
    return QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
        .arg(w.objectName(), w.property("text").toString().left(30))
        .arg(need.width())
        .arg(need.height())
        .arg(room.width())
        .arg(room.height());
}

// Every named control shown on the window, "page name class x,y wxh" in the window's
// coordinates. A caption label sized to its text ("fit") is as wide as the system's font
// makes it, so only its place is compared; so is a captioned control widened to fit.
QStringList Places(QWidget& window, int page) {
    QStringList lines;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || !w->isVisible() || w->objectName().startsWith(u"qt_")) {
            continue;
        }
        const QPoint at = w->mapTo(&window, QPoint(0, 0));
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool fitted = label != nullptr && !label->wordWrap() && w->size() == w->sizeHint();
        // A caption widened to fit its font counts at the width the layout gave it.
        const QVariant designed = w->property("designedWidth");
        const int width = designed.isValid() ? designed.toInt() : w->width();
        const QString size =
            fitted ? QStringLiteral("fit") : QStringLiteral("%1x%2").arg(width).arg(w->height());
        lines << QStringLiteral("%1 %2 %3 %4,%5 %6")
                     .arg(page)
                     .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()))
                     .arg(at.x())
                     .arg(at.y())
                     .arg(size);
    }
    lines.sort();
    return lines;
}

class PageLooksTest : public WizardTest {};

// With a macro loaded, so that the pages show their filled controls, and a USER.MCD chosen.
// Its name holds "Layout", so it runs again at twice the size (CMakeLists.txt).
TEST_F(PageLooksTest, LayoutEveryCaptionFitsOnEveryPage) {
    if (!MeasuresAsShown()) {
        GTEST_SKIP() << "checked on the windows platform";
    }
    const QString shots = qEnvironmentVariable("VMG_PAGE_SHOTS");
    const QString platform = QGuiApplication::platformName();
    const QString shotDir = QDir(shots).filePath(QStringLiteral("shots-") + platform);
    if (!shots.isEmpty()) {
        QDir().mkpath(shotDir);
    }
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    QStringList places;
    for (int page = 0; page < kPageCount; ++page) {
        NextTo(page);
        if (page == 1) {
            OpenSource("1,AddNums,1,,1,0,Adds two numbers\r\n2,First,ArgA,2,0,0\r\n"
                       "2,Second,ArgB,3,0,0\r\n3,AddSub,-1,0,Total,3,0,0\r\n");
        } else if (page == 6) {
            Window().OutputPage()->SetUserMcdPath(WriteFile("USER.MCD", ""));
        }
        // Windows' style animates a radio button's or check box's change for a while; a
        // picture waits for the end of it.
        QTest::qWait(shots.isEmpty() ? 50 : 400);
        for (QWidget* w : Window().findChildren<QWidget*>()) {
            if (w->isVisible()) {
                const QString cut = Cut(*w);
                EXPECT_TRUE(cut.isEmpty()) << "page " << page << ": " << cut.toStdString();
            }
        }
        places << Places(Window(), page);
        if (!shots.isEmpty()) {
            // The screen around the window, frame included, where the platform can show it.
            const QRect frame = Window().frameGeometry().united(Window().geometry());
            QPixmap shot = Window().screen()->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                         frame.height());
            if (shot.isNull() || platform == QLatin1String("offscreen")) {
                shot = Window().grab();
            }
            EXPECT_TRUE(shot.save(QDir(shotDir).filePath(QStringLiteral("page%1.png").arg(page))));
        }
    }
    if (!shots.isEmpty()) {
        QFile layout(QDir(shots).filePath(QStringLiteral("layout-") + platform + ".txt"));
        ASSERT_TRUE(layout.open(QIODevice::WriteOnly | QIODevice::Truncate));
        layout.write(places.join(u'\n').toUtf8() + "\n");
    }
}

// Page 2's panel shows "Param Count Exceeded" whole, where it grows to the right (also at twice
// the size); a twentieth parameter loaded from a file reads "Parameter 20" (test_params_page).
TEST_F(PageLooksTest, LayoutTheParameterPanelShowsParamCountExceededWhole) {
    if (!MeasuresAsShown()) {
        GTEST_SKIP() << "checked on the windows platform";
    }
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    NextTo(1);
    QByteArray source = "1,Many,0,,0,0,\r\n";
    for (int k = 0; k < 19; ++k) {
        source += "2,P,V,2,0,0\r\n";
    }
    OpenSource(source);
    ASSERT_EQ(State().ParamCount, 19);
    NextTo(2);
    while (State().CurrentParam < 20) {
        Click("cmdNextArg");
    }
    auto* panel = Find<QLabel>("pnlParamNum");
    EXPECT_EQ(panel->text(), QStringLiteral("Param Count Exceeded"));
    EXPECT_EQ(Cut(*panel), QString());
    EXPECT_EQ(panel->pos(), QPoint(16, 152));
}

} // namespace
} // namespace vmg::wizard::test
