#pragma once
// The game's two settings files: the designer constants of "Setting.Dat"
// (three switches and ten speeds, each speed kept raw and scaled by the game
// speed) and the player's choices of "User.ini".
#include "data/DatArchive.h"

#include <array>
#include <string>

namespace quolis {

// The ten speed constants, in the order of the file's description.
enum SpeedKey : int {
    kSpeedCharaMove,
    kSpeedCameraMove,
    kSpeedCameraMove2,
    kSpeedVary,
    kSpeedSlide,
    kSpeedMeshAnime,
    kSpeedFade,
    kSpeedFadeVolume,
    kSpeedWipe,
    kSpeedEffect,
    kSpeedCount
};

const char* SpeedKeyName(int key);

// Designer constants. A key the file does not give keeps these defaults:
// stories and battles on, no forced cores, movement and camera speeds of a
// tenth of a cell per step, panels sliding a fifth of the way, one model key
// per step, fades of 16 brightness levels and 100 cB per step, and the
// effect timing constant 1.
struct GameSettings {
    int flagMsg = 1;
    int flagBattle = 1;
    int flagAlwaysCore = 0;
    std::array<float, kSpeedCount> raw = {0.1f, 0.1f,  0.1f,   0.1f, 0.2f,
                                          1.0f, 16.0f, 100.0f, 0.1f, 1.0f};
    std::array<float, kSpeedCount> scaled = raw;
};

// Scans a token list of "Setting.Dat": a key token takes the next token as
// its value (a value that does not parse leaves the field unchanged); any
// other token is skipped; the last of repeated keys wins.
void ParseGameSettings(const TokenList& tokens, GameSettings& out);

// Scaled values for a game-speed factor: nine speeds multiplied (the five
// motion speeds at most 1.0), SPEED_EFFECT divided.
void ScaleSpeeds(GameSettings& s, float factor);

// The player's choices.
struct UserSettings {
    int firstPlay = 0;
    float gameSpeed = 1.0f;
    int enableFps = 1;
    int enableMusic = 1;
    int enableSe = 1;
};

// The ten tokens of "User.ini" ("FirstPlay" 1 "GameSpeed" 1.2 ...); the speed
// in the stream's default format ("1", "1.2", "0.6").
TokenList ComposeUserSettings(const UserSettings& s);
// Which keys the file gave (a missing key leaves its value as it was).
struct UserSettingsFound {
    bool firstPlay = false, gameSpeed = false, enableFps = false, enableMusic = false,
         enableSe = false;
};
UserSettingsFound ParseUserSettings(const TokenList& tokens, UserSettings& out);

} // namespace quolis
