// The status screen's Metal Arms list and how it steps through the squad.
#include "common/Text.h"
#include "scenes/status/StatusScene.h"

namespace quolis {

namespace {

constexpr std::size_t kNameColumn = 24, kRangeColumn = 6, kPowerColumn = 6, kCostColumn = 10;

std::string Left(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string Right(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

} // namespace

std::vector<ArmsRow> StatusArmsRows(const CharaMaster& charas, const MAMaster& arms,
                                    const CharaValues& creature) {
    std::vector<ArmsRow> rows;
    const CharaType* type = charas.Find(creature.TypeName());
    if (type == nullptr) {
        return rows;
    }
    for (const auto& [cost, name] : type->armsByCost) {
        const MARecord* record = arms.Find(name);
        if (record == nullptr || creature.FindArm(name) == nullptr) {
            rows.push_back({SJ("＊＊＊＊＊＊"), "?", "?", "?"});
            continue;
        }
        rows.push_back({record->name, std::to_string(record->range), std::to_string(record->power),
                        std::to_string(record->mpCost)});
    }
    return rows;
}

std::string StatusArmsText(const std::vector<ArmsRow>& rows) {
    std::string text = Left(SJ("コマンド名"), kNameColumn) + Right(SJ("射程"), kRangeColumn) +
                       Right(SJ("威力"), kPowerColumn) + Right(SJ("消費ＭＰ"), kCostColumn) + "\n";
    for (const ArmsRow& r : rows) {
        text += Left(r.name, kNameColumn) + Right(r.range, kRangeColumn) +
                Right(r.power, kPowerColumn) + Right(r.mpCost, kCostColumn) + "\n";
    }
    return text;
}

int StepSquadIndex(int current, int squadSize, int direction) {
    if (squadSize <= 0) {
        return 0;
    }
    return ((current + direction) % squadSize + squadSize) % squadSize;
}

} // namespace quolis
