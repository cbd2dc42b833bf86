// The status screen: the Metal Arms list in MP-cost order with the unknown
// ones masked, and stepping through the squad with wrapping.
#include "scenes/status/StatusScene.h"
#include "scenes/SceneTestUtil.h"

namespace quolis {
namespace {

using namespace testing_util;

struct Masters {
    MAMaster arms;
    CharaMaster charas;
    Masters() {
        // Costs: A 0, B 12, C 4, D 30, E 8.
        arms.Parse(SplitTokens("A 1 6 0 B 2 8 12 C 3 10 4 D 1 14 30 E 1 9 8"));
        charas.Parse(
            SplitTokens(Utf8ToCp932("／／名前 ＱＬ－９ QL9 テスト ／／名前終わり "
                                    "／／メタルアームズ ＱＬ－９ ／／ A 0 1 B 0 1 C 0 5 D 0 10 "
                                    "E 1 1 ／／ ／／メタルアームズ終わり")),
            arms);
    }
};

TEST(StatusArms, FiveArmsTwoLearntShowThreeMaskedRowsInCostOrder) {
    Masters m;
    CharaValues c;
    c.SetTypeName(Utf8ToCp932("ＱＬ－９"));
    c.LearnArm(*m.arms.Find("A"));
    c.LearnArm(*m.arms.Find("B"));
    std::vector<ArmsRow> rows = StatusArmsRows(m.charas, m.arms, c);
    const std::string mask = SJ("＊＊＊＊＊＊");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].name, "A"); // cost 0
    EXPECT_EQ(rows[0].range, "1");
    EXPECT_EQ(rows[0].power, "6");
    EXPECT_EQ(rows[0].mpCost, "0");
    EXPECT_EQ(rows[1].name, mask); // C, cost 4
    EXPECT_EQ(rows[2].name, mask); // E, cost 8
    EXPECT_EQ(rows[3].name, "B");  // cost 12
    EXPECT_EQ(rows[3].mpCost, "12");
    EXPECT_EQ(rows[4].name, mask); // D, cost 30
    for (int i : {1, 2, 4}) {
        EXPECT_EQ(rows[i].range, "?");
        EXPECT_EQ(rows[i].power, "?");
        EXPECT_EQ(rows[i].mpCost, "?");
    }
    // The text lines up the columns in bytes: every row as long as the
    // heading.
    std::string text = StatusArmsText(rows);
    std::size_t start = 0, first = text.find('\n');
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        EXPECT_EQ(end - start, first) << text.substr(start, end - start);
        start = end + 1;
    }
    CharaValues stray;
    stray.SetTypeName("none");
    EXPECT_TRUE(StatusArmsRows(m.charas, m.arms, stray).empty());
}

TEST(StatusArms, SteppingWrapsAtBothEnds) {
    EXPECT_EQ(StepSquadIndex(2, 3, 1), 0);
    EXPECT_EQ(StepSquadIndex(0, 3, -1), 2);
    EXPECT_EQ(StepSquadIndex(1, 3, 1), 2);
    EXPECT_EQ(StepSquadIndex(0, 0, 1), 0);
}

class StatusScene : public SceneFixture {
protected:
    void Open(const std::vector<std::string>& names) {
        StartGame();
        for (const std::string& n : names) {
            CharaValues c;
            c.SetName(n);
            c.SetTypeName("type");
            c.SetMaxHP(40);
            c.SetHP(40);
            app.OwnCampaign().State()->squad.emplace(n, c);
        }
        Enter(kSceneStatus);
    }
    std::string Shown() { return app.Texts().Get(0)->GetText(); }
    std::string NameShown() { return Shown().substr(0, Shown().find('\n')); }
};

TEST_F(StatusScene, TheSquadIsShownInNameOrderAndSteppingWraps) {
    Open({"wolf2", "hornet1", "rhino1"});
    ASSERT_GE(StepUntil(kSceneStatus, 100), 0);
    EXPECT_EQ(NameShown(), "hornet1");
    Tap(kKeyLeft); // from the first to the last
    EXPECT_EQ(NameShown(), "wolf2");
    Tap(kKeyRight); // from the last to the first
    EXPECT_EQ(NameShown(), "hornet1");
    Tap(kKeyDown);
    EXPECT_EQ(NameShown(), "rhino1");
    EXPECT_NE(Shown().find(SJ("ＨＰ：40／40")), std::string::npos);
    Tap(kKeyB);
    ASSERT_GE(StepUntil(kSceneMenu, 0), 0);
}

TEST_F(StatusScene, AnEmptySquadShowsNothingAndCancelStillLeaves) {
    Open({});
    ASSERT_GE(StepUntil(kSceneStatus, 100), 0);
    Tap(kKeyRight);
    EXPECT_TRUE(Shown().empty());
    Tap(kKeyB);
    ASSERT_GE(StepUntil(kSceneMenu, 0), 0);
}

} // namespace
} // namespace quolis
