#include "app/AutoPlayer.h"
#include "AppTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quolis {
namespace {

using testing_util::AppFixture;

class AutoPlayerFixture : public AppFixture {
protected:
    // The keyboard events one Drive pushed.
    std::vector<InputEvent> DriveOnce() {
        InputEventQueue out;
        player.Drive(app, out);
        std::vector<InputEvent> events;
        InputEvent e;
        while (out.PopDevice(InputDeviceIndex::Keyboard, &e)) {
            events.push_back(e);
        }
        EXPECT_EQ(out.DeviceCount(InputDeviceIndex::Joypad), 0u);
        return events;
    }
    int KeyOf(int action) {
        for (const auto& [code, a] : app.AppButtonMaps()[1]) {
            if (a == action) {
                return code;
            }
        }
        return -1;
    }
    // One whole press: down now, up on the next pass, then the settling
    // passes in which nothing is pressed. Returns the key pressed.
    int WholePress() {
        std::vector<InputEvent> down = DriveOnce();
        EXPECT_EQ(down.size(), 1u);
        if (down.size() != 1u) {
            return -1;
        }
        EXPECT_TRUE(down[0].down);
        std::vector<InputEvent> up = DriveOnce();
        EXPECT_EQ(up.size(), 1u);
        if (up.size() == 1u) {
            EXPECT_FALSE(up[0].down);
            EXPECT_EQ(up[0].code, down[0].code);
        }
        for (int i = 0; i < AutoPlayer::kSettlePasses; ++i) {
            EXPECT_TRUE(DriveOnce().empty());
        }
        return down[0].code;
    }

    AutoPlayer player;
};

TEST_F(AutoPlayerFixture, SteersTheMenuOnScreenToItsChoiceThenDecides) {
    StartTitle();
    const int scene = app.GetScene(0);
    CButtonRow* row = app.ButtonRows().Add(std::make_unique<CButtonRow>());
    ASSERT_NE(row, nullptr);
    row->AddEntry("A", "", 1, 0, 0, 0, 10, 10, 0);
    row->AddEntry("B", "", 2, 0, 0, 0, 10, 10, 0);
    row->AddEntry("C", "", 3, 0, 0, 0, 10, 10, 0);
    row->Select(1);
    app.SetSharedButtonRow(row);
    app.SetCycle(kCycleButtonRowStep, scene, 500, -1);
    player.Prefer(scene, {"X", "C", "B"}); // first name the menu has wins

    EXPECT_EQ(WholePress(), KeyOf(kInputRight));
    // Looking never moves the cursor or the step: only the game does.
    EXPECT_EQ(row->CurrentKey(), 1);
    EXPECT_EQ(app.GetCycle(scene), kCycleButtonRowStep);
    row->Select(2);
    EXPECT_EQ(WholePress(), KeyOf(kInputRight));
    row->Select(3);
    EXPECT_EQ(WholePress(), KeyOf(kInputDecide));
    // A disabled wanted entry is not chased: the current one is taken.
    row->DisableEntry(3);
    row->Select(1);
    player.Prefer(scene, {"C"});
    EXPECT_EQ(WholePress(), KeyOf(kInputDecide));
    EXPECT_EQ(player.Presses(), 4);
    app.CloseDown();
}

TEST_F(AutoPlayerFixture, SlotListsMoveDownAndStoriesAreReadOn) {
    StartTitle();
    const int scene = app.GetScene(0);
    CSlotList* list = app.SlotLists().Add(std::make_unique<CSlotList>());
    ASSERT_NE(list, nullptr);
    list->AddEntry("one", 1, 0, 0, 0, 10, 10, 0);
    list->AddEntry("two", 2, 0, 0, 0, 10, 10, 0);
    list->Select(1);
    app.SetSharedSlotList(list);
    player.Prefer(scene, {"two"});
    app.SetCycle(kCycleSlotListStep, scene, 500, -1);
    EXPECT_EQ(WholePress(), KeyOf(kInputDown));
    app.SetCycle(kCycleScriptStep, scene, 600, -1);
    EXPECT_EQ(WholePress(), KeyOf(kInputDecide));
    app.CloseDown();
}

TEST_F(AutoPlayerFixture, AQuietSceneGetsADecidePressOnlyAfterItsIdleTime) {
    StartTitle();
    const int scene = app.GetScene(0);
    app.SetCycle(4321, scene, -1, -1);
    for (int i = 1; i < AutoPlayer::kIdlePasses; ++i) {
        ASSERT_TRUE(DriveOnce().empty()) << i;
    }
    EXPECT_EQ(WholePress(), KeyOf(kInputDecide));
    // A change of step starts the idle time anew.
    for (int i = 1; i < AutoPlayer::kIdlePasses / 2; ++i) {
        ASSERT_TRUE(DriveOnce().empty());
    }
    app.SetCycle(4322, scene, -1, -1);
    for (int i = 1; i < AutoPlayer::kIdlePasses; ++i) {
        ASSERT_TRUE(DriveOnce().empty()) << i;
    }
    EXPECT_EQ(WholePress(), KeyOf(kInputDecide));
    app.CloseDown();
}

} // namespace
} // namespace quolis
