// The key configuration window's behaviour without a window: the press-to-bind
// sequences, the duplicate warning, abort, defaults and the file written.
#include "input/KeyConfig.h"

#include "../data/ArchiveTestUtil.h"
#include "common/Clock.h"
#include "common/Stopwatch.h"
#include "common/Text.h"
#include "data/DatArchive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quolis {
namespace {

constexpr int kSpace = 57, kB = 48, kZ = 44, kC = 46, kD = 32, kP = 25, kQ = 16;

class KeyConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        CStopwatch::SetClock(&clock_);
        root_.Write("GameData/Ini/.keep", "");
        queue_.SetPresent(InputDeviceIndex::Joypad, true);
        input_.Init(&queue_, DefaultButtonMaps());
        input_.GetMaps(appMaps_);
        config_.Open(clock_.NowMs());
    }
    void TearDown() override { CStopwatch::SetClock(nullptr); }

    // Presses and releases a key between two timer ticks.
    void Press(int device, int code) {
        if (device == 1) {
            queue_.Push(InputEvent::Key(code, true));
        } else {
            queue_.Push(InputEvent::JoypadButton(code - kJoypadButtonFirst, true));
        }
        Tick();
        if (device == 1) {
            queue_.Push(InputEvent::Key(code, false));
        } else {
            queue_.Push(InputEvent::JoypadButton(code - kJoypadButtonFirst, false));
        }
        Tick();
    }
    void Tick() {
        clock_.Advance(CKeyConfig::kTimerMs);
        config_.Advance(clock_.NowMs());
    }
    bool FileWritten() const { return root_.Exists("GameData/Ini/InputSettingE.ini"); }

    ManualClock clock_{1000};
    testing_util::ScratchRoot root_;
    InputEventQueue queue_;
    CInput input_;
    ButtonMaps appMaps_;
    CDatArchive secure_{true, false};
    ScriptedMessageBoxes boxes_;
    CKeyConfig config_{input_, appMaps_, secure_, &boxes_, &queue_};
};

TEST_F(KeyConfigTest, OpeningShowsTheBindingsAndEnablesByDevice) {
    EXPECT_EQ(config_.Text(1013), SJ("決定"));
    EXPECT_EQ(config_.Text(1034), SJ("スタート"));
    EXPECT_EQ(config_.Text(1010), "Space"); // keyboard decide
    EXPECT_EQ(config_.Text(1016), "B");     // keyboard cancel
    EXPECT_EQ(config_.Text(1000), "Button 2");
    EXPECT_EQ(config_.Text(1006), ""); // a cell without a row
    EXPECT_TRUE(config_.Enabled(kKcJoypadStart));
    EXPECT_TRUE(config_.Enabled(kKcKeyboardDefault));
    EXPECT_FALSE(config_.Enabled(kKcMouseStart)); // no rows
    EXPECT_FALSE(config_.Enabled(kKcMouseDefault));
    EXPECT_FALSE(config_.Enabled(kKcAbort));
    EXPECT_TRUE(config_.Enabled(kKcAllDefaults));
    EXPECT_EQ(config_.Focus(), kKcJoypadStart);
}

TEST_F(KeyConfigTest, KeyboardSequenceBindsRowsInOrderAndWritesOnce) {
    config_.Click(kKcKeyboardStart);
    EXPECT_TRUE(config_.SequenceRunning(1));
    EXPECT_EQ(config_.Text(1010), "");
    EXPECT_TRUE(config_.Enabled(kKcAbort));
    EXPECT_FALSE(config_.Enabled(kKcJoypadStart));
    EXPECT_EQ(config_.Focus(), 1010);

    const int keys[] = {kSpace, kB, kZ, kC, kD, kP};
    const int actions[] = {kInputDecide,      kInputCancel,       kInputRotateLeft,
                           kInputRotateRight, kInputViewDistance, kInputStart};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(config_.SaveCount(), 0) << "written before the last row";
        Press(1, keys[i]);
        EXPECT_EQ(config_.Text(KeyConfigRows(1)[i].box), input_.ButtonName(1, keys[i]));
    }
    EXPECT_EQ(config_.SaveCount(), 1);
    EXPECT_TRUE(FileWritten());
    EXPECT_FALSE(config_.SequenceRunning(1));
    EXPECT_EQ(config_.Focus(), kKcJoypadStart);
    ButtonMap expected;
    for (int i = 0; i < 6; ++i) {
        expected[keys[i]] = actions[i];
    }
    // The whole map is replaced: the arrow entries are gone.
    EXPECT_EQ(appMaps_[1], expected);
    EXPECT_EQ(input_.CurrentMaps()[1], expected);

    // The file reads back as the same maps.
    CInput other;
    other.Init(&queue_, DefaultButtonMaps());
    ASSERT_TRUE(other.LoadSettings(secure_, CInput::kSettingsFile));
    EXPECT_EQ(other.CurrentMaps()[1], expected);
    EXPECT_EQ(other.CurrentMaps()[0], DefaultButtonMaps()[0]);
}

TEST_F(KeyConfigTest, SameKeyTwiceWarnsAndTheRowKeepsWaiting) {
    config_.Click(kKcKeyboardStart);
    Press(1, kQ);
    Press(1, kQ);
    ASSERT_EQ(boxes_.Asked().size(), 1u);
    EXPECT_EQ(boxes_.Asked()[0].text, SJ("そのボタンは、既に割り当てられています。"));
    EXPECT_EQ(boxes_.Asked()[0].caption, SJ("重複エラー"));
    EXPECT_EQ(config_.CurrentRow(), 1);
    EXPECT_EQ(config_.Text(1016), "");
    Press(1, kB);
    EXPECT_EQ(config_.CurrentRow(), 2);
    EXPECT_EQ(config_.Text(1016), "B");
}

TEST_F(KeyConfigTest, UnnamedKeysAndOtherDevicesAreIgnored) {
    config_.Click(kKcKeyboardStart);
    Press(1, 0xCB); // left arrow: no name
    EXPECT_EQ(config_.CurrentRow(), 0);
    Press(0, kJoypadButtonFirst + 3); // joypad during a keyboard sequence
    EXPECT_EQ(config_.CurrentRow(), 0);
    // Two devices in one poll.
    queue_.Push(InputEvent::Key(kQ, true));
    queue_.Push(InputEvent::JoypadButton(1, true));
    Tick();
    EXPECT_EQ(config_.CurrentRow(), 0);
    EXPECT_TRUE(config_.PendingMaps()[1].empty());
    Tick(); // the keys are still held: no new press
    EXPECT_EQ(config_.CurrentRow(), 0);

    // A joypad sequence takes joypad buttons only.
    config_.Click(kKcAbort);
    config_.Click(kKcJoypadStart);
    Press(1, kP);
    EXPECT_EQ(config_.CurrentRow(), 0);
    Press(0, kJoypadButtonFirst + 4);
    EXPECT_EQ(config_.CurrentRow(), 1);
    EXPECT_EQ(config_.Text(1000), "Button 4");
}

TEST_F(KeyConfigTest, AbortKeepsTheOldBindingsAndRestoresTheBoxes) {
    config_.Click(kKcKeyboardStart);
    Press(1, kQ);
    Press(1, kP);
    config_.Click(kKcAbort);
    EXPECT_FALSE(config_.SequenceRunning(1));
    EXPECT_EQ(config_.CurrentRow(), -1);
    EXPECT_TRUE(config_.PendingMaps()[1].empty());
    EXPECT_EQ(appMaps_[1], DefaultButtonMaps()[1]);
    EXPECT_EQ(config_.Text(1010), "Space");
    EXPECT_TRUE(config_.Enabled(kKcJoypadStart));
    EXPECT_FALSE(config_.Enabled(kKcAbort));
    EXPECT_EQ(config_.SaveCount(), 0);
    EXPECT_FALSE(FileWritten());
    // A click on a disabled button does nothing.
    config_.Click(kKcAbort);
    config_.Click(kKcMouseStart);
    EXPECT_FALSE(config_.SequenceRunning(2));
}

TEST_F(KeyConfigTest, DefaultsResetAndWriteAtOnce) {
    appMaps_[0] = {{48, kInputDecide}};
    input_.SetMaps(appMaps_);
    config_.Refresh();
    EXPECT_EQ(config_.Text(1000), "Button 0");
    EXPECT_EQ(config_.Text(1007), ""); // cancel has no binding
    config_.Click(kKcJoypadDefault);
    EXPECT_EQ(appMaps_[0], DefaultButtonMaps()[0]);
    EXPECT_EQ(config_.Text(1000), "Button 2");
    EXPECT_EQ(config_.SaveCount(), 1);
    EXPECT_TRUE(FileWritten());
    appMaps_[1].clear();
    config_.Click(kKcAllDefaults);
    EXPECT_EQ(appMaps_, DefaultButtonMaps());
    EXPECT_EQ(config_.SaveCount(), 2);
}

TEST_F(KeyConfigTest, TimerTicksEvery33MsAndClosingDropsTheSequence) {
    config_.Click(kKcKeyboardStart);
    queue_.Push(InputEvent::Key(kQ, true));
    clock_.Advance(20);
    config_.Advance(clock_.NowMs()); // too early: no poll
    EXPECT_EQ(config_.CurrentRow(), 0);
    clock_.Advance(13);
    config_.Advance(clock_.NowMs());
    EXPECT_EQ(config_.CurrentRow(), 1);
    config_.Click(kKcClose);
    EXPECT_FALSE(config_.IsOpen());
    EXPECT_FALSE(config_.SequenceRunning(1));
    EXPECT_TRUE(config_.PendingMaps()[1].empty());
    EXPECT_EQ(input_.Held(kInputDecide), 0);
}

} // namespace
} // namespace quolis
