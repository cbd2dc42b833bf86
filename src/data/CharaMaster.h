#pragma once
// The creature master: per type its names, model folder, the 99-row tables
// indexed by absolute level, the core rate, the mobility and rise steps and
// the Metal Arms it learns.
#include "data/CharaValues.h"
#include "data/DatArchive.h"
#include "data/MAMaster.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quolis {

inline constexpr int kTableRows = 99;

// A threshold reached at (fusion count, level).
struct LevelStep {
    std::int32_t fusionCount = 0;
    std::int32_t level = 0;
    std::int32_t value = 0;
};

struct ArmsEntry {
    std::int32_t fusionCount = 0;
    std::int32_t level = 0;
};

enum class CharaTable { HP, MP, NeedBP, BP, DP, AP, QP };

struct CharaType {
    std::string name;
    std::string modelFolder;
    std::string namePrefix;
    std::vector<std::int32_t> hp;
    std::vector<std::int32_t> mp;
    std::vector<std::int32_t> needBP;
    std::vector<std::int32_t> bp;
    std::int32_t coreRate = 0; // percent, clamped to 0..100
    std::vector<std::int32_t> dp;
    std::vector<std::int32_t> ap;
    std::vector<LevelStep> mblP;
    std::vector<LevelStep> riseP;
    std::vector<std::int32_t> qp;
    std::map<std::string, ArmsEntry> arms;
    // (MP cost, name), ascending cost, equal costs in file order: the order
    // in which a creature lists its Metal Arms.
    std::multimap<std::int32_t, std::string> armsByCost;

    const std::vector<std::int32_t>& Table(CharaTable t) const;
    std::vector<std::int32_t>& Table(CharaTable t);
    // Row numbered by the absolute level (1..99); 0 outside the table.
    std::int32_t Value(CharaTable t, std::int32_t absLevel) const;
};

// Absolute level ("レベル２"): the level itself while unfused and at most 20,
// else level + 20 * fusion count - 1; clamped to 0..99.
std::int32_t AbsoluteLevel(std::int32_t level, std::int32_t fusionCount);

struct FusionLevel {
    std::int32_t fusionCount = 0;
    std::int32_t level = 0;
};
// Split of an absolute level scaled by `factor` (single precision) into a
// fusion count and a level that map back through AbsoluteLevel.
FusionLevel Split(std::int32_t absLevel, float factor);

// True when a creature at (fusion count, level) has reached (f, l).
bool Reached(std::int32_t f, std::int32_t l, std::int32_t fusionCount, std::int32_t level);
inline bool Reached(std::int32_t f, std::int32_t l, const CharaValues& c) {
    return Reached(f, l, c.FusionCount(), c.Level());
}

// The growth rule: row 1 = base; row L+1 = row L + trunc((L * b + 1) * a),
// single precision at every step.
std::vector<std::int32_t> GrowthRows(std::int32_t base, float a, float b);
// The BP rule from a NeedBP table (missing rows read 0).
std::vector<std::int32_t> BPRows(const std::vector<std::int32_t>& needBP, float f1, float f2);

class CharaMaster {
public:
    // Parses the whole table. Types used before "／／名前" declared them and
    // Metal Arms missing from `arms` are rejected with a log line.
    void Parse(const TokenList& tokens, const MAMaster& arms);
    // Reads "CharaMaster.Dat" through the content reader; false when unreadable.
    bool Load(CDatArchive& reader, const MAMaster& arms);

    const CharaType* Find(const std::string& name) const;
    const std::map<std::string, CharaType>& Types() const { return types_; }

private:
    std::map<std::string, CharaType> types_;
};

// Applies the type's ＭｂｌＰ and ＲｉｓｅＰ steps (values never decrease).
void ApplySteps(const CharaType& type, CharaValues& c);
// Adds every reached Metal Arms of the type, walking them in name order (the
// creature's listing: MP cost, equal costs in the order learnt).
void LearnArms(const CharaType& type, const MAMaster& arms, CharaValues& c);
// Maximum HP and MP, AP, DP, QP from the tables at the absolute level; HP and
// MP set to their maxima.
void ValuesFromTables(const CharaType& type, CharaValues& c);

} // namespace quolis
