// A stand-in for the wizard's dialogs that answers from a script and records every call.
#pragma once

#include "Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace vmg::wizard::test {

enum class DialogKind {
    Information,
    Confirm,
    Warning,
    Error,
    Beep,
    OpenFile,
    BrowseForFolder,
    ConfirmActions,
    Help
};

struct DialogCall {
    DialogKind Kind;
    QString Text;  // the message, the start folder, or the help topic
    QString Extra; // the open dialog's filter
};

class ScriptedDialogs final : public Dialogs {
public:
    // Answers, taken in order. A question without a scripted answer is a test failure and is
    // answered No / Cancel.
    std::deque<bool> YesNo;
    std::deque<std::optional<QString>> Paths;

    std::vector<DialogCall> Calls;
    std::vector<int> HelpTopics;

    // The texts of the calls of one kind, in order.
    QStringList Texts(DialogKind kind) const;
    // Everything the user was shown or asked, as "kind: text" lines, for failure messages.
    QString Transcript() const;
    void Clear();

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

private:
    bool NextYesNo(const char* what);
    std::optional<QString> NextPath(const char* what);
};

} // namespace vmg::wizard::test
