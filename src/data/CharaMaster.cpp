#include "data/CharaMaster.h"

#include "common/Log.h"
#include "common/Random.h"
#include "common/Text.h"
#include "data/Tokens.h"

#include <array>
#include <utility>

namespace quolis {
namespace {

std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

enum class SectionKind { Names, Growth, BP, CoreRate, Steps, Arms };

struct SectionDef {
    const char* mark; // without the leading "／／"
    SectionKind kind;
    CharaTable table;
    int steps; // 0 ＭｂｌＰ, 1 ＲｉｓｅＰ
};

const std::array<SectionDef, 12> kSections = {{
    {"名前", SectionKind::Names, CharaTable::HP, 0},
    {"ＨＰ", SectionKind::Growth, CharaTable::HP, 0},
    {"ＭＰ", SectionKind::Growth, CharaTable::MP, 0},
    {"ＡＰ", SectionKind::Growth, CharaTable::AP, 0},
    {"ＤＰ", SectionKind::Growth, CharaTable::DP, 0},
    {"ＱＰ", SectionKind::Growth, CharaTable::QP, 0},
    {"ＮｅｅｄＢＰ", SectionKind::Growth, CharaTable::NeedBP, 0},
    {"ＢＰ", SectionKind::BP, CharaTable::BP, 0},
    {"コア出現率", SectionKind::CoreRate, CharaTable::HP, 0},
    {"ＭｂｌＰ", SectionKind::Steps, CharaTable::HP, 0},
    {"ＲｉｓｅＰ", SectionKind::Steps, CharaTable::HP, 1},
    {"メタルアームズ", SectionKind::Arms, CharaTable::HP, 0},
}};

struct SectionMarks {
    std::string start;
    std::string end;
};

const std::array<SectionMarks, 12>& Marks() {
    static const std::array<SectionMarks, 12> marks = [] {
        std::array<SectionMarks, 12> m;
        for (std::size_t i = 0; i < kSections.size(); ++i) {
            const std::string name = Utf8ToCp932(kSections[i].mark);
            m[i].start = SJ("／／") + name;
            m[i].end = SJ("／／") + name + SJ("終わり");
        }
        return m;
    }();
    return marks;
}

class Parser {
public:
    Parser(const TokenList& tokens, const MAMaster& arms, std::map<std::string, CharaType>& types)
        : arms_(arms), types_(types), cur_(tokens) {}

    void Run() {
        while (!cur_.AtEnd()) {
            const std::string_view t = cur_.Next();
            for (std::size_t i = 0; i < kSections.size(); ++i) {
                if (t == Marks()[i].start) {
                    ParseSection(kSections[i], Marks()[i].end);
                    break;
                }
            }
        }
    }

private:
    bool AtSectionEnd(std::string_view end) const { return cur_.AtEnd() || cur_.Peek() == end; }

    void ParseSection(const SectionDef& def, const std::string& end) {
        if (def.kind == SectionKind::Names) {
            Names(end);
        } else {
            while (!AtSectionEnd(end)) {
                Group(def, end);
            }
        }
        cur_.Next(); // the end mark
    }

    void Names(const std::string& end) {
        while (!AtSectionEnd(end)) {
            CharaType type;
            type.name = std::string(cur_.Next());
            if (AtSectionEnd(end)) {
                break;
            }
            type.modelFolder = std::string(cur_.Next());
            if (AtSectionEnd(end)) {
                break;
            }
            type.namePrefix = std::string(cur_.Next());
            types_.emplace(type.name, std::move(type));
        }
    }

    // The group's names up to "／／"; undeclared names are dropped with a log line.
    std::vector<CharaType*> GroupNames(const std::string& end) {
        std::vector<CharaType*> named;
        while (!AtSectionEnd(end) && cur_.Peek() != SJ("／／")) {
            const std::string name(cur_.Next());
            auto it = types_.find(name);
            if (it == types_.end()) {
                LogLine("CharaMaster: type used before it is declared: " + Cp932ToUtf8(name));
                continue;
            }
            named.push_back(&it->second);
        }
        if (!AtSectionEnd(end)) {
            cur_.Next(); // "／／"
        }
        return named;
    }

    void Group(const SectionDef& def, const std::string& end) {
        std::vector<CharaType*> named = GroupNames(end);
        if (AtSectionEnd(end)) {
            return;
        }
        switch (def.kind) {
        case SectionKind::Growth: {
            cur_.NextInt(base_);
            cur_.NextFloat(a_);
            cur_.NextFloat(b_);
            const std::vector<std::int32_t> rows = GrowthRows(base_, a_, b_);
            for (CharaType* t : named) {
                auto& table = t->Table(def.table);
                table.insert(table.end(), rows.begin(), rows.end());
            }
            SkipClose(end);
            break;
        }
        case SectionKind::BP:
            cur_.NextFloat(f1_);
            cur_.NextFloat(f2_);
            for (CharaType* t : named) {
                const std::vector<std::int32_t> rows = BPRows(t->needBP, f1_, f2_);
                t->bp.insert(t->bp.end(), rows.begin(), rows.end());
            }
            SkipClose(end);
            break;
        case SectionKind::CoreRate: {
            cur_.NextFloat(rate_);
            const std::int32_t r = TruncToInt(rate_);
            for (CharaType* t : named) {
                t->coreRate = r < 0 ? 0 : r > 100 ? 100 : r;
            }
            SkipClose(end);
            break;
        }
        case SectionKind::Steps:
            while (!AtSectionEnd(end) && cur_.Peek() != SJ("／／")) {
                LevelStep s;
                cur_.NextInt(s.fusionCount);
                cur_.NextInt(s.level);
                cur_.NextInt(s.value);
                for (CharaType* t : named) {
                    (def.steps == 0 ? t->mblP : t->riseP).push_back(s);
                }
            }
            SkipClose(end);
            break;
        case SectionKind::Arms:
            while (!AtSectionEnd(end) && cur_.Peek() != SJ("／／")) {
                const std::string name(cur_.Next());
                ArmsEntry e;
                cur_.NextInt(e.fusionCount);
                cur_.NextInt(e.level);
                const MARecord* rec = arms_.Find(name);
                if (rec == nullptr) {
                    LogLine("CharaMaster: Metal Arms missing from MAMaster: " + Cp932ToUtf8(name));
                    continue;
                }
                for (CharaType* t : named) {
                    if (t->arms.emplace(name, e).second) {
                        t->armsByCost.emplace(rec->mpCost, name);
                    }
                }
            }
            SkipClose(end);
            break;
        case SectionKind::Names:
            break;
        }
    }

    // Steps over the group's closing "／／" (never over the section's end mark).
    void SkipClose(const std::string& end) {
        if (!AtSectionEnd(end)) {
            cur_.Next();
        }
    }

    const MAMaster& arms_;
    std::map<std::string, CharaType>& types_;
    TokenCursor cur_;
    // Values that fail to scan keep those of the previous group.
    std::int32_t base_ = 0;
    float a_ = 0;
    float b_ = 0;
    float f1_ = 0;
    float f2_ = 0;
    float rate_ = 0;
};

} // namespace

const std::vector<std::int32_t>& CharaType::Table(CharaTable t) const {
    switch (t) {
    case CharaTable::HP:
        return hp;
    case CharaTable::MP:
        return mp;
    case CharaTable::NeedBP:
        return needBP;
    case CharaTable::BP:
        return bp;
    case CharaTable::DP:
        return dp;
    case CharaTable::AP:
        return ap;
    case CharaTable::QP:
        return qp;
    }
    return hp;
}

std::vector<std::int32_t>& CharaType::Table(CharaTable t) {
    return const_cast<std::vector<std::int32_t>&>(std::as_const(*this).Table(t));
}

std::int32_t CharaType::Value(CharaTable t, std::int32_t absLevel) const {
    const auto& table = Table(t);
    if (absLevel < 1 || absLevel > kTableRows ||
        static_cast<std::size_t>(absLevel) > table.size()) {
        return 0;
    }
    return table[static_cast<std::size_t>(absLevel - 1)];
}

std::int32_t AbsoluteLevel(std::int32_t level, std::int32_t fusionCount) {
    std::int64_t a = level;
    if (!(fusionCount == 0 && level <= 20)) {
        a = static_cast<std::int64_t>(level) + 20 * static_cast<std::int64_t>(fusionCount) - 1;
    }
    return static_cast<std::int32_t>(a < 0 ? 0 : a > 99 ? 99 : a);
}

FusionLevel Split(std::int32_t absLevel, float factor) {
    std::int32_t a = absLevel;
    if (a > 1) {
        a = TruncToInt(static_cast<float>(a) * factor);
    }
    FusionLevel r;
    if (a > 20) {
        const std::int32_t b = a - 20;
        r.fusionCount = 1 + b / 20;
        r.level = b % 20 + 1;
    } else {
        r.level = a;
    }
    return r;
}

bool Reached(std::int32_t f, std::int32_t l, std::int32_t fusionCount, std::int32_t level) {
    return fusionCount > f || (fusionCount == f && level >= l);
}

std::vector<std::int32_t> GrowthRows(std::int32_t base, float a, float b) {
    std::vector<std::int32_t> rows(kTableRows);
    rows[0] = base;
    for (int l = 1; l < kTableRows; ++l) {
        // One rounding per operation, as the game computes it.
        const float lb = static_cast<float>(l) * b;
        const float sum = lb + 1.0f;
        const float prod = sum * a;
        rows[static_cast<std::size_t>(l)] =
            WrapAdd(rows[static_cast<std::size_t>(l - 1)], TruncToInt(prod));
    }
    return rows;
}

std::vector<std::int32_t> BPRows(const std::vector<std::int32_t>& needBP, float f1, float f2) {
    const auto need = [&](std::size_t row) -> std::int32_t {
        return row >= 1 && row <= needBP.size() ? needBP[row - 1] : 0;
    };
    std::vector<std::int32_t> rows(kTableRows);
    const float n1f2 = static_cast<float>(need(1)) * f2;
    const float first = n1f2 * 0.8f;
    rows[0] = TruncToInt(first);
    std::int32_t k = TruncToInt(n1f2);
    for (std::size_t j = 1; j < kTableRows; ++j) {
        const float jf = static_cast<float>(j) * f1;
        const float sum = jf + 1.0f;
        const float prod = sum * static_cast<float>(k);
        rows[j] = TruncToInt(prod);
        const float diff = static_cast<float>(WrapSub(need(j + 1), need(j))) * f2;
        k = TruncToInt(diff);
    }
    return rows;
}

void CharaMaster::Parse(const TokenList& tokens, const MAMaster& arms) {
    Parser(tokens, arms, types_).Run();
}

const CharaType* CharaMaster::Find(const std::string& name) const {
    auto it = types_.find(name);
    return it == types_.end() ? nullptr : &it->second;
}

void ApplySteps(const CharaType& type, CharaValues& c) {
    for (const LevelStep& s : type.mblP) {
        if (Reached(s.fusionCount, s.level, c) && c.MblP() < s.value) {
            c.SetMblP(s.value);
        }
    }
    for (const LevelStep& s : type.riseP) {
        if (Reached(s.fusionCount, s.level, c) && c.RiseP() < s.value) {
            c.SetRiseP(s.value);
        }
    }
}

void LearnArms(const CharaType& type, const MAMaster& arms, CharaValues& c) {
    // The learning walk goes through the type's Metal Arms in name order; the
    // creature lists equal MP costs in the order it learnt them, so its
    // command list can differ from the type's file-order listing.
    for (const auto& [name, entry] : type.arms) {
        if (!Reached(entry.fusionCount, entry.level, c)) {
            continue;
        }
        if (const MARecord* rec = arms.Find(name)) {
            c.LearnArm(*rec);
        }
    }
}

void ValuesFromTables(const CharaType& type, CharaValues& c) {
    const std::int32_t a = c.Level2();
    c.SetMaxHP(type.Value(CharaTable::HP, a));
    c.SetHP(c.MaxHP());
    c.SetMaxMP(type.Value(CharaTable::MP, a));
    c.SetMP(c.MaxMP());
    c.SetAP(type.Value(CharaTable::AP, a));
    c.SetDP(type.Value(CharaTable::DP, a));
    c.SetQP(type.Value(CharaTable::QP, a));
}

} // namespace quolis
