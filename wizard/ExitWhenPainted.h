// A hook for the start-up benchmark: with VMG_EXIT_WHEN_PAINTED set, a window closes itself
// as soon as it has been painted once, so that a whole run measures start-up and nothing else.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

namespace vmg::wizard {

// Closes the window after its first paint; does nothing unless the variable is set. The close
// is queued so that the whole first frame (the window and all its children) is drawn.
inline void ExitWhenPainted(QWidget& window) {
    if (qEnvironmentVariableIsEmpty("VMG_EXIT_WHEN_PAINTED")) {
        return;
    }
    class Filter final : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && !m_closing) {
                m_closing = true;
                auto* widget = static_cast<QWidget*>(watched);
                QTimer::singleShot(0, widget, [widget] { widget->close(); });
            }
            return false;
        }

    private:
        bool m_closing = false;
    };
    window.installEventFilter(new Filter(&window));
}

} // namespace vmg::wizard
