// Page 1: the macro's name, description, return method, target cores and the two options that
// shape the later pages; "&Open..." reloads a whole definition from a macro source file.
#pragma once

#include "WizardPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vmg::wizard {

class Page1Macro final : public WizardPage {
    Q_OBJECT
public:
    Page1Macro(PageContext context, QWidget* parent);

    void SetPageTexts() override;
    bool Check() override;
    void Commit() override;
    QString Draft(codegen::MacroDefinition& draft, int& count) const override;
    // Controls from the macro header.
    void Enter() override;
    QWidget* FirstField() const override;

    // Start-up: the three return methods, in index order.
    void FillReturnList();
    void ClearMacroName();

    // The chosen return method: 0 None, 1 In-Line, 2 Parameter, -1 when the box holds a text
    // that is not one of them.
    int ReturnIndex() const;
    void SetReturnIndex(int index);
    bool TypeConversion() const;
    void SetTypeConversion(bool on);
    bool Skeleton() const;
    void SetSkeleton(bool on);

    // What Open... does with the file chosen: a macro source file, or a macro of a code file.
    // Success emits macroSourceLoaded; a failure is shown and changes nothing.
    void OpenFile(const QString& path);

    // The file filter of Open..., in Qt's form: macro source files first, then code files.
    static QString SourceFileFilter();

signals:
    // "Allow Type Conversion" changed, by the user or by the settings.
    void typeConversionChanged(bool on);
    // A macro source file replaced the definition; ParamCount and CurrentParam are set.
    void macroSourceLoaded();
    // Open... of a code file asks for the USER.MCD file chosen on page 6 (empty for none).
    void keywordFileWanted(QString& path);

private:
    // What Check refuses, empty when nothing.
    QString Refusal() const;
    void CommitTo(codegen::MacGen& header) const;
    void cmdReloadClick();
    // Takes a macro source file's text into the definition, whole or not at all; a file that
    // is no macro source (`fileName`, empty for an imported macro) changes nothing.
    void LoadSourceText(const std::string& bytes, const QString& fileName = QString());
    // Next with a target that lacks the type of a stored parameter or of the return value.
    QString LostTypes() const;
    QString DescriptionRefusal() const;
    // After a load: the records left out, and the answers whose types the target lacks.
    void TellLoadNotes(int dropped);
    // Reads a macro of a code file (.bas, .inc, .txt, a saved _mac.rtf) through the importer.
    void ImportCode(const QString& path);

    QLabel* m_lblStep1 = nullptr;
    QPushButton* m_cmdReload = nullptr;
    QLineEdit* m_txtMacroName = nullptr;
    QComboBox* m_cboReturn = nullptr;
    QPlainTextEdit* m_memoDescription = nullptr;
    QCheckBox* m_chkTypeConvOn = nullptr;
    QRadioButton* m_optTgt14 = nullptr;
    QRadioButton* m_optTgt16 = nullptr;
    QRadioButton* m_optTgtBoth = nullptr;
    QCheckBox* m_chkNoCode = nullptr;
};

} // namespace vmg::wizard
