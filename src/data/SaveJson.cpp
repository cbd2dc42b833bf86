#include "data/SaveJson.h"

namespace quolis {

void WriteCharaJson(JsonWriter& json, const CharaValues& c) {
    json.Key("name").String(c.Name());
    json.Key("number").Int(c.Number());
    json.Key("type").String(c.TypeName());
    json.Key("modelFolder").String(c.ModelFolder());
    json.Key("core").Int(c.CoreFlag());
    json.Key("fusionCount").Int(c.FusionCount());
    json.Key("level").Int(c.Level());
    json.Key("level2").Int(c.Level2());
    json.Key("maxHP").Int(c.MaxHP());
    json.Key("HP").Int(c.HP());
    json.Key("maxMP").Int(c.MaxMP());
    json.Key("MP").Int(c.MP());
    json.Key("AP").Int(c.AP());
    json.Key("DP").Int(c.DP());
    json.Key("QP").Int(c.QP());
    json.Key("BP").Int(c.BP());
    json.Key("MblP").Int(c.MblP());
    json.Key("RiseP").Int(c.RiseP());
    json.Key("metalArms");
    json.BeginArray();
    for (const auto& [cost, name] : c.ArmsByCost()) {
        json.String(name);
    }
    json.EndArray();
}

void WriteSaveJson(JsonWriter& json, const GameState& g, const std::string& stageFile,
                   bool tablesUsed) {
    json.BeginObject();
    json.Key("date");
    json.BeginObject();
    json.Key("year").Int(g.saveDate.tm_year + 1900);
    json.Key("month").Int(g.saveDate.tm_mon + 1);
    json.Key("day").Int(g.saveDate.tm_mday);
    json.Key("weekday").Int(g.saveDate.tm_wday);
    json.Key("hour").Int(g.saveDate.tm_hour);
    json.Key("minute").Int(g.saveDate.tm_min);
    json.Key("second").Int(g.saveDate.tm_sec);
    json.EndObject();
    json.Key("stageFile").String(stageFile);
    json.Key("openingSeen").Int(g.openingSeen);
    const auto units = [&json](const char* key, const auto& list) {
        json.Key(key);
        json.BeginArray();
        for (const auto& [name, c] : list) {
            json.BeginObject();
            WriteCharaJson(json, c);
            json.EndObject();
        }
        json.EndArray();
    };
    units("squad", g.squad);
    units("cores", g.cores);
    json.Key("numbers");
    json.BeginObject();
    for (const auto& [type, n] : g.numbers) {
        json.Key(type).Int(n);
    }
    json.EndObject();
    json.Key("BPPool").Int(g.bpPool);
    json.Key("tablesUsed").Bool(tablesUsed);
    json.EndObject();
}

} // namespace quolis
