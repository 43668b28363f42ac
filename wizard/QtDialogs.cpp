// Qt's message boxes and file dialogs with the wizard's titles, icons and buttons.
#include "QtDialogs.h"

#include "BrwsFldr.h"
#include "Confirm.h"
#include "HelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

#ifdef Q_OS_WIN
#include <QDir>

#include <cstring>
#include <string>

#include <windows.h>
#endif

namespace vmg::wizard {

namespace {

#ifdef Q_OS_WIN
// HTML Help lives in hhctrl.ocx; it is loaded only when a help file is there to show, so
// the program does not depend on it otherwise.
bool OpenHtmlHelp(QWidget* parent, const QString& chmPath, int topic) {
    using HtmlHelpWFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HMODULE library = LoadLibraryW(L"hhctrl.ocx");
    if (library == nullptr) {
        return false;
    }
    const FARPROC address = GetProcAddress(library, "HtmlHelpW");
    if (address == nullptr) {
        return false;
    }
    // The system hands out an untyped function address; copy it into the real signature.
    HtmlHelpWFn htmlHelp = nullptr;
    static_assert(sizeof(htmlHelp) == sizeof(address));
    std::memcpy(&htmlHelp, &address, sizeof(htmlHelp));
    constexpr UINT kHelpContext = 0x000F; // HH_HELP_CONTEXT
    const HWND owner =
        parent != nullptr ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
    const std::wstring path = QDir::toNativeSeparators(chmPath).toStdWString();
    htmlHelp(owner, path.c_str(), kHelpContext, static_cast<DWORD_PTR>(topic));
    return true;
}
#endif

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
std::optional<QString> QtDialogs::BrowseForFolder(QWidget* parent, const QString& startFolder) {
    TBrowseForFolder browser(parent != nullptr ? parent->window() : nullptr);
    browser.SetPath(startFolder);
    if (!browser.Execute()) {
        return std::nullopt;
    }
    return browser.Path();
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

void QtDialogs::Help(QWidget* parent, int topic) {
#ifdef Q_OS_WIN
    // A compiled help file beside the program takes precedence over the built-in pages.
    const QString chm =
        QCoreApplication::applicationDirPath() + QStringLiteral("/VorlanMacroGen.chm");
    if (QFileInfo::exists(chm) && OpenHtmlHelp(parent, chm, topic)) {
        return;
    }
#endif
    if (m_help == nullptr) {
        m_help = new HelpWindow(parent != nullptr ? parent->window() : nullptr);
    }
    m_help->ShowTopic(topic);
}

} // namespace vmg::wizard
