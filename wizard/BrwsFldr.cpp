// The folder browser on Qt's own (non-native) folder dialog, so that the selection events and
// the state of the OK button behave the same on every system.
#include "BrwsFldr.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>

#include <algorithm>
#include <optional>
#include <vector>

namespace vmg::wizard {

namespace {

// Moves every row of the grid down by one and puts `widget` across the freed top row.
void InsertTopRow(QGridLayout& grid, QWidget* widget) {
    struct Placed {
        QLayoutItem* Item = nullptr;
        int Row = 0;
        int Column = 0;
        int RowSpan = 1;
        int ColumnSpan = 1;
    };
    std::vector<Placed> placed;
    const int columns = std::max(grid.columnCount(), 1);
    const int rows = grid.rowCount();
    while (grid.count() > 0) {
        Placed p;
        grid.getItemPosition(0, &p.Row, &p.Column, &p.RowSpan, &p.ColumnSpan);
        p.Item = grid.takeAt(0);
        placed.push_back(p);
    }
    for (int row = rows - 1; row >= 0; --row) {
        grid.setRowStretch(row + 1, grid.rowStretch(row));
    }
    grid.setRowStretch(0, 0);
    grid.addWidget(widget, 0, 0, 1, columns);
    for (const Placed& p : placed) {
        grid.addItem(p.Item, p.Row + 1, p.Column, p.RowSpan, p.ColumnSpan);
    }
}

QLabel* MakeDialogLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

// Qt's folder dialog with the component's additions: title and status lines, the selection
// reported to the component, OK enabled as the component decides and accepted only then.
class FolderDialog final : public QFileDialog {
public:
    FolderDialog(TBrowseForFolder& browser, QWidget* parent);

    // The folder taken when OK was pressed.
    QString Chosen() const { return m_chosen; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Qt's dialog announces a new selection through several signals, some before it has
    // finished its own step; the selection is looked at once the step is done, and each change
    // of the selected path reaches the component once.
    void SelectionMayHaveChanged();
    void ReportSelection();
    void ApplyOk();
    QString SelectedPath() const;

    TBrowseForFolder& m_browser;
    QPushButton* m_ok = nullptr;
    bool m_okEnabled = false;
    bool m_applying = false;
    bool m_opened = false;
    bool m_pending = false;
    std::optional<QString> m_reported;
    QString m_chosen;
};

FolderDialog::FolderDialog(TBrowseForFolder& browser, QWidget* parent)
    : QFileDialog(parent), m_browser(browser) {
    setObjectName(QStringLiteral("dlgBrowseForFolder"));
    setWindowTitle(QStringLiteral("Browse for Folder"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    setAcceptMode(QFileDialog::AcceptOpen);
    setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Cancel"));
    setSizeGripEnabled(browser.NewDialogStyle());

    // The start folder when it is one; otherwise the user's home stands for the shell's
    // desktop, where the tree starts.
    const QString start = browser.Path();
    setDirectory(!start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath());

    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        if (!browser.Title().isEmpty()) {
            InsertTopRow(*grid, MakeDialogLabel(this, "lblTitle", browser.Title()));
        }
        if (!browser.StatusText().isEmpty()) {
            grid->addWidget(MakeDialogLabel(this, "lblStatus", browser.StatusText()),
                            grid->rowCount(), 0, 1, std::max(grid->columnCount(), 1));
        }
    }
    auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // Only folders are offered, so there is no kind of file to choose.
    for (const char* name : {"fileTypeLabel", "fileTypeCombo"}) {
        if (auto* w = findChild<QWidget*>(QLatin1String(name))) {
            w->hide();
        }
    }
    if (!browser.EditBox()) {
        for (const char* name : {"fileNameLabel", "fileNameEdit"}) {
            if (auto* w = findChild<QWidget*>(QLatin1String(name))) {
                w->hide();
            }
        }
    }

    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        m_ok = buttons->button(QDialogButtonBox::Open);
    }
    if (m_ok != nullptr) {
        m_ok->installEventFilter(this);
    }
    if (browser.OnHelp()) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
        connect(help, &QShortcut::activated, this, [this] { m_browser.OnHelp()(this); });
    }
    const auto changed = [this] { SelectionMayHaveChanged(); };
    connect(this, &QFileDialog::currentChanged, this, changed);
    connect(this, &QFileDialog::directoryEntered, this, changed);
    if (nameEdit != nullptr) {
        connect(nameEdit, &QLineEdit::textChanged, this, changed);
    }
    if (auto* model = findChild<QFileSystemModel*>()) {
        connect(model, &QFileSystemModel::rootPathChanged, this, changed);
    }
    if (auto* list = findChild<QListView*>(QStringLiteral("listView"));
        list != nullptr && list->selectionModel() != nullptr) {
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, changed);
    }
}

QString FolderDialog::SelectedPath() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.first());
}

void FolderDialog::SelectionMayHaveChanged() {
    // Before the dialog opens nothing is reported; its opening reports the first selection.
    if (!m_opened || m_pending) {
        return;
    }
    m_pending = true;
    QMetaObject::invokeMethod(
        this, [this] { ReportSelection(); }, Qt::QueuedConnection);
}

void FolderDialog::ReportSelection() {
    m_pending = false;
    const QString path = SelectedPath();
    if (m_reported != path) {
        m_reported = path;
        m_okEnabled = m_browser.SelChanged(*this, path);
    }
    ApplyOk();
}

void FolderDialog::ApplyOk() {
    if (m_ok == nullptr || m_ok->isEnabled() == m_okEnabled) {
        return;
    }
    m_applying = true;
    m_ok->setEnabled(m_okEnabled);
    m_applying = false;
}

// Qt's dialog sets the OK button itself after many of its own steps; the component's decision
// is put back each time.
bool FolderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ok && event->type() == QEvent::EnabledChange && m_opened && !m_applying) {
        ApplyOk();
    }
    return QFileDialog::eventFilter(watched, event);
}

// OK takes the selection as it stands, only while OK is enabled (Enter on a disabled OK does
// nothing); whether the selection is a folder is the component's decision, not the dialog's.
void FolderDialog::accept() {
    if (m_pending) {
        ReportSelection();
    }
    if (!m_okEnabled) {
        return;
    }
    m_chosen = SelectedPath();
    QDialog::accept();
}

void FolderDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    if (event->spontaneous() || m_opened) {
        return;
    }
    m_opened = true;
    if (!m_browser.NewDialogStyle()) {
        setFixedSize(size());
    }
    ReportSelection();
    // Placed by Qt by now, and not yet on the screen.
    const QRect frame = frameGeometry();
    int left = frame.left();
    int top = frame.top();
    m_browser.SetPosition(left, top, frame.width(), frame.height());
    if (left != frame.left() || top != frame.top()) {
        move(left, top);
    }
}

TBrowseForFolder::TBrowseForFolder(QObject* owner) : QObject(owner) {}

TBrowseForFolder::~TBrowseForFolder() = default;

bool TBrowseForFolder::Execute() {
    QWidget* owner = qobject_cast<QWidget*>(parent());
    QWidget* window = owner != nullptr ? owner->window() : QApplication::activeWindow();
    m_dialog = nullptr;
    FolderDialog dialog(*this, window);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    m_path = dialog.Chosen();
    return true;
}

bool TBrowseForFolder::SelChanged(QFileDialog& dialog, const QString& path) {
    bool enableOk = !path.isEmpty() && QFileInfo(path).isDir();
    // The dialog is reachable from the handlers only while they run, also when one throws.
    struct Release {
        QFileDialog*& Held;
        ~Release() { Held = nullptr; }
    } release{m_dialog};
    m_dialog = &dialog;
    if (m_onSelChanged) {
        m_onSelChanged(this, path, enableOk);
    }
    DoSelChanged(path, enableOk);
    return enableOk;
}

void TBrowseForFolder::SetPosition(int& left, int& top, int width, int height) {
    if (m_onSetPosition) {
        m_onSetPosition(this, left, top, width, height);
    }
    DoSetPosition(left, top, width, height);
}

void TBrowseForFolder::DoSelChanged(const QString&, bool&) {}

void TBrowseForFolder::DoSetPosition(int&, int&, int, int) {}

} // namespace vmg::wizard
