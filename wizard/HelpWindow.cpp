// The help window and the mapping of help topics to the bundled pages.
#include "HelpWindow.h"

#include "Placement.h"
#include "WizardPage.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

// Resources of a static library must be registered by hand, from the global namespace, once.
static void InitHelpResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    static_cast<void>(registered);
}

namespace vmg::wizard {

namespace {
// The size the window asks for, and the narrowest it is made to fit beside the main window.
constexpr QSize kSize(520, 480);
constexpr int kNarrowest = 320;
} // namespace

QUrl HelpTopicUrl(int topic) {
    InitHelpResources();
    const QString page = QStringLiteral(":/help/topic%1.html").arg(topic);
    if (QFile::exists(page)) {
        return QUrl(QStringLiteral("qrc") + page);
    }
    return QUrl(QStringLiteral("qrc:/help/topic1010.html"));
}

void SetHelpTopic(QWidget* window, int topic) {
    window->setProperty("helpTopic", topic);
}

int HelpTopicOf(const QWidget* window) {
    return window != nullptr ? window->property("helpTopic").toInt() : 0;
}

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(QStringLiteral("Vorlan Macro Generator Help"));
    CloseOnEscape(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(kSize);
}

void HelpWindow::ShowTopic(int topic) {
    m_browser->setSource(HelpTopicUrl(topic));
    ShowToolWindow(*this, parentWidget(), kSize, kNarrowest);
}

QUrl HelpWindow::CurrentPage() const {
    return m_browser->source();
}

} // namespace vmg::wizard
