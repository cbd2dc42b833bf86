#include "data/CharaValues.h"

#include "common/Text.h"

namespace quolis {

bool CharaValues::LearnArm(const MARecord& record) {
    if (!arms_.emplace(record.name, record).second) {
        return false;
    }
    armsByCost_.emplace(record.mpCost, record.name);
    return true;
}

void CharaValues::ClearArms() {
    arms_.clear();
    armsByCost_.clear();
}

const MARecord* CharaValues::FindArm(const std::string& name) const {
    auto it = arms_.find(name);
    return it == arms_.end() ? nullptr : &it->second;
}

std::string CharaValues::StatusText(bool multiLine) const {
    const auto n = [](std::int32_t v) { return std::to_string(v); };
    std::string s;
    if (multiLine) {
        s += name_ + "\n";
        s += typeName_ + SJ("型") + "\n";
        s += SJ("レベル：") + n(level_) + "\n";
        s += SJ("合成回数：") + n(fusionCount_) + "\n";
        s += SJ("ＨＰ：") + n(hp_) + SJ("／") + n(maxHP_) + " ";
        s += SJ("ＭＰ：") + n(mp_) + SJ("／") + n(maxMP_) + "\n";
        s += SJ("機動力：") + n(mblP_) + "\n";
        s += SJ("上昇力：") + n(riseP_) + "\n";
        s += SJ("攻撃力：") + n(ap_) + "   ";
        s += SJ("防御力：") + n(dp_) + "\n";
        return s;
    }
    return ShortStatusText(false) + SJ("　");
}

std::string CharaValues::ShortStatusText(bool multiLine) const {
    const auto n = [](std::int32_t v) { return std::to_string(v); };
    std::string s;
    if (multiLine) {
        s += name_ + "\n";
        s += typeName_ + SJ("型") + "\n";
        s += SJ("レベル：") + n(level_) + "\n";
        s += SJ("合成回数：") + n(fusionCount_) + "\n";
        s += SJ("ＨＰ：") + n(maxHP_) + "\n";
        s += SJ("ＭＰ：") + n(maxMP_) + "\n";
        return s;
    }
    const std::string& sp = SJ("　");
    s += name_ + sp;
    s += typeName_ + SJ("型") + sp;
    s += SJ("レベル：") + n(level_) + sp;
    s += SJ("合成回数：") + n(fusionCount_) + sp;
    s += SJ("ＨＰ：") + n(maxHP_) + sp;
    s += SJ("ＭＰ：") + n(maxMP_);
    return s;
}

} // namespace quolis
