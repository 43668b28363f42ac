// The folder browser driven as a user drives it: OK and Cancel, the OK button for folders and
// for everything else, the selection and position events, and the dialog's optional parts.
#include "WizardFixture.h"

#include "BrwsFldr.h"
#include "QtDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <ostream>
#include <vector>

namespace vmg::wizard::test {
namespace {

QPushButton* OkButton(QFileDialog& dialog) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    return box != nullptr ? box->button(QDialogButtonBox::Open) : nullptr;
}

// Lets the dialog finish what a change of directory or selection set off.
void Settle() {
    QCoreApplication::processEvents();
}

// Runs `drive` on the dialog once Execute has shown it; a dialog left open is cancelled.
void WhenShown(const std::function<void(QFileDialog&)>& drive) {
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no folder dialog";
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        drive(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

// Records what reaches the derived class, after the events' handlers.
class RecordingBrowser final : public TBrowseForFolder {
public:
    std::vector<QString> Paths;
    std::optional<bool> LastEnableOk;
    bool DialogWhileHandling = false;
    std::optional<QRect> Position;

protected:
    void DoSelChanged(const QString& path, bool& enableOk) override {
        Paths.push_back(path);
        LastEnableOk = enableOk;
        DialogWhileHandling = Dialog() != nullptr;
    }
    void DoSetPosition(int& left, int& top, int width, int height) override {
        Position = QRect(left, top, width, height);
    }
};

class BrowseForFolderTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        QDir root(TempPath());
        ASSERT_TRUE(root.mkpath(QStringLiteral("a/b")));
        WriteFile(QStringLiteral("file.txt"), "not a folder");
    }
    QString Path(const char* below) const {
        return QDir::toNativeSeparators(QDir(TempPath()).filePath(QLatin1String(below)));
    }
};

struct Choice {
    const char* name;
    std::function<void(QFileDialog&, const BrowseForFolderTest&)> act;
    bool result;
    const char* path; // Path afterwards, below the temporary folder
};

void PrintTo(const Choice& c, std::ostream* os) {
    *os << c.name;
}

class ChoiceTest : public BrowseForFolderTest, public ::testing::WithParamInterface<Choice> {
public:
    QString Dir(const char* below) const { return QDir(TempPath()).filePath(QLatin1String(below)); }
};

TEST_P(ChoiceTest, OkGivesTheSelectedFolderAndCancelKeepsThePath) {
    const Choice& c = GetParam();
    TBrowseForFolder browser;
    browser.SetPath(Path("a"));
    WhenShown([&](QFileDialog& d) { c.act(d, *this); });
    EXPECT_EQ(browser.Execute(), c.result);
    EXPECT_EQ(browser.Path(), Path(c.path));
}

const auto kOk = [](QFileDialog& d) { QTest::mouseClick(OkButton(d), Qt::LeftButton); };

const Choice kChoices[] = {
    {"OkAtTheStartFolder", [](QFileDialog& d, const BrowseForFolderTest&) { kOk(d); }, true, "a"},
    {"OkAfterEnteringASubfolder",
     [](QFileDialog& d, const BrowseForFolderTest& t) {
         d.setDirectory(static_cast<const ChoiceTest&>(t).Dir("a/b"));
         kOk(d);
     },
     true, "a/b"},
    {"OkOnASelectedSubfolder",
     [](QFileDialog& d, const BrowseForFolderTest& t) {
         d.selectFile(static_cast<const ChoiceTest&>(t).Dir("a/b"));
         kOk(d);
     },
     true, "a/b"},
    {"Cancel",
     [](QFileDialog& d, const BrowseForFolderTest& t) {
         d.setDirectory(static_cast<const ChoiceTest&>(t).Dir("a/b"));
         QTest::mouseClick(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                           Qt::LeftButton);
     },
     false, "a"},
    {"Escape",
     [](QFileDialog& d, const BrowseForFolderTest&) { QTest::keyClick(&d, Qt::Key_Escape); }, false,
     "a"},
};

INSTANTIATE_TEST_SUITE_P(Choices, ChoiceTest, ::testing::ValuesIn(kChoices),
                         [](const auto& info) { return std::string(info.param.name); });

// OK can be pressed exactly when the selection is an existing folder, unless the selection
// handler decides otherwise; the handler's decision also holds for OK itself.
TEST_F(BrowseForFolderTest, OkIsEnabledForFoldersUnlessTheHandlerDecides) {
    struct Case {
        const char* selected;
        bool folder;
    };
    const Case selections[] = {{"a/b", true}, {"file.txt", false}, {"a/missing", false}};
    const std::optional<bool> handlers[] = {std::nullopt, true, false};
    for (const Case& s : selections) {
        for (const std::optional<bool>& forced : handlers) {
            SCOPED_TRACE(std::string(s.selected) + " forced " +
                         (forced ? (*forced ? "on" : "off") : "-"));
            RecordingBrowser browser;
            browser.SetPath(Path(""));
            std::optional<bool> incoming;
            QString seen;
            if (forced) {
                browser.SetOnSelChanged(
                    [&](TBrowseForFolder* sender, const QString& path, bool& enableOk) {
                        EXPECT_EQ(sender, &browser);
                        seen = path;
                        incoming = enableOk;
                        enableOk = *forced;
                    });
            }
            const bool enabled = forced.value_or(s.folder);
            WhenShown([&](QFileDialog& d) {
                d.selectFile(QDir(TempPath()).filePath(QLatin1String(s.selected)));
                Settle();
                EXPECT_EQ(OkButton(d)->isEnabled(), enabled);
                QTest::mouseClick(OkButton(d), Qt::LeftButton);
            });
            EXPECT_EQ(browser.Execute(), enabled);
            EXPECT_EQ(browser.Path(), enabled ? Path(s.selected) : Path(""));
            EXPECT_EQ(browser.LastEnableOk, enabled) << "the derived class sees the handler's word";
            if (forced) {
                EXPECT_EQ(seen, Path(s.selected));
                EXPECT_EQ(incoming, s.folder);
            }
        }
    }
}

TEST_F(BrowseForFolderTest, EachNewSelectionIsReportedOnceFromTheStartFolderOn) {
    RecordingBrowser browser;
    browser.SetPath(Path("a"));
    WhenShown([&](QFileDialog& d) {
        for (const char* folder : {"a/b", "a/b", "a"}) {
            d.setDirectory(QDir(TempPath()).filePath(QLatin1String(folder)));
            Settle();
        }
    });
    EXPECT_FALSE(browser.Execute());
    EXPECT_EQ(browser.Paths, (std::vector<QString>{Path("a"), Path("a/b"), Path("a")}));
    EXPECT_TRUE(browser.DialogWhileHandling);
}

TEST_F(BrowseForFolderTest, APositionHandlerMovesTheDialogOnlyWhenItChangesThePlace) {
    for (const QPoint shift : {QPoint(0, 0), QPoint(10, 20)}) {
        SCOPED_TRACE(shift.x());
        RecordingBrowser browser;
        browser.SetPath(Path("a"));
        std::optional<QRect> given;
        browser.SetOnSetPosition(
            [&](TBrowseForFolder*, int& left, int& top, int width, int height) {
                given = QRect(left, top, width, height);
                left += shift.x();
                top += shift.y();
            });
        WhenShown([&](QFileDialog& d) {
            ASSERT_TRUE(given.has_value());
            EXPECT_EQ(given->size(), d.frameGeometry().size());
            EXPECT_EQ(d.frameGeometry().topLeft(), given->topLeft() + shift);
            // Qt marks a window that was placed by a call to move.
            EXPECT_EQ(d.testAttribute(Qt::WA_Moved), !shift.isNull());
        });
        EXPECT_FALSE(browser.Execute());
        ASSERT_TRUE(browser.Position.has_value());
        EXPECT_EQ(browser.Position->topLeft(), given->topLeft() + shift) << "after the handler";
    }
}

TEST_F(BrowseForFolderTest, TitleStatusTextEditBoxAndDialogStyle) {
    struct Case {
        const char* title;
        const char* status;
        bool newStyle;
        bool editBox;
    };
    const Case cases[] = {
        {"", "", false, false},
        {"Where the files go", "", false, true},
        {"", "Pick a folder", true, false}, // the new style still shows the status line
        {"Where the files go", "Pick a folder", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + "|" + c.status);
        TBrowseForFolder browser;
        browser.SetTitle(QLatin1String(c.title));
        browser.SetStatusText(QLatin1String(c.status));
        browser.SetNewDialogStyle(c.newStyle);
        browser.SetEditBox(c.editBox);
        WhenShown([&](QFileDialog& d) {
            auto* title = d.findChild<QLabel*>(QStringLiteral("lblTitle"));
            auto* status = d.findChild<QLabel*>(QStringLiteral("lblStatus"));
            auto* list = d.findChild<QWidget*>(QStringLiteral("listView"));
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(title != nullptr && title->isVisible(), *c.title != '\0');
            EXPECT_EQ(status != nullptr && status->isVisible(), *c.status != '\0');
            if (title != nullptr) {
                EXPECT_EQ(title->text(), QLatin1String(c.title));
                EXPECT_LT(title->mapTo(&d, QPoint()).y(), list->mapTo(&d, QPoint()).y());
            }
            if (status != nullptr) {
                EXPECT_EQ(status->text(), QLatin1String(c.status));
                EXPECT_GT(status->mapTo(&d, QPoint()).y(), list->mapTo(&d, QPoint()).y());
            }
            EXPECT_EQ(d.minimumSize() != d.maximumSize(), c.newStyle) << "resizable";
            EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->isVisible(),
                      c.editBox);
            EXPECT_EQ(OkButton(d)->text(), QStringLiteral("OK"));
        });
        EXPECT_FALSE(browser.Execute());
    }
}

// Windows gives the main window the system's own folder dialog (test_windows.cpp).
#ifndef Q_OS_WIN
TEST_F(BrowseForFolderTest, TheProductionBrowserStartsAtTheFolderAndGivesTheChoice) {
    QtDialogs dialogs;
    WhenShown([&](QFileDialog& d) {
        EXPECT_EQ(QDir::toNativeSeparators(d.directory().absolutePath()), Path("a"));
        EXPECT_FALSE(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->isVisible());
        d.setDirectory(QDir(TempPath()).filePath(QStringLiteral("a/b")));
        QTest::mouseClick(OkButton(d), Qt::LeftButton);
    });
    EXPECT_EQ(dialogs.BrowseForFolder(nullptr, Path("a")), Path("a/b"));
    WhenShown([](QFileDialog& d) { d.reject(); });
    EXPECT_EQ(dialogs.BrowseForFolder(nullptr, Path("a")), std::nullopt);
}
#endif

} // namespace
} // namespace vmg::wizard::test
