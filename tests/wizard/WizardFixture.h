// The common ground of the wizard tests: settings, session and files in a fresh temporary
// folder, the definition reset, the window under test and the scripted dialogs.
#pragma once

#include "ScriptedDialogs.h"
#include "VorlanMacGen.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <utility>

class QComboBox;

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace vmg::wizard::test {

using Values = std::initializer_list<std::pair<const char*, QVariant>>;

// The texts of a drop-down list's entries, in order.
QStringList Items(const QComboBox* combo);

// A program of the build (vmacgen, the wizard) from the folder the tests run in.
QString BuiltProgram(const char* fileName);

// Whether text is measured as the system shows it. On Windows the headless (offscreen) platform
// measures with FreeType, whose widths differ from the system's; those checks run on Qt's
// windows platform instead.
bool MeasuresAsShown();

class WizardTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window, which runs the whole start-up.
    TfmMacroGen& Start();
    // A second run in the same test: the window closed, the definition and the IDE link reset;
    // the settings and the session stay as they are.
    TfmMacroGen& StartAgain();
    TfmMacroGen& Window() { return *m_window; }
    // Destroys the window, as closing the program's main window does.
    void Destroy() { m_window.reset(); }
    const WizardState& State() const { return m_window->State(); }

    // A control by name. The wizard builds a page when it is first entered; a control of a
    // page not built yet builds the pages, so that a test can look at what start-up put there
    // without walking (which would run the pages' entry steps).
    template <typename T> T* Find(const char* name) {
        T* found = m_window->findChild<T*>(QLatin1String(name));
        if (found == nullptr && m_window->PagesBuilt() < kPageCount) {
            m_window->BuildAllPages();
            found = m_window->findChild<T*>(QLatin1String(name));
        }
        EXPECT_NE(found, nullptr) << "no control named " << name;
        return found;
    }
    // Shown on its page: not hidden itself nor inside a hidden group (the page may be hidden).
    bool ShownOnPage(const char* name);

    void Click(const char* name);
    void Next() { Click("cmdNavNext"); }
    void Back() { Click("cmdNavBack"); }
    // Replaces a text box's content the way a user would: select all, then type.
    void Type(const char* name, const QString& text);
    // Selects the entry `text` of a drop-down list, as a user would pick it.
    void ChooseIn(const char* combo, const QString& text);
    // Next until `page`, giving each page the least it needs to pass.
    void NextTo(int page);

    // A file in the temporary folder; returns its full path.
    QString WriteFile(const QString& name, const QByteArray& content);
    // Loads a macro source file with "&Open..." (the window must be on page 1).
    void OpenSource(const QByteArray& content);

    // The IDE's editor page, seen through our plug-in manager library.
    void WriteSession(int core, const QByteArray& pageText);

    // Settings stored as the IDE and an earlier run of the wizard would leave them.
    void StoreWizardSettings(Values values);
    void StoreHighlighterSettings(Values values);
    // The wizard's settings file written verbatim, for values no writer would produce.
    void WriteWizardSettingsText(const QByteArray& ini);
    QString WizardSettingsFile() const;
    // Everything the wizard has stored, for comparing before and after (the file's bytes, or
    // on Windows the registry key's values with their types); empty when nothing is stored.
    QByteArray StoredWizardSettings() const;
    // One stored value as text (a number in decimal); empty when it is missing.
    QString StoredWizardValue(const char* name) const;

    QString TempPath() const { return m_dir.path(); }

    ScriptedDialogs m_dialogs;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TfmMacroGen> m_window;
    QByteArray m_oldRuntimeDir;
    QByteArray m_oldHome;
};

} // namespace vmg::wizard::test
