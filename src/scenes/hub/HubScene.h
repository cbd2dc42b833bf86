#pragma once
// Scene 3, the menu hub between battles: the current block's map turning in
// 90° steps, the label of the next stage and the row of buttons that lead to
// the status, level-up, fusion, regeneration and discard scenes, the save and
// load lists and the next battle.
#include "app/GameApp.h"

#include <memory>
#include <string>
#include <vector>

namespace quolis {

std::unique_ptr<CScene> MakeHubScene();

struct HubButton {
    std::string picture;
    std::string label; // what the row answers when it is chosen
    int key = 0;
    float x = 0, y = 0;
};
inline constexpr float kHubButtonWidth = 218, kHubButtonHeight = 78;

// The row for a stage file: eight buttons, or five when the file name holds
// "BlockA" (no fusion, regeneration or discard there).
std::vector<HubButton> HubButtons(const std::string& stageFile);

// The map mesh of a block name; empty for a name that is no block (the map
// stays as it was).
std::string HubMapMesh(const std::string& stageName);

// The stage label with a line break in place of the full-width space between
// the stage number and the second name.
std::string HubStageLabel(const std::string& name, int number, const std::string& name2);

// The map's resting yaw when the hub opens.
inline constexpr float kHubMapStartYaw = 150;

std::string HubNextBattleName();
std::string HubStatusName();
std::string HubLevelUpName();
std::string HubFusionName();
std::string HubRegenerationName();
std::string HubDiscardName();
std::string HubSaveName();
std::string HubLoadName();

} // namespace quolis
