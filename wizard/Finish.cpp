// The finishing sequence in its steps: ask everything first, then write, then paste.
#include "Finish.h"

#include "CodeColouring.h"
#include "Dialogs.h"
#include "IDE_Info.h"
#include "MacSourceReadWrite.h"
#include "RtfWriter.h"
#include "Text1252.h"
#include "UserMcd.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <vector>

namespace vmg::wizard {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// One file to be written: where, and either its bytes or the macro source.
struct OutputFile {
    QString Path;
    std::string Bytes;
    bool MacroSource = false;
};

// A name that is there, also as a link whose target is gone, is not replaced unasked.
bool Exists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString JoinFolder(const QString& folder, const QString& name) {
    if (QDir::fromNativeSeparators(folder).endsWith(u'/')) {
        return folder + name;
    }
    return folder + QDir::separator() + name;
}

QString SummaryText(const FinishPlan& plan, const QString& userMcdLine) {
    QString text;
    if (plan.Paste) {
        text += QStringLiteral("Code will be placed in ") + plan.PasteDest +
                QStringLiteral(" at your current cursor position.") + kCrLf;
    }
    if (!plan.PasteProblem.isEmpty()) {
        text += PasteProblemLine(plan) + kCrLf;
    }
    if (plan.SaveCode) {
        text += QStringLiteral("Code will be saved to ") + plan.CodeName + kCrLf;
    }
    if (plan.SaveHint) {
        text += QStringLiteral("Hint will be saved to ") + plan.HintName + kCrLf;
    }
    text += userMcdLine;
    if (plan.WriteBack) {
        text += QStringLiteral("Macro will be written back to %1 in place of lines %2 to %3")
                    .arg(plan.WriteBackName)
                    .arg(plan.Origin.FirstLine)
                    .arg(plan.Origin.LastLine) +
                kCrLf;
    }
    if (plan.SaveSource) {
        text += QStringLiteral("Source will be saved to ") + plan.SourceName + kCrLf;
    }
    if (text.isEmpty()) {
        return QStringLiteral("Closing down Wizard - No action taken");
    }
    return text + kCrLf + QStringLiteral("Choose OK to continue with action") + kCrLf +
           QStringLiteral("or Cancel to return to Wizard");
}

QString PasteProblemLine(const FinishPlan& plan) {
    const QString where =
        plan.PasteDest.isEmpty() ? QString() : QStringLiteral(" in ") + plan.PasteDest;
    return QStringLiteral("Code cannot be placed") + where + QStringLiteral(": ") +
           plan.PasteProblem + u'.';
}

// Every paragraph of the box is one line, ended with CR LF; an empty last paragraph (the user
// pressed Enter after the last line) is an empty line of its own.
QString CodeTextCrLf(const QTextDocument& code) {
    QString text = richtext::PlainTextCrLf(code);
    if (!text.isEmpty() || code.blockCount() > 1) {
        text += kCrLf;
    }
    return text;
}

// The box shows no empty line after the last one, but the file ends that line as a text file
// would; the box itself is left as the user sees it.
std::string CodeFileRtf(const QTextDocument& code) {
    if (code.isEmpty()) {
        return richtext::DocumentToRtf(code);
    }
    const std::unique_ptr<QTextDocument> copy(code.clone());
    QTextCursor end(copy.get());
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    return richtext::DocumentToRtf(*copy);
}

std::string HintFileBytes(const QString& memoText) {
    QString text = memoText;
    text.replace(kCrLf, QStringLiteral("\n"));
    for (const QChar end :
         {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)}) {
        text.replace(end, u'\n');
    }
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty()) {
        lines.removeLast(); // text that ends with a line end, or no text at all
    }
    QString out;
    for (const QString& line : lines) {
        out += line + kCrLf;
    }
    return ToCp1252(out);
}

FinishOutcome RunFinish(const FinishPlan& plan, const FinishContent& content, Dialogs& ui,
                        QWidget* parent) {
    // The keyword file is read before the summary, which says whether an entry is replaced; one
    // the editor refuses stops here, before anything is asked or written.
    keyfile::UpdatePlan userMcd;
    QString userMcdLine;
    if (plan.AddUserMcd) {
        userMcd = PlanUserMcd(plan.UserMcdPath, content.Hint);
        if (!userMcd.Ok) {
            ui.Error(parent, FromCoreText(userMcd.Message));
            return FinishOutcome::Failed;
        }
        userMcdLine = UserMcdSummaryLine(userMcd, plan.UserMcdName);
    }
    if (!ui.ConfirmActions(parent, SummaryText(plan, userMcdLine))) {
        return FinishOutcome::Cancelled;
    }
    // A paste that was chosen but cannot happen stops like a failed one, before anything is
    // written: the user decides whether to save the code without it.
    if (!plan.PasteProblem.isEmpty()) {
        ui.Error(parent, PasteProblemLine(plan) +
                             QStringLiteral(" Untick \"Paste Code to...\" to save the code "
                                            "without placing it."));
        return FinishOutcome::Failed;
    }

    // Everything is made before anything is asked or written: a definition that a macro source
    // file cannot hold stops the sequence here, with no file written and nothing pasted.
    std::vector<OutputFile> files;
    if (plan.SaveCode) {
        files.push_back({JoinFolder(plan.Folder, plan.CodeName), CodeFileRtf(content.Code)});
    }
    if (plan.SaveHint) {
        files.push_back({JoinFolder(plan.Folder, plan.HintName), HintFileBytes(content.Hint)});
    }
    if (plan.SaveSource) {
        const QString path = JoinFolder(plan.Folder, plan.SourceName);
        std::string why;
        if (!macsource::MacroSourceText(content.Definition, content.ParamCount, &why)) {
            ui.Error(parent, QStringLiteral("Cannot create file \"%1\". %2")
                                 .arg(QDir::toNativeSeparators(path), FromCp1252(why)));
            return FinishOutcome::Failed;
        }
        files.push_back({path, {}, true});
    }

    // Every question before any change, so that a No leaves everything as it was.
    for (const OutputFile& file : files) {
        if (Exists(file.Path) &&
            !ui.WarningYesNo(parent, QStringLiteral("Overwrite existing file"))) {
            return FinishOutcome::Declined;
        }
    }

    // The keyword file again as it is now, for the dialog may have stood open a long time.
    if (plan.AddUserMcd) {
        userMcd = PlanUserMcd(plan.UserMcdPath, content.Hint);
        if (!userMcd.Ok) {
            ui.Error(parent, FromCoreText(userMcd.Message));
            return FinishOutcome::Failed;
        }
    }

    // Each file replaces its old self whole or not at all.
    for (const OutputFile& file : files) {
        const macsource::WriteResult written =
            file.MacroSource ? macsource::WriteMacroSource(CorePath(file.Path), content.Definition,
                                                           content.ParamCount)
                             : macsource::WriteFileAtomically(CorePath(file.Path), file.Bytes);
        if (!written.ok) {
            ui.Error(parent, FromCoreText(written.message));
            return FinishOutcome::Failed;
        }
    }

    QString why;
    if (plan.AddUserMcd && !WriteUserMcd(plan.UserMcdPath, userMcd, why)) {
        ui.Error(parent, why);
        return FinishOutcome::Failed;
    }

    // Written back as upgrade writes: in place, only where the macro's lines still stand. A
    // second Finish finds the new lines there and writes nothing.
    if (plan.WriteBack) {
        const upgrade::seam::EditOutcome written = upgrade::WriteBackFile(
            CorePath(plan.WriteBackPath), plan.Origin, ToCp1252(CodeTextCrLf(content.Code)));
        if (!written.ok()) {
            const QString reason = written.Status == upgrade::seam::EditStatus::Refused
                                       ? FromCoreText(written.Reason)
                                       : FromCoreText(upgrade::EditFailure(written));
            ui.Error(parent, QStringLiteral("The macro could not be written back to %1. %2")
                                 .arg(plan.WriteBackName, reason));
            return FinishOutcome::Failed;
        }
    }

    // Last, so that a sequence stopped above can be run again without a second paste.
    // A paste that did not go in stops like a file that could not be made: the code is still in
    // the wizard, to be saved instead.
    if (plan.Paste) {
        const ide::PasteResult pasted =
            ide::PasteAt(ToCp1252(CodeTextCrLf(content.Code)), ide::GetCursor());
        if (!pasted.Ok) {
            QString message =
                QStringLiteral("The code could not be placed in %1.").arg(plan.PasteDest);
            if (!pasted.Reason.empty()) {
                message += u' ' + FromCoreText(pasted.Reason);
            }
            ui.Error(parent, message);
            return FinishOutcome::Failed;
        }
    }
    return FinishOutcome::Done;
}

} // namespace vmg::wizard
