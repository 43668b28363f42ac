// The macro chooser's controls: the file's macros in a list, OK and Cancel.
#include "ChooseMacro.h"

#include "WindowFont.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vmg::wizard {

namespace {
constexpr int kWidth = 273;
constexpr int kHeight = 217;
} // namespace

TfmChooseMacro::TfmChooseMacro(const QString& fileName, const QStringList& macros, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("fmChooseMacro"));
    setWindowTitle(QStringLiteral("Open Macro"));
    setFont(WindowFont());
    setFixedSize(kWidth, kHeight);
    setModal(true);

    m_lblChooseMacro = new QLabel(this);
    m_lblChooseMacro->setObjectName(QStringLiteral("lblChooseMacro"));
    m_lblChooseMacro->setGeometry(8, 8, kWidth - 16, 28);
    m_lblChooseMacro->setWordWrap(true);
    m_lblChooseMacro->setTextFormat(Qt::PlainText);
    m_lblChooseMacro->setText(QStringLiteral("%1 holds %2 macros. Choose the one to open:")
                                  .arg(fileName)
                                  .arg(macros.size()));

    m_lstMacros = new QListWidget(this);
    m_lstMacros->setObjectName(QStringLiteral("lstMacros"));
    m_lstMacros->setGeometry(8, 40, kWidth - 16, 129);
    m_lstMacros->addItems(macros);
    m_lstMacros->setCurrentRow(0);
    m_lblChooseMacro->setBuddy(m_lstMacros);

    m_cmdOk = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOk->setGeometry(kWidth - 136, 181, 60, 25);
    m_cmdOk->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setGeometry(kWidth - 68, 181, 60, 25);
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lstMacros, &QListWidget::itemActivated, this, &QDialog::accept);
}

int TfmChooseMacro::Chosen() const {
    return m_lstMacros->currentRow();
}

std::optional<int> ChooseMacro(QWidget* owner, const QString& fileName, const QStringList& macros) {
    TfmChooseMacro window(fileName, macros, owner);
    if (window.exec() != QDialog::Accepted || window.Chosen() < 0) {
        return std::nullopt;
    }
    return window.Chosen();
}

} // namespace vmg::wizard
