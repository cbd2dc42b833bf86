// CInput: held states, triggers with auto-repeat, the fixed direction
// handling, the device mask and the key bindings file.
#include "input/Input.h"

#include "../data/ArchiveTestUtil.h"
#include "common/Clock.h"
#include "data/DatArchive.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

#include <vector>

namespace quolis {
namespace {

constexpr int kSpace = 57;
constexpr int kA = 30;

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        CStopwatch::SetClock(&clock_);
        input_.Init(&queue_, DefaultButtonMaps());
    }
    void TearDown() override { CStopwatch::SetClock(nullptr); }

    void Poll(int enable = 1) { input_.Poll(triggers_, raw_, &mask_, enable); }
    // Polls every `stepMs` for `totalMs` and returns the times the action
    // triggered (relative to the first poll).
    std::vector<int> TriggerTimes(int action, int stepMs, int totalMs) {
        std::vector<int> times;
        for (int t = 0; t <= totalMs; t += stepMs) {
            Poll();
            if (triggers_[action]) {
                times.push_back(t);
            }
            clock_.Advance(stepMs);
        }
        return times;
    }

    ManualClock clock_{1000};
    InputEventQueue queue_;
    CInput input_;
    std::uint32_t triggers_[kActionTriggerCount] = {};
    std::uint32_t raw_[kRawButtonCount] = {};
    std::uint32_t mask_ = 0;
};

TEST_F(InputTest, HeldDecideTriggersAtPressAfterThreeTenthsThenEveryTenth) {
    queue_.Push(InputEvent::Key(kSpace, true));
    const int step = 7;
    std::vector<int> times = TriggerTimes(kInputDecide, step, 700);
    ASSERT_GE(times.size(), 4u);
    EXPECT_EQ(times[0], 0);
    EXPECT_GT(times[1], 300);
    EXPECT_LE(times[1], 300 + 2 * step);
    for (std::size_t i = 2; i < times.size(); ++i) {
        EXPECT_GT(times[i] - times[i - 1], 100) << i;
        EXPECT_LE(times[i] - times[i - 1], 100 + step) << i;
    }
    // The raw trigger of the space bar repeats the same way.
    EXPECT_EQ(input_.RawHeld(1, kSpace), 1);

    // Released for one poll, then pressed again: it starts over.
    queue_.Push(InputEvent::Key(kSpace, false));
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 0u);
    EXPECT_EQ(input_.Held(kInputDecide), 0);
    queue_.Push(InputEvent::Key(kSpace, true));
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 1u);
    clock_.Advance(50);
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 0u);
}

TEST_F(InputTest, PressAndReleaseInsideOnePollGiveNothing) {
    queue_.Push(InputEvent::Key(kSpace, true));
    queue_.Push(InputEvent::Key(kSpace, false));
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 0u);
    EXPECT_EQ(input_.Held(kInputDecide), 0);
    EXPECT_EQ(raw_[1 * 256 + kSpace], 0u);
    // The press was still reported in the device mask.
    EXPECT_EQ(mask_, 2u);
}

TEST_F(InputTest, JoypadAxisCountsOnlyAtTheRangeEnds) {
    queue_.SetPresent(InputDeviceIndex::Joypad, true);
    input_.CreateDevices(&queue_);
    queue_.Push(InputEvent::JoypadAxis(kJoypadAxisX, 1990));
    queue_.Push(InputEvent::JoypadAxis(kJoypadAxisY, 10));
    Poll();
    for (int a = kInputLeft; a <= kInputDown; ++a) {
        EXPECT_EQ(triggers_[a], 0u) << a;
    }
    queue_.Push(InputEvent::JoypadAxis(kJoypadAxisX, 2000));
    queue_.Push(InputEvent::JoypadAxis(kJoypadAxisY, 0));
    Poll();
    EXPECT_EQ(triggers_[kInputRight], 1u);
    EXPECT_EQ(triggers_[kInputUp], 1u);
    EXPECT_EQ(triggers_[kInputLeft], 0u);
    queue_.Push(InputEvent::JoypadAxis(kJoypadAxisX, 1000));
    Poll();
    EXPECT_EQ(input_.Held(kInputRight), 0);
    EXPECT_EQ(input_.Held(kInputUp), 1);
    // Joypad button 2 is decide by default; the joypad sets mask bit 1.
    queue_.Push(InputEvent::JoypadButton(2, true));
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 1u);
    EXPECT_EQ(mask_, 1u);
}

TEST_F(InputTest, AbsentJoypadIsNotRead) {
    queue_.Push(InputEvent::JoypadButton(2, true));
    Poll();
    EXPECT_EQ(triggers_[kInputDecide], 0u);
    EXPECT_EQ(mask_, 0u);
}

TEST_F(InputTest, ArrowKeysWorkWithoutAnyBinding) {
    input_.SetMaps(ButtonMaps{});
    queue_.Push(InputEvent::Key(203, true));
    queue_.Push(InputEvent::Key(208, true));
    Poll();
    EXPECT_EQ(triggers_[kInputLeft], 1u);
    EXPECT_EQ(triggers_[kInputDown], 1u);
    // Arrows have no names: no mask bit, no raw state.
    EXPECT_EQ(mask_, 0u);
    EXPECT_EQ(input_.RawHeld(1, 203), 0);
}

TEST_F(InputTest, UnboundNamedButtonSetsTheMaskButNoAction) {
    queue_.Push(InputEvent::Key(kA, true));
    queue_.Push(InputEvent::MouseButton(kMouseButtonLeft, true));
    Poll();
    EXPECT_EQ(mask_, 2u | 4u);
    for (int a = kFirstInputAction; a <= kLastInputAction; ++a) {
        EXPECT_EQ(triggers_[a], 0u) << a;
    }
    EXPECT_EQ(raw_[1 * 256 + kA], 1u);
    EXPECT_EQ(raw_[2 * 256 + kMouseButtonLeft], 1u);
    // Unnamed keys (Escape) do nothing at all.
    queue_.Push(InputEvent::Key(1, true));
    Poll();
    EXPECT_EQ(mask_, 0u);
}

TEST_F(InputTest, DisabledPollKeepsHeldStatesAndLeavesEventsWaiting) {
    queue_.Push(InputEvent::Key(kSpace, true));
    Poll();
    queue_.Push(InputEvent::Key(kSpace, false));
    Poll(0);
    EXPECT_EQ(input_.Held(kInputDecide), 1);
    EXPECT_EQ(queue_.DeviceCount(InputDeviceIndex::Keyboard), 1u);
    Poll(1);
    EXPECT_EQ(input_.Held(kInputDecide), 0);
    // ClearHeld forgets every held state.
    queue_.Push(InputEvent::Key(kSpace, true));
    Poll();
    input_.ClearHeld();
    EXPECT_EQ(input_.Held(kInputDecide), 0);
    EXPECT_EQ(input_.RawHeld(1, kSpace), 0);
}

TEST_F(InputTest, SeveralButtonsOnOneActionShareTheHeldFlag) {
    ButtonMaps maps = DefaultButtonMaps();
    maps[1][kA] = kInputDecide;
    input_.SetMaps(maps);
    queue_.Push(InputEvent::Key(kSpace, true));
    queue_.Push(InputEvent::Key(kA, true));
    queue_.Push(InputEvent::Key(kA, false));
    Poll();
    EXPECT_EQ(input_.Held(kInputDecide), 0);
}

TEST_F(InputTest, ButtonNamesAndResets) {
    EXPECT_EQ(input_.ButtonName(0, 48), "Button 0");
    EXPECT_EQ(input_.ButtonName(0, 56), "Button 8");
    EXPECT_EQ(input_.ButtonName(1, 30), "A");
    EXPECT_EQ(input_.ButtonName(1, 44), "Z");
    EXPECT_EQ(input_.ButtonName(1, 16), "Q");
    EXPECT_EQ(input_.ButtonName(1, 57), "Space");
    EXPECT_EQ(input_.ButtonName(1, 203), "");
    EXPECT_EQ(input_.ButtonName(2, 13), "Button Right");
    EXPECT_EQ(input_.ButtonName(5, 13), "");
    ButtonNames keys;
    input_.GetButtonNames(1, keys);
    EXPECT_EQ(keys.size(), 27u);

    ButtonMaps app;
    input_.SetMaps(ButtonMaps{});
    input_.ResetDevice(1, app);
    EXPECT_EQ(input_.CurrentMaps()[1], DefaultButtonMaps()[1]);
    EXPECT_EQ(app[1], DefaultButtonMaps()[1]);
    EXPECT_TRUE(input_.CurrentMaps()[0].empty());
    input_.ResetDevice(3, app); // outside 0..2: nothing
    input_.ResetAll(app);
    EXPECT_EQ(input_.CurrentMaps(), DefaultButtonMaps());
    EXPECT_EQ(app, DefaultButtonMaps());
}

// --- "InputSetting.ini" ----------------------------------------------------

TEST(InputSettingsText, DefaultMapsComposeAsTheFileExpects) {
    TokenList t = SplitTokens(ComposeInputSettings(DefaultButtonMaps()));
    TokenList joypad(t.begin() + 1, t.begin() + 16);
    EXPECT_EQ(t.front(), "//SettingStart");
    EXPECT_EQ(joypad, (TokenList{"0", "//", "49", "8", "50", "7", "53", "12", "54", "10", "55",
                                 "11", "56", "9", "//"}));
    ASSERT_GE(t.size(), 5u);
    EXPECT_EQ(TokenList(t.end() - 4, t.end()), (TokenList{"2", "//", "//", "//SettingEnd"}));
    ButtonMaps back;
    ParseInputSettings(t, back);
    EXPECT_EQ(back, DefaultButtonMaps());
}

TEST(InputSettingsText, OddFilesReadWhatTheyCan) {
    ButtonMaps m;
    // Only the joypad block; a device "7" is read and dropped.
    ParseInputSettings(
        {"//SettingStart", "0", "//", "50", "7", "//", "7", "//", "30", "8", "//", "//SettingEnd"},
        m);
    EXPECT_EQ(m[0], (ButtonMap{{50, 7}}));
    EXPECT_TRUE(m[1].empty());
    EXPECT_TRUE(m[2].empty());

    // A code given twice keeps its first action; a second block after the
    // end mark (its first token skipped) still reads.
    ButtonMaps m2;
    ParseInputSettings({"//SettingStart", "1", "//", "30", "7", "30", "8", "//", "//SettingEnd",
                        "x", "2", "//", "12", "9", "//", "//SettingEnd"},
                       m2);
    EXPECT_EQ(m2[1], (ButtonMap{{30, 7}}));
    EXPECT_EQ(m2[2], (ButtonMap{{12, 9}}));

    // Cut short anywhere: stops at the end without reading past it.
    TokenList full = SplitTokens(ComposeInputSettings(DefaultButtonMaps()));
    for (std::size_t n = 0; n <= full.size(); ++n) {
        ButtonMaps cut;
        ParseInputSettings(TokenList(full.begin(), full.begin() + n), cut);
        EXPECT_LE(cut[1].size(), DefaultButtonMaps()[1].size());
    }
    // A code whose action is missing before "//" is dropped.
    ButtonMaps m3;
    ParseInputSettings({"s", "1", "//", "30", "//", "2", "//", "12", "9", "//"}, m3);
    EXPECT_TRUE(m3[1].empty());
    EXPECT_EQ(m3[2], (ButtonMap{{12, 9}}));
}

TEST_F(InputTest, SettingsFileRoundTripAndBindingToResetAppCycle) {
    testing_util::ScratchRoot root;
    root.Write("GameData/Ini/.keep", "");
    CDatArchive secure(true, false);

    ButtonMaps maps = DefaultButtonMaps();
    maps[1][kA] = kInputResetAppCycle;
    input_.SetMaps(maps);
    ASSERT_TRUE(input_.SaveSettings(secure, CInput::kSettingsFile));
    // Stored scrambled under the E-name rule.
    EXPECT_FALSE(root.Read("GameData/Ini/InputSettingE.ini").empty());

    CInput other;
    other.Init(&queue_, DefaultButtonMaps());
    ASSERT_TRUE(other.LoadSettings(secure, CInput::kSettingsFile));
    EXPECT_EQ(other.CurrentMaps(), maps);
    queue_.Push(InputEvent::Key(kA, true));
    std::uint32_t mask = 0;
    other.Poll(triggers_, raw_, &mask, 1);
    EXPECT_EQ(triggers_[kInputResetAppCycle], 1u);

    // A missing file puts the defaults back.
    other.SetMaps(ButtonMaps{});
    EXPECT_FALSE(other.LoadSettings(secure, "Missing.ini"));
    EXPECT_EQ(other.CurrentMaps(), DefaultButtonMaps());
}

} // namespace
} // namespace quolis
