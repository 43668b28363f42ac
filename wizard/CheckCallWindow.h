// The non-modal "Check a Call" window of the code page: a sample call, its derived symbols
// with a kind drop-down per argument, and the lint, count range and outcome of the code box's
// current text.
#pragma once

#include "CallCheck.h"
#include "MacroCodeGenerator.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QTextEdit;

namespace vmg::wizard {

class CheckCallWindow final : public QWidget {
    Q_OBJECT
public:
    // Reads the definition and the code box, never writes them; owner is the main window.
    CheckCallWindow(const codegen::MacroDefinition& def, int paramCount, QTextEdit* code,
                    callcheck::PageNames page, QWidget* owner);

    // A fresh sample call for the definition as it now stands.
    void Reset(int paramCount);
    // Shows the window beside `owner` (moving the owner aside when the screen is too narrow
    // for both), or raises it where it is when it is already shown.
    void ShowBeside(QWidget* owner);

    QLineEdit* CallBox() const { return m_txtCall; }
    QTableWidget* SymbolTable() const { return m_tblSymbols; }
    QListWidget* ResultList() const { return m_lstResult; }
    QListWidget* CallList() const { return m_lstCalls; }

private:
    void callChanged();
    void codeChanged();
    void refresh();
    void rebuildTable();
    QComboBox* kindBox(const std::string& kind);
    callcheck::Bindings bindings() const;
    void selectLine(QListWidgetItem* item);
    // The calls of the macro on the IDE's page, with their outcome as they stand.
    void refreshCalls();
    void takeCall(QListWidgetItem* item);

    const codegen::MacroDefinition& m_def;
    int m_paramCount = 0;
    QTextEdit* m_code;
    callcheck::PageNames m_page;
    // The page's names and those the sample call takes to be of a kind.
    callcheck::PageNames m_names;
    callcheck::MacroText m_macro;
    callcheck::CallAnalysis m_call;

    QLineEdit* m_txtCall = nullptr;
    QSpinBox* m_spnCount = nullptr;
    QSpinBox* m_spnReturnArg = nullptr;
    QLabel* m_lblReturnArg = nullptr;
    QTableWidget* m_tblSymbols = nullptr;
    QListWidget* m_lstResult = nullptr;
    QPlainTextEdit* m_txtAssumptions = nullptr;
    QLabel* m_lblCalls = nullptr;
    QListWidget* m_lstCalls = nullptr;
};

} // namespace vmg::wizard
