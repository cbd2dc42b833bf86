#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(MixerTest, CentibelsBecomeLinearGain) {
    EXPECT_FLOAT_EQ(CentibelsToGain(0), 1.0f);
    EXPECT_NEAR(CentibelsToGain(-2000), 0.1f, 1e-6f);
    EXPECT_NEAR(CentibelsToGain(-600), 0.501187f, 1e-5f);
    EXPECT_NEAR(CentibelsToGain(1000), 3.162278f, 1e-5f);
    EXPECT_EQ(CentibelsToGain(-10000), 0.0f);
    EXPECT_EQ(CentibelsToGain(-20000), 0.0f);
}

PcmSound Tone() {
    PcmSound p;
    p.rate = 22050;
    p.channels = 1;
    p.samples.assign(100, 1000);
    return p;
}

TEST(MixerTest, RecordingMixerKeepsOverlappingInstancesUntilStopped) {
    RecordingMixer m;
    EXPECT_EQ(m.CreateSound(PcmSound{}), 0);
    SoundId a = m.CreateSound(Tone());
    ASSERT_NE(a, 0);
    EXPECT_EQ(m.PlaySound(a + 7, SoundPath::Primary, false), E_FAIL);
    EXPECT_EQ(m.PlaySound(a, SoundPath::Secondary, false), S_OK);
    EXPECT_EQ(m.PlaySound(a, SoundPath::Secondary, true), S_OK);
    EXPECT_EQ(m.SoundingCount(a), 2);
    m.FinishSounds();
    EXPECT_EQ(m.SoundingCount(a), 1); // the looping one goes on
    m.StopAllSounds();
    EXPECT_EQ(m.SoundingCount(a), 0);
}

TEST(MixerTest, RecordingMixerReportsEndOfPieceOnlyForTheCurrentPiece) {
    RecordingMixer m;
    EXPECT_EQ(m.LoadMusic({}), E_FAIL);
    EXPECT_EQ(m.PlayMusic(), E_FAIL);
    std::vector<std::uint8_t> midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
    ASSERT_EQ(m.LoadMusic(midi), S_OK);
    ASSERT_EQ(m.PlayMusic(), S_OK);
    m.FinishMusic();
    EXPECT_EQ(m.Music(), RecordingMixer::MusicState::Stopped);
    // The piece is stopped before the event is taken: the event is dropped.
    m.StopMusic();
    EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::None);

    ASSERT_EQ(m.PlayMusic(), S_OK);
    m.FinishMusic();
    EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::EndOfStream);
    EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::None);
    EXPECT_EQ(m.MusicStarts(), 2);
}

} // namespace
} // namespace quolis
