// The output page's finishing sequence: the summary to confirm, the overwrite questions, the
// three files and the paste into the IDE's page.
#pragma once

#include "MacroCodeGenerator.h"
#include "Upgrade.h"

#include <QString>

#include <string>

class QTextDocument;
class QWidget;

namespace vmg::wizard {

class Dialogs;

// What Finish was asked to do, as the output page stood when it was pressed.
struct FinishPlan {
    bool Paste = false; // "Paste Code to..." ticked and the IDE connected
    // "Paste Code to..." ticked while it was offered, but the paste cannot happen now: why.
    QString PasteProblem;
    bool SaveCode = false;
    bool SaveHint = false;
    bool SaveSource = false;
    QString PasteDest; // the IDE page's name
    QString Folder;    // where the three files go
    QString CodeName;  // the file names, without the folder
    QString HintName;
    QString SourceName;
    bool AddUserMcd = false; // "Add Hint to USER.MCD" ticked (with a file chosen)
    QString UserMcdPath;     // the keyword file, with its folder
    QString UserMcdName;     // and without
    bool WriteBack = false;  // the macro goes back into the code file it was opened from
    QString WriteBackPath;
    QString WriteBackName;
    upgrade::MacroOrigin Origin; // where it stood there
};

// What the files and the paste are made of: the review boxes as the user left them, and the
// definition with its parameter count for the macro source file.
struct FinishContent {
    const QTextDocument& Code;
    QString Hint;
    int ParamCount = 0;
    const codegen::MacroDefinition& Definition;
};

enum class FinishOutcome {
    Cancelled, // the summary was not confirmed: nothing done
    Declined,  // an overwrite question was answered No: nothing done
    Failed,    // a file could not be made or the paste failed (the user was told); what was
               // done before it stays done
    Done,      // everything chosen was done: the settings may be stored and the wizard closed
};

// The folder and a file name with exactly one separator between them.
QString JoinFolder(const QString& folder, const QString& name);

// The confirmation dialog's text: one line per chosen action and the closing request, or the
// notice that nothing will be done. userMcdLine is the USER.MCD step's line, when chosen.
QString SummaryText(const FinishPlan& plan, const QString& userMcdLine = {});

// The summary's line for a ticked paste that cannot happen (without its line end).
QString PasteProblemLine(const FinishPlan& plan);

// The code box's lines, each ending in CR LF: the text pasted into the IDE's page.
QString CodeTextCrLf(const QTextDocument& code);
// The code box as rich text, its last line ended like the others.
std::string CodeFileRtf(const QTextDocument& code);
// The memo's lines in code page 1252, each ending in CR LF.
std::string HintFileBytes(const QString& memoText);

// The whole sequence after Finish: the summary, then every overwrite question, then the files
// and the hint's entry in USER.MCD, then the paste. It stops at the first refusal or failure,
// before anything is pasted, so that pressing Finish again never pastes the code twice.
FinishOutcome RunFinish(const FinishPlan& plan, const FinishContent& content, Dialogs& ui,
                        QWidget* parent);

} // namespace vmg::wizard
