// The confirmation dialog's controls, text and placement.
#include "Confirm.h"

#include "WindowFont.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStringList>

#include <algorithm>

namespace vmg::wizard {

namespace {
constexpr int kStripHeight = 41;
constexpr QRect kLabelRect(56, 8, 233, 121);
// An over-long word (a file or page name) takes at most this many lines when the whole text
// would not otherwise fit on the screen.
constexpr int kMaxWordLines = 3;
// Lets the line breaker break a word anywhere, without showing anything.
constexpr QChar kBreakChance(0x200B);
} // namespace

TfmConfirm::TfmConfirm(QWidget* owner)
    // A fixed dialog border with a caption but no title-bar buttons: the dialog ends with OK
    // or Cancel only (Escape counts as Cancel).
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("fmConfirm"));
    setWindowTitle(QStringLiteral("Confirm Actions"));
    setFont(WindowFont());
    setFixedSize(kConfirmWidth, kConfirmHeight);
    setModal(true);

    m_imgIcon = new QLabel(this);
    m_imgIcon->setObjectName(QStringLiteral("imgIcon"));
    m_imgIcon->setGeometry(8, 8, 32, 32);

    m_lblConfirm = new QLabel(this);
    m_lblConfirm->setObjectName(QStringLiteral("lblConfirm"));
    m_lblConfirm->setGeometry(kLabelRect);
    m_lblConfirm->setWordWrap(true);
    m_lblConfirm->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Page and file names are shown as they are, never read as markup.
    m_lblConfirm->setTextFormat(Qt::PlainText);

    auto* strip = new QWidget(this);
    m_pnlButtons = strip;
    strip->setObjectName(QStringLiteral("pnlButtons"));
    strip->setGeometry(0, kConfirmHeight - kStripHeight, kConfirmWidth, kStripHeight);
    m_cmdOk = new QPushButton(QStringLiteral("OK"), strip);
    m_cmdOk->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOk->setGeometry(176, 8, 51, 25);
    m_cmdOk->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), strip);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(240, 8, 51, 25);
    // Enter presses the button that has the focus; OK is the default otherwise.
    m_cmdCancel->setAutoDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmConfirm::SetConfirmText(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(u'\r', u'\n');
    QString shown = Wrappable(lines, 0);
    int height = LabelHeightFor(shown);
    // The whole dialog stays on the screen: names too long for it lose their middles.
    const QScreen* screen = this->screen();
    const int room = screen != nullptr ? screen->availableGeometry().height() - 64 : 100000;
    if (kConfirmHeight - kLabelRect.height() + height > room) {
        shown = Wrappable(lines, kMaxWordLines);
        height = LabelHeightFor(shown);
    }
    m_lblConfirm->setText(shown);
    PlaceForLabelHeight(height);
}

QString TfmConfirm::Wrappable(const QString& lines, int maxLines) const {
    const QFontMetrics metrics = m_lblConfirm->fontMetrics();
    const int width = kLabelRect.width();
    QStringList out;
    for (const QString& line : lines.split(u'\n')) {
        QStringList words = line.split(u' ');
        for (QString& word : words) {
            if (metrics.horizontalAdvance(word) <= width) {
                continue;
            }
            if (maxLines > 0) {
                word = metrics.elidedText(word, Qt::ElideMiddle, maxLines * width - width / 4);
            }
            QString broken;
            for (const QChar ch : word) {
                if (!broken.isEmpty() && !ch.isLowSurrogate()) {
                    broken += kBreakChance;
                }
                broken += ch;
            }
            word = broken;
        }
        out << words.join(u' ');
    }
    return out.join(u'\n');
}

int TfmConfirm::LabelHeightFor(const QString& shown) const {
    const QRect needed = m_lblConfirm->fontMetrics().boundingRect(
        QRect(0, 0, kLabelRect.width(), 100000), Qt::AlignLeft | Qt::TextWordWrap, shown);
    return std::max(kLabelRect.height(), needed.height());
}

void TfmConfirm::PlaceForLabelHeight(int height) {
    const int grown = height - kLabelRect.height();
    m_lblConfirm->setGeometry(kLabelRect.adjusted(0, 0, 0, grown));
    m_pnlButtons->move(0, kConfirmHeight - kStripHeight + grown);
    setFixedSize(kConfirmWidth, kConfirmHeight + grown);
}

void TfmConfirm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    // The icon is the application's as it stands now, which start-up sets after creating us.
    m_imgIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    m_cmdOk->setFocus();
    // Centred on the owner on every showing, wherever the owner has been moved since.
    if (const QWidget* owner = parentWidget(); owner != nullptr && owner->isVisible()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->window()->frameGeometry().center());
        // A summary grown tall keeps its buttons on the screen.
        if (const QScreen* screen = owner->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveTop(
                std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height())));
        }
        move(frame.topLeft());
    }
}

} // namespace vmg::wizard
