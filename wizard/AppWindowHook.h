// Windows only: swallows the plug-in manager's message 1124 arriving at the wizard's window.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>

namespace vmg::wizard {

// Installed for the life of the main window; the message is reported as handled and
// otherwise ignored.
class AppWindowHook final : public QAbstractNativeEventFilter {
public:
    explicit AppWindowHook(WId window);
    ~AppWindowHook() override;
    AppWindowHook(const AppWindowHook&) = delete;
    AppWindowHook& operator=(const AppWindowHook&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    WId m_window;
};

} // namespace vmg::wizard
