#include "scenes/autoplay/GamePolicy.h"

#include "common/Text.h"
#include "manage/Fusion.h"
#include "manage/Roster.h"
#include "scenes/autoplay/BattlePolicy.h"
#include "scenes/battle/BattleScene.h"
#include "scenes/fusion/FusionScene.h"
#include "scenes/levelup/LevelUpScene.h"
#include "scenes/regen/RegenScenes.h"

#include <algorithm>
#include <sstream>

namespace quolis {

namespace {

// The hub waits for its button row at this step of its own.
constexpr int kHubWaitStep = -10000;
constexpr std::int32_t kLevelUpUnit = 100;
constexpr std::int32_t kTopLevel = 20;
// A unit selected this often in one turn without finishing is left alone.
constexpr int kMaxSelections = 4;
// Turns of an attempt in which units wait out of the enemies' strike.
constexpr int kCautiousTurns = 8;
// Fusion leaves a creature fewer even after the regeneration: only a squad
// this large fuses, so that four stay.
constexpr std::int32_t kFusionSquad = kMinSquadSize + 2;
// An attempt this long is a stall (enemies out of reach, units circling):
// the run is put down with the stage recorded as not cleared, rather than
// played until an outside timeout.
constexpr int kStallTurns = 60;
// A stage lost this often in a row is a stall too.
constexpr int kStallAttempts = 12;

BattleData* BattleOf(CGameApp& app) {
    auto* scene = dynamic_cast<BattleScene*>(app.SceneHandlers(kSceneBattle));
    return scene != nullptr ? scene->Data() : nullptr;
}

PlayUnit ToPlay(const CharaValues& c, const std::set<std::string>& skip = {}) {
    PlayUnit u;
    u.cell = CellOf(c);
    u.hp = c.HP();
    u.mp = c.MP();
    u.ap = c.AP();
    u.dp = c.DP();
    u.level = c.Level2();
    u.mblP = c.MblP();
    u.riseP = c.RiseP();
    for (const auto& [cost, name] : c.ArmsByCost()) {
        const MARecord* arm = c.FindArm(name);
        if (arm != nullptr && skip.count(name) == 0) {
            u.arms.push_back({arm->name, arm->range, arm->power, arm->mpCost});
        }
    }
    return u;
}

std::vector<PlayUnit> Enemies(const BattleData& d) {
    std::vector<PlayUnit> out;
    for (const auto& [name, e] : d.stage.EnemyUnits) {
        out.push_back(ToPlay(e));
    }
    return out;
}

PlayFloor FloorOf(const BattleData& d) {
    PlayFloor floor;
    floor.width = d.stage.floorWidth;
    floor.depth = d.stage.floorDepth;
    for (std::int32_t y = 0; y < floor.depth; ++y) {
        for (std::int32_t x = 0; x < floor.width; ++x) {
            floor.heights.push_back(d.stage.Height(x, y));
        }
    }
    floor.blocked.assign(floor.heights.size(), false);
    for (const auto& [name, object] : d.stage.FloorObjects) {
        if (floor.Inside(CellOf(object))) {
            floor.blocked[static_cast<std::size_t>(floor.Index(CellOf(object)))] = true;
        }
    }
    return floor;
}

Cell CursorCell(const BattleData& d) {
    return {d.cursor.CellX(), d.cursor.CellY()};
}

std::string JsonText(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

template <class T> std::string JsonList(const std::vector<T>& v) {
    std::ostringstream s;
    s << '[';
    for (std::size_t i = 0; i < v.size(); ++i) {
        s << (i ? "," : "") << v[i];
    }
    s << ']';
    return s.str();
}

} // namespace

std::string StageRecordJson(const StageRecord& r) {
    std::vector<std::string> names;
    for (const std::string& n : r.squadNames) {
        names.push_back(JsonText(n));
    }
    std::ostringstream s;
    s << "{\"stage\":" << JsonText(Cp932ToUtf8(r.stageFile))
      << ",\"cleared\":" << (r.cleared ? "true" : "false") << ",\"attempts\":" << r.attempts
      << ",\"retries\":" << std::max(r.attempts - 1, 0) << ",\"turns\":" << r.turns
      << ",\"units_lost\":" << r.unitsLost << ",\"enemies_beaten\":" << r.enemiesBeaten
      << ",\"bp_earned\":" << r.bpEarned << ",\"cores_dropped\":" << r.coresDropped
      << ",\"cores_picked_up\":" << r.coresPickedUp << ",\"squad\":" << JsonList(names)
      << ",\"levels\":" << JsonList(r.squadLevels) << ",\"fusions\":" << JsonList(r.squadFusions)
      << "}";
    return s.str();
}

void GamePolicy::Watch(CGameApp& app) {
    const int scene = app.GetScene(0);
    const int code = app.GetCycle(scene);
    BattleData* d = scene == kSceneBattle ? BattleOf(app) : nullptr;
    Observe(app, d, scene, code);
    lastScene_ = scene;
    lastCode_ = code;
}

int GamePolicy::Next(CGameApp& app) {
    const int scene = app.GetScene(0);
    const int code = app.GetCycle(scene);
    switch (scene) {
    case kSceneBattle:
        if (BattleData* d = BattleOf(app)) {
            return Battle(app, *d, code);
        }
        return kPass;
    case kSceneMenu:
        return Hub(app, code);
    case kSceneLevelUp:
        return LevelUp(app, code);
    case kSceneRegeneration:
        return Regeneration(app, code);
    case kSceneFusion:
        return Fusion(app, code);
    default:
        return kPass;
    }
}

// --- notes --------------------------------------------------------------------

std::string GamePolicy::TurnJson(const BattleData& d) const {
    const auto hp = [](const CharaMap& units) {
        std::vector<std::int32_t> out;
        for (const auto& [name, c] : units) {
            out.push_back(c.HP());
        }
        return JsonList(out);
    };
    std::ostringstream o;
    o << "{\"stage\":" << JsonText(Cp932ToUtf8(current_.stageFile))
      << ",\"attempt\":" << current_.attempts << ",\"turn\":" << attemptTurns_
      << ",\"players\":" << hp(d.stage.PlayerUnits) << ",\"enemies\":" << hp(d.stage.EnemyUnits)
      << "}";
    return o.str();
}

void GamePolicy::Observe(CGameApp& app, BattleData* d, int scene, int code) {
    GameState* state = app.OwnCampaign().State();
    if (scene != lastScene_) {
        if (scene == kSceneLevelUp) {
            shown_ = 0;
            asked_ = -1;
            refused_.clear();
        }
        if (lastScene_ == kSceneBattle && inAttempt_) {
            inAttempt_ = false;
        }
        if (lastScene_ == kSceneBattle && current_.cleared && !bpCounted_ && state != nullptr) {
            current_.bpEarned += state->bpPool - poolAtStart_;
            bpCounted_ = true;
        }
        if (scene == kSceneEnding) {
            endingSeen_ = true;
            FinishRecord(app);
        }
        if (scene == kSceneTitle && endingSeen_) {
            over_ = true;
        }
    }
    if (scene == kSceneFusion && (code == kFusionEntry || code == kFusionFirstStart)) {
        // The first choice starts on the first creature of the squad.
        fusionFirst_ = 0;
        fusionSecond_ = -1;
    }
    if (d == nullptr) {
        return;
    }
    const bool playing = code >= kBattleStart && code < kBattleEnemyTurn;
    if (!inAttempt_ && playing && code <= kBattleFreeCursor) {
        // A battle starts (a new stage, or the same one again).
        const std::string& file = app.OwnCampaign().CurrentStageFile();
        if (!recordOpen_ || current_.stageFile != file || current_.cleared) {
            FinishRecord(app);
            current_ = StageRecord{};
            current_.stageFile = file;
            recordOpen_ = true;
            leveled_ = false;
            saved_ = false;
            regenerated_ = false;
            fused_ = false;
        }
        ++current_.attempts;
        if (current_.attempts > kStallAttempts) {
            --current_.attempts;
            stalled_ = true;
            FinishRecord(app);
            over_ = true;
            return;
        }
        attemptTurns_ = 0;
        inAttempt_ = true;
        bpCounted_ = false;
        poolAtStart_ = state != nullptr ? state->bpPool : 0;
        players_ = d->stage.PlayerUnits.size();
        enemies_ = d->stage.EnemyUnits.size();
        cores_ = d->stage.FieldCores.size();
        givenUp_.clear();
        unit_ = nullptr;
    }
    if (!inAttempt_) {
        return;
    }
    if (code == 110 && lastCode_ != 110) {
        ++current_.turns;
        ++attemptTurns_;
        if (attemptTurns_ > kStallTurns) {
            stalled_ = true;
            FinishRecord(app);
            over_ = true;
            return;
        }
        givenUp_.clear();
        unit_ = nullptr;
        if (turnSink_) {
            turnSink_(TurnJson(*d));
        }
    }
    const std::size_t players = d->stage.PlayerUnits.size();
    const std::size_t enemies = d->stage.EnemyUnits.size();
    const std::size_t cores = d->stage.FieldCores.size();
    if (players < players_) {
        current_.unitsLost += static_cast<int>(players_ - players);
    }
    if (enemies < enemies_) {
        current_.enemiesBeaten += static_cast<int>(enemies_ - enemies);
    }
    if (cores > cores_) {
        current_.coresDropped += static_cast<int>(cores - cores_);
    } else if (cores < cores_) {
        current_.coresPickedUp += static_cast<int>(cores_ - cores);
    }
    players_ = players;
    enemies_ = enemies;
    cores_ = cores;
    if (code >= kBattleVictory && code < kBattleDefeat) {
        current_.cleared = true;
    }
    if (code >= kBattleDefeat && code < kBattleLeave) {
        inAttempt_ = false;
    }
}

void GamePolicy::FinishRecord(CGameApp& app) {
    if (!recordOpen_) {
        return;
    }
    recordOpen_ = false;
    if (const GameState* state = app.OwnCampaign().State()) {
        for (const auto& [name, c] : state->squad) {
            current_.squadNames.push_back(Cp932ToUtf8(name));
            current_.squadLevels.push_back(c.Level());
            current_.squadFusions.push_back(c.FusionCount());
        }
    }
    records_.push_back(current_);
    if (sink_) {
        sink_(current_);
    }
    if (stopAfter_ > 0 && static_cast<int>(records_.size()) >= stopAfter_) {
        over_ = true;
    }
}

// --- battle -------------------------------------------------------------------

int GamePolicy::Battle(CGameApp& app, BattleData& d, int code) {
    switch (code) {
    case kBattleFreeCursor:
        return FreeCursor(app, d);
    case 204: // the enemy details window: close it
        return kInputCancel;
    case 220: // "ターン終了"
        return kInputDecide;
    case 300:
        return CommandMenu(d, false);
    case 2100:
        return CommandMenu(d, true);
    case 500:
    case 2300:
        return CommandList(d);
    case 700:
    case 2500:
        return Target(d);
    case 1000:
        return MoveArea(d);
    default:
        // Services (stories, menus, the pause) are the player's; the rest of
        // the battle plays out by itself.
        return code < 0 ? kPass : kWait;
    }
}

int GamePolicy::FreeCursor(CGameApp& /*app*/, BattleData& d) {
    const CharaValues* next = nullptr;
    for (const auto& [name, u] : d.stage.PlayerUnits) {
        if (!u.Acted() && givenUp_.count(&u) == 0) {
            next = &u;
            break;
        }
    }
    if (next == nullptr) {
        return kInputCancel; // the turn-end menu
    }
    if (next != unit_) {
        unit_ = next;
        tried_.clear();
        noMove_ = false;
        arm_.clear();
        selections_ = 0;
    }
    const int key = CursorKeyToward(CursorCell(d), CellOf(*next), d.view.Angle());
    if (key >= 0) {
        return key;
    }
    if (++selections_ > kMaxSelections) {
        givenUp_.insert(next);
        return kWait;
    }
    return kInputDecide;
}

int GamePolicy::CommandMenu(BattleData& d, bool afterMove) {
    CButtonRow& menu = d.panels.CommandMenu();
    if (d.selected == nullptr) {
        return kPass;
    }
    const PlayUnit unit = ToPlay(*d.selected, tried_);
    const bool attackOffered = MenuKeyOf(menu, SJ("攻撃")) >= 0;
    const bool armsLeft = std::any_of(unit.arms.begin(), unit.arms.end(),
                                      [&](const PlayArm& a) { return a.mpCost <= unit.mp; });
    const bool canAttack = attackOffered && armsLeft;
    std::string want;
    if (afterMove) {
        want = canAttack ? SJ("攻撃") : std::string();
    } else {
        const PlayFloor floor = FloorOf(d);
        const AttackPlan plan = ChooseAttackOnFloor(unit, Enemies(d), &floor);
        if (canAttack && (plan.Valid() || noMove_)) {
            want = SJ("攻撃");
            arm_ = plan.Valid() ? unit.arms[static_cast<std::size_t>(plan.arm)].name : "";
        } else if (!noMove_) {
            want = SJ("移動");
        } else if (canAttack) {
            want = SJ("攻撃");
        }
    }
    if (want.empty()) {
        givenUp_.insert(d.selected);
        return kInputCancel;
    }
    const int action = StepMenuToward(menu, MenuKeyOf(menu, want), kInputUp, kInputDown);
    if (action == kPass) {
        givenUp_.insert(d.selected);
        return kInputCancel;
    }
    return action;
}

int GamePolicy::CommandList(BattleData& d) {
    CButtonRow& list = d.panels.CommandList();
    if (d.selected == nullptr) {
        return kPass;
    }
    PlayUnit unit = ToPlay(*d.selected, tried_);
    // Only what the list offers.
    unit.arms.erase(std::remove_if(unit.arms.begin(), unit.arms.end(),
                                   [&](const PlayArm& a) {
                                       return MenuKeyOf(list, a.name) < 0 || a.mpCost > unit.mp;
                                   }),
                    unit.arms.end());
    if (unit.arms.empty()) {
        tried_.insert(arm_);
        return kInputCancel;
    }
    std::string want = arm_;
    if (want.empty() || MenuKeyOf(list, want) < 0 || tried_.count(want) != 0) {
        const PlayFloor floor = FloorOf(d);
        const AttackPlan plan = ChooseAttackOnFloor(unit, Enemies(d), &floor);
        if (plan.Valid()) {
            want = unit.arms[static_cast<std::size_t>(plan.arm)].name;
        } else {
            // Nothing judged in reach: the longest reach the unit can pay for.
            auto longest = std::max_element(
                unit.arms.begin(), unit.arms.end(),
                [](const PlayArm& a, const PlayArm& b) { return a.range < b.range; });
            want = longest->name;
        }
        arm_ = want;
    }
    return StepMenuToward(list, MenuKeyOf(list, want), kInputUp, kInputDown);
}

int GamePolicy::Target(BattleData& d) {
    if (d.selected == nullptr) {
        return kPass;
    }
    PlayUnit unit = ToPlay(*d.selected);
    unit.arms.erase(std::remove_if(unit.arms.begin(), unit.arms.end(),
                                   [&](const PlayArm& a) { return a.name != d.command; }),
                    unit.arms.end());
    const std::vector<PlayUnit> enemies = Enemies(d);
    // The red area on the floor says what the command reaches.
    const AttackPlan plan = ChooseAttack(unit, enemies, [&](int, int e) {
        return d.reach.At(enemies[static_cast<std::size_t>(e)].cell) >= 1;
    });
    if (!plan.Valid()) {
        tried_.insert(d.command);
        arm_.clear();
        return kInputCancel;
    }
    const Cell goal = enemies[static_cast<std::size_t>(plan.target)].cell;
    const int key = CursorKeyToward(CursorCell(d), goal, d.view.Angle());
    return key >= 0 ? key : kInputDecide;
}

int GamePolicy::MoveArea(BattleData& d) {
    if (d.selected == nullptr) {
        return kPass;
    }
    std::vector<Cell> reachable;
    for (std::int32_t y = 0; y < d.stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < d.stage.floorWidth; ++x) {
            if (d.reach.At(x, y) > 0) {
                reachable.push_back({x, y});
            }
        }
    }
    std::vector<Cell> cores;
    for (const auto& [name, core] : d.stage.FieldCores) {
        cores.push_back(CellOf(core));
    }
    const PlayUnit unit = ToPlay(*d.selected);
    // Cautious while the battle is young; a battle that drags on (enemies
    // that keep their ground) is taken to them.
    const bool cautious = attemptTurns_ <= kCautiousTurns;
    const PlayFloor floor = FloorOf(d);
    const Cell goal = ChooseMoveCell(unit, reachable, Enemies(d), cores, cautious, &floor);
    if (goal == unit.cell) {
        noMove_ = true;
        return kInputCancel;
    }
    const int key = CursorKeyToward(CursorCell(d), goal, d.view.Angle());
    if (key >= 0) {
        return key;
    }
    // The walk is decided: what reaches from the new cell is judged afresh.
    tried_.clear();
    arm_.clear();
    return kInputDecide;
}

// --- hub, regeneration and level up -------------------------------------------

int GamePolicy::Hub(CGameApp& app, int code) {
    CButtonRow* row = app.SharedButtonRow();
    if (code != kHubWaitStep || row == nullptr) {
        return kPass;
    }
    const GameState* state = app.OwnCampaign().State();
    bool* flag = nullptr;
    std::string want = SJ("次の戦闘へ");
    if (!fused_ && state != nullptr && FusionPair(*state).first >= 0 &&
        static_cast<std::int32_t>(state->squad.size()) >= kFusionSquad &&
        CheckFusionEntry(*state) == FusionEntry::Open && MenuKeyOf(*row, SJ("合成")) >= 0) {
        // Two creatures that qualify become a core of the next tier, which
        // the regeneration turns into a creature right after.
        want = SJ("合成");
        flag = &fused_;
    } else if (!regenerated_ && state != nullptr && !state->cores.empty() &&
               static_cast<std::int32_t>(state->squad.size()) < app.OwnCampaign().SquadMax() &&
               MenuKeyOf(*row, SJ("再生")) >= 0) {
        // Cores first: the creatures they give are raised with the rest.
        want = SJ("再生");
        flag = &regenerated_;
    } else if (!leveled_ && state != nullptr && state->bpPool >= kLevelUpUnit &&
               !state->squad.empty() && MenuKeyOf(*row, SJ("レベルアップ")) >= 0) {
        want = SJ("レベルアップ");
        flag = &leveled_;
    } else if (!saved_ && MenuKeyOf(*row, SJ("セーブ")) >= 0) {
        want = SJ("セーブ");
        flag = &saved_;
    }
    const int action = StepMenuToward(*row, MenuKeyOf(*row, want), kInputUp, kInputDown);
    if (action == kInputDecide && flag != nullptr) {
        *flag = true;
        if (flag == &fused_) {
            // The fused core waits in the case for the regeneration.
            regenerated_ = false;
        }
    }
    return action;
}

int GamePolicy::LevelUp(CGameApp& app, int code) {
    const GameState* g = app.OwnCampaign().State();
    if (g == nullptr) {
        return kPass;
    }
    const int n = static_cast<int>(g->squad.size());
    switch (code) {
    case kLevelUpChoose: {
        if (asked_ >= 0) {
            // Back at the choice without setting an amount: refused (cap).
            refused_.insert(asked_);
            asked_ = -1;
        }
        int target = -1;
        std::int32_t lowest = kTopLevel;
        int i = 0;
        for (const auto& [name, c] : g->squad) {
            if (refused_.count(i) == 0 && c.Level() < lowest) {
                lowest = c.Level();
                target = i;
            }
            ++i;
        }
        if (target < 0 || g->bpPool < kLevelUpUnit || n == 0) {
            return kInputCancel; // done: the save question follows
        }
        if (shown_ != target) {
            shown_ = (shown_ + 1) % n;
            return kInputRight;
        }
        asked_ = target;
        amountSet_ = false;
        amountDecided_ = false;
        return kInputDecide;
    }
    case kLevelUpAmount:
        asked_ = -1;
        if (!amountSet_) {
            amountSet_ = true;
            return kInputUp;
        }
        if (!amountDecided_) {
            amountDecided_ = true;
            return kInputDecide;
        }
        // The decide took nothing: no BP can go into this one.
        refused_.insert(shown_);
        return kInputCancel;
    default:
        return kPass;
    }
}

int GamePolicy::Regeneration(CGameApp& app, int code) {
    const GameState* g = app.OwnCampaign().State();
    if (g == nullptr || code != kRegenCoreList) {
        return kPass;
    }
    // The first core while the squad has room; never a creature given up
    // for one.
    const bool room = static_cast<std::int32_t>(g->squad.size()) < app.OwnCampaign().SquadMax();
    return room && !g->cores.empty() ? kInputDecide : kInputCancel;
}

std::pair<int, int> FusionPair(const GameState& g) {
    int i = 0;
    for (auto a = g.squad.begin(); a != g.squad.end(); ++a, ++i) {
        int j = i + 1;
        for (auto b = std::next(a); b != g.squad.end(); ++b, ++j) {
            if (FusiblePair(a->second, b->second)) {
                return {i, j};
            }
        }
    }
    return {-1, -1};
}

int GamePolicy::Fusion(CGameApp& app, int code) {
    const GameState* g = app.OwnCampaign().State();
    if (g == nullptr) {
        return kPass;
    }
    const int n = static_cast<int>(g->squad.size());
    const auto [first, second] = FusionPair(*g);
    switch (code) {
    case kFusionFirst:
        // Only while the squad keeps enough creatures for it.
        if (first < 0 || n < kFusionSquad) {
            return kInputCancel;
        }
        if (fusionFirst_ != first) {
            fusionFirst_ = (fusionFirst_ + 1) % n;
            return kInputRight;
        }
        fusionSecond_ = (first + 1) % n;
        return kInputDecide;
    case kFusionSecond:
        if (second < 0 || fusionSecond_ < 0) {
            return kInputCancel;
        }
        if (fusionSecond_ != second) {
            do {
                fusionSecond_ = (fusionSecond_ + 1) % n;
            } while (fusionSecond_ == first && n > 1);
            return kInputRight;
        }
        return kInputDecide;
    default:
        // The shape question and the confirmation take their first answers
        // (the first creature's shape, "合成する").
        return kPass;
    }
}

} // namespace quolis
