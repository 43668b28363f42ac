// The page base and the control factories.
#include "WizardPage.h"

#include "Illustration.h"
#include "Text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace vmg::wizard {

namespace {

template <typename W> W* Place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

// Text drawn at a scale comes out a little wider than the font's measure of it.
constexpr int kSlack = 3;

// The width a button needs to show its whole caption.
int CaptionWidth(const QAbstractButton* button) {
    QString text = button->text();
    text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(u'&').replace(u'\x01', u'&');
    const int textWidth = button->fontMetrics().horizontalAdvance(text) + kSlack;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    // A check box or radio button: its text starts where the style puts its contents.
    const QStyle::SubElement contents =
        qobject_cast<const QCheckBox*>(button) != nullptr      ? QStyle::SE_CheckBoxContents
        : qobject_cast<const QRadioButton*>(button) != nullptr ? QStyle::SE_RadioButtonContents
                                                               : QStyle::SE_CustomBase;
    if (contents != QStyle::SE_CustomBase) {
        return button->style()->subElementRect(contents, &option, button).left() + textWidth;
    }
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    return textWidth + margin;
}

// How wide `w` may become without reaching a neighbour on its line or its parent's edge.
int RoomOf(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    int limit = parent->width();
    const QRect mine = w->geometry();
    for (const QWidget* other : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = other->geometry();
        if (other != w && !other->isWindow() && g.left() > mine.left() &&
            g.top() <= mine.bottom() && g.bottom() >= mine.top()) {
            limit = std::min(limit, g.left() - 2);
        }
    }
    return limit - mine.left();
}

// Widens w to `needed` as far as the free room on its right allows.
void GrowInto(QWidget* w, int needed) {
    if (needed <= w->width() || w->parentWidget() == nullptr) {
        return;
    }
    // The width the layout gave it stays known, for comparing the layouts of systems whose
    // fonts differ.
    if (!w->property("designedWidth").isValid()) {
        w->setProperty("designedWidth", w->width());
    }
    w->resize(std::max(w->width(), std::min(needed, RoomOf(w))), w->height());
}

} // namespace

void FitCaptions(QWidget* root) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        GrowInto(button, CaptionWidth(button));
    }
    // A status panel is sized once for the widest text it shows, so that it does not change
    // size as its text changes.
    for (QLabel* panel : root->findChildren<QLabel*>()) {
        const QString widest = panel->property(kWidestText).toString();
        if (!widest.isEmpty()) {
            const int frame = panel->width() - panel->contentsRect().width();
            GrowInto(panel, panel->fontMetrics().horizontalAdvance(widest) + kSlack + frame);
        }
    }
}

namespace {

// Sees the key presses no control of its window took (they reach the window on their way up),
// so an open list or an editor that uses Escape keeps it.
class EscapeCloser : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                static_cast<QWidget*>(watched)->close();
                return true;
            }
        }
        return false;
    }
};

} // namespace

void CloseOnEscape(QWidget* window) {
    window->installEventFilter(new EscapeCloser(window));
}

WizardPage::WizardPage(int index, PageContext context, QWidget* parent)
    : QFrame(parent), m_index(index), m_context(context) {
    setObjectName(QStringLiteral("pnlStep%1").arg(index));
    setGeometry(0, 0, kPageWidth, kPageHeight);
    setFrameShape(QFrame::NoFrame);
}

void WizardPage::AddIllustration() {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("pnlPicture%1").arg(m_index));
    frame->setGeometry(16, 16, 113, 129);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("imgPicture%1").arg(m_index));
    picture->setGeometry(2, 1, 109, 127);
    picture->setPixmap(QPixmap::fromImage(MacroIllustration()));
}

void WizardPage::SetBuddy(const char* label, QWidget* control) {
    if (auto* caption = findChild<QLabel*>(QLatin1String(label))) {
        caption->setBuddy(control);
    }
}

QLabel* WizardPage::AddPageText(const char* name, int x, int y, int w, int h) {
    auto* label = Place(new QLabel(this), name, x, y, w, h);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString WizardPage::Cp1252Refusal(const QString& text, const QString& what) {
    const QString outside = CharsOutsideCp1252(text);
    if (outside.isEmpty()) {
        return {};
    }
    return QStringLiteral("%1 holds characters that the compiler's files cannot hold: %2\n\n"
                          "Please replace them to continue.")
        .arg(what, outside);
}

bool WizardPage::CheckCp1252(const QString& text, const QString& what, QWidget* box) {
    const QString refusal = Cp1252Refusal(text, what);
    if (refusal.isEmpty()) {
        return true;
    }
    Ui().Information(this, refusal);
    box->setFocus();
    return false;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLabel* MakeStatusPanel(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* panel = Place(new QLabel(parent), name, x, y, w, h);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setTextFormat(Qt::PlainText);
    return panel;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h) {
    auto* button = Place(new QPushButton(text, parent), name, x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h) {
    return Place(new QCheckBox(text, parent), name, x, y, w, h);
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h) {
    return Place(new QRadioButton(text, parent), name, x, y, w, h);
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w, int h) {
    return Place(new QLineEdit(parent), name, x, y, w, h);
}

QComboBox* MakeCombo(QWidget* parent, const char* name, int x, int y, int w, bool editable) {
    auto* combo = Place(new QComboBox(parent), name, x, y, w, 21);
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // Names are taken exactly as typed; inline completion would change "FSR" to "FSR0".
        combo->setCompleter(nullptr);
    }
    return combo;
}

QWidget* MakePanel(QWidget* parent, const char* name, int x, int y, int w, int h) {
    return Place(new QWidget(parent), name, x, y, w, h);
}

} // namespace vmg::wizard
