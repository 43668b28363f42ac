// The production answers to the wizard's questions: Qt's message boxes and file dialogs, the
// confirmation dialog, the folder browser and the help window.
#pragma once

#include "Dialogs.h"

#include <QPointer>

namespace vmg::wizard {

class HelpWindow;
class TfmConfirm;

class QtDialogs final : public Dialogs {
public:
    QtDialogs() = default;
    ~QtDialogs() override;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;

    void Information(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    bool WarningYesNo(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    void Beep() override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& startFolder,
                                    const QString& filter) override;
    std::optional<QString> BrowseForFolder(QWidget* parent, const QString& startFolder) override;
    bool ConfirmActions(QWidget* parent, const QString& summary) override;
    void Help(QWidget* parent, int topic) override;

    // The program's one confirmation dialog, created at start-up; until it is set (and after it
    // is gone) a dialog of the same kind is made for each question.
    void SetConfirmDialog(TfmConfirm* dialog);

private:
    QPointer<TfmConfirm> m_confirm;
    // One help window, reused; a child of the main window so that it closes with it.
    QPointer<HelpWindow> m_help;
};

} // namespace vmg::wizard
