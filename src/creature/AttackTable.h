#pragma once
// The attack presentations: every attack is a short list of actions (camera
// moves, the attacker's animations, hits on the target, the damage moment)
// that one mechanism (CChara::PlayAttack) plays in order. The opening (turn,
// darkening of special attacks, camera to the attacker) and the closing
// (recovery or death, camera back) are shared.
#include "creature/Effect.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quolis {

enum class AttackOp : std::uint8_t {
    Face,            // turn toward the target, remember its direction
    DarkOn,          // special attacks: switch the field darkening on
    DarkDown,        // wait: the darkening fades down to 0
    GlideOpening,    // wait: camera to the attacker (close-up), raised by `value`
    Play,            // the attacker starts animation `name`
    WaitAnim,        // wait: the attacker's animation has ended
    Hit,             // an effect on the target and its reaction
    SelfHit,         // an effect on the attacker itself, no reaction
    React,           // the target faces the attacker and plays `name`
    Damage,          // the damage moment
    Cue,             // sound cue number `cue`
    GlideTarget,     // wait: camera to the target (close-up)
    GlideAttacker,   // wait: camera to the attacker (close-up)
    Rise,            // wait: camera to the attacker's height x `value`
    Rapid,           // hits every 5 / game speed frames while the attacker's animation plays
    Scatter,         // hits at the queued offsets, one every 10 / game speed frames
    Frames,          // wait: `value` / game speed frames
    WaitEffects,     // wait: no effect plays on the target
    WaitSelfEffects, // wait: no effect plays on the attacker
    WaitTargetAnim,  // wait: the target's animation has ended
    Alpha,           // the attacker's alpha becomes `value`
    Yield,           // wait: one call
};

// Who reacts to a hit: the target with "Damage1" for the first hit and
// "Damage2" for every later one (Auto), always "Damage2" (Later), or nobody.
enum class Reaction : std::uint8_t { Auto, Later, None };

struct HitLook {
    EffectKind kind = EffectKind::Crush;
    float width = 160;
    float height = 160;
    float red = 255, green = 255, blue = 255;
    float offsetX = 0, offsetY = 0;
    Reaction reaction = Reaction::Auto;
};

struct ScreenOffset {
    float x = 0, y = 0;
};

struct AttackAction {
    AttackOp op = AttackOp::Yield;
    std::string name;                  // animation (Play, React)
    HitLook hit{};                     // Hit, SelfHit, Rapid, Scatter
    float value = 0;                   // Rise factor, Frames count, Alpha, GlideOpening raise
    int cue = -1;                      // Cue
    bool closeUp = false;              // Rise: close-up eye offset
    std::vector<ScreenOffset> offsets; // Scatter queue
};

struct AttackScript {
    std::string name; // CP932
    bool special = false;
    std::vector<AttackAction> actions; // opening included
};

// The fifty scripts in table order (built once).
const std::vector<AttackScript>& AttackScripts();
// Index of the named attack (CP932), or -1 when it has no script.
int FindAttackScript(const std::string& name);

} // namespace quolis
