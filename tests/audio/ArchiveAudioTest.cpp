// Cues and pieces read as archive members, from memory.
#include "audio/Midi.h"
#include "audio/Sound.h"

#include "AudioTestUtil.h"
#include "SoundBytes.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace testbytes;

std::string AsString(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

void WriteArchive(const ScratchRoot& root, const std::string& gamePath,
                  const std::vector<std::pair<std::string, Bytes>>& members) {
    std::vector<ArchiveMemberSource> sources;
    for (auto& [name, bytes] : members) {
        sources.push_back(BinaryMember(name, AsString(bytes)));
    }
    std::string archive;
    ASSERT_TRUE(ComposeArchive(sources, archive));
    root.Write(gamePath, Bytes(archive.begin(), archive.end()));
}

TEST(ArchiveAudioTest, CuesComeFromTheSoundArchiveAndNothingIsExtracted) {
    ScratchRoot root("archive_se");
    WriteArchive(root, "GameData\\SE\\SE.Dat",
                 {{"Key\\DirKey.wav", MakeWav16(11025, 1, {9, 8, 7})},
                  {"Battle\\Cannon.wav", MakeWav16(22050, 2, {1, 2, 3, 4})}});
    // A loose file of the same name must not be used in archive mode.
    root.Write("GameData\\SE\\Battle\\Cannon.wav", MakeWav16(8000, 1, {5}));
    const auto before = root.Files();

    CDatArchive content(false, true);
    RecordingMixer mixer;
    CSound sound;
    ASSERT_EQ(sound.Init(&mixer, "GameData\\SE\\", &content), S_OK);
    ASSERT_EQ(sound.Load("Battle\\Cannon.wav", "cannon", true), S_OK);
    ASSERT_EQ(sound.Load("key\\dirkey.wav", "dir"), S_OK); // member names fold ASCII case
    EXPECT_EQ(sound.Load("Battle\\Absent.wav", "absent"), E_FAIL);
    sound.Play("cannon");
    ASSERT_EQ(mixer.Sounding().size(), 1u);
    const PcmSound* pcm = mixer.Sound(mixer.Sounding()[0].id);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->channels, 2);
    EXPECT_EQ(pcm->samples, (std::vector<std::int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(root.Files(), before);
}

TEST(ArchiveAudioTest, PiecesComeFromTheMusicArchive) {
    ScratchRoot root("archive_midi");
    Bytes title = MakeMidi({60, 64}, 96);
    WriteArchive(root, "GameData\\MIDI\\MIDI.Dat", {{"Title.mid", title}});
    const auto before = root.Files();

    CDatArchive content(false, true);
    RecordingMixer mixer;
    CMidi midi;
    midi.SetDirectory("GameData\\MIDI\\");
    ASSERT_EQ(midi.InitGraph(&mixer, &content), S_OK);
    ASSERT_EQ(midi.Play("Title.mid"), S_OK);
    EXPECT_EQ(mixer.Music(), RecordingMixer::MusicState::Playing);
    EXPECT_EQ(mixer.MusicBytes(), title);
    // An absent member reads as nothing: silence, yet 0.
    EXPECT_EQ(midi.Play("Ending.mid"), S_OK);
    EXPECT_EQ(mixer.Music(), RecordingMixer::MusicState::None);
    EXPECT_EQ(root.Files(), before);

    // No archive at all: the piece cannot be found.
    std::filesystem::remove(HostPath("GameData\\MIDI\\MIDI.Dat"));
    EXPECT_EQ(midi.Play("Title.mid"), CMidi::kMissingFile);
}

} // namespace
} // namespace quolis
