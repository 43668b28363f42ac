// The main wizard window fmMacroGen: start-up, the seven pages and the navigation between them.
#pragma once

#include "Dialogs.h"
#include "MacroCodeGenerator.h"
#include "Settings.h"
#include "WizardState.h"

#include <QWidget>

#include <array>
#include <memory>

class QPushButton;

namespace vmg::wizard {

class AppWindowHook;
class Page0Intro;
class Page1Macro;
class Page2Params;
class Page3Subroutine;
class Page4Code;
class Page5Hint;
class Page6Output;
class WizardPage;

inline constexpr int kPageCount = 7;
inline constexpr int kClientWidth = 471;
inline constexpr int kClientHeight = 360;

class TfmMacroGen final : public QWidget {
    Q_OBJECT
public:
    // Runs the whole start-up: connects to the IDE, scans its page once, reads the settings
    // and shows page 0. `dialogs` must outlive the window.
    explicit TfmMacroGen(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TfmMacroGen() override;

    const WizardState& State() const { return m_state; }
    // The one macro definition of the run, which the pages are handed.
    const codegen::MacroDefinition& Definition() const { return m_definition; }

    // The frame's four steps, each on CurrentPage.
    bool CheckPage();
    void CommitPage();
    void EnterPage();
    void ShowPage();

    // The remembered choices as the controls now hold them, and storing them (the last step
    // of a completed Finish).
    WizardSettings CurrentSettings() const;
    bool StoreSettings() const;

    Page1Macro* MacroPage() const { return m_page1; }
    Page2Params* ParamsPage() const { return m_page2; }
    Page3Subroutine* SubroutinePage() const { return m_page3; }
    Page4Code* CodePage() const { return m_page4; }
    Page5Hint* HintPage() const { return m_page5; }
    Page6Output* OutputPage() const { return m_page6; }

protected:
    void showEvent(QShowEvent* event) override;
    // Enter presses Next, or Finish on the last page; multi-line boxes and open lists keep
    // their own Enter, since they take the key before it reaches the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void BuildNavigation();
    // Alt+N, Alt+B, Alt+F, Alt+H and F1, without changing the buttons' captions.
    void BuildShortcuts();
    void ConnectToIde();
    void ApplySettings();

    void cmdNavNextClick();
    void cmdNavBackClick();
    void cmdNavCancelClick();
    void cmdNavHelpClick();
    void cmdNavFinishedClick();

    Dialogs& m_dialogs;
    // Bound once to the module's definition; the pages reach it only through their context.
    codegen::MacroDefinition& m_definition;
    WizardState m_state;
    bool m_centred = false;
    // Whether the start-up (or a later naming of the IDE's folder) found the IDE.
    bool m_ideConnected = false;
#ifdef Q_OS_WIN
    std::unique_ptr<AppWindowHook> m_hook;
#endif

    Page0Intro* m_page0 = nullptr;
    Page1Macro* m_page1 = nullptr;
    Page2Params* m_page2 = nullptr;
    Page3Subroutine* m_page3 = nullptr;
    Page4Code* m_page4 = nullptr;
    Page5Hint* m_page5 = nullptr;
    Page6Output* m_page6 = nullptr;
    std::array<WizardPage*, kPageCount> m_pages{};

    QPushButton* m_cmdNavHelp = nullptr;
    QPushButton* m_cmdNavCancel = nullptr;
    QPushButton* m_cmdNavBack = nullptr;
    QPushButton* m_cmdNavNext = nullptr;
    QPushButton* m_cmdNavFinished = nullptr;
};

} // namespace vmg::wizard
