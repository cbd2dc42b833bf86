#include "platform/ViewLayout.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

constexpr int kStrip = 22;

ViewLayout Window(int w, int h, bool stretch = false) {
    return ViewLayout{w, h, kStrip, 800, 600, stretch};
}

TEST(ViewLayout, PictureKeepsItsShapeWithBarsOnTheLongSide) {
    // Exactly 4:3 under the strip: no bars.
    ViewRect r = PictureArea(Window(1600, 1200 + kStrip));
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, kStrip);
    EXPECT_EQ(r.width, 1600);
    EXPECT_EQ(r.height, 1200);
    // A wide full-screen 1920 × 1080: bars left and right.
    r = PictureArea(Window(1920, 1080));
    EXPECT_EQ(r.height, 1080 - kStrip);
    EXPECT_EQ(r.width, 1411); // 1058 × 4 / 3 = 1410.67, rounded
    EXPECT_EQ(r.x, (1920 - 1411) / 2);
    EXPECT_EQ(r.y, kStrip);
    // A tall window: bars above and below, the strip stays on top.
    r = PictureArea(Window(800, 1000));
    EXPECT_EQ(r.width, 800);
    EXPECT_EQ(r.height, 600);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, kStrip + (1000 - kStrip - 600) / 2);
    // Stretched: the whole area under the strip.
    r = PictureArea(Window(1920, 1080, true));
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, kStrip);
    EXPECT_EQ(r.width, 1920);
    EXPECT_EQ(r.height, 1080 - kStrip);
    // No room under the strip (a window rolled up): an empty picture.
    r = PictureArea(Window(800, kStrip));
    EXPECT_EQ(r.width * r.height, 0);
}

TEST(ViewLayout, PointerMapsThroughTheBars) {
    ViewLayout wide = Window(1920, 1080);
    ViewRect r = PictureArea(wide);
    int bx = 0, by = 0;
    // The picture's corners and centre.
    WindowToBackBuffer(wide, r.x, r.y, &bx, &by);
    EXPECT_EQ(bx, 0);
    EXPECT_EQ(by, 0);
    WindowToBackBuffer(wide, r.x + r.width - 1, r.y + r.height - 1, &bx, &by);
    EXPECT_EQ(bx, 799);
    EXPECT_EQ(by, 599);
    WindowToBackBuffer(wide, r.x + r.width / 2, r.y + r.height / 2, &bx, &by);
    EXPECT_NEAR(bx, 400, 1);
    EXPECT_NEAR(by, 300, 1);
    // On the left bar and on the strip: outside the picture, never wrapped
    // onto its edge.
    WindowToBackBuffer(wide, 10, 500, &bx, &by);
    EXPECT_LT(bx, 0);
    WindowToBackBuffer(wide, r.x + r.width + 5, 500, &bx, &by);
    EXPECT_GE(bx, 800);
    WindowToBackBuffer(wide, 960, 5, &bx, &by);
    EXPECT_LT(by, 0);
    // One pixel left of the picture is -1, not 0 (rounding toward zero would
    // put it on the first column).
    WindowToBackBuffer(wide, r.x - 1, r.y, &bx, &by);
    EXPECT_EQ(bx, -1);

    // Stretched: the same window point lands elsewhere.
    ViewLayout stretched = Window(1920, 1080, true);
    WindowToBackBuffer(stretched, 10, kStrip, &bx, &by);
    EXPECT_EQ(bx, 4); // 10 × 800 / 1920
    EXPECT_EQ(by, 0);
    WindowToBackBuffer(stretched, 1919, 1079, &bx, &by);
    EXPECT_EQ(bx, 799);
    EXPECT_EQ(by, 599);
}

TEST(ViewLayout, DegenerateWindowsDoNotDivideByZero) {
    int bx = 1, by = 1;
    // No window area: every point lies off the picture.
    WindowToBackBuffer(Window(0, 0), 5, 30, &bx, &by);
    EXPECT_GE(bx, 800);
    // No back buffer: everything maps to its (empty) origin.
    WindowToBackBuffer(ViewLayout{800, 600, 0, 0, 0, false}, 5, 5, &bx, &by);
    EXPECT_EQ(bx, 0);
    EXPECT_EQ(by, 0);
}

} // namespace
} // namespace quolis
