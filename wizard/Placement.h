// Where a tool window goes beside the main window, worked out on rectangles alone.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vmg::wizard {

struct SideBySide {
    QPoint Owner; // the owner's new top left (unchanged when there was room)
    QRect Window; // the tool window's frame
};

// Frames throughout. The window goes right of the owner where it fits at `wanted`, else left of
// it; else it is narrowed to the wider side's room, not below `narrowest`, and the owner moves
// aside only as far as that needs. On a screen too narrow for both, the window keeps to the
// screen and covers as little of the owner as it can. Its height is at most the screen's.
SideBySide PlaceBeside(const QRect& owner, QSize wanted, int narrowest, const QRect& screen);

} // namespace vmg::wizard
