// The "Check a Call" window: a thin view over the call check of the core.
#include "CheckCallWindow.h"

#include "CodeFont.h"
#include "HelpWindow.h"
#include "IDE_Info.h"
#include "Placement.h"
#include "Text1252.h"
#include "WindowFont.h"
#include "WizardPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace vmg::wizard {
namespace {

constexpr int kLineRole = Qt::UserRole + 1;
// The size the window asks for, and the narrowest it is made to fit beside the main window.
constexpr QSize kWantedSize(600, 600);
constexpr int kNarrowest = 360;
const QString kUnknown = QStringLiteral("unknown");

} // namespace

CheckCallWindow::CheckCallWindow(const codegen::MacroDefinition& def, int paramCount,
                                 QTextEdit* code, callcheck::PageNames page, QWidget* owner)
    : QWidget(owner, Qt::Window), m_def(def), m_code(code), m_page(std::move(page)) {
    setObjectName(QStringLiteral("fmCheckCall"));
    setWindowTitle(QStringLiteral("Check a Call"));
    // A window of its own inherits no font from the main window.
    setFont(WindowFont());
    CloseOnEscape(this);
    SetHelpTopic(this, kHelpTopicCheckCall);
    resize(kWantedSize);

    m_txtCall = new QLineEdit(this);
    m_txtCall->setObjectName(QStringLiteral("txtCall"));
    m_spnCount = new QSpinBox(this);
    m_spnCount->setObjectName(QStringLiteral("spnCount"));
    // A typed call may have any number of arguments; the box shows the count it has.
    m_spnCount->setRange(0, std::numeric_limits<int>::max());
    m_spnReturnArg = new QSpinBox(this);
    m_spnReturnArg->setObjectName(QStringLiteral("spnReturnArg"));
    m_spnReturnArg->setToolTip(QStringLiteral("The argument taken as the return value; 0: none"));
    m_tblSymbols = new QTableWidget(0, 3, this);
    m_tblSymbols->setObjectName(QStringLiteral("tblSymbols"));
    m_tblSymbols->setHorizontalHeaderLabels({"Symbol", "Argument", "Kind"});
    m_tblSymbols->horizontalHeader()->setStretchLastSection(true);
    // Symbols, arguments and the kind boxes whole, whatever the font.
    m_tblSymbols->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tblSymbols->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_tblSymbols->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tblSymbols->verticalHeader()->hide();
    m_tblSymbols->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstResult = new QListWidget(this);
    m_lstResult->setObjectName(QStringLiteral("lstResult"));
    m_lstResult->setFont(richtext::CodeFont(QStringLiteral("Courier New"), 9));
    // The assumptions stay in view but scroll, so that the result keeps the room.
    m_txtAssumptions = new QPlainTextEdit(this);
    m_txtAssumptions->setObjectName(QStringLiteral("txtAssumptions"));
    m_txtAssumptions->setReadOnly(true);
    m_txtAssumptions->setMaximumHeight(110);
    QString assumptions = QStringLiteral("Our model of the compiler, not the compiler:");
    for (const auto& a : callcheck::CallAssumptions()) {
        assumptions += QStringLiteral("\n- ") + FromCp1252(a);
    }
    m_txtAssumptions->setPlainText(assumptions);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Call:"), m_txtCall);
    form->addRow(QStringLiteral("&PRM_COUNT:"), m_spnCount);
    m_lblReturnArg = new QLabel(QStringLiteral("&Return argument:"), this);
    m_lblReturnArg->setBuddy(m_spnReturnArg);
    form->addRow(m_lblReturnArg, m_spnReturnArg);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_tblSymbols, 2);
    auto* resultLabel = new QLabel(QStringLiteral("Re&sult (double-click a line to show it):"));
    resultLabel->setBuddy(m_lstResult);
    layout->addWidget(resultLabel);
    layout->addWidget(m_lstResult, 3);
    layout->addWidget(m_txtAssumptions, 1);
    m_lstCalls = new QListWidget(this);
    m_lstCalls->setObjectName(QStringLiteral("lstCalls"));
    m_lblCalls = new QLabel(
        QStringLiteral("Calls on the IDE's pa&ge (double-click one to check it here):"), this);
    m_lblCalls->setObjectName(QStringLiteral("lblCalls"));
    m_lblCalls->setBuddy(m_lstCalls);
    layout->addWidget(m_lblCalls);
    layout->addWidget(m_lstCalls, 1);

    connect(m_txtCall, &QLineEdit::textChanged, this, &CheckCallWindow::callChanged);
    connect(m_spnCount, &QSpinBox::valueChanged, this, &CheckCallWindow::refresh);
    connect(m_spnReturnArg, &QSpinBox::valueChanged, this, &CheckCallWindow::callChanged);
    connect(m_code, &QTextEdit::textChanged, this, &CheckCallWindow::codeChanged);
    connect(m_lstResult, &QListWidget::itemActivated, this, &CheckCallWindow::selectLine);
    connect(m_lstCalls, &QListWidget::itemActivated, this, &CheckCallWindow::takeCall);
    Reset(paramCount);
}

void CheckCallWindow::Reset(int paramCount) {
    m_paramCount = paramCount;
    m_macro = callcheck::ReadMacro(ToCp1252(m_code->toPlainText()));
    const QSignalBlocker block(m_spnReturnArg);
    m_spnReturnArg->setValue(0);
    m_spnReturnArg->setProperty("chosen", false);
    callcheck::SampleCallLine sample = callcheck::SampleCall(m_def, m_paramCount, m_page);
    m_names = m_page;
    m_names.variables.insert(m_names.variables.end(), sample.assumed.begin(), sample.assumed.end());
    {
        const QSignalBlocker blockCall(m_txtCall);
        m_txtCall->setText(FromCp1252(sample.line));
    }
    callChanged();
    refreshCalls();
}

void CheckCallWindow::ShowBeside(QWidget* owner) {
    ShowToolWindow(*this, owner, kWantedSize, std::max(kNarrowest, minimumSizeHint().width()));
}

void CheckCallWindow::codeChanged() {
    m_macro = callcheck::ReadMacro(ToCp1252(m_code->toPlainText()));
    callChanged();
    refreshCalls();
}

// The page's lines as the IDE link read them at start-up (without comment and empty lines),
// so a call is shown by its text rather than its line number.
void CheckCallWindow::refreshCalls() {
    m_lstCalls->clear();
    std::string page;
    if (ide::IsConnected()) {
        for (const std::string& line : ide::PageLines()) {
            page += line + "\n";
        }
    }
    for (const callcheck::CallResult& r : callcheck::CheckCalls(m_macro, page, m_page)) {
        const std::string shown = callcheck::FormatCallResult(r);
        auto* item =
            new QListWidgetItem(FromCp1252(shown.substr(shown.find(": ") + 2)), m_lstCalls);
        item->setData(Qt::UserRole, FromCp1252(r.call.text));
    }
    m_lblCalls->setVisible(m_lstCalls->count() > 0);
    m_lstCalls->setVisible(m_lstCalls->count() > 0);
}

void CheckCallWindow::takeCall(QListWidgetItem* item) {
    if (item != nullptr) {
        m_txtCall->setText(item->data(Qt::UserRole).toString());
    }
}

// The call line or the return argument changed: derive the symbols afresh.
void CheckCallWindow::callChanged() {
    const bool chosen = m_spnReturnArg->property("chosen").toBool() || sender() == m_spnReturnArg;
    m_spnReturnArg->setProperty("chosen", chosen);
    m_call = callcheck::AnalyseCall(ToCp1252(m_txtCall->text()), m_macro, m_names,
                                    chosen ? m_spnReturnArg->value() : -1);
    m_lblReturnArg->setVisible(m_macro.hasReturnValue);
    m_spnReturnArg->setVisible(m_macro.hasReturnValue);
    {
        const QSignalBlocker blockReturn(m_spnReturnArg);
        m_spnReturnArg->setRange(0, static_cast<int>(m_call.args.size()));
        m_spnReturnArg->setValue(m_call.returnArg);
        const QSignalBlocker blockCount(m_spnCount);
        m_spnCount->setValue(static_cast<int>(
            std::min<std::size_t>(m_call.args.size(), std::numeric_limits<int>::max())));
    }
    rebuildTable();
    refresh();
}

QComboBox* CheckCallWindow::kindBox(const std::string& kind) {
    auto* box = new QComboBox(m_tblSymbols);
    box->addItem(kUnknown);
    for (const auto& k : callcheck::AllKinds()) {
        box->addItem(FromCp1252(k));
    }
    box->setCurrentIndex(kind.empty() ? 0 : std::max(0, box->findText(FromCp1252(kind))));
    connect(box, &QComboBox::currentIndexChanged, this, &CheckCallWindow::refresh);
    return box;
}

// One row per argument (and one for the In-Line return variable), each with its kind box.
void CheckCallWindow::rebuildTable() {
    const int rows = static_cast<int>(m_call.args.size()) + (m_call.inLine ? 1 : 0);
    // The old boxes go later, with the table's own clean-up; until then they are nameless
    // and silent.
    for (int r = 0; r < m_tblSymbols->rowCount(); ++r) {
        if (QWidget* old = m_tblSymbols->cellWidget(r, 2)) {
            old->setObjectName(QString());
            old->disconnect(this);
        }
    }
    m_tblSymbols->setRowCount(0);
    m_tblSymbols->setRowCount(rows);
    int row = 0;
    auto addRow = [&](const QString& symbol, const std::string& text, const std::string& kind,
                      const std::string& why) {
        m_tblSymbols->setItem(row, 0, new QTableWidgetItem(symbol));
        auto* arg = new QTableWidgetItem(FromCp1252(text));
        arg->setToolTip(FromCp1252(why));
        m_tblSymbols->setItem(row, 1, arg);
        QComboBox* box = kindBox(kind);
        box->setObjectName(QStringLiteral("cmbKind%1").arg(row));
        box->setToolTip(FromCp1252(why));
        m_tblSymbols->setCellWidget(row, 2, box);
        ++row;
    };
    if (m_call.inLine) {
        addRow(QStringLiteral("RETURN_TYPE"), m_call.returnVar, m_call.returnKind,
               "the In-Line form's variable");
    }
    for (std::size_t i = 0; i < m_call.args.size(); ++i) {
        const auto& a = m_call.args[i];
        QString symbol = QStringLiteral("PRM_%1").arg(i + 1);
        if (static_cast<int>(i) + 1 == m_call.returnArg) {
            symbol += QStringLiteral(" (return)");
        }
        addRow(symbol, a.text, a.kind, a.why);
    }
}

// The symbols of the call with the user's choices of kind and count laid over them.
callcheck::Bindings CheckCallWindow::bindings() const {
    callcheck::Bindings b = m_call.bindings;
    b.symbols["PRM_COUNT"] = callcheck::Value::Number(m_spnCount->value());
    int row = 0;
    auto kindAt = [&](int r) {
        const auto* box = qobject_cast<const QComboBox*>(m_tblSymbols->cellWidget(r, 2));
        return box && box->currentIndex() > 0 ? ToCp1252(box->currentText()) : std::string();
    };
    auto set = [&](const std::string& symbol, const std::string& kind) {
        if (kind.empty()) {
            b.symbols.erase(symbol);
        } else {
            b.symbols[symbol] = callcheck::Value::Word(kind);
        }
    };
    if (m_call.inLine) {
        set("RETURN_TYPE", kindAt(row++));
    }
    for (std::size_t i = 0; i < m_call.args.size(); ++i, ++row) {
        const std::string kind = kindAt(row);
        set("PRM_" + std::to_string(i + 1), kind);
        if (static_cast<int>(i) + 1 == m_call.returnArg) {
            set("LST_PRM_TYPE", kind);
        }
    }
    return b;
}

// The lint findings and count range of the box's current text, then the call's outcome.
void CheckCallWindow::refresh() {
    m_lstResult->clear();
    auto add = [&](const std::string& text, int line) {
        auto* item = new QListWidgetItem(FromCp1252(text), m_lstResult);
        item->setData(kLineRole, line);
    };
    for (const auto& note : m_call.notes) {
        add("note: " + note, 0);
    }
    for (const auto& f : m_macro.findings) {
        add((f.line > 0 ? "line " + std::to_string(f.line) : std::string("text")) +
                (f.severity == callcheck::Severity::Error ? ": error: " : ": warning: ") + f.text,
            f.line);
    }
    if (m_macro.findings.empty()) {
        add("lint: no findings", 0);
    }
    add("argument counts that pass: " +
            callcheck::DescribeCounts(callcheck::PassingCounts(m_macro)),
        0);
    const callcheck::Outcome o = callcheck::Evaluate(m_macro, bindings());
    if (o.kind == callcheck::Outcome::Kind::Expansion) {
        add("no #ERROR fires; the expansion:", 0);
        for (const auto& l : o.lines) {
            add("  " + std::to_string(l.line) + ": " + l.text, l.line);
        }
    } else if (o.kind == callcheck::Outcome::Kind::ErrorFired) {
        add("line " + std::to_string(o.line) + " fires #ERROR \"" + o.text + "\"", o.line);
    } else {
        add("undecided at line " + std::to_string(o.line) + ": " + o.text +
                " (choose its kind above)",
            o.line);
    }
}

void CheckCallWindow::selectLine(QListWidgetItem* item) {
    const int line = item ? item->data(kLineRole).toInt() : 0;
    const QTextBlock block = m_code->document()->findBlockByNumber(line - 1);
    if (line <= 0 || !block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_code->setTextCursor(cursor);
    m_code->ensureCursorVisible();
}

} // namespace vmg::wizard
