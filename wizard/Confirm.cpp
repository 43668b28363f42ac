// The confirmation dialog's controls, text and placement.
#include "Confirm.h"

#include "WindowFont.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace vmg::wizard {

namespace {
constexpr int kStripHeight = 41;
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
    m_lblConfirm->setGeometry(56, 8, 233, 121);
    m_lblConfirm->setWordWrap(true);
    m_lblConfirm->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Page and file names are shown as they are, never read as markup.
    m_lblConfirm->setTextFormat(Qt::PlainText);

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("pnlButtons"));
    strip->setGeometry(0, kConfirmHeight - kStripHeight, kConfirmWidth, kStripHeight);
    m_cmdOk = new QPushButton(QStringLiteral("OK"), strip);
    m_cmdOk->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOk->setGeometry(176, 8, 51, 25);
    m_cmdOk->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), strip);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(240, 8, 51, 25);
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmConfirm::SetConfirmText(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(u'\r', u'\n');
    m_lblConfirm->setText(lines);
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
        move(frame.topLeft());
    }
}

} // namespace vmg::wizard
