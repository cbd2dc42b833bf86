#include "platform/KeyTable.h"
#include "platform/InputEvents.h"

#include <gtest/gtest.h>

#include <set>

namespace quolis {
namespace {

TEST(KeyTable, LettersHaveTheirDirectInputCodes) {
    // The named keyboard buttons: A = 30 … Z = 44 under DirectInput's
    // (scan-code, not alphabetical) numbering.
    const struct {
        char letter;
        int dik;
    } expected[] = {{'A', 0x1E}, {'B', 0x30}, {'C', 0x2E}, {'D', 0x20}, {'E', 0x12}, {'F', 0x21},
                    {'G', 0x22}, {'H', 0x23}, {'I', 0x17}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26},
                    {'M', 0x32}, {'N', 0x31}, {'O', 0x18}, {'P', 0x19}, {'Q', 0x10}, {'R', 0x13},
                    {'S', 0x1F}, {'T', 0x14}, {'U', 0x16}, {'V', 0x2F}, {'W', 0x11}, {'X', 0x2D},
                    {'Y', 0x15}, {'Z', 0x2C}};
    for (const auto& e : expected) {
        EXPECT_EQ(DikOfLetter(e.letter), e.dik) << e.letter;
        EXPECT_EQ(DikOfLetter(static_cast<char>(e.letter - 'A' + 'a')), e.dik) << e.letter;
        // SDL numbers letters 4…29 in alphabetical order.
        EXPECT_EQ(DikFromSdlScancode(4 + (e.letter - 'A')), e.dik) << e.letter;
    }
    EXPECT_EQ(DikOfLetter('1'), 0);
    EXPECT_EQ(DikOfLetter('@'), 0);
}

TEST(KeyTable, DefaultBindingKeysTranslate) {
    // SDL: Space 44, Right 79, Left 80, Down 81, Up 82.
    EXPECT_EQ(DikFromSdlScancode(44), 57);
    EXPECT_EQ(DikFromSdlScancode(80), 203);
    EXPECT_EQ(DikFromSdlScancode(79), 205);
    EXPECT_EQ(DikFromSdlScancode(82), 200);
    EXPECT_EQ(DikFromSdlScancode(81), 208);
    EXPECT_EQ(dik::kSpace, 57);
    EXPECT_EQ(dik::kZ, 44);
    EXPECT_EQ(dik::kC, 46);
    EXPECT_EQ(dik::kD, 32);
    EXPECT_EQ(dik::kB, 48);
    EXPECT_EQ(dik::kP, 25);
    // A few extended keys carry bit 7.
    EXPECT_EQ(DikFromSdlScancode(88), 0x9C);  // keypad Enter
    EXPECT_EQ(DikFromSdlScancode(228), 0x9D); // right Ctrl
    EXPECT_EQ(DikFromSdlScancode(40), dik::kReturn);
    EXPECT_EQ(DikFromSdlScancode(41), dik::kEscape);
}

TEST(KeyTable, IsOneToOneAndRoundTrips) {
    std::set<int> sdl, dk;
    for (const KeyCodePair& p : KeyCodeTable()) {
        EXPECT_TRUE(sdl.insert(p.sdlScancode).second) << "SDL scancode twice: " << p.sdlScancode;
        EXPECT_TRUE(dk.insert(p.dik).second) << "DIK code twice: " << p.dik;
        EXPECT_GT(p.dik, 0);
        EXPECT_LT(p.dik, 256);
        EXPECT_EQ(DikFromSdlScancode(p.sdlScancode), p.dik);
        EXPECT_EQ(SdlScancodeFromDik(p.dik), p.sdlScancode);
    }
    EXPECT_GE(KeyCodeTable().size(), 100u);
    // Both directions agree over their whole ranges.
    for (int s = -1; s < 600; ++s) {
        int d = DikFromSdlScancode(s);
        if (d != 0) {
            EXPECT_EQ(SdlScancodeFromDik(d), s);
        }
    }
    for (int d = -1; d < 300; ++d) {
        int s = SdlScancodeFromDik(d);
        if (s != 0) {
            EXPECT_EQ(DikFromSdlScancode(s), d);
        }
    }
    EXPECT_EQ(DikFromSdlScancode(0), 0);
    EXPECT_EQ(SdlScancodeFromDik(0), 0);
    EXPECT_EQ(SdlScancodeFromDik(256), 0);
}

TEST(KeyTable, JoystickAxisCoversTheGameRangeExactly) {
    EXPECT_EQ(ScaleJoystickAxis(-32768), kJoypadAxisMin);
    EXPECT_EQ(ScaleJoystickAxis(-32767), kJoypadAxisMin);
    EXPECT_EQ(ScaleJoystickAxis(32767), kJoypadAxisMax);
    EXPECT_EQ(ScaleJoystickAxis(0), 1000);
    // A stick that stops short of the end does not reach the end value.
    EXPECT_LT(ScaleJoystickAxis(32000), kJoypadAxisMax);
    EXPECT_GT(ScaleJoystickAxis(-32000), kJoypadAxisMin);
    int prev = -1;
    for (int v = -32768; v <= 32767; v += 97) {
        int s = ScaleJoystickAxis(static_cast<std::int16_t>(v));
        EXPECT_GE(s, prev);
        prev = s;
    }
}

TEST(InputEventQueue, KeepsDeviceEventsApartAndInOrder) {
    InputEventQueue q;
    q.Push(InputEvent::Key(dik::kSpace, true));
    q.Push(InputEvent::MouseButton(kMouseButtonLeft, true));
    q.Push(InputEvent::Window(InputEventKind::FocusLost));
    q.Push(InputEvent::Key(dik::kSpace, false));
    q.Push(InputEvent::JoypadButton(8, true));
    q.Push(InputEvent::JoypadAxis(kJoypadAxisY, 2000));

    EXPECT_EQ(q.DeviceCount(InputDeviceIndex::Keyboard), 2u);
    InputEvent e;
    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Keyboard, &e));
    EXPECT_EQ(e.code, 57);
    EXPECT_TRUE(e.down);
    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Keyboard, &e));
    EXPECT_FALSE(e.down);
    EXPECT_FALSE(q.PopDevice(InputDeviceIndex::Keyboard, &e));

    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Joypad, &e));
    EXPECT_EQ(e.code, 56);
    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Joypad, &e));
    EXPECT_EQ(e.kind, InputEventKind::Axis);
    EXPECT_EQ(e.code, 4);
    EXPECT_EQ(e.value, 2000);

    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Mouse, &e));
    EXPECT_EQ(e.code, 12);
    ASSERT_TRUE(q.PopWindow(&e));
    EXPECT_EQ(e.kind, InputEventKind::FocusLost);
    EXPECT_FALSE(q.PopWindow(&e));
}

TEST(InputEventQueue, AFullDeviceBufferDropsTheOldestEvents) {
    InputEventQueue q;
    for (int i = 0; i < 105; ++i) {
        q.Push(InputEvent::Key(i + 1, true));
    }
    EXPECT_EQ(q.DeviceCount(InputDeviceIndex::Keyboard), InputEventQueue::kDeviceBufferSize);
    EXPECT_EQ(q.Overflows(), 5u);
    InputEvent e;
    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Keyboard, &e));
    EXPECT_EQ(e.code, 6);
    EXPECT_FALSE(q.Present(InputDeviceIndex::Joypad));
    EXPECT_TRUE(q.Present(InputDeviceIndex::Keyboard));
    q.SetPresent(InputDeviceIndex::Joypad, true);
    EXPECT_TRUE(q.Present(InputDeviceIndex::Joypad));
    q.Clear();
    EXPECT_EQ(q.DeviceCount(InputDeviceIndex::Keyboard), 0u);
}

} // namespace
} // namespace quolis
