#include "AttackTestUtil.h"

#include <algorithm>

using namespace quolis;
using namespace quolis::creaturetest;

namespace {

using V = std::vector<std::string>;
using I = std::vector<int>;

// The end of every attack on a target that survives: the attacker rests, the
// target plays "Damage3", then "wait" facing its old direction.
const V kSurvive{"Damage3", "wait"};

TEST_F(AttackTest, BodyBlowOpensHitsAndClosesInOrder) {
    const Run r = Play("体当たり");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"dash1", "dash2", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), V{"衝突音１"});
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "target", "attacker"}));
    // Not special: no darkening, only the shared closing's fade up and switch off.
    EXPECT_EQ(Seq(r, "dark "), (V{"fade up", "off"}));
    // The hit, the reaction and the damage moment come as dash2 starts; the
    // attack's first animation starts on the camera's arrival.
    EXPECT_EQ(CallOf(r, "A dash2"), CallOf(r, "cue 衝突音１"));
    EXPECT_EQ(CallOf(r, "A dash2"), CallOf(r, "damage"));
    EXPECT_EQ(CallOf(r, "A dash1"), CallOf(r, "camera attacker"));
    EXPECT_EQ(r.rolls, 1);
    EXPECT_EQ(target_.HP(), 500 - r.shownDamage);
    EXPECT_GT(r.shownDamage, 0);
    EXPECT_EQ(target_.GetDirection(), "left"); // back to the direction it had
    EXPECT_EQ(attacker_.GetDirection(), "up"); // turned toward the target
    EXPECT_EQ(target_.NumberSprite()->IsShown(), 0);
    EXPECT_EQ(attacker_.AttackStep(FindAttackScript(Utf8ToCp932("体当たり"))), 0);
}

TEST_F(AttackTest, CannonFiresRestsThenHitsOnTheCamerasArrival) {
    const Run r = Play("２０ｍｍキャノン");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"Cannon1", "Cannon2", "wait"}));
    EXPECT_EQ(Seq(r, "cue "), (V{"キャノン発射", "爆発音１"}));
    EXPECT_EQ(CallOf(r, "cue キャノン発射"), CallOf(r, "A Cannon2"));
    EXPECT_EQ(CallOf(r, "cue 爆発音１"), CallOf(r, "camera target"));
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "camera target"));
    EXPECT_LT(CallOf(r, "A wait"), CallOf(r, "camera target"));
}

TEST_F(AttackTest, BurstRunBurnsTheAttackerFirstThenTenHits) {
    // Short cells (one per frame) so that ten Burns never need more than nine
    // sprites at once.
    CChara::SetSpeeds(0.01f, 0.5f, 64.0f);
    const Run r = Play("バーストラン");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), Cat({{"BRun1", "BRun2"}, Repeat("BRun3", 10), {"BRun4", "wait"}}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 9), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), Repeat("バーン", 11));
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "target", "attacker"}));
    EXPECT_EQ(Seq(r, "dark "), (V{"on", "fade down", "fade up", "off"}));
    // The attacker's own Burn (31 cells) has ended before BRun2 starts.
    const int selfBurn = CallOf(r, "cue バーン", 0);
    EXPECT_GE(CallOf(r, "A BRun2") - selfBurn, 30);
    EXPECT_EQ(CallOf(r, "cue バーン", 1), CallOf(r, "A BRun3"));
    EXPECT_EQ(CallOf(r, "T Damage1"), CallOf(r, "A BRun3"));
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A BRun4"));
    EXPECT_LT(CallOf(r, "damage"), CallOf(r, "camera target"));
}

TEST_F(AttackTest, FinalGravityFiresFiveTimesScattersAndPresses) {
    CChara::SetSpeeds(0.01f, 0.5f, 64.0f); // ten effects, never more than nine at once
    const Run r = Play("ファイナルグラビティ");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "),
              Cat({{"FGravity1"}, Repeat("FGravity2", 5), {"OPress1", "OPress2", "wait"}}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 9), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "),
              Cat({Repeat("キャノン発射", 5), Repeat("グラビティ", 5), Repeat("衝突音１", 5)}));
    // No glide to the target after the damage moment.
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "target", "attacker", "rise", "attacker"}));
    EXPECT_EQ(Seq(r, "dark "), (V{"on", "fade down", "fade up", "off"}));
    const I fire = Calls(r, "cue キャノン発射");
    const I starts = Calls(r, "A FGravity2");
    EXPECT_EQ(fire, starts);
    // The first Gravity hit waits for the last FGravity2 and the camera.
    const I gravity = Calls(r, "cue グラビティ");
    EXPECT_GT(gravity[0], CallOf(r, "camera target"));
    for (std::size_t i = 1; i < gravity.size(); ++i)
        EXPECT_EQ(gravity[i] - gravity[i - 1], 10) << i;
    // Back to the attacker, OPress1, the rise; then a Crush every 5 frames,
    // OPress2 with the second.
    EXPECT_GT(CallOf(r, "camera attacker", 1), gravity.back());
    EXPECT_EQ(CallOf(r, "A OPress1"), CallOf(r, "camera attacker", 1));
    const I crush = Calls(r, "cue 衝突音１");
    EXPECT_GT(crush[0], CallOf(r, "camera rise"));
    for (std::size_t i = 1; i < crush.size(); ++i)
        EXPECT_EQ(crush[i] - crush[i - 1], 5) << i;
    EXPECT_EQ(CallOf(r, "A OPress2"), crush[1]);
    EXPECT_GE(CallOf(r, "damage"), crush.back());
    EXPECT_GE(CallOf(r, "damage"), CallOf(r, "A OPress2") + 10); // OPress2 has ended
}

TEST_F(AttackTest, StreamSlashRisesTurnsBackAndShouts) {
    const Run r = Play("ストリームスラッシュ");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"SSlush1", "SSlush2", "SSlush3", "SSlush4", "SSlush5", "SSlush6",
                               "SSlush7", "SSlush8", "SSlush9", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 7), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "),
              Cat({{"メカ１"}, Repeat("スラッシュ", 4), {"ＱＬ叫び"}, Repeat("スラッシュ", 4)}));
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "rise", "attacker", "target", "attacker"}));
    EXPECT_EQ(Seq(r, "dark "), (V{"on", "fade down", "fade up", "off"}));
    EXPECT_EQ(CallOf(r, "cue メカ１"), CallOf(r, "A SSlush1"));
    // The first hit comes as SSlush1 ends, on its own step before SSlush2.
    EXPECT_LT(CallOf(r, "cue スラッシュ"), CallOf(r, "A SSlush2"));
    EXPECT_EQ(CallOf(r, "cue スラッシュ", 1), CallOf(r, "A SSlush2"));
    EXPECT_EQ(CallOf(r, "cue ＱＬ叫び"), CallOf(r, "A SSlush5"));
    EXPECT_EQ(CallOf(r, "camera attacker", 1), CallOf(r, "A SSlush5"));
    EXPECT_EQ(CallOf(r, "cue スラッシュ", 4), CallOf(r, "A SSlush6"));
    EXPECT_GE(CallOf(r, "damage"), CallOf(r, "A SSlush9") + 10);
}

TEST_F(AttackTest, StealthBladeFadesTheAttackerAndHasNoGlideAfterTheDamage) {
    int alphaDuring = -1;
    const Run r = Play("ステルスブレード", 3000, [&](int) {
        if (attacker_.GetAnimation() == "SBlade5")
            alphaDuring = attacker_.GetAlpha();
    });
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"SBlade1", "SBlade2", "SBlade3", "SBlade4", "SBlade5", "SBlade6",
                               "SBlade7", "SBlade8", "SBlade9", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 7), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), Repeat("スラッシュ", 8));
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "target", "attacker"}));
    EXPECT_EQ(alphaDuring, 80);
    EXPECT_EQ(attacker_.GetAlpha(), 255);
    EXPECT_EQ(CallOf(r, "A SBlade1"), CallOf(r, "camera target"));
    EXPECT_EQ(CallOf(r, "cue スラッシュ"), CallOf(r, "A SBlade2"));
    EXPECT_GE(CallOf(r, "damage"), CallOf(r, "A SBlade9") + 10);
}

TEST_F(AttackTest, SharkAssaultOpensOnTheRaisedAttacker) {
    const Run r = Play("シャークアサルト");
    ASSERT_TRUE(r.ended);
    V anims;
    for (int i = 1; i <= 10; ++i)
        anims.push_back("SAssault" + std::to_string(i));
    anims.push_back("wait");
    EXPECT_EQ(Seq(r, "A "), anims);
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 8), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), Repeat("衝突音１", 9));
    EXPECT_EQ(Seq(r, "camera "), (V{"rise", "target", "attacker"}));
    EXPECT_EQ(CallOf(r, "A SAssault1"), CallOf(r, "camera rise"));
    EXPECT_EQ(CallOf(r, "cue 衝突音１"), CallOf(r, "A SAssault2"));
    EXPECT_GE(CallOf(r, "damage"), CallOf(r, "A SAssault10") + 10);
}

TEST_F(AttackTest, SonicShowsTheEffectAloneAndTheTargetReactsAfterIt) {
    const Run r = Play("ソニック");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"Sonic1", "Sonic2", "Sonic3", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), V{"ソニック"});
    EXPECT_EQ(CallOf(r, "cue ソニック"), CallOf(r, "camera target"));
    // The 15-cell effect runs out first (each cell more than 0.05 s).
    EXPECT_GE(CallOf(r, "A Sonic3") - CallOf(r, "cue ソニック"), 15);
    EXPECT_EQ(CallOf(r, "T Damage1"), CallOf(r, "A Sonic3"));
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A Sonic3"));
}

TEST_F(AttackTest, SonicWaveSendsSixWavesThenTheTargetReacts) {
    const Run r = Play("ソニックウェーブ");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"SonicW1", "SonicW2", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, kSurvive}));
    const I waves = Calls(r, "cue ソニック");
    ASSERT_EQ(waves.size(), 6u);
    EXPECT_EQ(waves[0], CallOf(r, "A SonicW1") + 10);
    for (std::size_t i = 1; i < waves.size(); ++i)
        EXPECT_EQ(waves[i] - waves[i - 1], 10);
    EXPECT_GT(CallOf(r, "T Damage1"), waves.back() - 1);
    EXPECT_EQ(CallOf(r, "T Damage1"), CallOf(r, "A SonicW2"));
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A SonicW2"));
}

TEST_F(AttackTest, TripleMissileFiresThreeTimesAndEachHitWaitsForTheLast) {
    const Run r = Play("トリプルミサイル");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "), (V{"Cannon1", "Cannon1", "Cannon1", "Cannon2", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1", "Damage2", "Damage2"}, kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), Cat({Repeat("キャノン発射", 3), Repeat("爆発音２", 3)}));
    const I fire = Calls(r, "cue キャノン発射");
    EXPECT_EQ(fire[0], CallOf(r, "A Cannon1", 1));
    EXPECT_EQ(fire[1], CallOf(r, "A Cannon1", 2));
    EXPECT_EQ(fire[2], CallOf(r, "A Cannon2"));
    const I hits = Calls(r, "cue 爆発音２");
    EXPECT_EQ(hits[0], CallOf(r, "camera target"));
    // Damage1 and Damage2 take two updates each.
    EXPECT_EQ(hits[1] - hits[0], 2);
    EXPECT_EQ(hits[2] - hits[1], 2);
    EXPECT_EQ(CallOf(r, "damage"), hits[2]);
    // The three explosions at their own offsets and size.
    int seen = 0;
    for (int i = 0; i < CChara::kEffectCount; ++i) {
        const CEffect& e = *target_.Effect(i);
        if (e.CellCount() == 30 && e.GetSize().x == 250)
            ++seen;
    }
    EXPECT_EQ(seen, 3);
}

TEST_F(AttackTest, OmegaSlashRapidHitsDuringOSlush8AndOneMoreAsOSlush9Starts) {
    const Run r = Play("オメガスラッシュ");
    ASSERT_TRUE(r.ended);
    V anims;
    for (int i = 1; i <= 9; ++i)
        anims.push_back("OSlush" + std::to_string(i));
    anims.push_back("wait");
    EXPECT_EQ(Seq(r, "A "), anims);
    const I slash = Calls(r, "cue スラッシュ");
    const int o8 = CallOf(r, "A OSlush8");
    const int o9 = CallOf(r, "A OSlush9");
    // Five before OSlush8 (after OSlush1, 2, 4, 5, 7).
    EXPECT_EQ(std::count_if(slash.begin(), slash.end(), [&](int c) { return c <= o8; }), 5);
    I rapid;
    for (int c : slash)
        if (c > o8 && c < o9)
            rapid.push_back(c);
    // OSlush8 plays ten updates: one hit five calls after it started (the
    // next would come as it ends), then the one as OSlush9 starts.
    EXPECT_EQ(rapid, (I{o8 + 5}));
    EXPECT_EQ(o9, o8 + 10);
    EXPECT_EQ(slash.back(), o9);
    EXPECT_EQ(slash.size(), 7u);
    EXPECT_EQ(Seq(r, "T ").size(), 7u + 2u);
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A wait"));
    EXPECT_GE(CallOf(r, "damage"), o9 + 10);
}

TEST_F(AttackTest, ThousandPierceRisesAndHitsFromTheSecondTPierce1) {
    const Run r = Play("サウザンドピアース");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "A "),
              (V{"TPierce1", "TPierce1", "TPierce2", "TPierce3", "TPierce4", "TPierce6", "wait"}));
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, Repeat("Damage2", 4), kSurvive}));
    EXPECT_EQ(Seq(r, "cue "), Repeat("ニードル", 5));
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "rise", "target", "attacker"}));
    EXPECT_EQ(Seq(r, "dark "), (V{"on", "fade down", "fade up", "off"}));
    EXPECT_EQ(CallOf(r, "cue ニードル"), CallOf(r, "A TPierce1", 1));
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A TPierce6"));
    for (int i = 0; i < CChara::kEffectCount; ++i) {
        const CEffect& e = *target_.Effect(i);
        if (e.CellCount() == 20) {
            EXPECT_EQ(e.GetRed(), 200);
            EXPECT_EQ(e.GetGreen(), 0);
            EXPECT_EQ(e.GetSize().x, 200);
        }
    }
}

TEST_F(AttackTest, ExactDamageKillsTheTarget) {
    const Run probe = Play("体当たり");
    ASSERT_GT(probe.shownDamage, 0);
    target_.SetHP(probe.shownDamage);
    target_.SetAnimation("wait");
    const Run r = Play("体当たり");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(target_.HP(), 0);
    // Faded out, the beaten target is still set back to "wait".
    EXPECT_EQ(Seq(r, "T "), (V{"Damage1", "Damage3", "Dead1", "Dead2", "wait"}));
    EXPECT_EQ(Seq(r, "cue "), (V{"衝突音１", "ＱＬ破壊"}));
    EXPECT_EQ(CallOf(r, "cue ＱＬ破壊"), CallOf(r, "T Dead1"));
    EXPECT_EQ(target_.GetAlpha(), 0);
    EXPECT_EQ(target_.NumberSprite()->IsShown(), 0);
}

TEST_F(AttackTest, ZeroDamageStillShowsTheNumberAndCloses) {
    attacker_.SetAP(0);
    target_.SetDP(99999);
    const Run r = Play("体当たり");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.shownDamage, 0); // "0" is shown
    EXPECT_EQ(r.hpChanges, 0);
    EXPECT_EQ(Seq(r, "T "), Cat({{"Damage1"}, kSurvive}));
    EXPECT_EQ(Seq(r, "camera "), (V{"attacker", "target", "attacker"}));
}

TEST_F(AttackTest, GigaSlashShowsThreeEffectsButReducesHPOnce) {
    const Run r = Play("ギガスラッシュ");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(Seq(r, "cue "), Repeat("スラッシュ", 3));
    EXPECT_EQ(r.rolls, 1);
    EXPECT_EQ(r.hpChanges, 1);
    EXPECT_EQ(target_.HP(), 500 - r.shownDamage);
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "A wait"));
    EXPECT_GE(CallOf(r, "damage"), CallOf(r, "A GSlush6") + 10);
}

TEST_F(AttackTest, FrameWaitsStopWhileTimeIsFrozen) {
    int frozenAt = -1;
    const Run r = Play("ソニックウェーブ", 3000, [&](int call) {
        if (frozenAt < 0 && target_.AnyEffectActive()) { // the first wave has started
            frozenAt = call;
            CStopwatch::SetTimeFrozen(true);
        }
        if (frozenAt > 0 && call == frozenAt + 30)
            CStopwatch::SetTimeFrozen(false);
    });
    ASSERT_TRUE(r.ended);
    const I waves = Calls(r, "cue ソニック");
    ASSERT_EQ(waves.size(), 6u);
    // The wave after the freeze comes 30 calls late.
    EXPECT_EQ(waves[1] - waves[0], 10 + 30);
    EXPECT_EQ(waves[2] - waves[1], 10);
}

TEST_F(AttackTest, AtGameSpeedTwoARapidHitLandsOnEveryThirdCall) {
    WriteAnim("T\\SDash2", 21); // 40 updates
    CChara::SetSpeeds(0.05f, 0.5f, 64.0f, 2.0f);
    const Run r = Play("真撃体当たり");
    ASSERT_TRUE(r.ended);
    const I crush = Calls(r, "cue 衝突音１");
    ASSERT_GE(crush.size(), 6u);
    for (std::size_t i = 2; i < crush.size(); ++i)
        EXPECT_EQ(crush[i] - crush[i - 1], 3) << i;
    // The damage moment waits for SDash3, "wait" and the camera.
    EXPECT_EQ(CallOf(r, "damage"), CallOf(r, "camera target"));
    EXPECT_GT(CallOf(r, "damage"), CallOf(r, "A wait"));
}

TEST_F(AttackTest, EveryAttackEndsWithExactlyOneDamageRoll) {
    ASSERT_EQ(AttackScripts().size(), 50u);
    for (const AttackScript& s : AttackScripts()) {
        const std::string name = Cp932ToUtf8(s.name);
        target_.SetHP(99999);
        target_.SetAnimation("wait");
        const Run r = Play(name, 2000);
        EXPECT_TRUE(r.ended) << name;
        EXPECT_EQ(r.rolls, 1) << name;
        EXPECT_EQ(r.hpChanges, 1) << name;
        EXPECT_EQ(attacker_.AttackStep(FindAttackScript(s.name)), 0) << name;
        EXPECT_EQ(Seq(r, "dark ").front() == "on", s.special) << name;
        EXPECT_EQ(Seq(r, "dark ").back(), "off") << name;
        EXPECT_EQ(Seq(r, "camera ").back(), "attacker") << name;
        EXPECT_EQ(attacker_.GetAnimation(), "wait") << name;
        EXPECT_EQ(target_.GetAnimation(), "wait") << name;
    }
}

TEST_F(AttackTest, APauseInTheMiddleResumesWhereItStopped) {
    const Run plain = Play("ファイナルグラビティ");
    target_.SetHP(500);
    const Run r = Play("ファイナルグラビティ", 3000, [&](int call) {
        if (call == 150) {
            CStopwatch::PauseAll();
            paused_ = true;
        }
        if (call == 200) {
            CStopwatch::ResumeAll();
            paused_ = false;
        }
    });
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.rolls, 1);
    EXPECT_EQ(Seq(r, "A "), Seq(plain, "A "));
    EXPECT_EQ(Seq(r, "T "), Seq(plain, "T "));
    EXPECT_EQ(Seq(r, "cue "), Seq(plain, "cue "));
    EXPECT_EQ(Seq(r, "camera "), Seq(plain, "camera "));
}

TEST_F(AttackTest, MissingAnimationsStillEndTheAttack) {
    attacker_.SetModelFolder("Nowhere");
    const Run r = Play("ギガスラッシュ", 2000);
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.rolls, 1);
    EXPECT_EQ(Seq(r, "cue "), Repeat("スラッシュ", 3));
}

TEST_F(AttackTest, AnAttackWithoutAPresentationEndsAtOnce) {
    const Run r = Play("かめはめ波");
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.calls, 1);
    EXPECT_EQ(r.rolls, 0);
    EXPECT_TRUE(r.events.empty());
}

} // namespace
