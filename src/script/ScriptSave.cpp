#include "script/ScriptSave.h"

#include "common/Text.h"
#include "data/Tokens.h"

#include <array>

namespace quolis {

std::string ScriptSlotName(int n) {
    return "savedata\\save" + std::to_string(n);
}

std::string ScriptSlotPath(int n) {
    return ScriptSavePath(ScriptSlotName(n));
}

std::string ScriptSavePath(std::string_view name) {
    return "GameData\\Text\\" + std::string(name) + ".Dat";
}

namespace {
bool Storable(const std::string& token) {
    return !token.empty() && token != "/*";
}
} // namespace

TokenList BuildScriptSave(const std::tm& when, std::string_view resume, const StringVars& strings,
                          const IntVars& ints) {
    TokenList t;
    t.push_back(SJ("セーブ日時"));
    for (int v : {when.tm_year, when.tm_wday, when.tm_mon, when.tm_mday, when.tm_hour, when.tm_min,
                  when.tm_sec}) {
        t.push_back(std::to_string(v));
    }
    t.push_back(SJ("現在のスクリプトファイル名"));
    t.emplace_back(resume);
    t.push_back(SJ("変数情報"));
    for (const auto& [name, value] : strings) {
        // A token file cannot hold an empty token or one read as a comment
        // mark: such a variable would shift every record after it, so it is
        // left out (it keeps its value when the data is loaded).
        if (!Storable(name) || !Storable(value)) {
            continue;
        }
        t.push_back("string");
        t.push_back(name);
        t.push_back(value);
    }
    for (const auto& [name, value] : ints) {
        if (!Storable(name)) {
            continue;
        }
        t.push_back("INT");
        t.push_back(name);
        t.push_back(std::to_string(value));
    }
    return t;
}

std::optional<std::array<std::int32_t, 7>> ReadSaveTime(const TokenList& tokens) {
    auto at = FindToken(tokens, SJ("セーブ日時"));
    if (!at) {
        return std::nullopt;
    }
    std::array<std::int32_t, 7> out{};
    TokenCursor c(tokens, *at + 1);
    for (auto& v : out) {
        c.NextInt(v);
    }
    return out;
}

std::string ScriptSlotLabel(int n, const std::optional<std::array<std::int32_t, 7>>& time) {
    std::string s = SJ("データ") + std::to_string(n) + SJ("：");
    if (!time) {
        return s + SJ("空き");
    }
    const auto& t = *time;
    const std::string& days = SJ("日月火水木金土");
    std::string weekday;
    if (t[1] >= 0 && t[1] <= 6) {
        weekday = days.substr(static_cast<std::size_t>(t[1]) * 2, 2);
    }
    // Years since 1900 as stored; widen so a corrupt value cannot overflow.
    s += std::to_string(static_cast<std::int64_t>(t[0]) + 1900) + SJ("年 ");
    s += std::to_string(static_cast<std::int64_t>(t[2]) + 1) + SJ("月 ");
    s += std::to_string(t[3]) + SJ("日") + SJ("（") + weekday + SJ("）");
    s += std::to_string(t[4]) + SJ("時 ") + std::to_string(t[5]) + SJ("分");
    return s;
}

std::optional<ScriptSaveContents> ParseScriptSave(const TokenList& tokens) {
    auto script = FindToken(tokens, SJ("現在のスクリプトファイル名"));
    if (!script || *script + 1 >= tokens.size()) {
        return std::nullopt;
    }
    auto vars = FindToken(tokens, SJ("変数情報"));
    if (!vars) {
        return std::nullopt;
    }
    ScriptSaveContents out;
    out.resume = tokens[*script + 1] + ".Dat";
    std::size_t i = *vars + 1;
    while (i < tokens.size()) {
        const std::string& t = tokens[i];
        if ((t == "string" || t == "INT") && i + 2 < tokens.size()) {
            if (t == "string") {
                out.strings[tokens[i + 1]] = tokens[i + 2];
            } else {
                // A value that is not a number creates the variable but
                // leaves a value it already has.
                out.intRecords.insert(tokens[i + 1]);
                std::int32_t v = 0;
                if (ScanInt(tokens[i + 2], v)) {
                    out.ints[tokens[i + 1]] = v;
                }
            }
            i += 3;
        } else {
            ++i;
        }
    }
    return out;
}

} // namespace quolis
