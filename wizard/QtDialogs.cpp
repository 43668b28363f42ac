// Qt's message boxes and file dialogs with the wizard's titles, icons and buttons.
#include "QtDialogs.h"

#include "BrwsFldr.h"
#include "Confirm.h"
#include "HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include <memory>

namespace vmg::wizard {

namespace {

QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QtDialogs::~QtDialogs() {
    // A help window opened without an owner window belongs to this object.
    if (m_help != nullptr && m_help->parent() == nullptr) {
        delete m_help;
    }
}

void QtDialogs::Information(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

bool QtDialogs::Confirm(QWidget* parent, const QString& text) {
    return Ask(parent, QMessageBox::Question, QStringLiteral("Confirm"), text) == QMessageBox::Yes;
}

bool QtDialogs::WarningYesNo(QWidget* parent, const QString& text) {
    return Ask(parent, QMessageBox::Warning, QStringLiteral("Warning"), text) == QMessageBox::Yes;
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::Beep() {
    QApplication::beep();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& startFolder,
                                           const QString& filter) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), startFolder, filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

// The main window's browser: no title, no status text, the plain dialog without an edit box.
// On Windows that is the system's own folder dialog, which Qt opens for a folder question;
// the component with its selection events is Qt's dialog on every system.
std::optional<QString> QtDialogs::BrowseForFolder(QWidget* parent, const QString& startFolder) {
#ifdef Q_OS_WIN
    const QString chosen =
        QFileDialog::getExistingDirectory(parent != nullptr ? parent->window() : nullptr, QString(),
                                          startFolder, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(chosen);
#else
    TBrowseForFolder browser(parent != nullptr ? parent->window() : nullptr);
    browser.SetPath(startFolder);
    browser.SetOnHelp([this](QWidget* dialog) { Help(dialog, kHelpTopicFolderBrowser); });
    if (!browser.Execute()) {
        return std::nullopt;
    }
    return browser.Path();
#endif
}

void QtDialogs::SetConfirmDialog(TfmConfirm* dialog) {
    m_confirm = dialog;
}

bool QtDialogs::ConfirmActions(QWidget* parent, const QString& summary) {
    std::unique_ptr<TfmConfirm> own;
    TfmConfirm* dialog = m_confirm;
    if (dialog == nullptr) {
        own = std::make_unique<TfmConfirm>(parent != nullptr ? parent->window() : nullptr);
        dialog = own.get();
    }
    dialog->SetConfirmText(summary);
    return dialog->exec() == QDialog::Accepted;
}

// One help system on every system: the built-in pages, in the program's own window.
void QtDialogs::Help(QWidget* parent, int topic) {
    // A modal dialog blocks every window but its own: its help is a window of its own, which
    // goes when it is closed or when the dialog goes.
    QWidget* owner = parent != nullptr ? parent->window() : nullptr;
    if (owner != nullptr && owner->isModal()) {
        auto* help = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        if (help == nullptr) {
            help = new HelpWindow(owner);
            help->setAttribute(Qt::WA_DeleteOnClose);
        }
        help->ShowTopic(topic);
        return;
    }
    if (m_help == nullptr) {
        m_help = new HelpWindow(parent != nullptr ? parent->window() : nullptr);
    }
    m_help->ShowTopic(topic);
}

} // namespace vmg::wizard
