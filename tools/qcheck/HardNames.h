#pragma once
// The file names the game's code asks for by itself (not through a data
// file), and the animations each Metal Arms plays. The content checker
// verifies that the built GameData holds every one of them.
#include <string>
#include <vector>

namespace quolis::qcheck {

enum class AssetKind { Texture, Mesh, Model, Sound, Music };

// One hard-coded file: its member name (CP932; all of them are ASCII) and
// what in the game loads it (UTF-8, for the report).
struct HardName {
    AssetKind kind;
    std::string name;
    std::string usedBy;
};

const std::vector<HardName>& HardCodedNames();

// The fifty Metal Arms of the attack presentation, in table order: the name
// (CP932) and the attacker animations it plays, each loaded from the type's
// model folder as folder + "\" + animation + ".mdl".
struct AttackAnimations {
    std::string name;
    std::vector<std::string> animations;
};

const std::vector<AttackAnimations>& AttackTable();

// Animations every creature plays whatever it knows: standing, the three hit
// reactions and the two stages of being destroyed. Cores play them from the
// "Core" folder.
const std::vector<std::string>& BaseAnimations();

// The Metal Arms button of the command list and the command banner.
std::string BattleButtonName(const std::string& metalArms);

// Sound cues the scenes register themselves (CP932), which scripts may play
// without loading them.
const std::vector<std::string>& EngineCues();

const char* KindWord(AssetKind kind);

} // namespace quolis::qcheck
