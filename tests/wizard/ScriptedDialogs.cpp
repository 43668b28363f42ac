// The scripted dialogs: answers from queues, every call recorded.
#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace vmg::wizard::test {

namespace {
const char* KindName(DialogKind kind) {
    switch (kind) {
    case DialogKind::Information:
        return "information";
    case DialogKind::Confirm:
        return "confirm";
    case DialogKind::Warning:
        return "warning";
    case DialogKind::Error:
        return "error";
    case DialogKind::Beep:
        return "beep";
    case DialogKind::OpenFile:
        return "open";
    case DialogKind::BrowseForFolder:
        return "browse";
    case DialogKind::ConfirmActions:
        return "confirm actions";
    case DialogKind::Help:
        return "help";
    }
    return "?";
}
} // namespace

QStringList ScriptedDialogs::Texts(DialogKind kind) const {
    QStringList texts;
    for (const DialogCall& call : Calls) {
        if (call.Kind == kind) {
            texts << call.Text;
        }
    }
    return texts;
}

QString ScriptedDialogs::Transcript() const {
    QString out;
    for (const DialogCall& call : Calls) {
        out += QLatin1String(KindName(call.Kind)) + QStringLiteral(": ") + call.Text + u'\n';
    }
    return out;
}

void ScriptedDialogs::Clear() {
    Calls.clear();
    HelpTopics.clear();
}

bool ScriptedDialogs::NextYesNo(const char* what) {
    if (YesNo.empty()) {
        ADD_FAILURE() << "unscripted question: " << what;
        return false;
    }
    const bool answer = YesNo.front();
    YesNo.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::NextPath(const char* what) {
    if (Paths.empty()) {
        ADD_FAILURE() << "unscripted dialog: " << what;
        return std::nullopt;
    }
    const bool cancelled = !Paths.front().has_value();
    const QString path = Paths.front().value_or(QString());
    Paths.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return path;
}

void ScriptedDialogs::Information(QWidget*, const QString& text) {
    Calls.push_back({DialogKind::Information, text, {}});
}

bool ScriptedDialogs::Confirm(QWidget*, const QString& text) {
    Calls.push_back({DialogKind::Confirm, text, {}});
    return NextYesNo("confirm");
}

bool ScriptedDialogs::WarningYesNo(QWidget*, const QString& text) {
    Calls.push_back({DialogKind::Warning, text, {}});
    return NextYesNo("warning");
}

void ScriptedDialogs::Error(QWidget*, const QString& text) {
    Calls.push_back({DialogKind::Error, text, {}});
}

void ScriptedDialogs::Beep() {
    Calls.push_back({DialogKind::Beep, {}, {}});
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString& startFolder,
                                                 const QString& filter) {
    Calls.push_back({DialogKind::OpenFile, startFolder, filter});
    return NextPath("open file");
}

std::optional<QString> ScriptedDialogs::BrowseForFolder(QWidget*, const QString& startFolder) {
    Calls.push_back({DialogKind::BrowseForFolder, startFolder, {}});
    return NextPath("browse for folder");
}

bool ScriptedDialogs::ConfirmActions(QWidget*, const QString& summary) {
    Calls.push_back({DialogKind::ConfirmActions, summary, {}});
    return NextYesNo("confirm actions");
}

void ScriptedDialogs::Help(QWidget*, int topic) {
    Calls.push_back({DialogKind::Help, QString::number(topic), {}});
    HelpTopics.push_back(topic);
}

} // namespace vmg::wizard::test
