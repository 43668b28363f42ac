// Placing a tool window beside its owner.
#include "Placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vmg::wizard {

namespace {
constexpr int kGap = 8;
} // namespace

SideBySide PlaceBeside(const QRect& owner, QSize wanted, int narrowest, const QRect& screen) {
    const int height = std::min(wanted.height(), screen.height());
    const int top = std::clamp(owner.top(), screen.top(), screen.bottom() + 1 - height);
    const int roomRight = screen.right() - owner.right() - kGap;
    const int roomLeft = owner.left() - screen.left() - kGap;
    const bool right = roomRight >= wanted.width() || roomRight >= roomLeft;
    const int room = right ? roomRight : roomLeft;
    const int width = room >= wanted.width() ? wanted.width()
                                             : std::min(wanted.width(), std::max(room, narrowest));

    // Move the owner away from the window's side by what the window still lacks, within the
    // screen.
    const int lack = std::max(0, width - room);
    QPoint ownerAt = owner.topLeft();
    if (right) {
        ownerAt.setX(std::max(screen.left(), owner.left() - lack));
    } else {
        ownerAt.setX(std::min(screen.right() + 1 - owner.width(), owner.left() + lack));
    }
    int left = right ? ownerAt.x() + owner.width() + kGap : ownerAt.x() - kGap - width;
    left = std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - width));
    return {ownerAt, QRect(left, top, std::min(width, screen.width()), height)};
}

QRect WithinArea(const QRect& frame, const QRect& area) {
    const QSize size = frame.size().boundedTo(area.size());
    const int left = std::clamp(frame.left(), area.left(), area.right() + 1 - size.width());
    const int top = std::clamp(frame.top(), area.top(), area.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

void ShowToolWindow(QWidget& window, QWidget* owner, QSize wanted, int narrowest) {
    QScreen* screen = owner != nullptr ? owner->screen() : window.screen();
    if (!window.isVisible() && owner != nullptr && screen != nullptr) {
        // Our frame adds to our size what the owner's adds to its size, until the system says.
        const QRect ownerFrame = owner->frameGeometry();
        const QSize frame = ownerFrame.size() - owner->size();
        const SideBySide at = PlaceBeside(ownerFrame, wanted + frame, narrowest + frame.width(),
                                          screen->availableGeometry());
        owner->move(at.Owner);
        window.resize(at.Window.size() - frame);
        window.move(at.Window.topLeft());
    }
    window.show();
    KeepWithinScreen(window, screen);
    window.raise();
    window.activateWindow();
}

void KeepWithinScreen(QWidget& window, QScreen* screen) {
    // A frame of another size than the owner's, or a system that placed the window itself, can
    // leave it partly off the screen.
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window.frameGeometry();
    const QRect within = WithinArea(frame, screen->availableGeometry());
    if (within.size() != frame.size()) {
        window.resize(window.size() - (frame.size() - within.size()));
    }
    if (within.topLeft() != frame.topLeft()) {
        window.move(within.topLeft());
    }
}

} // namespace vmg::wizard
