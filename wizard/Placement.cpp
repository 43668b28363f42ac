// Placing a tool window beside its owner.
#include "Placement.h"

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

} // namespace vmg::wizard
