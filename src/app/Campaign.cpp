#include "app/Campaign.h"

namespace quolis {

CCampaign::CCampaign(Calendar* calendar)
    : calendar_(calendar != nullptr ? calendar : &systemCalendar_) {}

HRESULT CCampaign::LoadMasterData(CDatArchive& content, std::string* failed) {
    HRESULT result = S_OK;
    auto note = [&](bool ok, const char* name) {
        if (!ok && result == S_OK) {
            *failed = name;
            result = E_FAIL;
        }
    };
    // Every read runs, whatever failed before it.
    note(arms_.Load(content), "MAMaster.Dat");
    note(direction_.Load(content), "DirectionBonus.Dat");
    note(height_.Load(content), "HeightBonus.Dat");
    note(charas_.Load(content, arms_), "CharaMaster.Dat");
    note(floorTex_.Load(content), "FloorTex.Dat");
    note(floorObj_.Load(content), "FloorObj.Dat");
    return result;
}

bool CCampaign::WriteSave(CDatArchive& secure, const std::string& path) {
    if (!state_) {
        return false;
    }
    const std::string& stage = currentStage_.empty() ? state_->stageFile : currentStage_;
    return state_->Save(secure, path, *calendar_, stage);
}

bool CCampaign::LoadSave(CDatArchive& secure, const std::string& path) {
    if (!state_ || !state_->Load(secure, path, charas_, arms_)) {
        return false;
    }
    // The next battle is the loaded campaign's, not the one played before.
    currentStage_ = state_->stageFile;
    return true;
}

} // namespace quolis
