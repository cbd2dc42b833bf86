#pragma once
// The nineteen sound cues the creatures register with the sound player, in
// registration order, with the file each plays from the sound archive.
#include <string>

namespace quolis {

enum CharaCue : int {
    kCueCannon,     // "キャノン発射"
    kCueBalkan,     // "バルカン発射"
    kCueExplosion1, // "爆発音１"
    kCueExplosion2, // "爆発音２"
    kCueCrush,      // "衝突音１"
    kCueNeedle,     // "ニードル"
    kCueSlush,      // "スラッシュ"
    kCueGravity,    // "グラビティ"
    kCueAtomic,     // "アトミック"
    kCueCS,         // "超振動"
    kCueSonic,      // "ソニック"
    kCueISonic,     // "イリーガルソニック"
    kCueBreath,     // "ブレス"
    kCueLaser,      // "レーザー"
    kCuePlasma,     // "プラズマ"
    kCueBurn,       // "バーン"
    kCueVoice,      // "ＱＬ叫び"
    kCueDestroyed,  // "ＱＬ破壊"
    kCueMecha,      // "メカ１"
    kCharaCueCount
};

// The cue name (CP932) and its file inside the sound archive.
const std::string& CueName(int cue);
const char* CueFile(int cue);

} // namespace quolis
