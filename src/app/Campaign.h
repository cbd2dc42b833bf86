#pragma once
// The campaign state and the master tables, as the application owns them:
// MAMaster, DirectionBonus, HeightBonus, CharaMaster, FloorTex and FloorObj
// (read in this order at start-up) and the GameState the save services write
// and load.
#include "app/AppPorts.h"
#include "common/Clock.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/FloorTables.h"
#include "data/GameState.h"
#include "data/MAMaster.h"

#include <cstdint>
#include <memory>

namespace quolis {

class CCampaign final : public CampaignPort {
public:
    // `calendar` dates the saves (null: the system calendar).
    explicit CCampaign(Calendar* calendar = nullptr);

    // Later saves are dated from `calendar` (null: the system calendar).
    void SetCalendar(Calendar* calendar) {
        calendar_ = calendar != nullptr ? calendar : &systemCalendar_;
    }
    void CreateState() override { state_ = std::make_unique<GameState>(); }
    HRESULT LoadMasterData(CDatArchive& content, std::string* failed) override;
    bool WriteSave(CDatArchive& secure, const std::string& path) override;
    bool LoadSave(CDatArchive& secure, const std::string& path) override;
    void Release() override { state_.reset(); }

    GameState* State() { return state_.get(); }
    const MAMaster& Arms() const { return arms_; }
    const DirectionBonus& Directions() const { return direction_; }
    const HeightBonus& Heights() const { return height_; }
    const CharaMaster& Charas() const { return charas_; }
    const FloorTex& FloorTextures() const { return floorTex_; }
    const FloorObj& FloorObjects() const { return floorObj_; }
    // The stage file a save records (the battle sets it; empty keeps the
    // state's own).
    // A successful load makes the loaded state's stage file the current one.
    void SetCurrentStageFile(std::string file) { currentStage_ = std::move(file); }
    const std::string& CurrentStageFile() const { return currentStage_; }
    // The squad maximum: the menu hub sets it from the current stage's block
    // each time it opens; the regeneration scene reads it. 5 before the first
    // menu hub.
    void SetSquadMax(std::int32_t n) { squadMax_ = n; }
    std::int32_t SquadMax() const { return squadMax_; }

private:
    Calendar* calendar_;
    SystemCalendar systemCalendar_;
    std::unique_ptr<GameState> state_;
    MAMaster arms_;
    DirectionBonus direction_;
    HeightBonus height_;
    CharaMaster charas_;
    FloorTex floorTex_;
    FloorObj floorObj_;
    std::string currentStage_;
    std::int32_t squadMax_ = 5;
};

} // namespace quolis
