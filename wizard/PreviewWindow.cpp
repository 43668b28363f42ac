// The Preview window: a read-only view over the generators, fed with the frame's draft.
#include "PreviewWindow.h"

#include "ChangedLines.h"
#include "CodeBox.h"
#include "Placement.h"
#include "Settings.h"
#include "Text1252.h"
#include "WizardPage.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>
#include <utility>

namespace vmg::wizard {
namespace {

// The size the window asks for, and the narrowest it is made to fit beside the main window.
constexpr QSize kWantedSize(560, 600);
constexpr int kNarrowest = 360;
// How long a changed line stays marked, and its tint at the start.
constexpr int kFadeMs = 1500;
const QColor kTint(255, 214, 64);
constexpr int kVeilAlpha = 150;

QString OneLine(QString text) {
    text.replace(QLatin1String("\n\r"), QLatin1String(" "));
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    return text.simplified();
}

// A translucent sheet over a box that greys its text (whose colours are its own) and lets the
// mouse through, so that the text can still be selected.
class Veil final : public QWidget {
public:
    explicit Veil(QWidget* box) : QWidget(box) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        box->installEventFilter(this);
        setGeometry(box->rect());
        hide();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            setGeometry(static_cast<QWidget*>(watched)->rect());
        }
        return false;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), QColor(255, 255, 255, kVeilAlpha));
    }
};

QList<QTextEdit::ExtraSelection> Marks(QTextDocument* doc, const std::vector<std::size_t>& lines,
                                       const QColor& colour) {
    QList<QTextEdit::ExtraSelection> marks;
    for (const std::size_t line : lines) {
        const QTextBlock block = doc->findBlockByNumber(static_cast<int>(line));
        if (!block.isValid()) {
            continue;
        }
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(colour);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    return marks;
}

} // namespace

PreviewWindow::PreviewWindow(const richtext::HighlighterSettings& highlighter, QWidget* owner)
    : QWidget(owner, Qt::Window), m_highlighter(highlighter) {
    setObjectName(QStringLiteral("fmPreview"));
    setWindowTitle(QStringLiteral("Preview"));
    // Opening or refreshing the window leaves the keyboard with the page being answered.
    setAttribute(Qt::WA_ShowWithoutActivating);
    CloseOnEscape(this);
    resize(kWantedSize);

    m_lblPreviewReason = new QLabel(this);
    m_lblPreviewReason->setObjectName(QStringLiteral("lblPreviewReason"));
    m_lblPreviewReason->setTextFormat(Qt::PlainText);
    // One line always, so that the text below does not jump when a reason comes or goes.
    m_lblPreviewReason->setFixedHeight(m_lblPreviewReason->fontMetrics().height() + 4);

    m_rtxtPreview = new QTextEdit(this);
    m_rtxtPreview->setObjectName(QStringLiteral("rtxtPreview"));
    m_rtxtPreview->setReadOnly(true);
    m_rtxtPreview->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    m_rtxtPreview->setLineWrapMode(QTextEdit::NoWrap);
    SetCodeFont(m_rtxtPreview, m_highlighter);

    m_memoPreviewHint = new QPlainTextEdit(this);
    m_memoPreviewHint->setObjectName(QStringLiteral("memoPreviewHint"));
    m_memoPreviewHint->setReadOnly(true);
    m_memoPreviewHint->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                               Qt::TextSelectableByKeyboard);
    m_memoPreviewHint->setLineWrapMode(QPlainTextEdit::NoWrap);
    // As page 5's memo shows the block.
    QFont courier(QStringLiteral("Courier New"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    m_memoPreviewHint->setFont(courier);
    m_memoPreviewHint->setTabStopDistance(QFontMetricsF(courier).horizontalAdvance(u' ') * 8);

    m_codeVeil = new Veil(m_rtxtPreview);
    m_hintVeil = new Veil(m_memoPreviewHint);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("splPreview"));
    split->addWidget(m_rtxtPreview);
    split->addWidget(m_memoPreviewHint);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblPreviewReason);
    layout->addWidget(split, 1);

    m_fade = new QVariantAnimation(this);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    m_fade->setDuration(kFadeMs);
    connect(m_fade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { Tint(v.toDouble()); });
}

bool PreviewWindow::Dimmed() const {
    return !m_codeVeil->isHidden();
}

void PreviewWindow::SetDimmed(bool dimmed) {
    m_codeVeil->setVisible(dimmed);
    m_hintVeil->setVisible(dimmed);
    if (dimmed) {
        m_codeVeil->raise();
        m_hintVeil->raise();
    }
}

void PreviewWindow::ShowDraft(const codegen::MacroDefinition& draft, int count,
                              const QString& refusal, const QString& note) {
    if (!refusal.isEmpty()) {
        // The last good text stays, so that a half-typed name does not blank the view.
        m_lblPreviewReason->setText(OneLine(refusal));
        SetDimmed(true);
        return;
    }
    m_lblPreviewReason->setText(OneLine(note));
    SetDimmed(false);
    codegen::Lines code = codegen::MacroLines(draft, count);
    codegen::Lines hint = codegen::KeyBlock(draft, count);
    if (m_hasText && code == m_code && hint == m_hint) {
        return; // nothing to redraw; marks of an earlier change fade on
    }
    m_markedCode = m_hasText ? codegen::ChangedLines(m_code, code) : std::vector<std::size_t>{};
    m_markedHint = m_hasText ? codegen::ChangedLines(m_hint, hint) : std::vector<std::size_t>{};

    QScrollBar* codeBar = m_rtxtPreview->verticalScrollBar();
    QScrollBar* hintBar = m_memoPreviewHint->verticalScrollBar();
    const int codeAt = codeBar->value();
    const int hintAt = hintBar->value();
    // Coloured away from the view; then only the lines between the unchanged head and tail
    // move into the shown document, so that the view lays out those alone. The box's font and
    // tab stops go with the document, set before it is laid out.
    auto* fresh = new QTextDocument(this);
    fresh->setDefaultFont(m_rtxtPreview->font());
    fresh->setDefaultTextOption(m_rtxtPreview->document()->defaultTextOption());
    FillCodeDocument(*fresh, code, m_highlighter);
    if (!m_hasText || !PatchShownCode(*fresh, code)) {
        // The box's first document goes with the box's own swap; the later ones are ours.
        // The marks hold cursors into the old one.
        QTextDocument* old =
            m_rtxtPreview->document()->parent() == this ? m_rtxtPreview->document() : nullptr;
        m_rtxtPreview->setExtraSelections({});
        m_rtxtPreview->setDocument(fresh);
        delete old;
    } else {
        delete fresh;
    }
    m_memoPreviewHint->setPlainText(LinesForEditor(hint));
    // The whole text laid out, so that the old scroll position is within the new range.
    static_cast<void>(m_rtxtPreview->document()->size());
    codeBar->setValue(codeAt);
    hintBar->setValue(hintAt);
    m_code = std::move(code);
    m_hint = std::move(hint);
    m_hasText = true;

    m_fade->stop();
    Tint(m_markedCode.empty() && m_markedHint.empty() ? 0.0 : 1.0);
    if (!m_markedCode.empty() || !m_markedHint.empty()) {
        m_fade->start();
    }
    RevealFirstMark();
}

namespace {

// The same text in the same colours and styles, run by run.
bool SameLook(const QTextBlock& a, const QTextBlock& b) {
    if (a.text() != b.text()) {
        return false;
    }
    QTextBlock::iterator i = a.begin();
    QTextBlock::iterator j = b.begin();
    for (; !i.atEnd() && !j.atEnd(); ++i, ++j) {
        const QTextFragment x = i.fragment();
        const QTextFragment y = j.fragment();
        if (x.length() != y.length() || x.charFormat() != y.charFormat()) {
            return false;
        }
    }
    return i.atEnd() && j.atEnd();
}

// The span of lines [head, count - tail) of a document of `count` lines: up to the start of the
// first tail line, or (without a tail) from the end of the last head line to the end.
std::pair<int, int> Middle(const QTextDocument& doc, int head, int tail, int count) {
    if (tail > 0) {
        return {doc.findBlockByNumber(head).position(),
                doc.findBlockByNumber(count - tail).position()};
    }
    const QTextBlock before = doc.findBlockByNumber(head - 1);
    const int end = doc.characterCount() - 1;
    return {head > 0 ? before.position() + before.length() - 1 : 0, end};
}

} // namespace

bool PreviewWindow::PatchShownCode(const QTextDocument& fresh, const codegen::Lines& code) {
    QTextDocument* shown = m_rtxtPreview->document();
    const int oldCount = static_cast<int>(m_code.size());
    const int newCount = static_cast<int>(code.size());
    if (shown->blockCount() != std::max(oldCount, 1) ||
        fresh.blockCount() != std::max(newCount, 1)) {
        return false;
    }
    int head = 0;
    while (head < oldCount && head < newCount && m_code[head] == code[head]) {
        ++head;
    }
    int tail = 0;
    while (tail < oldCount - head && tail < newCount - head &&
           m_code[oldCount - 1 - tail] == code[newCount - 1 - tail]) {
        ++tail;
    }
    // A quote pairs across lines, so an unchanged line may still take another colour.
    for (int k = 0; k < head + tail; ++k) {
        const int o = k < head ? k : oldCount - (head + tail - k);
        const int n = k < head ? k : newCount - (head + tail - k);
        if (!SameLook(shown->findBlockByNumber(o), fresh.findBlockByNumber(n))) {
            return false;
        }
    }
    const auto [from, to] = Middle(*shown, head, tail, oldCount);
    const auto [freshFrom, freshTo] = Middle(fresh, head, tail, newCount);
    QTextCursor source(const_cast<QTextDocument*>(&fresh));
    source.setPosition(freshFrom);
    source.setPosition(freshTo, QTextCursor::KeepAnchor);
    QTextCursor target(shown);
    target.setPosition(from);
    target.setPosition(to, QTextCursor::KeepAnchor);
    if (source.hasSelection()) {
        target.insertFragment(source.selection());
    } else {
        target.removeSelectedText();
    }
    return shown->toPlainText() == fresh.toPlainText();
}

void PreviewWindow::Tint(double strength) {
    QColor colour = kTint;
    colour.setAlphaF(static_cast<float>(std::clamp(strength, 0.0, 1.0)));
    const bool on = strength > 0.0;
    m_rtxtPreview->setExtraSelections(on ? Marks(m_rtxtPreview->document(), m_markedCode, colour)
                                         : QList<QTextEdit::ExtraSelection>{});
    m_memoPreviewHint->setExtraSelections(
        on ? Marks(m_memoPreviewHint->document(), m_markedHint, colour)
           : QList<QTextEdit::ExtraSelection>{});
}

void PreviewWindow::RevealFirstMark() {
    if (m_markedCode.empty()) {
        return;
    }
    QTextDocument* doc = m_rtxtPreview->document();
    const QTextBlock block = doc->findBlockByNumber(static_cast<int>(m_markedCode.front()));
    if (!block.isValid()) {
        return;
    }
    const QRectF rect = doc->documentLayout()->blockBoundingRect(block);
    QScrollBar* bar = m_rtxtPreview->verticalScrollBar();
    const int top = bar->value();
    const int bottom = top + m_rtxtPreview->viewport()->height();
    if (rect.top() >= top && rect.bottom() <= bottom) {
        return;
    }
    // A third of the way down, so that the lines around it are in view too.
    bar->setValue(static_cast<int>(rect.top()) - m_rtxtPreview->viewport()->height() / 3);
}

void PreviewWindow::ShowBeside(QWidget* owner) {
    if (!isVisible() && !m_shownOnce && owner != nullptr && owner->screen() != nullptr) {
        m_shownOnce = true;
        // Our frame adds to our size what the owner's adds to its size.
        const QRect ownerFrame = owner->frameGeometry();
        const QSize frame = ownerFrame.size() - owner->size();
        const QRect screen = owner->screen()->availableGeometry();
        if (const auto left = ReadPreviewPosition()) {
            // Where the user left it, kept within the screen's room.
            const QSize size = (kWantedSize + frame).boundedTo(screen.size());
            resize(size - frame);
            move(std::clamp(left->x(), screen.left(), screen.right() + 1 - size.width()),
                 std::clamp(left->y(), screen.top(), screen.bottom() + 1 - size.height()));
        } else {
            const int narrowest = std::max(kNarrowest, minimumSizeHint().width()) + frame.width();
            const SideBySide at = PlaceBeside(ownerFrame, kWantedSize + frame, narrowest, screen);
            owner->move(at.Owner);
            resize(at.Window.size() - frame);
            move(at.Window.topLeft());
        }
    }
    // Where showing activates a window all the same, the window that was answered gets the
    // keyboard back.
    QWidget* const answering = QApplication::activeWindow();
    show();
    KeepWithinScreen(*this, owner != nullptr ? owner->screen() : screen());
    raise();
    if (answering != nullptr && answering != this) {
        answering->activateWindow();
    }
}

void PreviewWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    WritePreviewPosition(pos());
}

} // namespace vmg::wizard
