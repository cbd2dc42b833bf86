// The reach and enemy-turn subcommands: a battle field set up as a battle
// start does, then one reach fill or one whole enemy turn.
#include "Inspect.h"

#include "battle/EnemyTurn.h"
#include "common/Clock.h"
#include "common/Random.h"
#include "common/Text.h"
#include "data/StageData.h"

#include <cerrno>
#include <cstdlib>

namespace quolis::inspect {
namespace {

bool ParseInt(const std::string& text, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

// The field of a battle start: defaults, the stage's enemies and floor, the
// floor objects, the squad placed.
bool SetUpField(GameData& data, const std::string& stageArg, CharaMap& squad, StageData& stage,
                std::string& error) {
    const std::string file = Utf8ToCp932(stageArg);
    CreateField(stage, data.floorTex);
    if (!stage.ReadBattleData(*data.content, file, data.master, data.arms) ||
        !stage.ReadFloor(*data.content, file, data.floorTex, data.floorObj)) {
        error = "cannot read the stage file " + stageArg;
        return false;
    }
    CreateFloorObjects(stage);
    FillPlayerUnits(stage, squad);
    PlaceUnits(stage, squad);
    return true;
}

void CellJson(JsonWriter& json, Cell c) {
    json.BeginArray();
    json.Int(c.x);
    json.Int(c.y);
    json.EndArray();
}

void PathJson(JsonWriter& json, const std::vector<Cell>& cells) {
    json.BeginArray();
    for (const Cell& c : cells) {
        CellJson(json, c);
    }
    json.EndArray();
}

} // namespace

int RunReach(const Args& args, JsonWriter& json, std::string& error) {
    if (args.size() != 6 && args.size() != 7) {
        error = "usage: reach GAMEDATA STAGE X Y POINTS MASK [RISEP]";
        return 2;
    }
    std::int64_t x = 0, y = 0, points = 0, mask = 0, rise = CharaValues::kMaxLevel;
    if (!ParseInt(args[2], -1000, 1000, x) || !ParseInt(args[3], -1000, 1000, y) ||
        !ParseInt(args[4], 0, 100000, points) || !ParseInt(args[5], 0, 7, mask) ||
        (args.size() == 7 && !ParseInt(args[6], 0, CharaValues::kMaxLevel, rise))) {
        error = "usage: reach GAMEDATA STAGE X Y POINTS MASK [RISEP] (MASK: 1 players, "
                "2 enemies, 4 cores; RISEP 0..99, default 99)";
        return 2;
    }
    GameData data;
    if (!OpenGameData(args[0], data, error)) {
        return 1;
    }
    StageData stage;
    CharaMap squad;
    if (!SetUpField(data, args[1], squad, stage, error)) {
        return 1;
    }
    CharaValues walker;
    walker.SetRiseP(static_cast<std::int32_t>(rise));
    ReachGrid grid;
    FloodReach(stage, grid, walker, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
               static_cast<std::int32_t>(points), static_cast<std::int32_t>(mask));
    json.BeginObject();
    json.Key("stage").String(Utf8ToCp932(args[1]));
    json.Key("start");
    CellJson(json, {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
    json.Key("points").Int(points);
    json.Key("mask").Int(mask);
    json.Key("riseP").Int(rise);
    json.Key("width").Int(stage.floorWidth);
    json.Key("depth").Int(stage.floorDepth);
    // Rows from row 0 (nearest the viewer) upwards; column 0 first.
    json.Key("grid");
    json.BeginArray();
    for (std::int32_t row = 0; row < stage.floorDepth; ++row) {
        json.BeginArray();
        for (std::int32_t col = 0; col < stage.floorWidth; ++col) {
            json.Int(grid.At(col, row));
        }
        json.EndArray();
    }
    json.EndArray();
    json.EndObject();
    return 0;
}

int RunEnemyTurn(const Args& args, JsonWriter& json, std::string& error) {
    const char* usage = "usage: enemy-turn GAMEDATA STAGE [--squad SAVEFILE] [--time T]";
    if (args.size() < 2) {
        error = usage;
        return 2;
    }
    std::string squadFile;
    std::int64_t time = 0;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) {
            error = usage;
            return 2;
        }
        if (args[i] == "--squad") {
            squadFile = args[i + 1];
        } else if (args[i] == "--time") {
            if (!ParseInt(args[i + 1], INT64_MIN / 2, INT64_MAX / 2, time)) {
                error = usage;
                return 2;
            }
        } else {
            error = usage;
            return 2;
        }
    }
    GameData data;
    if (!OpenGameData(args[0], data, error)) {
        return 1;
    }
    GameState state;
    if (!squadFile.empty() && !LoadSaveFile(squadFile, data, state, error)) {
        return 1;
    }
    StageData stage;
    if (!SetUpField(data, args[1], state.squad, stage, error)) {
        return 1;
    }
    FixedCalendar calendar(time);
    GameRandom random(&calendar);
    EnemyTurn turn(stage, {&data.direction, &data.height}, data.master, false, random);
    std::vector<EnemyTurnRecord> log;
    const EnemyTurn::Check end = RunEnemyTurn(turn, &log);

    json.BeginObject();
    json.Key("stage").String(Utf8ToCp932(args[1]));
    json.Key("time").Int(time);
    json.Key("players").Int(static_cast<std::int64_t>(state.squad.size()));
    json.Key("actions");
    json.BeginArray();
    for (const EnemyTurnRecord& rec : log) {
        const EnemyDecision& d = rec.decision;
        json.BeginObject();
        json.Key("enemy").String(d.enemyName);
        json.Key("from");
        CellJson(json, d.from);
        json.Key("reach").Int(d.reach);
        json.Key("outcome").String(OutcomeName(d.outcome));
        std::vector<Cell> walk;
        if (d.outcome == EnemyOutcome::AttackHere || d.outcome == EnemyOutcome::MoveThenAttack) {
            json.Key("target").String(d.targetName);
            json.Key("targetCell");
            CellJson(json, d.targetCell);
            json.Key("pass").Int(d.chosenPass);
            json.Key("killingCommand").String(d.chosenCommand);
            json.Key("candidates");
            json.BeginArray();
            for (const auto& [dist, c] : d.candidates) {
                CellJson(json, c);
            }
            json.EndArray();
            json.Key("attackCell");
            CellJson(json, d.attackCell);
            json.Key("command").String(d.attackCommand);
            json.Key("distance").Int(d.attackDistance);
            json.Key("directionBonus").Int(d.bonus.direction);
            json.Key("directionLabel").String(d.bonus.directionLabel);
            json.Key("heightBonus").Int(d.bonus.height);
            json.Key("heightLabel").String(d.bonus.heightLabel);
            walk.assign(d.movePath.rbegin(), d.movePath.rend());
        } else if (d.outcome == EnemyOutcome::Approach) {
            json.Key("approachTarget").String(d.approachTargetName);
            walk.assign(d.approachPath.begin(), d.approachPath.end());
        }
        json.Key("path");
        PathJson(json, walk);
        json.Key("attacked").Bool(rec.result.attacked);
        if (rec.result.attacked) {
            json.Key("damage").Int(rec.result.damage);
            json.Key("beaten").Bool(rec.result.attack.beaten);
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("result").String(end == EnemyTurn::Check::Defeat ? "defeat" : "turn-over");
    json.EndObject();
    return 0;
}

} // namespace quolis::inspect
