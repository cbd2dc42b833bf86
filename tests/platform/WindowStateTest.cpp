#include "platform/WindowState.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(WindowState, RoundTripsEveryField) {
    WindowState s;
    s.width = 1280;
    s.height = 742;
    s.positioned = true;
    s.x = -40; // a second monitor to the left
    s.y = 30;
    s.maximized = false;
    s.fullScreen = true;
    s.stretch = true;
    s.smooth = true;
    WindowState back = ParseWindowState(FormatWindowState(s));
    EXPECT_EQ(back.width, 1280);
    EXPECT_EQ(back.height, 742);
    EXPECT_TRUE(back.positioned);
    EXPECT_EQ(back.x, -40);
    EXPECT_EQ(back.y, 30);
    EXPECT_FALSE(back.maximized);
    EXPECT_TRUE(back.fullScreen);
    EXPECT_TRUE(back.stretch);
    EXPECT_TRUE(back.smooth);
    // Without a saved position none is written, and none read back.
    s.positioned = false;
    EXPECT_EQ(FormatWindowState(s).find("X "), std::string::npos);
    EXPECT_FALSE(ParseWindowState(FormatWindowState(s)).positioned);
}

TEST(WindowState, BrokenOrMissingValuesKeepTheDefaults) {
    const WindowState d;
    EXPECT_TRUE(d.maximized); // the original opens maximised
    EXPECT_FALSE(d.stretch);
    WindowState s = ParseWindowState("Width 10\nHeight 99999999\nX 5\nMaximized 2\nStretch yes\n"
                                     "Smooth 1 extra\nFullScreen\n\x01\xff garbage\nWidth");
    EXPECT_EQ(s.width, d.width);   // below the minimum
    EXPECT_EQ(s.height, d.height); // above the maximum
    EXPECT_FALSE(s.positioned);    // X alone is no position
    EXPECT_EQ(s.maximized, d.maximized);
    EXPECT_EQ(s.stretch, d.stretch);
    EXPECT_EQ(s.smooth, d.smooth);
    EXPECT_EQ(s.fullScreen, d.fullScreen);
    // CR LF line ends, blanks around values, a later key wins.
    s = ParseWindowState("  Width\t1024 \r\nHeight 768\r\nWidth 1100\r\nX 1\r\nY 2\r\nSmooth 1");
    EXPECT_EQ(s.width, 1100);
    EXPECT_EQ(s.height, 768);
    EXPECT_TRUE(s.positioned);
    EXPECT_EQ(s.x, 1);
    EXPECT_EQ(s.y, 2);
    EXPECT_TRUE(s.smooth);
}

} // namespace
} // namespace quolis
