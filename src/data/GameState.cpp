#include "data/GameState.h"

#include "common/Log.h"
#include "common/Text.h"
#include "data/Tokens.h"

#include <cstdio>

namespace quolis {
namespace {

std::string Num(std::int32_t v) {
    return std::to_string(v);
}

void AppendRecord(TokenList& out, const CharaValues& c) {
    out.push_back(SJ("／／"));
    const auto kv = [&](const std::string& key, std::string value) {
        out.push_back(key);
        out.push_back(std::move(value));
    };
    kv(SJ("名前"), c.Name());
    kv(SJ("番号"), Num(c.Number()));
    kv(SJ("タイプ"), c.TypeName());
    kv(SJ("合成回数"), Num(c.FusionCount()));
    kv(SJ("レベル"), Num(c.Level()));
    kv(SJ("レベル２"), Num(c.Level2()));
    kv(SJ("ＢＰ"), Num(c.BP()));
    if (c.FusionCount() > 0) {
        kv(SJ("ＨＰ"), Num(c.MaxHP()));
        kv(SJ("ＭＰ"), Num(c.MaxMP()));
        kv(SJ("ＡＰ"), Num(c.AP()));
        kv(SJ("ＤＰ"), Num(c.DP()));
        kv(SJ("ＱＰ"), Num(c.QP()));
    }
    out.push_back(SJ("／／"));
}

// Reads the records of one section (cursor after its start mark) up to its
// end mark, building each creature and handing it to `add`.
template <typename Add>
void ReadRecords(TokenCursor& cur, const std::string& end, GameState& state,
                 const CharaMaster& master, const MAMaster& arms, Add add) {
    const std::string& sep = SJ("／／");
    while (!cur.AtEnd() && cur.Peek() != end) {
        if (cur.Next() != sep) {
            continue;
        }
        CharaValues c;
        while (!cur.AtEnd() && cur.Peek() != sep && cur.Peek() != end) {
            const std::string_view key = cur.Next();
            const auto readInt = [&](std::int32_t current) {
                cur.NextInt(current);
                return current;
            };
            if (key == SJ("名前")) {
                c.SetName(std::string(cur.Next()));
            } else if (key == SJ("タイプ")) {
                c.SetTypeName(std::string(cur.Next()));
            } else if (key == SJ("番号")) {
                c.SetNumber(readInt(c.Number()));
            } else if (key == SJ("合成回数")) {
                c.SetFusionCount(readInt(c.FusionCount()));
            } else if (key == SJ("レベル")) {
                c.SetLevel(readInt(c.Level()));
            } else if (key == SJ("レベル２")) {
                c.SetLevel2(readInt(c.Level2()));
            } else if (key == SJ("ＢＰ")) {
                c.SetBP(readInt(c.BP()));
            } else if (key == SJ("ＨＰ")) {
                c.SetMaxHP(readInt(c.MaxHP()));
                c.SetHP(c.MaxHP());
            } else if (key == SJ("ＭＰ")) {
                c.SetMaxMP(readInt(c.MaxMP()));
                c.SetMP(c.MaxMP());
            } else if (key == SJ("ＡＰ")) {
                c.SetAP(readInt(c.AP()));
            } else if (key == SJ("ＤＰ")) {
                c.SetDP(readInt(c.DP()));
            } else if (key == SJ("ＱＰ")) {
                c.SetQP(readInt(c.QP()));
            }
        }
        if (cur.Peek() == sep) {
            cur.Next();
        }
        if (const CharaType* type = master.Find(c.TypeName())) {
            c.SetModelFolder(type->modelFolder);
            ApplySteps(*type, c);
            if (c.FusionCount() == 0 || c.MaxHP() == 0) {
                if (c.FusionCount() > 0) {
                    c.SetLevel2(AbsoluteLevel(c.Level(), c.FusionCount()));
                }
                ValuesFromTables(*type, c);
            }
            LearnArms(*type, arms, c);
        } else {
            // Kept with its saved values: dropping it would lose a creature.
            LogLine("Save: creature of an unknown type: " + Cp932ToUtf8(c.TypeName()));
        }
        state.RecordNumber(c.TypeName(), c.Number());
        add(std::move(c));
    }
    cur.Next(); // the end mark
}

} // namespace

std::string SaveSlotPath(int slot) {
    if (slot <= 0) {
        return "GameData\\Save\\Init.Dat";
    }
    std::string path = "GameData\\Save\\Save";
    path += std::to_string(slot);
    path += ".Dat";
    return path;
}

void GameState::RecordNumber(const std::string& type, std::int32_t number) {
    auto [it, inserted] = numbers.emplace(type, number);
    if (!inserted && it->second < number) {
        it->second = number;
    }
}

TokenList GameState::ComposeSave() const {
    TokenList out;
    out.push_back(SJ("セーブ日時"));
    for (int v : {saveDate.tm_year, saveDate.tm_wday, saveDate.tm_mon, saveDate.tm_mday,
                  saveDate.tm_hour, saveDate.tm_min, saveDate.tm_sec}) {
        out.push_back(Num(v));
    }
    out.push_back(SJ("／／ステージ情報"));
    out.push_back(stageFile);
    out.push_back(Num(openingSeen));
    out.push_back(SJ("／／ステージ情報終わり"));
    out.push_back(SJ("／／味方情報"));
    for (const auto& [name, c] : squad) {
        AppendRecord(out, c);
    }
    out.push_back(SJ("／／味方情報終わり"));
    out.push_back(SJ("／／コア情報"));
    for (const auto& [name, c] : cores) {
        AppendRecord(out, c);
    }
    out.push_back(SJ("／／コア情報終わり"));
    out.push_back(SJ("ＢＰ"));
    out.push_back(Num(bpPool));
    // The file is written token by token; the text is split at whitespace
    // first, so an empty value would vanish and shift the keys after it.
    return SplitTokens([&] {
        std::string text;
        for (const auto& t : out) {
            text += t;
            text += '\n';
        }
        return text;
    }());
}

void GameState::ParseSave(const TokenList& tokens, const CharaMaster& master,
                          const MAMaster& arms) {
    squad.clear();
    cores.clear();
    numbers.clear();
    TokenCursor cur(tokens);
    if (cur.Peek() == SJ("セーブ日時")) {
        cur.Next();
        cur.NextInt(saveDate.tm_year);
        cur.NextInt(saveDate.tm_wday);
        cur.NextInt(saveDate.tm_mon);
        cur.NextInt(saveDate.tm_mday);
        cur.NextInt(saveDate.tm_hour);
        cur.NextInt(saveDate.tm_min);
        cur.NextInt(saveDate.tm_sec);
    }
    if (cur.Peek() == SJ("／／ステージ情報")) {
        cur.Next();
        const std::string& end = SJ("／／ステージ情報終わり");
        while (!cur.AtEnd() && cur.Peek() != end) {
            stageFile = std::string(cur.Next());
            if (cur.Peek() == end) {
                break;
            }
            cur.NextInt(openingSeen);
        }
        cur.Next();
    }
    if (cur.Peek() == SJ("／／味方情報")) {
        cur.Next();
        ReadRecords(cur, SJ("／／味方情報終わり"), *this, master, arms,
                    [&](CharaValues&& c) { squad.emplace(c.Name(), std::move(c)); });
    }
    if (cur.Peek() == SJ("／／コア情報")) {
        cur.Next();
        ReadRecords(cur, SJ("／／コア情報終わり"), *this, master, arms, [&](CharaValues&& c) {
            c.SetCoreFlag(1);
            cores.emplace(c.Name(), std::move(c));
        });
    }
    if (cur.Peek() == SJ("ＢＰ")) {
        cur.Next();
        cur.NextInt(bpPool);
    }
}

std::string SummaryDate(const std::tm& d) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "'%02d %02lld/%02d %02d:%02d ", ((d.tm_year % 100) + 100) % 100,
                  static_cast<long long>(d.tm_mon) + 1, d.tm_mday, d.tm_hour, d.tm_min);
    return buf;
}

std::string StageLabel(const std::string& name, std::int32_t number, const std::string& name2) {
    const std::string& digits = SJ("１２３４５６７８９");
    std::string digit;
    if (number >= 1 && number <= 9) {
        digit = digits.substr(static_cast<std::size_t>(number - 1) * 2, 2);
    }
    return name + SJ("－") + digit + SJ("　") + name2;
}

std::string SummaryLine(std::string label, const std::string& date) {
    // Drop the first 8 bytes (the block word); a double-byte character cut in
    // two by that goes as a whole.
    std::size_t cut = 0;
    while (cut < label.size() && cut < 8) {
        cut += SjisCharLen(label, cut);
    }
    label.erase(0, cut);
    const std::string& space = SJ("　");
    for (std::size_t i = 0; i < label.size(); i += SjisCharLen(label, i)) {
        if (label.compare(i, space.size(), space) == 0) {
            label.insert(i + space.size(), date);
            break;
        }
    }
    return std::string(SjisPrefix(label, 36));
}

bool SummaryFields(const TokenList& tokens, std::tm& date, std::string& stageFile) {
    TokenCursor cur(tokens);
    bool hasDate = false;
    if (cur.Peek() == SJ("セーブ日時")) {
        cur.Next();
        cur.NextInt(date.tm_year);
        cur.NextInt(date.tm_wday);
        cur.NextInt(date.tm_mon);
        cur.NextInt(date.tm_mday);
        cur.NextInt(date.tm_hour);
        cur.NextInt(date.tm_min);
        cur.NextInt(date.tm_sec);
        hasDate = true;
    }
    if (cur.SkipPast(SJ("／／ステージ情報")) && !cur.AtEnd()) {
        stageFile = std::string(cur.Next());
    }
    return hasDate;
}

std::vector<SlotEntry> BuildSlotList(bool loadList,
                                     const std::function<SlotSummary(int slot)>& summary) {
    std::vector<SlotEntry> list;
    SlotEntry back;
    back.text = SJ("←");
    back.key = 0;
    back.x = 60;
    back.y = 370;
    list.push_back(back);
    for (int i = 1; i <= 9; ++i) {
        const SlotSummary s = summary(i);
        SlotEntry e;
        e.text = s.hasData ? s.text : SJ("データがありません");
        e.key = i;
        e.x = static_cast<float>(60 + 360 * (i / 5));
        e.y = static_cast<float>(370 + 30 * (i % 5));
        e.enabled = !loadList || s.hasData;
        list.push_back(e);
    }
    return list;
}

} // namespace quolis
