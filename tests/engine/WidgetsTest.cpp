#include "engine/Widgets.h"
#include "EngineTestUtil.h"
#include "common/Text.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using testutil::Bmp24Row;

class WidgetsTest : public testutil::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        files.files["tex\\b0.bmp"] = Bmp24Row({0xFFFFFF});
        files.files["tex\\b1.bmp"] = Bmp24Row({0xFF0000});
        files.files["tex\\b2.bmp"] = Bmp24Row({0x00FF00});
        row.SetupWidget();
        row.AddEntry("two", "b2.bmp", 2, 200, 0, 0, 50, 20, 0);
        row.AddEntry("zero", "b0.bmp", 0, 0, 0, 0, 50, 20, 0);
        row.AddEntry("one", "b1.bmp", 1, 100, 0, 0, 50, 20, 0);
    }
    std::vector<int> Levels() const {
        std::vector<int> out;
        for (const auto& [k, e] : row.Entries()) {
            out.push_back(e.currentLevel);
        }
        return out;
    }
    CButtonRow row;
};

TEST_F(WidgetsTest, KeyOrderWrapAroundAndLevels) {
    EXPECT_EQ(row.CurrentKey(), 0);
    EXPECT_EQ(Levels(), (std::vector<int>{255, 150, 150}));
    EXPECT_EQ(files.reads, 3); // pictures loaded at once
    EXPECT_EQ(row.SelectPrev(), 1);
    EXPECT_EQ(row.CurrentKey(), 2);
    EXPECT_EQ(Levels(), (std::vector<int>{150, 150, 255}));
    row.SelectNext();
    EXPECT_EQ(row.CurrentKey(), 0);
    row.Select(1);
    EXPECT_EQ(Levels(), (std::vector<int>{150, 255, 150}));
    row.Select(7); // unknown: ignored
    EXPECT_EQ(row.CurrentKey(), 1);
}

TEST_F(WidgetsTest, NavigationSkipsDisabledEntries) {
    row.DisableEntry(1);
    row.SelectNext();
    EXPECT_EQ(row.CurrentKey(), 2);
    row.SelectPrev();
    EXPECT_EQ(row.CurrentKey(), 0);
    row.DisableEntry(0);
    row.DisableEntry(2);
    row.SelectNext(); // nothing enabled: stays
    EXPECT_EQ(row.CurrentKey(), 0);
    row.EnableEntry(1);
    row.SelectPrev();
    EXPECT_EQ(row.CurrentKey(), 1);
}

TEST_F(WidgetsTest, NegativeKeyAddsNothing) {
    row.AddEntry("bad", "b0.bmp", -1, 0, 0, 0, 1, 1, 0);
    EXPECT_EQ(row.Entries().size(), 3u);
}

TEST_F(WidgetsTest, GetSelectedIncludingTheDisabledCurrentEntry) {
    std::string name = "old";
    int key = -5;
    EXPECT_EQ(row.GetSelected(name, &key), 1);
    EXPECT_EQ(name, "zero");
    EXPECT_EQ(key, 0);
    row.DisableEntry(0);
    name = "old";
    key = 9;
    EXPECT_EQ(row.GetSelected(name, &key), 1);
    EXPECT_EQ(name, "old");
    EXPECT_EQ(key, 9);
    row.ClearEntries();
    EXPECT_EQ(row.GetSelected(name, &key), 0);
    EXPECT_EQ(name, "");
}

TEST_F(WidgetsTest, ButtonRowDrawsEveryEntryWithItsLevelCappedByTheWidgetAlpha) {
    row.SetAlpha(200);
    row.Draw();
    ASSERT_EQ(device.Draws().size(), 3u);
    EXPECT_EQ(device.Draws()[0].screen[0].color >> 24, 200u); // key 0, current
    EXPECT_EQ(device.Draws()[1].screen[0].color >> 24, 150u);
    EXPECT_EQ(device.Draws()[2].screen[0].color >> 24, 150u);
    EXPECT_EQ(device.Draws()[1].screen[0].x, 100.f);
    EXPECT_EQ(device.Draws()[2].screen[2].x, 250.f);
    EXPECT_NE(device.Draws()[1].texture, device.Draws()[2].texture);
    device.ClearRecord();
    row.SetColour(100, 255, 0, 0);
    row.Draw();
    for (const DrawRecord& d : device.Draws()) {
        EXPECT_EQ(d.screen[0].color, 0x64FF0000u);
    }
    device.ClearRecord();
    row.SetEnabled(0);
    row.Draw();
    EXPECT_TRUE(device.Draws().empty());
}

TEST_F(WidgetsTest, SlotListEmptyAndDrawing) {
    CSlotList list;
    list.SetupWidget("Arial", 14, 1);
    std::string name = "x";
    EXPECT_EQ(list.GetSelected(name), 0);
    EXPECT_EQ(name, "");
    list.AddEntry("Save1", 1, 300, 200, 0, 100, 30, 0);
    list.AddEntry("Save2", 2, 300, 230, 0, 100, 30, 0);
    EXPECT_EQ(list.GetSelected(name), 1);
    EXPECT_EQ(name, "Save1");
    // No rasteriser here: drawing must simply do nothing.
    list.Draw();
    EXPECT_TRUE(device.Draws().empty());
    EXPECT_EQ(list.Text()->GetText(), "Save2"); // the last entry drawn
    EXPECT_EQ(list.Text()->position, Vec3(300, 230, 0));
    EXPECT_EQ(list.Text()->GetAlpha(), 150);
}

struct RecordedCues : MenuCues {
    std::vector<std::string> played;
    void PlayCue(const std::string& name) override { played.push_back(name); }
};

TEST_F(WidgetsTest, ButtonRowServiceMovesAndDecides) {
    std::uint32_t trig[32] = {};
    RecordedCues cues;
    std::string result = "before";
    int index = -1;
    row.SetAlpha(0);
    row.SetEnabled(0);
    OpenMenu(row);
    EXPECT_EQ(row.GetAlpha(), 255);
    EXPECT_EQ(row.IsEnabled(), 1);
    trig[kActRight] = 1;
    trig[kActCancel] = 1;
    EXPECT_EQ(StepButtonRowMenu(row, trig, &cues, result, index), MenuStep::Running);
    EXPECT_EQ(row.CurrentKey(), 1);
    EXPECT_EQ(trig[kActRight], 1u);  // left and right stay set
    EXPECT_EQ(trig[kActCancel], 1u); // cancel does nothing here
    trig[kActRight] = 0;
    trig[kActDecide] = 1;
    EXPECT_EQ(StepButtonRowMenu(row, trig, &cues, result, index), MenuStep::Done);
    EXPECT_EQ(result, "one");
    EXPECT_EQ(index, 1);
    EXPECT_EQ(trig[kActDecide], 0u);
    EXPECT_EQ(cues.played, (std::vector<std::string>{SJ("方向キー"), SJ("決定キー")}));
}

TEST_F(WidgetsTest, DecideOnADisabledEntryIsNotAChoice) {
    std::uint32_t trig[32] = {};
    std::string result = "zero"; // left over from an earlier menu
    int index = 0;
    row.DisableEntry(0);
    trig[kActDecide] = 1;
    EXPECT_EQ(StepButtonRowMenu(row, trig, nullptr, result, index), MenuStep::Running);
    EXPECT_EQ(trig[kActDecide], 1u);
}

TEST_F(WidgetsTest, SlotListServiceCancelAndCursor) {
    CSlotList list;
    list.SetupWidget("Arial", 14, 1);
    list.AddEntry("A", 0, 0, 0, 0, 10, 10, 0);
    list.AddEntry("B", 1, 0, 30, 0, 10, 10, 0);
    std::uint32_t trig[32] = {};
    RecordedCues cues;
    std::string result;
    int index = -1;
    trig[kActUp] = 1;
    EXPECT_EQ(StepSlotListMenu(list, trig, &cues, result, index), MenuStep::Running);
    EXPECT_EQ(list.CurrentKey(), 1);
    EXPECT_EQ(trig[kActUp], 0u);
    trig[kActCancel] = 1;
    EXPECT_EQ(StepSlotListMenu(list, trig, &cues, result, index), MenuStep::Done);
    EXPECT_EQ(result, SJ("キャンセル"));
    EXPECT_EQ(cues.played.back(), SJ("キャンセルキー"));
    trig[kActDown] = 1;
    trig[kActDecide] = 1;
    EXPECT_EQ(StepSlotListMenu(list, trig, &cues, result, index), MenuStep::Done);
    EXPECT_EQ(result, "A");
    EXPECT_EQ(index, 0);
}

} // namespace
} // namespace quolis
