// Where a window comes back: its saved rectangle, unless that would leave it where the user
// cannot reach it (a screen since unplugged, a resolution since lowered, a hand-edited file).
#pragma once
#include <QList>
#include <QRect>

namespace WindowPlacement {

// How much of a window's top edge must lie on a screen for the user to grab it.
inline constexpr int kGripWidth = 64;
inline constexpr int kGripHeight = 24;

// The rectangle kept when its top edge is within reach on one of the screens (their available
// areas); else moved onto the nearest screen, shrunk to fit it where it is larger.
QRect PlaceOnScreens(const QRect& saved, const QList<QRect>& screens);

}  // namespace WindowPlacement
