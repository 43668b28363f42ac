// Where a tool window goes beside the main window: worked out on rectangles, then applied.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

class QScreen;

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

// The frame moved (and, only when larger than the area, shrunk) so that it lies within the area.
QRect WithinArea(const QRect& frame, const QRect& area);

// Shows a tool window (Check a Call, Help, ...): when it is not on screen yet, placed by
// PlaceBeside in the available area of the owner's screen, `wanted` and `narrowest` being its
// inner sizes; then, with its real frame known, moved within that area wherever it is.
void ShowToolWindow(QWidget& window, QWidget* owner, QSize wanted, int narrowest);

// Moves a shown window (shrinking it only when it is larger) within the available area of
// screen.
void KeepWithinScreen(QWidget& window, QScreen* screen);

} // namespace vmg::wizard
