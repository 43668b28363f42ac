// The small window in which Open... lets the user pick one of the macros of a code file.
#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace vmg::wizard {

class TfmChooseMacro final : public QDialog {
    Q_OBJECT
public:
    // One row per macro, the first chosen.
    TfmChooseMacro(const QString& fileName, const QStringList& macros, QWidget* owner);

    // The chosen row, from 0; -1 for none.
    int Chosen() const;

private:
    QLabel* m_lblChooseMacro = nullptr;
    QListWidget* m_lstMacros = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

// Shows the window modally; the chosen row, or nothing when the user cancels.
std::optional<int> ChooseMacro(QWidget* owner, const QString& fileName, const QStringList& macros);

} // namespace vmg::wizard
