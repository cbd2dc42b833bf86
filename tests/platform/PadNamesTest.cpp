#include "platform/PadNames.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(PadNames, EachMakeNamesTheButtonsAtTheSamePlaces) {
    // The default decide (2) and cancel (1) sit at the bottom and right face
    // buttons whatever the make calls them.
    EXPECT_EQ(PadButtonLabel(PadStyle::Xbox, 2), "A");
    EXPECT_EQ(PadButtonLabel(PadStyle::Xbox, 1), "B");
    EXPECT_EQ(PadButtonLabel(PadStyle::PlayStation, 2), "×");
    EXPECT_EQ(PadButtonLabel(PadStyle::PlayStation, 1), "○");
    EXPECT_EQ(PadButtonLabel(PadStyle::Nintendo, 2), "B");
    EXPECT_EQ(PadButtonLabel(PadStyle::Nintendo, 1), "A");
    EXPECT_EQ(PadButtonLabel(PadStyle::Xbox, 6), "LB");
    EXPECT_EQ(PadButtonLabel(PadStyle::PlayStation, 5), "R2");
    EXPECT_EQ(PadButtonLabel(PadStyle::PlayStation3, 8), "START");
    EXPECT_EQ(PadButtonLabel(PadStyle::Nintendo, 8), "+");
    // Raw pads and buttons beyond the nine have no name of their own.
    EXPECT_EQ(PadButtonLabel(PadStyle::None, 2), "");
    EXPECT_EQ(PadButtonLabel(PadStyle::Xbox, 9), "");
    EXPECT_EQ(PadButtonLabel(PadStyle::Xbox, -1), "");
}

TEST(PadNames, BindingTextsGiveTheirButton) {
    EXPECT_EQ(JoypadButtonOfName("Button 0"), 0);
    EXPECT_EQ(JoypadButtonOfName("Button 8"), 8);
    EXPECT_EQ(JoypadButtonOfName("Button 9"), -1);
    EXPECT_EQ(JoypadButtonOfName("Button 10"), -1);
    EXPECT_EQ(JoypadButtonOfName("Button Left"), -1);
    EXPECT_EQ(JoypadButtonOfName(""), -1);
}

} // namespace
} // namespace quolis
