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
#include "Text1252.h"
#include "TypeLists.h"
#include "WindowFont.h"
#include "cPluginInterface.h"

#ifdef Q_OS_WIN
#include "AppWindowHook.h"
#endif

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextEdit>

namespace vmg::wizard {

namespace {

constexpr int kStripHeight = 56;

} // namespace

TfmMacroGen::TfmMacroGen(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_dialogs(dialogs), m_definition(codegen::Definition()) {
    setObjectName(QStringLiteral("fmMacroGen"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);

    const PageContext context{m_definition, m_state, m_dialogs};
    m_page0 = new Page0Intro(context, this);
    m_page1 = new Page1Macro(context, this);
    m_page2 = new Page2Params(context, this);
    m_page3 = new Page3Subroutine(context, this);
    m_page4 = new Page4Code(context, this);
    m_page5 = new Page5Hint(context, this);
    m_page6 = new Page6Output(context, this);
    BuildNavigation();
    BuildShortcuts();

    // Page 1 drives two things on the later pages: the Allow Alt boxes, and the parameter
    // editor's position after a macro source was loaded. Page 2's entry fills page 3's return
    // types and register names.
    connect(m_page1, &Page1Macro::typeConversionChanged, this, [this](bool on) {
        m_page2->SetAllowAltForced(on);
        m_page3->SetAllowAltForced(on);
    });
    connect(m_page1, &Page1Macro::macroSourceLoaded, this, [this] {
        m_page2->LoadHook();
        m_page2->Refresh();
    });
    connect(m_page2, &Page2Params::typeListsBuilt, this, [this](const TypeLists& lists) {
        m_page3->AddReturnVarNames(RegisterNames(m_definition.Header.Target));
        m_page3->SetReturnTypes(lists.Returns);
    });
    // Naming the IDE's folder on page 0 connects at once, as start-up would have.
    connect(m_page0, &Page0Intro::ideFolderChosen, this, [this] {
        if (!m_ideConnected) {
            ConnectToIde();
        }
    });

    FormCreate();
}

TfmMacroGen::~TfmMacroGen() = default;

void TfmMacroGen::BuildNavigation() {
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("pnlNavigation"));
    strip->setGeometry(0, kClientHeight - kStripHeight, kClientWidth, kStripHeight);
    auto* bevel = new QFrame(strip);
    bevel->setObjectName(QStringLiteral("bvlNavigation"));
    bevel->setGeometry(0, 0, kClientWidth, 2);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    const auto button = [strip](const char* name, const QString& text, int left) {
        auto* b = new QPushButton(text, strip);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 23, 65, 21);
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
    press(QKeySequence(Qt::Key_F1), m_cmdNavHelp);
}

void TfmMacroGen::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && mods == Qt::NoModifier) {
        QPushButton* target = m_cmdNavNext->isEnabled() ? m_cmdNavNext : m_cmdNavFinished;
        if (target->isEnabled()) {
            target->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmMacroGen::FormCreate() {
    // 1. Swallow the plug-in manager's message 1124 while the window exists (Windows only;
    //    elsewhere no such message arrives).
#ifdef Q_OS_WIN
    m_hook = std::make_unique<AppWindowHook>(winId());
#endif
    // 2. to 6. The IDE's folder, when the user has named one, is among the places the IDE's
    //    library is looked for.
    ide::SetIdeFolder(CorePath(ReadIdeFolder()));
    ConnectToIde();
    // 7.
    m_page1->FillReturnList();
    // 8. Pages 0 to 6 in order; page 0 first.
    m_pages = {m_page0, m_page1, m_page2, m_page3, m_page4, m_page5, m_page6};
    m_state.CurrentPage = 0;
    ShowPage();
    // 9.
    setWindowTitle(QStringLiteral("Vorlan Macro Generator"));
    for (WizardPage* page : m_pages) {
        page->move(0, 0);
    }
    // 10.
    m_page1->ClearMacroName();
    // 11.
    ApplySettings();
    // 12.
    m_state.CurrentParam = 1;
    m_state.ParamCount = 0;
    m_page2->Refresh();
    // 13.
    for (WizardPage* page : m_pages) {
        page->SetPageTexts();
    }
}

void TfmMacroGen::ConnectToIde() {
    ide::Connect(static_cast<std::intptr_t>(winId()));
    m_page3->SetGetLabelsEnabled(false);
    m_page2->SetGetVarsEnabled(false);
    m_ideConnected = ide::IsConnected();
    if (m_ideConnected) {
        m_page0->ShowConnected(true);
        // The IDE's page is scanned here only; later choices come from this one scan.
        if (ide::LoadPageText()) {
            m_page3->SetGetLabelsEnabled(ide::FindLabels());
            m_page2->SetGetVarsEnabled(ide::FindVariables());
            m_page6->SetPasteEnabled(true);
            const std::int32_t core = ide::CurrentPageCore();
            m_definition.Header.Target = core == 14 ? 1 : core == 16 ? 2 : 0;
        }
    } else {
        m_page0->ShowConnected(false);
        m_page6->SetPasteEnabled(false);
    }
    m_page3->SetGetVarsEnabled(m_page2->GetVarsEnabled());
}

void TfmMacroGen::ApplySettings() {
    m_state.HighlighterSettings = ReadHighlighterSettings();
    const WizardSettings s = ReadWizardSettings();
    m_state.SaveFolder = s.FilePath;
    m_page6->SetUserMcdPath(s.UserMcdPath);
    m_page6->SetChoices({s.PasteMac, s.SaveMac, s.SaveHint, s.SaveSource, s.AddUserMcd});
    m_page1->SetTypeConversion(s.AllowTypeConv);
    m_page1->SetReturnIndex(s.ReturnInd);
    m_page1->SetSkeleton(s.NoCode);
    // Page 1 shows the stored choices when it is first entered.
    m_definition.Header.ReturnMethod = m_page1->ReturnIndex();
    m_definition.Header.Skeleton = m_page1->Skeleton();
}

WizardSettings TfmMacroGen::CurrentSettings() const {
    const OutputChoices out = m_page6->Choices();
    WizardSettings s;
    s.FilePath = m_state.SaveFolder;
    s.PasteMac = out.PasteCode;
    s.SaveMac = out.SaveCode;
    s.SaveHint = out.SaveHint;
    s.SaveSource = out.SaveSource;
    s.AllowTypeConv = m_page1->TypeConversion();
    s.ReturnInd = m_page1->ReturnIndex();
    s.NoCode = m_page1->Skeleton();
    s.AddUserMcd = out.AddUserMcd;
    s.UserMcdPath = m_page6->UserMcdPath();
    return s;
}

bool TfmMacroGen::StoreSettings() const {
    return WriteWizardSettings(CurrentSettings());
}

bool TfmMacroGen::CheckPage() {
    return m_pages[static_cast<std::size_t>(m_state.CurrentPage)]->Check();
}

void TfmMacroGen::CommitPage() {
    m_pages[static_cast<std::size_t>(m_state.CurrentPage)]->Commit();
}

void TfmMacroGen::EnterPage() {
    m_pages[static_cast<std::size_t>(m_state.CurrentPage)]->Enter();
}

void TfmMacroGen::ShowPage() {
    const int current = m_state.CurrentPage;
    for (WizardPage* page : m_pages) {
        page->setVisible(page->Index() == current);
    }
    m_cmdNavBack->setEnabled(current > 0);
    m_cmdNavNext->setEnabled(current < kPageCount - 1);
    m_cmdNavFinished->setEnabled(current == kPageCount - 1);
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
    const FinishContent content{*m_page4->CodeBox()->document(),
                                m_page5->HintBox()->document()->toRawText(), m_state.ParamCount,
                                m_definition};
    if (RunFinish(m_page6->Plan(ide::IsConnected()), content, m_dialogs, this) !=
        FinishOutcome::Done) {
        return;
    }
    StoreSettings();
    close();
}

void TfmMacroGen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centred) {
        return;
    }
    m_centred = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace vmg::wizard
