// The built-in help: one HTML page per wizard page, shown in a small browser window.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace vmg::wizard {

// The topic of a page: 1010 for page 0, 1020 for page 1, ... 1070 for page 6.
constexpr int HelpTopicOfPage(int page) {
    return 1010 + 10 * page;
}

// The topics of the tool windows and dialogs that have one of their own.
inline constexpr int kHelpTopicCheckCall = 1110;
inline constexpr int kHelpTopicFolderBrowser = 1120;

// The bundled page of a topic; topics without a page of their own open the first one.
QUrl HelpTopicUrl(int topic);

// The topic F1 opens in `window` (a tool window of the wizard); one without a topic of its own
// opens the topic of the page shown.
void SetHelpTopic(QWidget* window, int topic);
// The topic given to `window`, or 0 when it has none.
int HelpTopicOf(const QWidget* window);

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner);

    // Shows the window (raising it when it is already open) on the topic's page.
    void ShowTopic(int topic);
    QUrl CurrentPage() const;

private:
    QTextBrowser* m_browser = nullptr;
};

} // namespace vmg::wizard
