// Where a saved window rectangle comes back on the screens there are now.
#include <gtest/gtest.h>

#include "app/ui/WindowPlacement.h"

using WindowPlacement::PlaceOnScreens;

TEST(WindowPlacementTest, ReachableRectanglesStayWhereTheyWere) {
  const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  EXPECT_EQ(PlaceOnScreens(QRect(100, 100, 640, 480), two), QRect(100, 100, 640, 480));
  // On the second screen, partly past its right edge: the top edge can still be grabbed.
  EXPECT_EQ(PlaceOnScreens(QRect(3000, 500, 640, 480), two), QRect(3000, 500, 640, 480));
  // Straddling both screens.
  EXPECT_EQ(PlaceOnScreens(QRect(1800, 10, 640, 480), two), QRect(1800, 10, 640, 480));
  EXPECT_EQ(PlaceOnScreens(QRect(5, 5, 10, 10), {}), QRect(5, 5, 10, 10));  // no screens known
}

TEST(WindowPlacementTest, UnreachableRectanglesMoveOntoTheNearestScreen) {
  const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  // The second monitor was unplugged: right of everything, back on its right edge.
  EXPECT_EQ(PlaceOnScreens(QRect(4000, 300, 640, 480), two), QRect(2560, 300, 640, 480));
  // The title bar above the top.
  EXPECT_EQ(PlaceOnScreens(QRect(100, -10, 640, 480), two), QRect(100, 0, 640, 480));
  // Only a sliver on screen is not enough.
  EXPECT_EQ(PlaceOnScreens(QRect(-630, 100, 640, 480), two), QRect(0, 100, 640, 480));
  // Bigger than any screen: shrunk to the nearest.
  EXPECT_EQ(PlaceOnScreens(QRect(2500, 2000, 5000, 5000), two), QRect(1920, 0, 1280, 1024));
  // A screen with a panel at the top: its available area starts lower.
  EXPECT_EQ(PlaceOnScreens(QRect(50, 5, 300, 200), {QRect(0, 30, 800, 570)}),
            QRect(50, 30, 300, 200));
}
