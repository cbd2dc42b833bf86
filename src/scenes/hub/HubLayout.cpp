// The hub's fixed tables: buttons, map meshes and the stage label.
#include "common/Text.h"
#include "data/GameState.h"
#include "scenes/hub/HubScene.h"

namespace quolis {

std::string HubNextBattleName() {
    return SJ("次の戦闘へ");
}
std::string HubStatusName() {
    return SJ("ステータス");
}
std::string HubLevelUpName() {
    return SJ("レベルアップ");
}
std::string HubFusionName() {
    return SJ("合成");
}
std::string HubRegenerationName() {
    return SJ("再生");
}
std::string HubDiscardName() {
    return SJ("廃棄");
}
std::string HubSaveName() {
    return SJ("セーブ");
}
std::string HubLoadName() {
    return SJ("ロード");
}

std::vector<HubButton> HubButtons(const std::string& stageFile) {
    struct Row {
        const char* picture;
        std::string label;
        bool fusionRow; // fusion, regeneration, discard
    };
    const Row rows[] = {
        {"Button\\Menu\\NextBattle.bmp", HubNextBattleName(), false},
        {"Button\\Menu\\Status.bmp", HubStatusName(), false},
        {"Button\\Menu\\LvUp.bmp", HubLevelUpName(), false},
        {"Button\\Menu\\Gousei.bmp", HubFusionName(), true},
        {"Button\\Menu\\Saisei.bmp", HubRegenerationName(), true},
        {"Button\\Menu\\Haiki.bmp", HubDiscardName(), true},
        {"Button\\Menu\\Save.bmp", HubSaveName(), false},
        {"Button\\Menu\\Load.bmp", HubLoadName(), false},
    };
    // The first block has no fusion yet; the remaining buttons close up in
    // the same two columns of four.
    const bool firstBlock = stageFile.find("BlockA") != std::string::npos;
    std::vector<HubButton> out;
    for (const Row& r : rows) {
        if (firstBlock && r.fusionRow) {
            continue;
        }
        const int i = static_cast<int>(out.size());
        out.push_back({r.picture, r.label, i + 1, i < 4 ? 0.0f : 582.0f,
                       static_cast<float>(i % 4) * kHubButtonHeight});
    }
    return out;
}

std::string HubMapMesh(const std::string& stageName) {
    static const char* const kMeshes[] = {"Menu\\MenuMap1.x", "Menu\\MenuMap2.x",
                                          "Menu\\MenuMap3.x", "Menu\\MenuMap4.x"};
    const std::string blocks[] = {SJ("ブロックＡ"), SJ("ブロックＢ"), SJ("ブロックＣ"),
                                  SJ("ブロックＤ")};
    for (int i = 0; i < 4; ++i) {
        if (stageName == blocks[i]) {
            return kMeshes[i];
        }
    }
    return {};
}

std::string HubStageLabel(const std::string& name, int number, const std::string& name2) {
    std::string label = StageLabel(name, number, name2);
    const std::string& space = SJ("　");
    // The full-width space after the number: the first one past the name.
    for (std::size_t i = name.size(); i < label.size(); i += SjisCharLen(label, i)) {
        if (label.compare(i, space.size(), space) == 0) {
            // Built from the two halves rather than replaced in place: GCC 12's
            // optimiser reports a false overlap for std::string::replace here.
            return label.substr(0, i) + '\n' + label.substr(i + space.size());
        }
    }
    return label;
}

} // namespace quolis
