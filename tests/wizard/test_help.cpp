// Help keeps up with the program: every push button, check box, radio button and captioned box
// the user sees is described, under its caption, in the topic that F1 opens where it is seen.
#include "WizardFixture.h"

#include "HelpWindow.h"
#include "MacSourceReadWrite.h"
#include "QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace vmg::wizard::test {
namespace {

// Controls whose caption is a value rather than a name the help can use, each with its reason,
// as {objectName, reason}. None today: the IDE state and the file names are labels of no box,
// which the check does not take.
const std::vector<std::pair<QString, QString>> kExempt = {};

// The buttons that open a tool window, and the page they are on.
const struct {
    int page;
    const char* button;
} kToolWindows[] = {
    {1, "cmdPreview"},
    {4, "cmdCheckCall"},
};

bool Exempt(const QWidget* w) {
    return std::any_of(kExempt.begin(), kExempt.end(),
                       [w](const auto& e) { return w->objectName() == e.first; });
}

// The caption as the user reads it: no mnemonic marks, no closing colon; empty for a control
// the check does not take.
QString Caption(const QWidget* w) {
    QString text;
    if (qobject_cast<const QPushButton*>(w) != nullptr ||
        qobject_cast<const QCheckBox*>(w) != nullptr ||
        qobject_cast<const QRadioButton*>(w) != nullptr) {
        text = static_cast<const QAbstractButton*>(w)->text();
    } else if (const auto* label = qobject_cast<const QLabel*>(w);
               label != nullptr && label->buddy() != nullptr) {
        text = label->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        text = group->title();
    }
    text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(u'&').replace(u'\x01', u'&');
    text = text.simplified();
    if (text.endsWith(u':')) {
        text.chop(1);
    }
    return text;
}

// A topic's text as the help window shows it, with its spaces made plain.
QString TopicText(int topic) {
    const QUrl url = HelpTopicUrl(topic);
    QFile file(QStringLiteral(":") + url.path());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << url.toString().toStdString();
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    return doc.toPlainText().replace(QChar::Nbsp, u' ').simplified();
}

class HelpTest : public WizardTest {
protected:
    // F1 in `window`, and the topic it opened (0 for none, which fails).
    int PressF1(QWidget* window) {
        // Headless, asking is not enough for the window to become the active one.
        QApplication::setActiveWindow(window);
        EXPECT_EQ(QApplication::activeWindow(), window) << window->objectName().toStdString();
        m_dialogs.HelpTopics.clear();
        QWidget* focus = window->focusWidget() != nullptr ? window->focusWidget() : window;
        QTest::keyClick(focus, Qt::Key_F1);
        EXPECT_EQ(m_dialogs.HelpTopics.size(), 1u)
            << "F1 in " << window->objectName().toStdString() << " asked for "
            << m_dialogs.HelpTopics.size() << " topics";
        return m_dialogs.HelpTopics.empty() ? 0 : m_dialogs.HelpTopics.back();
    }

    // Every visible captioned control of `window` not checked before must be in the topic F1
    // opens there.
    void CheckWindow(QWidget* window, const QString& where) {
        const int topic = PressF1(window);
        const QString text = topic != 0 ? TopicText(topic) : QString();
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString caption = Caption(w);
            if (!w->isVisible() || w->window() != window || caption.isEmpty() || Exempt(w) ||
                m_checked.contains(w)) {
                continue;
            }
            m_checked.insert(w);
            EXPECT_TRUE(text.contains(caption, Qt::CaseSensitive))
                << where.toStdString() << ": " << w->objectName().toStdString() << " \""
                << caption.toStdString() << "\" is not in help topic " << topic;
        }
    }

    // The tool windows open now, each once.
    void CheckToolWindows(const QString& where) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            // Windows of the wizard's own, not the tips and lists that Qt shows as windows.
            const bool tool = w->windowType() == Qt::Window || w->windowType() == Qt::Tool;
            if (w != &Window() && tool && w->isVisible() && !m_checked.contains(w)) {
                m_checked.insert(w);
                CheckWindow(w, where + QStringLiteral(", ") + w->objectName());
                w->close();
            }
        }
    }

    QSet<QWidget*> m_checked;
};

// Every page with the most it can show: a macro that returns through a parameter (the return
// boxes, the Check a Call window's return argument), the parameter editor's every row.
TEST_F(HelpTest, EveryControlSeenIsDescribedInTheTopicF1OpensThere) {
    codegen::MacroDefinition def;
    def.Header = {"AddNums", 2, 1, false, "Adds two numbers", 2};
    def.Params[0] = {"First", 2, "ArgA", false, false};
    def.Params[1] = {"Second", 3, "ArgB", false, false};
    def.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    Start();
    for (int page = 0; page < kPageCount; ++page) {
        NextTo(page);
        if (page == 1) {
            OpenSource(QByteArray::fromStdString(*macsource::MacroSourceText(def, 2)));
        }
        const QString where = QStringLiteral("page %1").arg(page);
        CheckWindow(&Window(), where);
        for (const auto& t : kToolWindows) {
            if (t.page == page) {
                Click(t.button);
            }
        }
        CheckToolWindows(where);
    }
    EXPECT_GT(m_checked.size(), 40) << "too few controls seen: the walk went wrong";
}

#ifndef Q_OS_WIN
// The folder browser (the system's own dialog on Windows) opens its own topic on F1, in a
// window the modal browser does not block, and its controls are in it.
TEST_F(HelpTest, TheFolderBrowserOpensItsOwnTopic) {
    QWidget owner;
    owner.show();
    QtDialogs dialogs;
    QStringList missing;
    QString page;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog, Qt::Key_F1);
        auto* help = dialog->findChild<HelpWindow*>();
        ASSERT_NE(help, nullptr);
        page = help->CurrentPage().fileName();
        EXPECT_TRUE(help->isVisible());
        // A window of the modal dialog's own, which the dialog does not block.
        EXPECT_EQ(help->parentWidget(), dialog);
        QTest::keyClick(dialog, Qt::Key_F1);
        EXPECT_EQ(dialog->findChildren<HelpWindow*>().size(), 1) << "a second F1 opened another";
        const QString text = TopicText(kHelpTopicFolderBrowser);
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const QString caption = Caption(w);
            if (w->isVisible() && w->window() == dialog && !caption.isEmpty() &&
                !text.contains(caption)) {
                missing << w->objectName() + QStringLiteral(" \"") + caption + u'"';
            }
        }
        dialog->close();
    });
    EXPECT_FALSE(dialogs.BrowseForFolder(&owner, TempPath()).has_value());
    EXPECT_EQ(page, QStringLiteral("topic%1.html").arg(kHelpTopicFolderBrowser));
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u", ").toStdString();
}
#endif

} // namespace
} // namespace vmg::wizard::test
