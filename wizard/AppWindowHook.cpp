// The native event filter behind AppWindowHook (built on Windows only).
#include "AppWindowHook.h"

#include "cPluginMessages.h"

#include <QCoreApplication>

#include <windows.h>

namespace vmg::wizard {

AppWindowHook::AppWindowHook(WId window) : m_window(window) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

AppWindowHook::~AppWindowHook() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(this);
    }
}

bool AppWindowHook::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType != "windows_generic_MSG") {
        return false;
    }
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != static_cast<UINT>(ide::kPluginMessage) ||
        msg->hwnd != reinterpret_cast<HWND>(m_window)) {
        return false;
    }
    // A posted message is filtered in the event loop, before any window procedure, with no
    // result to fill in.
    if (result != nullptr) {
        *result = 0;
    }
    return true;
}

} // namespace vmg::wizard
