#include "Checker.h"

#include "HardNames.h"
#include "ScriptScan.h"

#include "common/Log.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/BonusTables.h"
#include "data/CharaMaster.h"
#include "data/DataFiles.h"
#include "data/FloorTables.h"
#include "data/GameState.h"
#include "data/MAMaster.h"
#include "data/StageData.h"
#include "data/Tokens.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace quolis::qcheck {
namespace {

namespace fs = std::filesystem;

std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

struct BinaryArchive {
    AssetKind kind;
    const char* archive; // archive mode
    const char* folder;  // loose-file mode
};

// Models first: their parts name meshes; meshes name textures.
const BinaryArchive kBinaryArchives[] = {
    {AssetKind::Model, "GameData\\mdl\\mdl.Dat", "GameData\\mdl\\"},
    {AssetKind::Mesh, "GameData\\XFile\\XFile.Dat", "GameData\\XFile\\"},
    {AssetKind::Texture, "GameData\\Texture\\Texture.Dat", "GameData\\Texture\\"},
    {AssetKind::Sound, "GameData\\SE\\SE.Dat", "GameData\\SE\\"},
    {AssetKind::Music, "GameData\\MIDI\\MIDI.Dat", "GameData\\MIDI\\"},
};

constexpr const char* kTextArchive = "GameData\\Text\\Text.Dat";
constexpr const char* kTextFolder = "GameData\\Text\\";
constexpr const char* kInitSave = "GameData\\Save\\Init.Dat";

// The squad maximum a block allows, which is also the number of ally start
// cells a stage of that block needs.
int SquadMaximum(const std::string& stageName) {
    if (stageName == SJ("ブロックＡ")) {
        return 3;
    }
    if (stageName == SJ("ブロックＢ")) {
        return 5;
    }
    if (stageName == SJ("ブロックＣ")) {
        return 8;
    }
    return 10;
}

// 1..4 for the blocks A..D, 0 for any other stage name.
int BlockIndex(const std::string& stageName) {
    const char* blocks[] = {"ブロックＡ", "ブロックＢ", "ブロックＣ", "ブロックＤ"};
    for (int i = 0; i < 4; ++i) {
        if (stageName == Utf8ToCp932(blocks[i])) {
            return i + 1;
        }
    }
    return 0;
}

class Checker {
public:
    explicit Checker(const CheckOptions& options)
        : opt_(options), content_(false, !options.loose), secure_(true, false) {}

    Report Run() {
        SetGameRoot(opt_.root);
        LogSink previous =
            SetLogSink([this](std::string_view line) { logLines_.emplace_back(line); });
        CheckSettings();
        CheckTables();
        CheckTypes();
        CheckInitialSave();
        CheckStages();
        CheckScripts();
        CheckBinaries();
        SetLogSink(std::move(previous));
        return std::move(report_);
    }

private:
    void Problem(std::string line) { report_.problems.push_back(std::move(line)); }
    void Note(std::string line) { report_.notes.push_back(std::move(line)); }

    // Reader log lines (rejected rows and names) are content faults.
    void TakeLog(const std::string& where) {
        for (auto& line : logLines_) {
            Problem(where + ": " + line);
        }
        logLines_.clear();
    }

    void Require(AssetKind kind, const std::string& name, const std::string& usedBy) {
        if (name.empty() || name == "Nothing") {
            return;
        }
        required_[kind].emplace(name, usedBy);
    }

    // ---- tables -------------------------------------------------------

    void CheckSettings() {
        TokenList tokens;
        if (ReadDataTable(content_, "Setting.Dat", tokens) < 0 || tokens.empty()) {
            Problem("Data\\Setting.Dat cannot be read");
            return;
        }
        const char* keys[] = {"FLAG_MSG",        "FLAG_BATTLE",      "FLAG_ALWAYSCORE",
                              "SPEED_CHARAMOVE", "SPEED_CAMERAMOVE", "SPEED_CAMERAMOVE2",
                              "SPEED_VARY",      "SPEED_SLIDE",      "SPEED_MESHANIME",
                              "SPEED_FADE",      "SPEED_FADEVOLUME", "SPEED_WIPE",
                              "SPEED_EFFECT"};
        for (const char* key : keys) {
            const auto at = FindToken(tokens, key);
            float value = 0;
            if (!at || *at + 1 >= tokens.size() || !ScanFloat(tokens[*at + 1], value)) {
                Problem(std::string("Data\\Setting.Dat: ") + key + " is missing or has no number");
            } else if (std::string_view(key).substr(0, 6) == "SPEED_" && value <= 0) {
                Problem(std::string("Data\\Setting.Dat: ") + key + " must be above 0");
            }
        }
        Note("settings: 13 keys checked");
    }

    void CheckTables() {
        if (!arms_.Load(content_) || arms_.Records().empty()) {
            Problem("Data\\MAMaster.Dat cannot be read or is empty");
        }
        TakeLog("Data\\MAMaster.Dat");
        if (!direction_.Load(content_) || direction_.BySide.empty() || direction_.ByRear.empty()) {
            Problem("Data\\DirectionBonus.Dat cannot be read or lacks BySide or ByRear entries");
        }
        if (!height_.Load(content_) || height_.ByUpper.empty() || height_.ByLower.empty()) {
            Problem("Data\\HeightBonus.Dat cannot be read or lacks ByUpper or ByLower entries");
        }
        if (!master_.Load(content_, arms_) || master_.Types().empty()) {
            Problem("Data\\CharaMaster.Dat cannot be read or declares no type");
        }
        TakeLog("Data\\CharaMaster.Dat");
        if (!tex_.Load(content_) || tex_.Rows().empty()) {
            Problem("Data\\FloorTex.Dat cannot be read or is empty");
        }
        if (!obj_.Load(content_) || obj_.Rows().empty()) {
            Problem("Data\\FloorObj.Dat cannot be read or is empty");
        }
        TakeLog("Data\\FloorTex.Dat / FloorObj.Dat");

        // Every command needs its presentation, and every presentation a row.
        std::set<std::string> table;
        for (const auto& attack : AttackTable()) {
            table.insert(attack.name);
            const MARecord* r = arms_.Find(attack.name);
            if (r == nullptr) {
                Problem("Data\\MAMaster.Dat: Metal Arms " + U(attack.name) + " is missing");
                continue;
            }
            if (r->range < 1 || r->power < 0 || r->mpCost < 0) {
                Problem("Data\\MAMaster.Dat: " + U(attack.name) +
                        " needs a range of at least 1 and no negative power or cost");
            }
            Require(AssetKind::Texture, BattleButtonName(attack.name),
                    "battle command button of " + U(attack.name));
        }
        for (const auto& [name, record] : arms_.Records()) {
            if (table.count(name) == 0) {
                Problem("Data\\MAMaster.Dat: " + U(name) + " has no attack presentation");
            }
        }

        if (tex_.Find("1") == nullptr) {
            Problem("Data\\FloorTex.Dat: key 1 (the texture of undefined cells) is missing");
        }
        for (const auto& [key, file] : tex_.Rows()) {
            Require(AssetKind::Texture, file, "FloorTex key " + key);
        }
        for (const auto& [key, file] : obj_.Rows()) {
            if (file == "Nothing") {
                continue;
            }
            if (EndsWith(file, ".mdl")) {
                Require(AssetKind::Model, file, "FloorObj key " + key);
            } else if (EndsWith(file, ".x")) {
                Require(AssetKind::Mesh, file, "FloorObj key " + key);
            } else {
                Problem("Data\\FloorObj.Dat: key " + key + " names " + U(file) +
                        ", neither a model (.mdl) nor a mesh (.x)");
            }
        }
        for (const auto& hard : HardCodedNames()) {
            Require(hard.kind, hard.name, hard.usedBy);
        }
        for (const auto& anim : BaseAnimations()) {
            Require(AssetKind::Model, "Core\\" + anim + ".mdl", "cores");
        }
    }

    void CheckTypes() {
        std::set<std::string> learntAnywhere;
        const std::string enemyMark = SJ("Ｅ");
        for (const auto& [name, type] : master_.Types()) {
            const std::string where = "Data\\CharaMaster.Dat: type " + U(name);
            for (CharaTable t : {CharaTable::HP, CharaTable::MP, CharaTable::NeedBP, CharaTable::BP,
                                 CharaTable::DP, CharaTable::AP, CharaTable::QP}) {
                if (type.Table(t).size() < static_cast<std::size_t>(kTableRows)) {
                    Problem(where + " lacks one of its growth tables (HP, MP, AP, DP, QP, "
                                    "NeedBP, BP)");
                    break;
                }
            }
            if (type.modelFolder.empty() || type.namePrefix.empty()) {
                Problem(where + " has no model folder or name prefix");
            }
            CharaValues fresh;
            fresh.SetLevel(1);
            ApplySteps(type, fresh);
            if (fresh.MblP() < 1 || fresh.RiseP() < 1) {
                Problem(where + " cannot move or climb at level 1 (ＭｂｌＰ/ＲｉｓｅＰ steps)");
            }
            bool startsArmed = false;
            for (const auto& [arm, when] : type.arms) {
                learntAnywhere.insert(arm);
                startsArmed |= Reached(when.fusionCount, when.level, 0, 1);
            }
            if (!startsArmed) {
                Problem(where + " knows no Metal Arms at level 1");
            }
            if (EndsWith(name, enemyMark) &&
                master_.Find(name.substr(0, name.size() - enemyMark.size())) == nullptr) {
                Problem(where + ": its cores would become " +
                        U(name.substr(0, name.size() - enemyMark.size())) +
                        ", which is not declared");
            }
            // Every animation the type can be asked to play.
            const std::string folder = type.modelFolder + "\\";
            for (const auto& anim : BaseAnimations()) {
                Require(AssetKind::Model, folder + anim + ".mdl", "type " + U(name));
            }
            for (const auto& attack : AttackTable()) {
                if (type.arms.count(attack.name) == 0) {
                    continue;
                }
                for (const auto& anim : attack.animations) {
                    Require(AssetKind::Model, folder + anim + ".mdl",
                            "type " + U(name) + ", " + U(attack.name));
                }
            }
        }
        for (const auto& attack : AttackTable()) {
            if (learntAnywhere.count(attack.name) == 0) {
                Problem("Data\\CharaMaster.Dat: no type learns " + U(attack.name));
            }
        }
        Note("types: " + std::to_string(master_.Types().size()) + " checked");
    }

    // ---- save -------------------------------------------------------

    void CheckInitialSave() {
        GameState state;
        if (!state.Load(secure_, kInitSave, master_, arms_)) {
            Problem("GameData\\Save\\Init.Dat (InitE.Dat on disk) cannot be read");
            TakeLog("Init.Dat");
            return;
        }
        TakeLog("Init.Dat");
        if (state.squad.size() < 3) {
            Problem("Init.Dat: the squad has fewer than the minimum of 3 creatures");
        }
        if (state.cores.size() > 9) {
            Problem("Init.Dat: the core case holds more than 9 cores");
        }
        for (const auto* map : {&state.squad, &state.cores}) {
            for (const auto& [name, c] : *map) {
                if (master_.Find(c.TypeName()) == nullptr) {
                    Problem("Init.Dat: " + U(name) + " has the undeclared type " + U(c.TypeName()));
                }
            }
        }
        if (state.stageFile.empty()) {
            Problem("Init.Dat: no stage file");
        }
        initStage_ = state.stageFile;
        initSquad_ = static_cast<int>(state.squad.size());
    }

    // ---- stages -----------------------------------------------------

    std::vector<std::string> ListStages() {
        std::vector<std::string> names;
        if (!opt_.loose) {
            std::vector<ArchiveEntry> entries;
            if (ReadArchiveDirectory(kStageArchive, entries) < 0) {
                Problem("GameData\\Stage\\Stage.Dat cannot be read");
            }
            for (auto& e : entries) {
                names.push_back(e.name);
            }
        } else {
            std::error_code ec;
            const fs::path dir = HostPath("GameData\\Stage");
            for (const auto& e : fs::directory_iterator(dir, ec)) {
                if (e.is_regular_file()) {
                    names.push_back(Utf8ToCp932(e.path().filename().string()));
                }
            }
            if (ec) {
                Problem("GameData\\Stage cannot be listed");
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    bool StageExists(const std::string& file) {
        TokenList tokens;
        return ReadStageFile(content_, file, tokens) >= 0 && !tokens.empty();
    }

    void RequireScript(const std::string& name, const std::string& usedBy) {
        if (!name.empty() && name != "Nothing") {
            scriptUsers_.emplace(name, usedBy);
        }
    }

    void CheckStage(const std::string& file) {
        const std::string where = "stage " + U(file);
        TokenList tokens;
        if (ReadStageFile(content_, file, tokens) < 0 || tokens.empty()) {
            Problem(where + " cannot be read");
            return;
        }
        if (tokens.front() != SJ("／／ステージ情報")) {
            Problem(where + " does not begin with ／／ステージ情報");
        }
        StageData stage;
        stage.ReadBattleData(content_, file, master_, arms_);
        stage.ReadFloor(content_, file, tex_, obj_);
        TakeLog(where);
        info_[file] = {stage.stageName, stage.nextStageFile};

        // Enemies the reader rejected (unknown type) are missing from the map.
        std::size_t entries = 0;
        const auto from = FindToken(tokens, SJ("／／敵情報"));
        const auto to = FindToken(tokens, SJ("／／敵情報終わり"));
        if (from && to) {
            for (std::size_t i = *from; i < *to; ++i) {
                entries += tokens[i] == SJ("名前") ? 1 : 0;
            }
        }
        if (entries != stage.EnemyUnits.size()) {
            Problem(where + ": " + std::to_string(entries - stage.EnemyUnits.size()) +
                    " enemies could not be created (unknown type?)");
        }
        if (stage.EnemyUnits.empty()) {
            Problem(where + " has no enemies: the battle would be won before it starts");
        }

        const int w = stage.floorWidth;
        const int d = stage.floorDepth;
        if (w < 1 || d < 1 || w > kGridSize || d > kGridSize) {
            Problem(where + ": floor size " + std::to_string(w) + " x " + std::to_string(d) +
                    " is outside 1..100");
            return;
        }
        for (int y = 0; y < d; ++y) {
            for (int x = 0; x < w; ++x) {
                const auto i = GridIndex(x, y);
                if (stage.textureGrid[i].empty() || stage.objectGrid[i].empty()) {
                    Problem(where + ": cell " + std::to_string(x) + "," + std::to_string(y) +
                            " has a floor character missing from FloorTex or FloorObj");
                    y = d;
                    break;
                }
                if (stage.heightGrid[i] < 0 || stage.heightGrid[i] > 9) {
                    Problem(where + ": cell " + std::to_string(x) + "," + std::to_string(y) +
                            " has a height outside 0..9");
                }
            }
        }

        auto free = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < w && y < d && stage.Height(x, y) > 0 &&
                   stage.objectGrid[GridIndex(x, y)] == "Nothing";
        };
        const int need = SquadMaximum(stage.stageName);
        if (static_cast<int>(stage.allyStarts.size()) < need) {
            Problem(where + ": " + std::to_string(stage.allyStarts.size()) +
                    " ally start cells for a squad of up to " + std::to_string(need));
        }
        std::deque<std::pair<int, int>> todo;
        std::set<std::pair<int, int>> reach;
        for (const auto& c : stage.allyStarts) {
            const int x = static_cast<int>(c.x);
            const int y = static_cast<int>(c.z);
            if (!free(x, y)) {
                Problem(where + ": ally start cell " + std::to_string(x) + "," + std::to_string(y) +
                        " is a hole or holds an object");
            } else if (reach.insert({x, y}).second) {
                todo.emplace_back(x, y);
            }
        }
        // Climbing limit 1: what the weakest frames manage at level 1.
        while (!todo.empty()) {
            const auto [x, y] = todo.front();
            todo.pop_front();
            const int dx[] = {1, -1, 0, 0};
            const int dy[] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k];
                const int ny = y + dy[k];
                if (free(nx, ny) && std::abs(stage.Height(nx, ny) - stage.Height(x, y)) <= 1 &&
                    reach.insert({nx, ny}).second) {
                    todo.emplace_back(nx, ny);
                }
            }
        }
        for (const auto& [name, enemy] : stage.EnemyUnits) {
            enemyTypes_.insert(enemy.TypeName());
            const std::string& marker = enemy.Marker();
            const auto it =
                marker.size() == 1 ? stage.enemyStarts.find(marker[0]) : stage.enemyStarts.end();
            if (it == stage.enemyStarts.end()) {
                Problem(where + ": enemy " + U(name) + " has no start cell (位置 " + U(marker) +
                        ")");
                continue;
            }
            const int x = static_cast<int>(it->second.x);
            const int y = static_cast<int>(it->second.z);
            if (!free(x, y)) {
                Problem(where + ": enemy " + U(name) + " starts on a hole or an object");
            } else if (reach.count({x, y}) == 0) {
                Problem(where + ": enemy " + U(name) + " at " + std::to_string(x) + "," +
                        std::to_string(y) + " cannot be reached from the ally start cells");
            }
        }

        const bool blockAFile = file.find("BlockA") != std::string::npos;
        if (blockAFile != (stage.stageName == SJ("ブロックＡ")) && BlockIndex(stage.stageName)) {
            Problem(where + ": only the stages of ブロックＡ may have BlockA in their file "
                            "name (the menu hub hides fusion by it)");
        }
        if (stage.stageNumber < 1 || stage.stageNumber > 9) {
            Problem(where + ": stage number must be 1..9 (the save list shows one digit)");
        }
        Require(AssetKind::Mesh, stage.sceneryMesh, where + " scenery");
        Require(AssetKind::Music, stage.allyMusic, where + " 味方ＢＧＭ");
        Require(AssetKind::Music, stage.enemyMusic, where + " 敵ＢＧＭ");
        if (stage.allyMusic.empty() || stage.enemyMusic.empty()) {
            Problem(where + " lacks 味方ＢＧＭ or 敵ＢＧＭ");
        }
        RequireScript(stage.openingEvent, where + " ＯＰイベント");
        RequireScript(stage.closingEvent, where + " ＥＤイベント");
        RequireScript(stage.openingStory, where + " ＯＰストーリーファイル");
        RequireScript(stage.closingStory, where + " ＥＤストーリーファイル");
        if (stage.openingStory.empty() || stage.closingStory.empty()) {
            Problem(where + ": story files must be named or be Nothing");
        }
        const std::string& next = stage.nextStageFile;
        if (next.empty()) {
            Problem(where + " has no 次のステージファイル");
        } else if (next == "Nothing" && stage.closingEvent.empty()) {
            Problem(where + ": next stage Nothing without a closing event replays the battle");
        } else if (next != "Ending" && next != "Nothing" && !StageExists(next)) {
            Problem(where + ": next stage " + U(next) + " does not exist");
        }
    }

    void CheckStages() {
        const auto names = ListStages();
        for (const auto& file : names) {
            CheckStage(file);
        }
        // The campaign: from the initial save's stage to "Ending".
        std::vector<std::string> chain;
        std::set<std::string> seen;
        std::string file = initStage_;
        int lastBlock = 1;
        std::map<int, int> perBlock;
        while (!file.empty()) {
            if (file == "Ending") {
                break;
            }
            if (file == "Nothing") {
                Problem("campaign: the chain from Init.Dat ends at a stage whose next stage is "
                        "Nothing: " +
                        U(chain.empty() ? initStage_ : chain.back()));
                break;
            }
            if (!seen.insert(file).second) {
                Problem("campaign: the chain from Init.Dat loops back to " + U(file));
                break;
            }
            if (info_.count(file) == 0) {
                Problem("campaign: the chain from Init.Dat reaches the missing stage " + U(file));
                break;
            }
            chain.push_back(file);
            const int block = BlockIndex(info_[file].first);
            if (block < lastBlock) {
                Problem("campaign: " + U(file) + " goes back to an earlier block");
            }
            lastBlock = std::max(lastBlock, block);
            ++perBlock[block];
            file = info_[file].second;
        }
        if (file == "Ending") {
            for (int b = 1; b <= 4; ++b) {
                if (perBlock[b] < 2) {
                    Problem("campaign: block " + std::string(1, static_cast<char>('A' + b - 1)) +
                            " has fewer than two stages");
                }
            }
        }
        if (!chain.empty() && initSquad_ > SquadMaximum(info_[chain.front()].first)) {
            Problem("Init.Dat: the squad is larger than the first block allows");
        }
        // Every player frame appears as an enemy somewhere, so its cores exist.
        const std::string enemyMark = SJ("Ｅ");
        for (const auto& [name, type] : master_.Types()) {
            if (!EndsWith(name, enemyMark) && enemyTypes_.count(name + enemyMark) == 0) {
                Problem("campaign: no stage fields " + U(name + enemyMark));
            }
        }
        Note("stages: " + std::to_string(names.size()) + " checked, campaign of " +
             std::to_string(chain.size()) + " stages");
    }

    // ---- scripts ----------------------------------------------------

    bool ReadScript(const std::string& name, TokenList& tokens) {
        const HRESULT hr = opt_.loose ? content_.ReadTokens({}, kTextFolder + name, tokens)
                                      : content_.ReadTokens(kTextArchive, name, tokens);
        return hr >= 0 && !tokens.empty();
    }

    void CheckScripts() {
        RequireScript("Prologue\\1.Dat", "prologue scene");
        RequireScript("Ending\\1.Dat", "ending scene");
        std::map<std::string, ScriptFacts> facts;
        std::map<std::string, std::set<std::string>> callers;
        std::deque<std::string> todo;
        for (const auto& [name, user] : scriptUsers_) {
            todo.push_back(name);
        }
        std::set<std::string> queued(todo.begin(), todo.end());
        while (!todo.empty()) {
            const std::string name = todo.front();
            todo.pop_front();
            TokenList tokens;
            if (!ReadScript(name, tokens)) {
                const auto user = scriptUsers_.find(name);
                Problem("script " + U(name) + " is missing (used by " +
                        (user != scriptUsers_.end() ? user->second : std::string("?")) + ")");
                continue;
            }
            facts[name] = ScanScript(tokens);
            for (const auto& next : facts[name].jumps) {
                callers[next].insert(name);
                scriptUsers_.emplace(next, "script " + U(name));
                if (queued.insert(next).second) {
                    todo.push_back(next);
                }
            }
        }

        // Variables survive from one file to the next, so a file may use what
        // the files that jump to it declared.
        std::map<std::string, ScriptFacts> known = facts;
        for (bool changed = true; changed;) {
            changed = false;
            for (auto& [name, k] : known) {
                for (const auto& caller : callers[name]) {
                    if (known.count(caller) == 0) {
                        continue;
                    }
                    const auto& c = known[caller];
                    const auto before = k.textures.size() + k.sounds.size() + k.intDeclared.size() +
                                        k.stringDeclared.size();
                    k.textures.insert(c.textures.begin(), c.textures.end());
                    k.sounds.insert(c.sounds.begin(), c.sounds.end());
                    k.intDeclared.insert(c.intDeclared.begin(), c.intDeclared.end());
                    k.stringDeclared.insert(c.stringDeclared.begin(), c.stringDeclared.end());
                    changed |= before != k.textures.size() + k.sounds.size() +
                                             k.intDeclared.size() + k.stringDeclared.size();
                }
            }
        }

        const auto& cues = EngineCues();
        for (const auto& [name, f] : facts) {
            const std::string where = "script " + U(name);
            const ScriptFacts& k = known[name];
            for (const auto& p : f.problems) {
                Problem(where + ": " + U(p));
            }
            for (const auto& var : f.textureUses) {
                if (k.textures.count(var) == 0) {
                    Problem(where + ": picture " + U(var) + " is not a texture variable");
                }
            }
            for (const auto& item : f.buttonItems) {
                if (k.textures.count(item + SJ("ボタン")) == 0) {
                    Problem(where + ": button menu item " + U(item) + " has no texture variable " +
                            U(item + SJ("ボタン")));
                }
            }
            for (const auto& cue : f.soundPlays) {
                if (k.sounds.count(cue) == 0 &&
                    std::find(cues.begin(), cues.end(), cue) == cues.end()) {
                    Problem(where + ": sound cue " + U(cue) + " is played but never loaded");
                }
            }
            for (const auto& var : f.variableUses) {
                const bool isInt = !var.empty() && var[0] == '%';
                const auto& declared = isInt ? k.intDeclared : k.stringDeclared;
                if (var != "$MenuResult" && declared.count(var) == 0) {
                    Problem(where + ": variable " + U(var) + " is used before it is declared");
                }
            }
            for (const auto& m : f.messages) {
                bool narrow = false;
                for (std::size_t i = 0; i < m.text.size(); i += SjisCharLen(m.text, i)) {
                    narrow |= !IsSjisLead(static_cast<unsigned char>(m.text[i]));
                }
                if (narrow) {
                    Problem(where + ": the line " + U(m.text) +
                            " holds a single-byte character (automatic line breaks could split "
                            "a double-byte one)");
                }
                // Three lines of 52, 50 and 50 bytes fit the message frame.
                const std::string shown = m.label + m.text;
                if (shown.size() > 152) {
                    Problem(where + ": the line " + U(m.text) + " is longer than three lines");
                }
                // Automatic breaks fall every 52 and then 50 bytes; a closing
                // mark must not begin a line.
                for (std::size_t at = 52; !narrow && at < shown.size(); at += 50) {
                    const std::string next = shown.substr(at, 2);
                    for (const char* mark : {"。", "、", "！", "？", "」", "）", "・"}) {
                        if (next == Utf8ToCp932(mark)) {
                            Problem(where + ": the line " + U(m.text) + " breaks before " + mark +
                                    "; reword it");
                        }
                    }
                }
            }
            for (const auto& [var, file] : f.textures) {
                Require(AssetKind::Texture, file, where + " (" + U(var) + ")");
            }
            for (const auto& file : f.music) {
                Require(AssetKind::Music, file, where);
            }
            for (const auto& [cue, file] : f.sounds) {
                Require(AssetKind::Sound, file, where + " (" + U(cue) + ")");
            }
        }
        Note("scripts: " + std::to_string(facts.size()) + " checked");
    }

    // ---- binary assets ----------------------------------------------

    bool ArchiveAvailable(const BinaryArchive& a) {
        std::error_code ec;
        return opt_.loose ? fs::is_directory(HostPath(a.folder), ec)
                          : fs::is_regular_file(HostPath(a.archive), ec);
    }

    bool ReadBinary(const BinaryArchive& a, const std::string& name, ByteBuffer& bytes) {
        const HRESULT hr = opt_.loose ? content_.ReadMember({}, a.folder + name, bytes)
                                      : content_.ReadMember(a.archive, name, bytes);
        return hr >= 0 && !bytes.empty();
    }

    // Models are text members: read as tokens, like the model loader does.
    bool ReadModel(const BinaryArchive& a, const std::string& name, TokenList& tokens) {
        const HRESULT hr = opt_.loose ? content_.ReadTokens({}, a.folder + name, tokens)
                                      : content_.ReadTokens(a.archive, name, tokens);
        return hr >= 0 && !tokens.empty();
    }

    // The meshes a model's parts are made of.
    void RequireModelParts(const std::string& model, const TokenList& tokens) {
        std::int32_t parts = 0;
        std::int32_t keys = 0;
        if (tokens.size() < 2 || !ScanInt(tokens[0], parts) || !ScanInt(tokens[1], keys) ||
            parts < 1 || keys < 1) {
            Problem("model " + U(model) + " does not begin with its part and key counts");
            return;
        }
        const std::size_t block = 2 + static_cast<std::size_t>(keys) * 9;
        if (tokens.size() < 2 + static_cast<std::size_t>(parts) * block) {
            Problem("model " + U(model) + " is shorter than its part and key counts say");
            return;
        }
        for (std::int32_t p = 0; p < parts; ++p) {
            Require(AssetKind::Mesh, tokens[2 + p * block], "model " + U(model));
        }
    }

    // The textures an X mesh's materials name ("XFile\" + file name).
    void RequireMeshTextures(const std::string& mesh, const ByteBuffer& bytes) {
        const std::string text(bytes.begin(), bytes.end());
        for (auto at = text.find("TextureFilename"); at != std::string::npos;
             at = text.find("TextureFilename", at + 1)) {
            const auto open = text.find('"', at);
            const auto close = open == std::string::npos ? open : text.find('"', open + 1);
            if (close != std::string::npos) {
                Require(AssetKind::Texture, "XFile\\" + text.substr(open + 1, close - open - 1),
                        "mesh " + U(mesh));
            }
        }
    }

    void CheckBinaries() {
        for (const auto& a : kBinaryArchives) {
            auto& names = required_[a.kind];
            // Models add meshes and meshes add textures while they are read,
            // so the list is taken kind by kind in the order of the table.
            for (const auto& [name, user] : names) {
                report_.required.push_back({KindWord(a.kind), U(name), user});
            }
            if (!ArchiveAvailable(a)) {
                report_.pending.push_back(std::to_string(names.size()) + " " + KindWord(a.kind) +
                                          " files: " + (opt_.loose ? a.folder : a.archive) +
                                          " is not built yet");
                continue;
            }
            std::size_t missing = 0;
            for (const auto& [name, user] : names) {
                ByteBuffer bytes;
                TokenList tokens;
                const bool model = a.kind == AssetKind::Model;
                if (model ? !ReadModel(a, name, tokens) : !ReadBinary(a, name, bytes)) {
                    Problem("missing " + std::string(KindWord(a.kind)) + " " + U(name) +
                            " (used by " + user + ")");
                    ++missing;
                } else if (model) {
                    RequireModelParts(name, tokens);
                } else if (a.kind == AssetKind::Mesh) {
                    RequireMeshTextures(name, bytes);
                }
            }
            Note(std::to_string(names.size() - missing) + " of " + std::to_string(names.size()) +
                 " " + KindWord(a.kind) + " files present");
        }
    }

    CheckOptions opt_;
    CDatArchive content_;
    CDatArchive secure_;
    Report report_;
    std::vector<std::string> logLines_;
    MAMaster arms_;
    DirectionBonus direction_;
    HeightBonus height_;
    CharaMaster master_;
    FloorTex tex_;
    FloorObj obj_;
    std::string initStage_;
    int initSquad_ = 0;
    std::map<std::string, std::pair<std::string, std::string>> info_; // file -> name, next
    std::set<std::string> enemyTypes_;
    std::map<std::string, std::string> scriptUsers_;
    std::map<AssetKind, std::map<std::string, std::string>> required_;
};

} // namespace

Report CheckGameData(const CheckOptions& options) {
    return Checker(options).Run();
}

} // namespace quolis::qcheck
