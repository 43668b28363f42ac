// The wizard test fixture.
#include "WizardFixture.h"

#include "IDE_Info.h"
#include "MacroCodeGenerator.h"
#include "WizardPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <cstring>

#ifdef Q_OS_WIN
#include "WindowsRegistry.h"
#endif

namespace vmg::wizard::test {

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

bool MeasuresAsShown() {
#ifdef Q_OS_WIN
    return QGuiApplication::platformName() == QLatin1String("windows");
#else
    return true;
#endif
}

QString BuiltProgram(const char* fileName) {
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(fileName);
}

void WizardTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
#ifdef Q_OS_WIN
    // The registry is shared by every test: each starts without the two keys. That is only
    // for a registry of the test run's own (Wine's, in the build tree), or when told.
    if (!registry::UnderWine() && qgetenv("VMG_TESTS_MAY_CLEAR_REGISTRY") != "1") {
        GTEST_SKIP() << "would clear this user's wizard and IDE settings; set "
                        "VMG_TESTS_MAY_CLEAR_REGISTRY=1 to run on a machine of its own";
    }
    registry::DeleteWizardKeys();
#endif
    QDir root(m_dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("run")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("home")));
    QFile::setPermissions(root.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_oldRuntimeDir = qgetenv("XDG_RUNTIME_DIR");
    m_oldHome = qgetenv("HOME");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath(QStringLiteral("run"))));
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    const QString config = root.filePath(QStringLiteral("config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    // Where the settings readers look before QSettings opens a file: the same folder.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    codegen::ResetModule();
    ide::ResetForTests();
}

void WizardTest::TearDown() {
    m_window.reset();
    qputenv("XDG_RUNTIME_DIR", m_oldRuntimeDir);
    qputenv("HOME", m_oldHome);
}

TfmMacroGen& WizardTest::Start() {
    m_window = std::make_unique<TfmMacroGen>(m_dialogs);
    m_window->show();
    return *m_window;
}

TfmMacroGen& WizardTest::StartAgain() {
    m_window.reset();
    codegen::ResetModule();
    ide::ResetForTests();
    return Start();
}

bool WizardTest::ShownOnPage(const char* name) {
    QWidget* widget = Find<QWidget>(name);
    for (QWidget* w = widget; w != nullptr && w != m_window.get(); w = w->parentWidget()) {
        if (qobject_cast<WizardPage*>(w) != nullptr) {
            return true;
        }
        if (w->isHidden()) {
            return false;
        }
    }
    return true;
}

void WizardTest::Click(const char* name) {
    QAbstractButton* button = Find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void WizardTest::ChooseIn(const char* combo, const QString& text) {
    auto* box = Find<QComboBox>(combo);
    ASSERT_NE(box, nullptr);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << combo << ": " << text.toStdString();
    box->setCurrentIndex(index);
}

void WizardTest::Type(const char* name, const QString& text) {
    QWidget* target = Find<QWidget>(name);
    ASSERT_NE(target, nullptr);
    if (auto* combo = qobject_cast<QComboBox*>(target)) {
        target = combo->lineEdit();
        ASSERT_NE(target, nullptr) << name << " takes no typing";
    }
    auto* edit = qobject_cast<QLineEdit*>(target);
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(edit, ch.toLatin1());
        } else {
            // QTest maps ASCII only; other characters arrive as a key event carrying the text.
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

void WizardTest::NextTo(int page) {
    while (State().CurrentPage < page) {
        const int before = State().CurrentPage;
        if (before == 1 && Find<QLineEdit>("txtMacroName")->text().isEmpty()) {
            Type("txtMacroName", QStringLiteral("AddNums"));
        }
        if (before == 3) {
            if (Find<QComboBox>("cmbSubroutineName")->currentText().isEmpty()) {
                Type("cmbSubroutineName", QStringLiteral("AddSub"));
            }
            if (Find<QComboBox>("cmbRetVarName")->currentText().isEmpty()) {
                Type("cmbRetVarName", QStringLiteral("Total"));
            }
        }
        Next();
        ASSERT_EQ(State().CurrentPage, before + 1) << m_dialogs.Transcript().toStdString();
    }
}

QString WizardTest::WriteFile(const QString& name, const QByteArray& content) {
    const QString path = QDir(m_dir.path()).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    return path;
}

void WizardTest::OpenSource(const QByteArray& content) {
    m_dialogs.Paths.push_back(WriteFile(QStringLiteral("loaded.mcs"), content));
    Click("cmdReload");
}

void WizardTest::WriteSession(int core, const QByteArray& pageText) {
    const QString page = WriteFile(QStringLiteral("Main.bas"), pageText);
    const QByteArray session =
        "page=" + page.toUtf8() + "\ncore=" + QByteArray::number(core) + "\nline=3\ncolumn=1\n";
    WriteFile(QStringLiteral("run/vorlan-ide.session"), session);
}

void WizardTest::StoreWizardSettings(Values values) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillory"),
                QStringLiteral("VorlanMacroGenerator"));
    for (const auto& [name, value] : values) {
        s.setValue(QLatin1String(name), value);
    }
}

void WizardTest::StoreHighlighterSettings(Values values) {
#ifdef Q_OS_WIN
    // The IDE's key has no Software level above it.
    QSettings s(QStringLiteral("HKEY_CURRENT_USER\\Kelvrane\\VorlanIDE\\Options\\Highlighter"),
                QSettings::NativeFormat);
#else
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kelvrane"),
                QStringLiteral("VorlanIDE"));
    s.beginGroup(QStringLiteral("Options/Highlighter"));
#endif
    for (const auto& [name, value] : values) {
        s.setValue(QLatin1String(name), value);
    }
}

QString WizardTest::WizardSettingsFile() const {
    return QDir(m_dir.path()).filePath(QStringLiteral("config/Quillory/VorlanMacroGenerator.conf"));
}

void WizardTest::WriteWizardSettingsText(const QByteArray& ini) {
    QDir().mkpath(QFileInfo(WizardSettingsFile()).path());
    QFile file(WizardSettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ini);
}

QByteArray WizardTest::StoredWizardSettings() const {
#ifdef Q_OS_WIN
    return registry::Dump(registry::kWizardKey);
#else
    QFile file(WizardSettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
#endif
}

QString WizardTest::StoredWizardValue(const char* name) const {
#ifdef Q_OS_WIN
    const auto value = registry::Read(registry::kWizardKey, name);
    if (!value) {
        return {};
    }
    if (value->Kind == registry::Type::Dword && value->Data.size() == 4) {
        qint32 number = 0;
        std::memcpy(&number, value->Data.constData(), sizeof(number));
        return QString::number(number);
    }
    return QString::fromWCharArray(reinterpret_cast<const wchar_t*>(value->Data.constData()),
                                   static_cast<int>(value->Data.size() / sizeof(wchar_t)))
        .section(QChar(u'\0'), 0, 0);
#else
    return QSettings(WizardSettingsFile(), QSettings::IniFormat)
        .value(QLatin1String(name))
        .toString();
#endif
}

} // namespace vmg::wizard::test
