#include "creature/Cues.h"

#include "common/Text.h"

#include <array>

namespace quolis {

namespace {

struct CueEntry {
    const char* name; // UTF-8
    const char* file;
};

constexpr CueEntry kCues[kCharaCueCount] = {
    {"キャノン発射", "Battle\\Cannon.wav"}, {"バルカン発射", "Battle\\Balkan.wav"},
    {"爆発音１", "Battle\\Explosion.wav"},  {"爆発音２", "Battle\\Explosion2.wav"},
    {"衝突音１", "Battle\\Crush.wav"},      {"ニードル", "Battle\\Needle.wav"},
    {"スラッシュ", "Battle\\Slush.wav"},    {"グラビティ", "Battle\\Gravity.wav"},
    {"アトミック", "Battle\\Atomic.wav"},   {"超振動", "Battle\\CS.wav"},
    {"ソニック", "Battle\\Sonic.wav"},      {"イリーガルソニック", "Battle\\ISonic.wav"},
    {"ブレス", "Battle\\Breath.wav"},       {"レーザー", "Battle\\Laser.wav"},
    {"プラズマ", "Battle\\Plasma.wav"},     {"バーン", "Battle\\Burn.wav"},
    {"ＱＬ叫び", "Battle\\QLVoice1.wav"},   {"ＱＬ破壊", "Battle\\Destoroyed.wav"},
    {"メカ１", "Battle\\Mecha1.wav"},
};

} // namespace

const std::string& CueName(int cue) {
    static const std::array<std::string, kCharaCueCount> names = [] {
        std::array<std::string, kCharaCueCount> n;
        for (int i = 0; i < kCharaCueCount; ++i)
            n[std::size_t(i)] = Utf8ToCp932(kCues[i].name);
        return n;
    }();
    static const std::string none;
    return cue >= 0 && cue < kCharaCueCount ? names[std::size_t(cue)] : none;
}

const char* CueFile(int cue) {
    return cue >= 0 && cue < kCharaCueCount ? kCues[cue].file : "";
}

} // namespace quolis
