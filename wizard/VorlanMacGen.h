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
class QTimer;

namespace vmg::wizard {

class AppWindowHook;
class Page0Intro;
class Page1Macro;
class Page2Params;
class Page3Subroutine;
class Page4Code;
class Page5Hint;
class Page6Output;
class PreviewWindow;
class WizardPage;

inline constexpr int kPageCount = 7;
inline constexpr int kClientWidth = 471;
inline constexpr int kClientHeight = 360;

class TfmMacroGen final : public QWidget {
    Q_OBJECT
public:
    // Runs the whole start-up: connects to the IDE, scans its page once, reads the settings
    // and shows page 0. Pages 1 to 6 are built when first needed (see BuildPagesUpTo), each
    // then taking what start-up learnt for it. `dialogs` must outlive the window.
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

    // The file the program was started with (a double click on a macro source file): opened
    // as Open... opens it, then page 1 shown; a file that cannot be opened leaves page 0.
    void OpenAtStart(const QString& path);

    // Each page, built first when it is not yet (with the pages before it).
    Page1Macro* MacroPage() const;
    Page2Params* ParamsPage() const;
    Page3Subroutine* SubroutinePage() const;
    Page4Code* CodePage() const;
    Page5Hint* HintPage() const;
    Page6Output* OutputPage() const;
    // Builds every page not built yet, as if the user had been everywhere (tests look at
    // controls of pages they have not walked to).
    void BuildAllPages() { BuildPagesUpTo(kPageCount - 1); }
    // How many pages exist so far: pages 0 to PagesBuilt() - 1.
    int PagesBuilt() const { return m_built; }
    // The Preview window, null until it is first opened.
    PreviewWindow* Preview() const { return m_preview; }

protected:
    void showEvent(QShowEvent* event) override;
    // The Preview window closes with the program, so that its place is remembered.
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the focused push button, as Space does; anywhere else it presses Next, or
    // Finish on the last page. Multi-line boxes and open lists keep their own Enter, since they
    // take the key before it reaches the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void BuildNavigation();
    // Alt+N, Alt+B, Alt+F, Alt+H and F1, without changing the buttons' captions.
    void BuildShortcuts();
    void ConnectToIde();
    void ApplySettings();
    // The focus into the page shown: its first field, or Next (Finish on the last page).
    void FocusPage();

    // Builds the pages after the last one built up to page `index`, in page order, so that
    // creation (and with it the Tab order) is the same as when all are built at start-up.
    void BuildPagesUpTo(int index);
    WizardPage* CreatePage(int index);
    // The page's share of the start-up steps, in their order, from what start-up kept.
    void SetUpPage(int index);
    // The navigation buttons back at the end of the Tab order and on top, where they stand
    // when they are created after every page.
    void KeepNavigationLast();
    // Page `index`, built first when needed. Logically const: a page that is not built yet is
    // one nobody has looked at, and building it changes nothing anyone has seen.
    WizardPage* PageAt(int index) const;

    void cmdNavNextClick();
    void cmdNavBackClick();
    void cmdNavCancelClick();
    void cmdNavHelpClick();
    void cmdNavFinishedClick();
    void cmdPreviewClick();
    // The preview follows every answer of a page's controls, one update for a burst of changes.
    void WatchAnswers(QWidget* page);
    void SchedulePreview();
    // The definition with the current page's answers laid over it, into the Preview window.
    void UpdatePreview();

    Dialogs& m_dialogs;
    // Bound once to the module's definition; the pages reach it only through their context.
    codegen::MacroDefinition& m_definition;
    WizardState m_state;
    bool m_centred = false;
#ifdef Q_OS_WIN
    std::unique_ptr<AppWindowHook> m_hook;
#endif

    // What start-up learnt for pages built later: the IDE link's findings and the settings.
    struct StartUpFindings {
        bool Connected = false;
        bool LabelsFound = false;    // "Get Labels" on page 3
        bool VariablesFound = false; // "Get Vars" on pages 2 and 3
        WizardSettings Settings;
    };
    StartUpFindings m_findings;

    // Pages 0 to m_built - 1 exist; the others are null until built.
    std::array<WizardPage*, kPageCount> m_pages{};
    int m_built = 0;

    QWidget* m_navigation = nullptr;
    QPushButton* m_cmdNavHelp = nullptr;
    QPushButton* m_cmdNavCancel = nullptr;
    QPushButton* m_cmdNavBack = nullptr;
    QPushButton* m_cmdNavNext = nullptr;
    QPushButton* m_cmdNavFinished = nullptr;
    QPushButton* m_cmdPreview = nullptr;
    PreviewWindow* m_preview = nullptr;
    QTimer* m_previewTimer = nullptr;
};

} // namespace vmg::wizard
