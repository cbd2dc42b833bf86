#pragma once
// CSound: the sound-effect player. Cues are registered under a cue name with
// the WAV file they play (a member of "GameData\SE\SE.Dat", or a file in the
// SE folder when the content reader reads plain files) and live until
// ReleaseAll. Every Play starts a new instance; instances overlap.
#include "common/Status.h"
#include "platform/Mixer.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace quolis {

class CDatArchive;

class CSound {
public:
    static constexpr const char* kArchivePath = "GameData\\SE\\SE.Dat";
    static constexpr long kMasterMin = -10000;
    static constexpr long kMasterMax = 1000;
    static constexpr long kPathMin = -9600;
    static constexpr long kPathMax = 0;

    CSound() = default;
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Stores the mixer, the loose-file folder ("GameData\SE\") and the content
    // reader (may be null: loose files), and sets both path volumes to their
    // stored values. Run at every scene build.
    HRESULT Init(Mixer* mixer, std::string directory, CDatArchive* archive);

    // Registers one cue. E_FAIL when the file is already registered (the
    // first cue name stays its only one), or it cannot be read or decoded.
    // standardMidi: such cues cannot be played as effects here; E_FAIL.
    HRESULT Load(std::string_view fileName, std::string_view cueName, bool secondary = false,
                 bool standardMidi = false, bool repeatForever = false);
    // 0, or E_FAIL for a cue that was never registered. Does nothing and
    // returns 0 while effects are switched off.
    HRESULT Play(std::string_view cueName);

    // -10000..1000 cB for every effect (the application sets 1000).
    void SetMasterVolume(long centibels);
    // -9600..0 cB for the cues of each path.
    void SetPrimaryVolume(long centibels);
    void SetSecondaryVolume(long centibels);
    long MasterVolume() const { return masterVolume_; }
    long PrimaryVolume() const { return primaryVolume_; }
    long SecondaryVolume() const { return secondaryVolume_; }

    // Stops every effect and forgets every cue. E_FAIL without a mixer.
    HRESULT ReleaseAll();

    // Stops everything that sounds, then stores the flag (the "効果音オン" switch).
    void SetEnabled(int flag);
    int IsEnabled() const { return enabled_; }

    bool HasCue(std::string_view cueName) const;
    std::size_t CueCount() const { return byName_.size(); }

private:
    struct Cue {
        std::string cueName;
        std::string fileName;
        SoundId sound = 0;
        bool secondary = false;
        bool repeatForever = false;
    };

    int enabled_ = 1;
    CDatArchive* archive_ = nullptr;
    std::string directory_;
    Mixer* mixer_ = nullptr;
    long masterVolume_ = 0;
    long primaryVolume_ = 0;
    long secondaryVolume_ = 0;
    std::map<std::string, std::shared_ptr<Cue>, std::less<>> byName_;
    std::map<std::string, std::shared_ptr<Cue>, std::less<>> byFile_;
};

} // namespace quolis
