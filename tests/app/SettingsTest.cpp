// The settings files' parsers and the speed scaling; the replay file.
#include "app/Settings.h"
#include "app/Replay.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(GameSettings, KeysTakeTheNextTokenAndTheLastOfRepeatsWins) {
    GameSettings s;
    ParseGameSettings({"junk", "FLAG_MSG", "0", "SPEED_FADE", "12.9", "SPEED_VARY", "0.25",
                       "SPEED_VARY", "0.5", "FLAG_BATTLE", "x", "SPEED_WIPE"},
                      s);
    EXPECT_EQ(s.flagMsg, 0);
    EXPECT_EQ(s.flagBattle, 1); // did not parse: unchanged
    EXPECT_EQ(s.raw[kSpeedFade], 12.0f);
    EXPECT_EQ(s.raw[kSpeedVary], 0.5f);
    EXPECT_EQ(s.raw[kSpeedWipe], GameSettings{}.raw[kSpeedWipe]);
}

TEST(GameSettings, ScalingMultipliesClampsAndDividesTheEffect) {
    GameSettings s;
    s.raw[kSpeedCharaMove] = 0.4f;
    s.raw[kSpeedEffect] = 10.0f;
    s.raw[kSpeedMeshAnime] = 1.0f;
    ScaleSpeeds(s, 3.0f);
    EXPECT_EQ(s.scaled[kSpeedCharaMove], 1.0f);
    EXPECT_EQ(s.scaled[kSpeedMeshAnime], 3.0f); // not clamped
    ScaleSpeeds(s, 2.0f);
    EXPECT_EQ(s.scaled[kSpeedEffect], 5.0f);
    EXPECT_FLOAT_EQ(s.scaled[kSpeedCharaMove], 0.8f);
}

TEST(UserSettings, ComposeAndParse) {
    UserSettings u;
    u.gameSpeed = 1.2f;
    u.firstPlay = 1;
    TokenList t = ComposeUserSettings(u);
    EXPECT_EQ(t, (TokenList{"FirstPlay", "1", "GameSpeed", "1.2", "EnableFPS", "1", "EnableMusic",
                            "1", "EnableSE", "1"}));
    UserSettings back;
    back.enableSe = 0;
    UserSettingsFound f = ParseUserSettings({"GameSpeed", "0.6", "EnableFPS"}, back);
    EXPECT_TRUE(f.gameSpeed);
    EXPECT_FALSE(f.enableFps); // no value token
    EXPECT_EQ(back.gameSpeed, 0.6f);
    EXPECT_EQ(back.enableSe, 0);
}

TEST(Replay, RecordsReadBackAndGarbageIsRefused) {
    InputEventQueue q;
    InputRecorder rec;
    q.Push(InputEvent::Key(57, true));
    q.Push(InputEvent::Window(InputEventKind::FocusLost));
    rec.Capture(3, q);
    EXPECT_EQ(q.DeviceCount(InputDeviceIndex::Keyboard), 1u); // put back
    rec.NoteCommand(4, 40013);
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(ParseReplay(rec.Text(9), script, &error)) << error;
    ASSERT_EQ(script.records.size(), 3u);
    EXPECT_EQ(script.passes, 9);
    EXPECT_EQ(script.records[0].event.code, 57);
    EXPECT_TRUE(script.records[2].command);

    InputReplayer player(script);
    std::vector<int> commands;
    player.Feed(3, q, commands);
    InputEvent e;
    ASSERT_TRUE(q.PopDevice(InputDeviceIndex::Keyboard, &e));
    EXPECT_TRUE(e.down);
    EXPECT_FALSE(q.PopDevice(InputDeviceIndex::Keyboard, &e)); // the live one was dropped
    player.Feed(4, q, commands);
    EXPECT_EQ(commands, std::vector<int>{40013});
    EXPECT_FALSE(player.Finished(8));
    EXPECT_TRUE(player.Finished(9));

    for (const char* bad :
         {"", "hello\n", "quolis-input 1\n3 E 0 1\n", "quolis-input 1\n3 E 9 1 57 1 0 0 0\n",
          "quolis-input 1\n5 M 1\n3 M 1\n", "quolis-input 1\nend 2\n1 M 3\n",
          "quolis-input 1\n-1 M 3\n", "quolis-input 1\n1 E 0 1 999 1 0 0 0\n"}) {
        EXPECT_FALSE(ParseReplay(bad, script, &error)) << bad;
    }
}

} // namespace
} // namespace quolis

#include "app/AppFrame.h"

namespace quolis {
namespace {

TEST(HighResTimer, StopHoldsTheApplicationTimeAndElapsedCountsBetweenCalls) {
    ManualClock clock(2000);
    CHighResTimer t;
    t.Run(clock, CHighResTimer::Reset);
    clock.Advance(500);
    EXPECT_DOUBLE_EQ(t.Run(clock, CHighResTimer::AppTime), 0.5);
    EXPECT_DOUBLE_EQ(t.Run(clock, CHighResTimer::AbsoluteTime), 2.5);
    EXPECT_DOUBLE_EQ(t.Run(clock, CHighResTimer::ElapsedTime), 0.5);
    clock.Advance(250);
    EXPECT_DOUBLE_EQ(t.Run(clock, CHighResTimer::ElapsedTime), 0.25);
    t.Run(clock, CHighResTimer::Stop);
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(t.Run(clock, CHighResTimer::AppTime), 0.75);
    t.Run(clock, CHighResTimer::Advance);
    EXPECT_NEAR(t.Run(clock, CHighResTimer::AppTime), 0.85, 1e-9);
    t.Run(clock, CHighResTimer::Start);
    EXPECT_NEAR(t.Run(clock, CHighResTimer::AppTime), 0.85, 1e-9);
    clock.Advance(100); // running again from where it stood
    EXPECT_NEAR(t.Run(clock, CHighResTimer::AppTime), 0.95, 1e-9);
}

} // namespace
} // namespace quolis
