// Page 1's controls, its check, commit and entry, the target buttons and Open....
#include "Page1Macro.h"

#include "ChooseMacro.h"
#include "MacSourceReadWrite.h"
#include "MacroCodeGenerator.h"
#include "MacroImport.h"
#include "Text1252.h"
#include "TypeLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComplex>

#include <algorithm>

namespace vmg::wizard {

namespace {

// The definition keeps CR LF line ends; the edit box works with LF.
QString DescriptionForEditor(const std::string& description) {
    QString text = FromCp1252(description);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

std::string DescriptionFromEditor(const QString& text) {
    QString crlf = text;
    crlf.replace(u'\n', QLatin1String("\r\n"));
    return ToCp1252(crlf);
}

// The return list is only 73 pixels wide: with the usual arrow button "Parameter" does not
// fit. A narrower arrow gives the text the room, without moving or resizing the control.
class NarrowArrowStyle final : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox) {
            return r;
        }
        constexpr int kArrow = 13;
        const QRect all = option->rect;
        if (sub == SC_ComboBoxArrow) {
            r = QRect(all.right() - kArrow + 1, all.top(), kArrow, all.height());
        } else if (sub == SC_ComboBoxEditField) {
            r = QRect(all.left() + 2, all.top() + 2, all.width() - kArrow - 3, all.height() - 4);
        }
        return r;
    }
};

} // namespace

Page1Macro::Page1Macro(PageContext context, QWidget* parent) : WizardPage(1, context, parent) {
    AddIllustration();
    m_lblStep1 = AddPageText("lblStep1", 160, 16, 289, 130);
    m_cmdReload = MakeButton(this, "cmdReload", QStringLiteral("&Open..."), 16, 152, 65, 21);
    MakeLabel(this, "lblMacroNameCaption", QStringLiteral("Name"), 152, 155);
    m_txtMacroName = MakeEdit(this, "txtMacroName", 184, 152, 129);
    MakeLabel(this, "lblReturnCaption", QStringLiteral("Return"), 338, 155);
    m_cboReturn = MakeCombo(this, "cboReturn", 376, 152, 73, true);
    auto* narrow = new NarrowArrowStyle;
    // Owned by the page, so that it outlives the list and everything inside the list.
    narrow->setParent(this);
    m_cboReturn->setStyle(narrow);
    m_cboReturn->lineEdit()->setTextMargins(0, 0, 0, 0);
    m_memoDescription = new QPlainTextEdit(this);
    m_memoDescription->setObjectName(QStringLiteral("memoDescription"));
    m_memoDescription->setGeometry(184, 184, 265, 89);
    m_memoDescription->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memoDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoDescription->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoDescription->setTabChangesFocus(true);
    m_chkTypeConvOn = MakeCheckBox(this, "chkTypeConvOn", QStringLiteral("Allow Type Conversion"),
                                   16, 248, 137, 17);
    MakeLabel(this, "lblTargetCaption", QStringLiteral("Target PIC"), 126, 281);
    m_optTgt14 = MakeRadio(this, "OptTgt14", QStringLiteral("14 Bit"), 184, 280, 53, 17);
    m_optTgt16 = MakeRadio(this, "optTgt16", QStringLiteral("16 Bit"), 240, 280, 53, 17);
    m_optTgtBoth = MakeRadio(this, "optTgtBoth", QStringLiteral("Both"), 296, 280, 53, 17);
    m_optTgtBoth->setChecked(true);
    m_chkNoCode =
        MakeCheckBox(this, "chkNoCode", QStringLiteral("Build Skeleton"), 360, 280, 97, 17);

    // The target buttons keep TargetChoice equal to the chosen button, also when the entry
    // step chooses one by program.
    const auto follow = [this](QRadioButton* button, int target) {
        connect(button, &QRadioButton::toggled, this, [this, target](bool on) {
            if (on) {
                State().TargetChoice = target;
            }
        });
    };
    follow(m_optTgtBoth, 0);
    follow(m_optTgt14, 1);
    follow(m_optTgt16, 2);
    SetBuddy("lblMacroNameCaption", m_txtMacroName);
    SetBuddy("lblReturnCaption", m_cboReturn);
    SetBuddy("lblTargetCaption", m_optTgt14);
    connect(m_chkTypeConvOn, &QCheckBox::toggled, this, &Page1Macro::typeConversionChanged);
    connect(m_cmdReload, &QPushButton::clicked, this, &Page1Macro::cmdReloadClick);
}

void Page1Macro::SetPageTexts() {
    m_lblStep1->setText(QStringLiteral(
        "Enter the name you wish to call the Macro and a description of the Macro's "
        "function.\r\n\nChoose the method of Return (if required).\r\nIn-Line takes the form "
        "Var = Macro, Arg, Arg.\r\nLast Param places the return in the last parameter in the "
        "list.\r\n\nIf you prefer to write your own code to be executed by the Macro tick "
        "\"Build Skeleton\""));
}

void Page1Macro::FillReturnList() {
    m_cboReturn->clear();
    m_cboReturn->addItems(
        {QStringLiteral("None"), QStringLiteral("In-Line"), QStringLiteral("Parameter")});
}

void Page1Macro::ClearMacroName() {
    m_txtMacroName->clear();
}

int Page1Macro::ReturnIndex() const {
    const QString text = m_cboReturn->currentText();
    const int index = m_cboReturn->currentIndex();
    if (index >= 0 && m_cboReturn->itemText(index) == text) {
        return index;
    }
    return m_cboReturn->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void Page1Macro::SetReturnIndex(int index) {
    m_cboReturn->setCurrentIndex(index >= 0 && index < m_cboReturn->count() ? index : -1);
}

bool Page1Macro::TypeConversion() const {
    return m_chkTypeConvOn->isChecked();
}

void Page1Macro::SetTypeConversion(bool on) {
    m_chkTypeConvOn->setChecked(on);
}

bool Page1Macro::Skeleton() const {
    return m_chkNoCode->isChecked();
}

void Page1Macro::SetSkeleton(bool on) {
    m_chkNoCode->setChecked(on);
}

QString Page1Macro::SourceFileFilter() {
    return QStringLiteral(
        "Macro Source Files (*.mcs);;Code Files (*.bas *.inc *.txt *.rtf);;All Files (*)");
}

namespace {

QString TargetCaption(int target) {
    switch (target) {
    case 1:
        return QStringLiteral("14 Bit");
    case 2:
        return QStringLiteral("16 Bit");
    default:
        return QStringLiteral("Both");
    }
}

} // namespace

QString Page1Macro::LostTypes() const {
    // A type the new target lacks would give its kind test no condition; a type the old one
    // lacked too is for page 2 or 3 to ask for.
    const TypeLists before = BuildTypeLists(Definition().Header.Target);
    const TypeLists after = BuildTypeLists(State().TargetChoice);
    QStringList lost;
    const int count = std::min(State().ParamCount, codegen::kMaxParams);
    for (int k = 1; k <= count; ++k) {
        const codegen::ArgData& a = Definition().Params[static_cast<std::size_t>(k - 1)];
        const QString label = OfferedLabel(before.Params, a.DataType);
        if (!label.isEmpty() && OfferedLabel(after.Params, a.DataType).isEmpty()) {
            lost << ParamTitle(k, a.ArgName) + QStringLiteral(": ") + label;
        }
    }
    const int code = Definition().Return.RetArg.DataType;
    const QString label = OfferedLabel(before.Returns, code);
    if (ReturnIndex() > 0 && !label.isEmpty() && OfferedLabel(after.Returns, code).isEmpty()) {
        lost << QStringLiteral("Return Value: ") + label;
    }
    if (lost.isEmpty()) {
        return {};
    }
    return QStringLiteral("The Target PIC %1 has no data type for\n%2\n\nKeep "
                          "the Target PIC, or change these data types first")
        .arg(TargetCaption(State().TargetChoice), lost.join(u'\n'));
}

QString Page1Macro::Refusal() const {
    if (!codegen::IsValidName(ToCp1252(m_txtMacroName->text()))) {
        return QStringLiteral("You must enter a valid name for your macro to continue");
    }
    const QString description = DescriptionRefusal();
    return description.isEmpty() ? LostTypes() : description;
}

QString Page1Macro::DescriptionRefusal() const {
    return Cp1252Refusal(m_memoDescription->toPlainText(), QStringLiteral("The description"));
}

bool Page1Macro::Check() {
    const QString refusal = Refusal();
    if (refusal.isEmpty()) {
        return true;
    }
    Ui().Information(this, refusal);
    if (refusal == DescriptionRefusal()) {
        m_memoDescription->setFocus();
    }
    return false;
}

void Page1Macro::Commit() {
    CommitTo(Definition().Header);
}

QString Page1Macro::Draft(codegen::MacroDefinition& draft, int& /*count*/) const {
    CommitTo(draft.Header);
    return Refusal();
}

void Page1Macro::CommitTo(codegen::MacGen& header) const {
    header.MacroName = ToCp1252(m_txtMacroName->text());
    header.ReturnMethod = ReturnIndex();
    header.Target = State().TargetChoice;
    header.Skeleton = m_chkNoCode->isChecked();
    header.Description = DescriptionFromEditor(m_memoDescription->toPlainText());
}

QWidget* Page1Macro::FirstField() const {
    return m_txtMacroName;
}

void Page1Macro::Enter() {
    const codegen::MacGen& header = Definition().Header;
    m_txtMacroName->setText(FromCp1252(header.MacroName));
    m_memoDescription->setPlainText(DescriptionForEditor(header.Description));
    switch (header.Target) {
    case 0:
        m_optTgtBoth->setChecked(true);
        break;
    case 1:
        m_optTgt14->setChecked(true);
        break;
    case 2:
        m_optTgt16->setChecked(true);
        break;
    default:
        break; // a target no button stands for leaves the buttons as they are
    }
    m_chkNoCode->setChecked(header.Skeleton);
    SetReturnIndex(header.ReturnMethod);
}

namespace {

std::string NativePath(const QString& path) {
    return CorePath(QDir::toNativeSeparators(path));
}

bool IsCodeFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"bas" || suffix == u"inc" || suffix == u"txt" || suffix == u"rtf";
}

// The macro's keyword block: NAME_hnt.dat beside the code file first, then USER.MCD.
std::optional<macimport::KeywordHint> FindHint(const QString& codeFile, const std::string& name,
                                               const QString& userMcd) {
    const QString beside =
        QFileInfo(codeFile).dir().filePath(FromCp1252(name) + QStringLiteral("_hnt.dat"));
    for (const QString& path : {beside, userMcd}) {
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            continue;
        }
        const macimport::FileBytes read = macimport::ReadTextFile(NativePath(path));
        if (!read.Ok) {
            continue;
        }
        if (auto hint = macimport::FindKeywordHint(read.Bytes, name,
                                                   ToCp1252(QFileInfo(path).fileName()))) {
            return hint;
        }
    }
    return std::nullopt;
}

} // namespace

void Page1Macro::cmdReloadClick() {
    const auto chosen = Ui().OpenFile(this, State().SaveFolder, SourceFileFilter());
    if (chosen) {
        OpenFile(*chosen);
    }
}

void Page1Macro::OpenFile(const QString& path) {
    if (IsCodeFile(path)) {
        ImportCode(path);
        return;
    }
    // The core's reader: only a regular file, and no larger than a macro source file can be,
    // so a folder, a FIFO or a device neither hangs nor floods the wizard.
    std::string bytes;
    const auto opened = macsource::ReadMacroSourceBytes(NativePath(path), bytes);
    if (!opened.ok) {
        Ui().Error(this, FromCoreText(opened.message));
        return;
    }
    LoadSourceText(bytes, QDir::toNativeSeparators(path));
    State().Origin.reset();
}

void Page1Macro::LoadSourceText(const std::string& bytes, const QString& fileName) {
    // A file that stops half-way (a malformed flag) must not leave the definition half
    // replaced, so it is read into a copy that is taken only when the whole file was read.
    codegen::MacroDefinition loaded = Definition();
    const auto result = macsource::ReadMacroSourceText(bytes, loaded);
    if (!result.ok) {
        Ui().Error(this, FromCp1252(result.message));
        return;
    }
    // Only a file the user chose is judged so: a macro imported from a code file always has a
    // header, and a name outside the rule is left for page 1's check to ask about.
    const auto why =
        fileName.isEmpty() ? std::nullopt : macsource::WhyNotMacroSource(result, loaded);
    if (why) {
        Ui().Error(
            this,
            QStringLiteral("%1 is not a macro source file: %2").arg(fileName, FromCp1252(*why)));
        return;
    }
    Definition() = loaded;
    State().ParamCount = result.count;
    State().CurrentParam = 1;
    emit macroSourceLoaded();
    Enter();
    TellLoadNotes(result.dropped);
}

void Page1Macro::TellLoadNotes(int dropped) {
    QStringList notes;
    if (dropped > 0) {
        notes << FromCp1252(macsource::DroppedRecordsNote(dropped)) + u'.';
    }
    // What pages 2 and 3 will show with no type selected: the target (as the buttons now
    // show it) lacks the type.
    const TypeLists lists = BuildTypeLists(State().TargetChoice);
    QStringList untyped;
    for (int k = 1; k <= State().ParamCount; ++k) {
        const codegen::ArgData& a = Definition().Params[static_cast<std::size_t>(k - 1)];
        if (OfferedLabel(lists.Params, a.DataType).isEmpty()) {
            untyped << ParamTitle(k, a.ArgName) + QStringLiteral(": ") +
                           TypeTitle(a.DataType, false);
        }
    }
    const int code = Definition().Return.RetArg.DataType;
    if (Definition().Header.ReturnMethod > 0 && code > 0 &&
        OfferedLabel(lists.Returns, code).isEmpty()) {
        untyped << QStringLiteral("Return Value: ") + TypeTitle(code, true);
    }
    if (!untyped.isEmpty()) {
        notes << QStringLiteral("The Target PIC %1 has no data type for\n%2\n\nChoose their "
                                "data types on the next pages")
                     .arg(TargetCaption(State().TargetChoice), untyped.join(u'\n'));
    }
    if (!notes.isEmpty()) {
        Ui().Information(this, notes.join(QStringLiteral("\n\n")));
    }
}

void Page1Macro::ImportCode(const QString& path) {
    const macimport::FileBytes read = macimport::ReadTextFile(NativePath(path));
    if (!read.Ok) {
        Ui().Error(this, FromCoreText(read.Message));
        return;
    }
    const std::string text = macimport::CodeText(read.Bytes);
    const auto places = macimport::FindMacros(text);
    const QString fileName = QFileInfo(path).fileName();
    if (places.empty()) {
        Ui().Error(this, QStringLiteral("No macro was found in \"%1\".").arg(fileName));
        return;
    }
    std::size_t index = 0;
    if (places.size() > 1) {
        QStringList names;
        for (const auto& p : places) {
            names << QStringLiteral("%1 (line %2)").arg(FromCp1252(p.Name)).arg(p.HeaderLine);
        }
        const auto row = ChooseMacro(this, fileName, names);
        if (!row) {
            return;
        }
        index = static_cast<std::size_t>(*row);
    }
    const macimport::MacroPlace& place = places[index];
    QString userMcd;
    emit keywordFileWanted(userMcd);
    const auto hint = FindHint(path, place.Name, userMcd);
    const macimport::ImportResult r = macimport::ImportMacro(text, place, hint ? &*hint : nullptr);
    const QString refused = QStringLiteral("The macro %1 in \"%2\" cannot be opened. ")
                                .arg(FromCp1252(place.Name), fileName);
    if (!r.Ok) {
        Ui().Error(this, refused + FromCp1252(r.Message));
        return;
    }
    // Through the macro source reader, so that the pages take it as they take a .mcs file.
    std::string why;
    const auto source = macimport::SourceFileText(r, why);
    if (!source) {
        Ui().Error(this, refused + FromCp1252(why));
        return;
    }
    LoadSourceText(*source);
    // A plain code file can take the macro back where it stood; a saved _mac.rtf cannot.
    State().Origin.reset();
    if (text == read.Bytes) {
        State().Origin = CodeOrigin{
            path, upgrade::OriginOf(text, place.FirstOffset, r.FirstLine, r.LastLine, place.Name)};
    }
    // The macro will not be written as it stood: say so.
    for (const std::string& note : r.Notes) {
        if (r.OldBounds && note.starts_with("count checks:")) {
            Ui().Information(this, FromCp1252(note));
        }
    }
}

} // namespace vmg::wizard
