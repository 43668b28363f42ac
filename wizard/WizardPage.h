// What every wizard page shares: its place in the frame, the frame's entry, check and commit
// steps, and the small factories that put a named control at its pixel position.
#pragma once

#include "Dialogs.h"
#include "MacroCodeGenerator.h"
#include "WizardState.h"

#include <QFrame>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vmg::wizard {

// A page is 297 pixels high and as wide as the window's client area.
inline constexpr int kPageWidth = 471;
inline constexpr int kPageHeight = 297;

// What a page may reach beyond its own controls: the one macro definition of the run (bound
// by the frame), the wizard's state and the dialogs. Pages reach nothing else.
struct PageContext {
    codegen::MacroDefinition& Definition;
    WizardState& State;
    Dialogs& Ui;
};

class WizardPage : public QFrame {
    Q_OBJECT
public:
    WizardPage(int index, PageContext context, QWidget* parent);

    int Index() const { return m_index; }

    // The frame's steps on Next: the check may refuse (after telling the user), the commit
    // stores the page's controls into the macro definition, and the entry of the page arrived
    // at fills its controls from the definition. Pages without a step do nothing for it.
    virtual bool Check() { return true; }
    virtual void Commit() {}
    virtual void Enter() {}
    // The page's answers as its controls hold them now, laid into `draft` (a copy of the
    // definition) as Next would commit them, `count` taking what ParamCount would be; the
    // definition itself is not touched. Returns the refusal Next's check would show, empty when
    // there is none.
    virtual QString Draft(codegen::MacroDefinition& /*draft*/, int& /*count*/) const { return {}; }
    // The page's explanatory texts, set once at start-up.
    virtual void SetPageTexts() {}
    // The control that takes the focus whenever the page is shown, so that a keyboard user can
    // type at once; none leaves it on the frame's Next.
    virtual QWidget* FirstField() const { return nullptr; }

protected:
    codegen::MacroDefinition& Definition() const { return m_context.Definition; }
    WizardState& State() const { return m_context.State; }
    Dialogs& Ui() const { return m_context.Ui; }

    // The shared illustration in its sunken frame at the top left of the page.
    void AddIllustration();
    // Names `control` by the caption label `label` of this page, for screen readers.
    void SetBuddy(const char* label, QWidget* control);
    // The word-wrapped explanatory text beside the illustration.
    QLabel* AddPageText(const char* name, int x, int y, int w, int h);
    // Refuses a box's text that the compiler's files (code page 1252) cannot hold: tells the
    // user which characters `what` holds, gives `box` the focus and returns false. The box
    // keeps its text, for the user to change.
    // The refusal of text that code page 1252 cannot hold, or empty.
    static QString Cp1252Refusal(const QString& text, const QString& what);
    bool CheckCp1252(const QString& text, const QString& what, QWidget* box);

private:
    int m_index;
    PageContext m_context;
};

// ---- Control factories: the object name is the control's name in the wizard's design ----

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
QLabel* MakeStatusPanel(QWidget* parent, const char* name, int x, int y, int w, int h);
// The property of a status panel that holds the widest text it will show, for FitCaptions.
inline constexpr const char* kWidestText = "widestText";
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h);
QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h);
QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w, int h = 21);
// A drop-down list; `editable` lets the user type a text of their own, which is never added
// to the list.
QComboBox* MakeCombo(QWidget* parent, const char* name, int x, int y, int w, bool editable);
// A borderless group of controls that is shown or hidden as a whole.
QWidget* MakePanel(QWidget* parent, const char* name, int x, int y, int w, int h);

// Widens every button, check box and radio button under `root` whose caption its font cannot
// show whole in its width (a larger font, or the text drawn at a scale), into the free room to
// its right only: nothing moves, and nothing grows over a neighbour. A status panel with a
// kWidestText property grows the same way to show that text whole.
void FitCaptions(QWidget* root);

// Escape closes the tool window, as it closes a dialog; an open list in it takes the key first.
void CloseOnEscape(QWidget* window);

} // namespace vmg::wizard
