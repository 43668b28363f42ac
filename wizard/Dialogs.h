// Every modal question, message, file dialog and help request of the wizard goes through this
// interface, so that the tests can script the user's answers.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vmg::wizard {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A refusal or notice: title "Information", information icon, one OK button.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // A Yes/No question titled "Confirm"; true on Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    // A Yes/No warning (overwriting a file); true on Yes.
    virtual bool WarningYesNo(QWidget* parent, const QString& text) = 0;
    // A failed file operation: the application's error box with one OK button.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // The system's "asterisk" sound that comes before a refusal of typed names.
    virtual void Beep() = 0;

    // The open-file dialog; `filter` is in Qt's form ("Name (*.ext);;Other (*)"), its first
    // entry preselected. Nothing when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& startFolder,
                                            const QString& filter) = 0;
    // The folder browser, starting at `startFolder`. Nothing when the user cancels.
    virtual std::optional<QString> BrowseForFolder(QWidget* parent, const QString& startFolder) = 0;
    // The summary shown before Finish acts; true on OK, false on Cancel or any other close.
    virtual bool ConfirmActions(QWidget* parent, const QString& summary) = 0;

    // Opens the help on the topic of one page (1010, 1020, ... 1070).
    virtual void Help(QWidget* parent, int topic) = 0;
};

} // namespace vmg::wizard
