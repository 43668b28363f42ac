// Page 6: what to do with the finished macro (paste into the IDE page, save code, hint and
// source, add the hint to USER.MCD) and the folder the files go to.
#pragma once

#include "Finish.h"
#include "WizardPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vmg::wizard {

// The output choices, as the check boxes hold them.
struct OutputChoices {
    bool PasteCode = false;
    bool SaveCode = false;
    bool SaveHint = false;
    bool SaveSource = false;
    bool AddUserMcd = false; // only with a keyword file chosen
    bool operator==(const OutputChoices&) const = default;
};

class Page6Output final : public WizardPage {
    Q_OBJECT
public:
    Page6Output(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    // Arrival with Next: the paste destination, the three file names from the macro's name
    // and the save folder.
    void Enter() override;
    QWidget* FirstField() const override;

    OutputChoices Choices() const;
    void SetChoices(const OutputChoices& choices);
    void SetPasteEnabled(bool enabled);
    // The keyword file that "Add Hint to USER.MCD" writes into; empty for none, which leaves
    // the choice disabled and clear.
    void SetUserMcdPath(const QString& path);
    QString UserMcdPath() const { return m_userMcdPath; }

    QString PasteDestination() const;
    QString CodeFileName() const;
    QString HintFileName() const;
    QString SourceFileName() const;

    // What Finish is to do as the page now stands; the paste only when pasteProblem (why the
    // IDE cannot take it now) is empty. A ticked paste that was offered but cannot happen is
    // carried as the plan's PasteProblem.
    FinishPlan Plan(const QString& pasteProblem) const;

private:
    void cmdBrowseSavePathClick();
    void cmdBrowseUserMcdClick();
    void AddUserMcdRow(int top);
    void AddWriteBackRow(int top);
    void ShowOrigin();
    static void ShowName(QLabel* label, const QString& name);

    // What the entry step worked out; the labels only show it.
    QString m_pasteDest;
    QString m_codeName;
    QString m_hintName;
    QString m_sourceName;
    QString m_userMcdPath;

    QLabel* m_lblStep6 = nullptr;
    QCheckBox* m_chkPasteCode = nullptr;
    QLabel* m_lblPasteDest = nullptr;
    QCheckBox* m_chkSaveCode = nullptr;
    QLabel* m_lblSaveCodeName = nullptr;
    QCheckBox* m_chkSaveHint = nullptr;
    QLabel* m_lblSaveHintName = nullptr;
    QCheckBox* m_chkSaveSource = nullptr;
    QLabel* m_lblSaveSourceName = nullptr;
    QLineEdit* m_txtSavePath = nullptr;
    QPushButton* m_cmdBrowseSavePath = nullptr;
    QCheckBox* m_chkAddUserMcd = nullptr;
    QLabel* m_lblUserMcdName = nullptr;
    QPushButton* m_cmdBrowseUserMcd = nullptr;
    QCheckBox* m_chkWriteBack = nullptr;
    QLabel* m_lblWriteBackName = nullptr;
    QString m_originShown; // the origin the box was last set for, so that a new one ticks it
};

} // namespace vmg::wizard
