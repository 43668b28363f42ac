// The frame: start-up in its fixed order, Next, Back, Cancel, Help and the page steps.
#include "VorlanMacGen.h"

#include "HelpWindow.h"
#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "Page0Intro.h"
#include "Page1Macro.h"
#include "Page2Params.h"
#include "Page3Subroutine.h"
#include "Page4Code.h"
#include "Page5Hint.h"
#include "Page6Output.h"
#include "PreviewWindow.h"
#include "Text1252.h"
#include "TypeLists.h"
#include "WindowFont.h"
#include "cPluginInterface.h"

#ifdef Q_OS_WIN
#include "AppWindowHook.h"
#endif

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextEdit>
#include <QTimer>

namespace vmg::wizard {

namespace {

constexpr int kStripHeight = 56;
// Opens the Preview window from pages 1 to 3.
const QKeySequence kPreviewKey(Qt::Key_F8);

} // namespace

TfmMacroGen::TfmMacroGen(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_dialogs(dialogs), m_definition(codegen::Definition()) {
    setObjectName(QStringLiteral("fmMacroGen"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    // Page 0 is shown at once; the others are built on first entry (BuildPagesUpTo).
    m_pages[0] = CreatePage(0);
    m_built = 1;
    BuildNavigation();
    BuildShortcuts();

    // Naming the IDE's folder on page 0 connects at once, as start-up would have.
    connect(static_cast<Page0Intro*>(m_pages[0]), &Page0Intro::ideFolderChosen, this, [this] {
        if (!m_findings.Connected) {
            ConnectToIde();
        }
    });
    FormCreate();
}

TfmMacroGen::~TfmMacroGen() = default;

void TfmMacroGen::BuildNavigation() {
    auto* strip = new QWidget(this);
    m_navigation = strip;
    strip->setObjectName(QStringLiteral("pnlNavigation"));
    strip->setGeometry(0, kClientHeight - kStripHeight, kClientWidth, kStripHeight);
    auto* bevel = new QFrame(strip);
    bevel->setObjectName(QStringLiteral("bvlNavigation"));
    bevel->setGeometry(0, 0, kClientWidth, 2);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    const auto button = [strip](const char* name, const QString& text, int left, int width = 65) {
        auto* b = new QPushButton(text, strip);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 23, width, 21);
        b->setAutoDefault(false);
        return b;
    };
    m_cmdNavHelp = button("cmdNavHelp", QStringLiteral("Help"), 8);
    m_cmdNavCancel = button("cmdNavCancel", QStringLiteral("Cancel"), 128);
    m_cmdNavBack = button("cmdNavBack", QStringLiteral("< Back"), 216);
    m_cmdNavNext = button("cmdNavNext", QStringLiteral("Next >"), 288);
    m_cmdNavFinished = button("cmdNavFinished", QStringLiteral("Finish"), 394);
    connect(m_cmdNavHelp, &QPushButton::clicked, this, &TfmMacroGen::cmdNavHelpClick);
    connect(m_cmdNavCancel, &QPushButton::clicked, this, &TfmMacroGen::cmdNavCancelClick);
    connect(m_cmdNavBack, &QPushButton::clicked, this, &TfmMacroGen::cmdNavBackClick);
    connect(m_cmdNavNext, &QPushButton::clicked, this, &TfmMacroGen::cmdNavNextClick);
    connect(m_cmdNavFinished, &QPushButton::clicked, this, &TfmMacroGen::cmdNavFinishedClick);
    // In the free room between Help and Cancel. It takes no focus, so that a click leaves the
    // keyboard in the field being answered and the Tab order stays as it was.
    m_cmdPreview = button("cmdPreview", QStringLiteral("Pre&view"), 77, 48);
    m_cmdPreview->setFocusPolicy(Qt::NoFocus);
    m_cmdPreview->setToolTip(
        QStringLiteral("Show the macro as your answers make it, while you answer (%1)")
            .arg(kPreviewKey.toString(QKeySequence::NativeText)));
    connect(m_cmdPreview, &QPushButton::clicked, this, &TfmMacroGen::cmdPreviewClick);
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(0);
    connect(m_previewTimer, &QTimer::timeout, this, &TfmMacroGen::UpdatePreview);
}

void TfmMacroGen::BuildShortcuts() {
    const auto press = [this](QKeySequence keys, QPushButton* button) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) {
                button->click();
            }
        });
    };
    press(QKeySequence(Qt::ALT | Qt::Key_N), m_cmdNavNext);
    press(QKeySequence(Qt::ALT | Qt::Key_B), m_cmdNavBack);
    press(QKeySequence(Qt::ALT | Qt::Key_F), m_cmdNavFinished);
    press(QKeySequence(Qt::ALT | Qt::Key_H), m_cmdNavHelp);
    // F1 in any of the wizard's windows, the tool windows beside it included, opens that
    // window's own topic, or else the page's. A modal dialog blocks it and answers F1 itself.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, [this] {
        QWidget* active = QApplication::activeWindow();
        const int own = HelpTopicOf(active);
        if (own != 0) {
            m_dialogs.Help(active, own);
        } else {
            cmdNavHelpClick();
        }
    });
    // Only where the button is offered.
    auto* preview = new QShortcut(kPreviewKey, this);
    connect(preview, &QShortcut::activated, this, [this] {
        if (m_cmdPreview->isVisibleTo(this)) {
            cmdPreviewClick();
        }
    });
}

void TfmMacroGen::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && mods == Qt::NoModifier) {
        // Our push buttons are not auto-default, so Enter on one passes on to the window.
        QPushButton* target = qobject_cast<QPushButton*>(focusWidget());
        if (target == nullptr) {
            target = m_cmdNavNext->isEnabled() ? m_cmdNavNext : m_cmdNavFinished;
        }
        if (target->isEnabled()) {
            target->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The start-up in its fixed order. Steps that fill a page not yet built are kept for it and
// run when it is built (SetUpPage), in the same order.
void TfmMacroGen::FormCreate() {
    // Swallow the plug-in manager's message 1124 while the window exists (Windows only;
    // elsewhere no such message arrives).
#ifdef Q_OS_WIN
    m_hook = std::make_unique<AppWindowHook>(winId());
#endif
    // The IDE's folder, when the user has named one, is among the places the IDE's library is
    // looked for.
    ide::SetIdeFolder(CorePath(ReadIdeFolder()));
    ConnectToIde();
    m_state.CurrentPage = 0;
    ShowPage();
    setWindowTitle(QStringLiteral("Vorlan Macro Generator"));
    m_pages[0]->move(0, 0);
    ApplySettings();
    // The parameter editor's buttons follow from these when page 2 is built.
    m_state.CurrentParam = 1;
    m_state.ParamCount = 0;
    m_pages[0]->SetPageTexts();
}

void TfmMacroGen::ConnectToIde() {
    ide::Connect(static_cast<std::intptr_t>(winId()));
    // "Get Labels" and both "Get Vars" stay disabled unless the IDE's page was read and holds
    // such names; "Paste Code to..." is enabled exactly when the IDE is connected.
    m_findings.Connected = ide::IsConnected();
    m_findings.LabelsFound = false;
    m_findings.VariablesFound = false;
    // The IDE's page is scanned here only; later choices come from this one scan.
    if (m_findings.Connected && ide::LoadPageText()) {
        m_findings.LabelsFound = ide::FindLabels();
        m_findings.VariablesFound = ide::FindVariables();
        // The page's core proposes the target until page 1 shows one; after that the target is
        // the user's (chosen, or read from a file) and a later connection leaves it alone.
        if (m_built <= 1) {
            const std::int32_t core = ide::CurrentPageCore();
            m_definition.Header.Target = core == 14 ? 1 : core == 16 ? 2 : 0;
        }
    }
    static_cast<Page0Intro*>(m_pages[0])->ShowConnected(m_findings.Connected);
    // A connection made later (the IDE's folder named on page 0) reaches the pages already built;
    // the others take it when they are built.
    if (m_built > 2) {
        ParamsPage()->SetGetVarsEnabled(m_findings.VariablesFound);
    }
    if (m_built > 3) {
        SubroutinePage()->SetGetLabelsEnabled(m_findings.LabelsFound);
        SubroutinePage()->SetGetVarsEnabled(m_findings.VariablesFound);
    }
    if (m_built > 6) {
        OutputPage()->SetPasteEnabled(m_findings.Connected);
    }
}

void TfmMacroGen::ApplySettings() {
    m_state.HighlighterSettings = ReadHighlighterSettings();
    m_findings.Settings = ReadWizardSettings();
    m_state.SaveFolder = m_findings.Settings.FilePath;
    // Page 1 shows the stored choices when it is first entered. The return index read is
    // already one the return list can select (-1 for none), so it is what the list will give.
    m_definition.Header.ReturnMethod = m_findings.Settings.ReturnInd;
    m_definition.Header.Skeleton = m_findings.Settings.NoCode;
}

Page1Macro* TfmMacroGen::MacroPage() const {
    return static_cast<Page1Macro*>(PageAt(1));
}

Page2Params* TfmMacroGen::ParamsPage() const {
    return static_cast<Page2Params*>(PageAt(2));
}

Page3Subroutine* TfmMacroGen::SubroutinePage() const {
    return static_cast<Page3Subroutine*>(PageAt(3));
}

Page4Code* TfmMacroGen::CodePage() const {
    return static_cast<Page4Code*>(PageAt(4));
}

Page5Hint* TfmMacroGen::HintPage() const {
    return static_cast<Page5Hint*>(PageAt(5));
}

Page6Output* TfmMacroGen::OutputPage() const {
    return static_cast<Page6Output*>(PageAt(6));
}

WizardPage* TfmMacroGen::PageAt(int index) const {
    if (index >= m_built) {
        const_cast<TfmMacroGen*>(this)->BuildPagesUpTo(index);
    }
    return m_pages[static_cast<std::size_t>(index)];
}

void TfmMacroGen::BuildPagesUpTo(int index) {
    while (m_built <= index && m_built < kPageCount) {
        const int next = m_built;
        WizardPage* page = CreatePage(next);
        m_pages[static_cast<std::size_t>(next)] = page;
        if (next >= 1 && next <= 3) {
            WatchAnswers(page);
        }
        m_built = next + 1;
        // Hidden until ShowPage shows it, as every page but the current one is.
        page->setVisible(false);
        KeepNavigationLast();
        SetUpPage(next);
        // Polished before its entry fills it, as the pages that exist when the window is first
        // shown are.
        page->ensurePolished();
    }
}

WizardPage* TfmMacroGen::CreatePage(int index) {
    const PageContext context{m_definition, m_state, m_dialogs};
    switch (index) {
    case 0:
        return new Page0Intro(context, this);
    case 1: {
        auto* page = new Page1Macro(context, this);
        // Page 1 drives two things on the later pages: the Allow Alt boxes (a page built
        // later takes the box's state then), and the parameter editor's position after a
        // macro source was loaded.
        connect(page, &Page1Macro::typeConversionChanged, this, [this](bool on) {
            if (m_built > 2) {
                ParamsPage()->SetAllowAltForced(on);
            }
            if (m_built > 3) {
                SubroutinePage()->SetAllowAltForced(on);
            }
        });
        connect(page, &Page1Macro::macroSourceLoaded, this, [this] {
            ParamsPage()->LoadHook();
            ParamsPage()->Refresh();
        });
        // An imported macro's keyword block may come from the USER.MCD chosen on page 6; before
        // page 6 is built that is the one the settings named.
        connect(page, &Page1Macro::keywordFileWanted, this, [this](QString& path) {
            path = m_built > 6 ? OutputPage()->UserMcdPath() : m_findings.Settings.UserMcdPath;
        });
        return page;
    }
    case 2: {
        auto* page = new Page2Params(context, this);
        // Page 2's entry fills page 3's return types and register names.
        connect(page, &Page2Params::typeListsBuilt, this, [this](const TypeLists& lists) {
            SubroutinePage()->AddReturnVarNames(RegisterNames(m_definition.Header.Target));
            SubroutinePage()->SetReturnTypes(lists.Returns);
        });
        return page;
    }
    case 3:
        return new Page3Subroutine(context, this);
    case 4:
        return new Page4Code(context, this);
    case 5:
        return new Page5Hint(context, this);
    default:
        return new Page6Output(context, this);
    }
}

void TfmMacroGen::SetUpPage(int index) {
    const WizardSettings& s = m_findings.Settings;
    WizardPage* page = m_pages[static_cast<std::size_t>(index)];
    page->move(0, 0);
    switch (index) {
    case 1: {
        auto* macro = static_cast<Page1Macro*>(page);
        macro->FillReturnList();
        macro->ClearMacroName();
        macro->SetTypeConversion(s.AllowTypeConv);
        macro->SetReturnIndex(s.ReturnInd);
        macro->SetSkeleton(s.NoCode);
        break;
    }
    case 2: {
        auto* params = static_cast<Page2Params*>(page);
        params->SetGetVarsEnabled(m_findings.VariablesFound);
        params->SetAllowAltForced(MacroPage()->TypeConversion());
        params->Refresh();
        break;
    }
    case 3: {
        auto* subroutine = static_cast<Page3Subroutine*>(page);
        subroutine->SetGetLabelsEnabled(m_findings.LabelsFound);
        subroutine->SetGetVarsEnabled(m_findings.VariablesFound);
        subroutine->SetAllowAltForced(MacroPage()->TypeConversion());
        break;
    }
    case 6: {
        auto* output = static_cast<Page6Output*>(page);
        output->SetPasteEnabled(m_findings.Connected);
        output->SetUserMcdPath(s.UserMcdPath);
        output->SetChoices({s.PasteMac, s.SaveMac, s.SaveHint, s.SaveSource, s.AddUserMcd});
        break;
    }
    default:
        break;
    }
    page->SetPageTexts();
}

void TfmMacroGen::KeepNavigationLast() {
    m_navigation->raise();
    // New widgets join the end of the window's focus chain, after the buttons; the buttons go
    // back behind the last widget that takes focus. Qt (6.4) moves nothing behind the very
    // last widget of the chain, so a stand-in holds that place while they move.
    QWidget tail(this);
    tail.setFocusPolicy(Qt::TabFocus);
    QWidget* last = tail.previousInFocusChain();
    while (last != this && last->focusPolicy() == Qt::NoFocus) {
        last = last->previousInFocusChain();
    }
    for (QWidget* button :
         {m_cmdNavHelp, m_cmdNavCancel, m_cmdNavBack, m_cmdNavNext, m_cmdNavFinished}) {
        if (last != button && last != this) {
            QWidget::setTabOrder(last, button);
        }
        last = button;
    }
}

WizardSettings TfmMacroGen::CurrentSettings() const {
    const OutputChoices out = OutputPage()->Choices();
    WizardSettings s;
    s.FilePath = m_state.SaveFolder;
    s.PasteMac = out.PasteCode;
    s.SaveMac = out.SaveCode;
    s.SaveHint = out.SaveHint;
    s.SaveSource = out.SaveSource;
    s.AllowTypeConv = MacroPage()->TypeConversion();
    s.ReturnInd = MacroPage()->ReturnIndex();
    s.NoCode = MacroPage()->Skeleton();
    s.AddUserMcd = out.AddUserMcd;
    s.UserMcdPath = OutputPage()->UserMcdPath();
    return s;
}

bool TfmMacroGen::StoreSettings() const {
    return WriteWizardSettings(CurrentSettings());
}

bool TfmMacroGen::CheckPage() {
    return PageAt(m_state.CurrentPage)->Check();
}

void TfmMacroGen::CommitPage() {
    PageAt(m_state.CurrentPage)->Commit();
}

// The first entry of a page builds it.
void TfmMacroGen::EnterPage() {
    PageAt(m_state.CurrentPage)->Enter();
}

void TfmMacroGen::ShowPage() {
    const int current = m_state.CurrentPage;
    PageAt(current);
    for (WizardPage* page : m_pages) {
        if (page != nullptr) {
            page->setVisible(page->Index() == current);
        }
    }
    m_cmdNavBack->setEnabled(current > 0);
    m_cmdNavNext->setEnabled(current < kPageCount - 1);
    m_cmdNavFinished->setEnabled(current == kPageCount - 1);
    m_cmdPreview->setVisible(current >= 1 && current <= 3);
    SchedulePreview();
    FitCaptions(m_pages[static_cast<std::size_t>(current)]);
    FocusPage();
}

void TfmMacroGen::FocusPage() {
    QWidget* field = m_pages[static_cast<std::size_t>(m_state.CurrentPage)]->FirstField();
    if (field == nullptr || !field->isEnabled() || !field->isVisibleTo(this)) {
        field = m_cmdNavNext->isEnabled() ? m_cmdNavNext : m_cmdNavFinished;
    }
    field->setFocus(Qt::OtherFocusReason);
}

void TfmMacroGen::cmdNavNextClick() {
    if (m_state.CurrentPage >= kPageCount - 1 || !CheckPage()) {
        return;
    }
    CommitPage();
    ++m_state.CurrentPage;
    EnterPage();
    ShowPage();
}

void TfmMacroGen::OpenAtStart(const QString& path) {
    Page1Macro* page = MacroPage();
    bool loaded = false;
    const auto watch =
        connect(page, &Page1Macro::macroSourceLoaded, this, [&loaded] { loaded = true; });
    page->OpenFile(path);
    disconnect(watch);
    if (loaded && m_state.CurrentPage == 0) {
        cmdNavNextClick();
    }
}

void TfmMacroGen::cmdNavBackClick() {
    if (m_state.CurrentPage <= 0) {
        return;
    }
    --m_state.CurrentPage;
    ShowPage();
}

// Ends the program at once: nothing is asked, written or stored.
void TfmMacroGen::cmdNavCancelClick() {
    close();
}

void TfmMacroGen::cmdNavHelpClick() {
    m_dialogs.Help(this, HelpTopicOfPage(m_state.CurrentPage));
}

// The summary, the questions, the files and the paste (Finish.h); the settings are stored last,
// and only when everything chosen was done.
void TfmMacroGen::cmdNavFinishedClick() {
    if (m_state.CurrentPage != kPageCount - 1) {
        return;
    }
    const FinishContent content{*CodePage()->CodeBox()->document(),
                                HintPage()->HintBox()->document()->toRawText(), m_state.ParamCount,
                                m_definition};
    if (RunFinish(OutputPage()->Plan(FromCoreText(ide::PasteProblem())), content, m_dialogs,
                  this) != FinishOutcome::Done) {
        return;
    }
    StoreSettings();
    close();
}

void TfmMacroGen::cmdPreviewClick() {
    if (m_preview == nullptr) {
        m_preview = new PreviewWindow(m_state.HighlighterSettings, this);
    }
    UpdatePreview();
    m_preview->ShowBeside(this);
}

void TfmMacroGen::WatchAnswers(QWidget* page) {
    for (auto* edit : page->findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textChanged, this, &TfmMacroGen::SchedulePreview);
    }
    for (auto* memo : page->findChildren<QPlainTextEdit*>()) {
        connect(memo, &QPlainTextEdit::textChanged, this, &TfmMacroGen::SchedulePreview);
    }
    for (auto* combo : page->findChildren<QComboBox*>()) {
        connect(combo, &QComboBox::currentIndexChanged, this, &TfmMacroGen::SchedulePreview);
        connect(combo, &QComboBox::editTextChanged, this, &TfmMacroGen::SchedulePreview);
    }
    // Check boxes and radio buttons by their state; push buttons (Add, Delete, << >>, Open...)
    // by their click, which changes the stored answers.
    for (auto* button : page->findChildren<QAbstractButton*>()) {
        connect(button, &QAbstractButton::toggled, this, &TfmMacroGen::SchedulePreview);
        connect(button, &QAbstractButton::clicked, this, &TfmMacroGen::SchedulePreview);
    }
}

// A burst of changes (fast typing) restarts the one pending update: the last change wins.
void TfmMacroGen::SchedulePreview() {
    if (m_preview != nullptr && m_preview->isVisible()) {
        m_previewTimer->start();
    }
}

void TfmMacroGen::UpdatePreview() {
    if (m_preview == nullptr) {
        return;
    }
    // A copy: nothing of a draft reaches the definition, and so neither the files.
    codegen::MacroDefinition draft = m_definition;
    int count = m_state.ParamCount;
    const QString refusal = PageAt(m_state.CurrentPage)->Draft(draft, count);
    QString note;
    if (m_state.CurrentPage == 2 && count > m_state.ParamCount) {
        note = QStringLiteral("Parameter %1 is shown as it would be added: only Add keeps it.")
                   .arg(count);
    }
    m_preview->ShowDraft(draft, count, refusal, note);
}

void TfmMacroGen::closeEvent(QCloseEvent* event) {
    if (m_preview != nullptr && m_preview->isVisible()) {
        m_preview->close();
    }
    QWidget::closeEvent(event);
}

void TfmMacroGen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centred) {
        return;
    }
    m_centred = true;
    // The font is now measured on the screen the window is on.
    FitCaptions(this);
    // Showing the window gives the focus to its first control unless one was chosen.
    FocusPage();
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace vmg::wizard
