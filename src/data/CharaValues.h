#pragma once
// The values a creature carries: name, type, levels, the five combat figures,
// BP, mobility and rise, the core flag, the learnt Metal Arms, its cell and
// facing. Setters clamp silently; adders set value + delta through the setter.
// The creature object of the battle and menu scenes builds on this class.
#include "data/MAMaster.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quolis {

class CharaValues {
public:
    static constexpr std::int32_t kMaxLevel = 99;
    static constexpr std::int32_t kMaxFigure = 99999;

    const std::string& Name() const { return name_; }
    void SetName(std::string v) { name_ = std::move(v); }
    const std::string& TypeName() const { return typeName_; }
    void SetTypeName(std::string v) { typeName_ = std::move(v); }
    const std::string& ModelFolder() const { return modelFolder_; }
    void SetModelFolder(std::string v) { modelFolder_ = std::move(v); }
    // Start marker letter of a stage enemy ("位置"); empty for everyone else.
    const std::string& Marker() const { return marker_; }
    void SetMarker(std::string v) { marker_ = std::move(v); }

    std::int32_t Number() const { return number_; }
    void SetNumber(std::int32_t v) { number_ = v; }
    void AddNumber(std::int32_t d) { SetNumber(Add(number_, d)); }

    std::int32_t CoreFlag() const { return coreFlag_; }
    void SetCoreFlag(std::int32_t v) { coreFlag_ = v; }

    std::int32_t Level() const { return level_; }
    void SetLevel(std::int32_t v) { level_ = Clamp(v, kMaxLevel); }
    void AddLevel(std::int32_t d) { SetLevel(Add(level_, d)); }
    // The absolute level ("レベル２") that indexes the type's tables.
    std::int32_t Level2() const { return level2_; }
    void SetLevel2(std::int32_t v) { level2_ = Clamp(v, kMaxLevel); }
    void AddLevel2(std::int32_t d) { SetLevel2(Add(level2_, d)); }
    std::int32_t FusionCount() const { return fusionCount_; }
    void SetFusionCount(std::int32_t v) { fusionCount_ = Clamp(v, kMaxLevel); }
    void AddFusionCount(std::int32_t d) { SetFusionCount(Add(fusionCount_, d)); }

    std::int32_t MaxHP() const { return maxHP_; }
    void SetMaxHP(std::int32_t v) { maxHP_ = Clamp(v, kMaxFigure); }
    void AddMaxHP(std::int32_t d) { SetMaxHP(Add(maxHP_, d)); }
    std::int32_t HP() const { return hp_; }
    void SetHP(std::int32_t v) { hp_ = Clamp(v, kMaxFigure); }
    void AddHP(std::int32_t d) { SetHP(Add(hp_, d)); }
    std::int32_t MaxMP() const { return maxMP_; }
    void SetMaxMP(std::int32_t v) { maxMP_ = Clamp(v, kMaxFigure); }
    void AddMaxMP(std::int32_t d) { SetMaxMP(Add(maxMP_, d)); }
    std::int32_t MP() const { return mp_; }
    void SetMP(std::int32_t v) { mp_ = Clamp(v, kMaxFigure); }
    void AddMP(std::int32_t d) { SetMP(Add(mp_, d)); }
    // Attack ("ＡＰ", shown as "攻撃力：") and defence ("ＤＰ", "防御力：").
    std::int32_t AP() const { return ap_; }
    void SetAP(std::int32_t v) { ap_ = Clamp(v, kMaxFigure); }
    void AddAP(std::int32_t d) { SetAP(Add(ap_, d)); }
    std::int32_t DP() const { return dp_; }
    void SetDP(std::int32_t v) { dp_ = Clamp(v, kMaxFigure); }
    void AddDP(std::int32_t d) { SetDP(Add(dp_, d)); }
    std::int32_t QP() const { return qp_; }
    void SetQP(std::int32_t v) { qp_ = Clamp(v, kMaxFigure); }
    void AddQP(std::int32_t d) { SetQP(Add(qp_, d)); }
    // Squad creature: BP invested in it; enemy: BP it carries.
    std::int32_t BP() const { return bp_; }
    void SetBP(std::int32_t v) { bp_ = Clamp(v, kMaxFigure); }
    void AddBP(std::int32_t d) { SetBP(Add(bp_, d)); }
    // Movement range ("機動力：") and climbing height ("上昇力：").
    std::int32_t MblP() const { return mblP_; }
    void SetMblP(std::int32_t v) { mblP_ = Clamp(v, kMaxLevel); }
    void AddMblP(std::int32_t d) { SetMblP(Add(mblP_, d)); }
    std::int32_t RiseP() const { return riseP_; }
    void SetRiseP(std::int32_t v) { riseP_ = Clamp(v, kMaxLevel); }
    void AddRiseP(std::int32_t d) { SetRiseP(Add(riseP_, d)); }

    // Cell on the floor grid (column x, row y) and facing ("up", "down",
    // "left", "right"; any other word is stored as given).
    std::int32_t CellX() const { return cellX_; }
    std::int32_t CellY() const { return cellY_; }
    void SetCellValue(std::int32_t x, std::int32_t y) {
        cellX_ = x;
        cellY_ = y;
    }
    const std::string& Direction() const { return direction_; }
    void SetDirectionValue(std::string v) { direction_ = std::move(v); }

    // Battle turn flags: the unit has moved / has acted this turn.
    bool Moved() const { return moved_; }
    void SetMoved(bool v) { moved_ = v; }
    bool Acted() const { return acted_; }
    void SetActed(bool v) { acted_ = v; }
    // An enemy's approach memory: the player unit it walks toward (compared by
    // identity only, never followed) and the cells it has stepped on since.
    const CharaValues* ApproachTarget() const { return approachTarget_; }
    void SetApproachTarget(const CharaValues* v) { approachTarget_ = v; }
    std::vector<std::pair<std::int32_t, std::int32_t>>& Visited() { return visited_; }
    const std::vector<std::pair<std::int32_t, std::int32_t>>& Visited() const { return visited_; }

    // The learnt Metal Arms, by name and by MP cost (ascending, equal costs in
    // the order they were learnt). Learning one already known changes nothing.
    const std::map<std::string, MARecord>& Arms() const { return arms_; }
    const std::multimap<std::int32_t, std::string>& ArmsByCost() const { return armsByCost_; }
    bool LearnArm(const MARecord& record);
    void ClearArms();
    const MARecord* FindArm(const std::string& name) const;

    // Status strings (CP932). The multi-line form ends every line with "\n".
    std::string StatusText(bool multiLine) const;
    std::string ShortStatusText(bool multiLine) const;

    static std::int32_t Clamp(std::int32_t v, std::int32_t hi) {
        return v < 0 ? 0 : v > hi ? hi : v;
    }

private:
    static std::int32_t Add(std::int32_t v, std::int32_t d) {
        const std::int64_t s = static_cast<std::int64_t>(v) + d;
        return s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(s);
    }

    std::int32_t coreFlag_ = 0;
    std::string name_;
    std::int32_t number_ = 0;
    std::string typeName_;
    std::string modelFolder_;
    std::int32_t level_ = 0;
    std::int32_t level2_ = 0;
    std::int32_t fusionCount_ = 0;
    std::int32_t maxHP_ = 0;
    std::int32_t hp_ = 0;
    std::int32_t maxMP_ = 0;
    std::int32_t mp_ = 0;
    std::int32_t bp_ = 0;
    std::int32_t ap_ = 0;
    std::int32_t dp_ = 0;
    std::int32_t qp_ = 0;
    std::int32_t mblP_ = 0;
    std::int32_t riseP_ = 0;
    std::int32_t cellX_ = 0;
    std::int32_t cellY_ = 0;
    std::string direction_;
    std::string marker_;
    bool moved_ = false;
    bool acted_ = false;
    const CharaValues* approachTarget_ = nullptr;
    std::vector<std::pair<std::int32_t, std::int32_t>> visited_;
    std::map<std::string, MARecord> arms_;
    std::multimap<std::int32_t, std::string> armsByCost_;
};

// Squad, core case and the unit collections of a stage: creatures by name in
// byte-wise order, equal names kept in insertion order.
using CharaMap = std::multimap<std::string, CharaValues>;

} // namespace quolis
