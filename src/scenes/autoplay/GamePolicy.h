#pragma once
// The autoplayer's eyes and hands above the scenes: in the battle it reads
// the stage's units, the cursor and the coloured areas and commands each unit
// in turn (BattlePolicy decides); in the menu hub it goes to the level up
// while the pool holds BP, saves into slot 1 and starts the next battle; in
// the level up it raises the squad evenly, 100 BP at a time; before that it
// fuses the first two creatures that qualify (from a squad of five) and regenerates
// the cores in the case while the squad has room. Everything else
// (stories, menus) is left to the AutoPlayer. It also keeps the campaign's
// figures per stage, as a player keeping notes would.
#include "app/AutoPlayer.h"
#include "battle/Field.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quolis {

struct BattleData;
class GameState;
class CharaValues;

// One stage as played: every attempt until the victory.
struct StageRecord {
    std::string stageFile; // CP932
    int attempts = 0;      // retries = attempts - 1
    int turns = 0;         // player turns over all attempts
    int unitsLost = 0;
    int enemiesBeaten = 0;
    std::int32_t bpEarned = 0;
    int coresDropped = 0;
    int coresPickedUp = 0;
    bool cleared = false;
    // The squad once the hub is done with it (before the next battle or the
    // ending): level and fusion count per creature, in name order.
    std::vector<std::string> squadNames; // UTF-8
    std::vector<std::int32_t> squadLevels;
    std::vector<std::int32_t> squadFusions;
};

// The first two squad creatures (positions in name order) that may be fused
// together; {-1, -1} when no two qualify.
std::pair<int, int> FusionPair(const GameState& g);

// The record as one line of JSON (names in UTF-8).
std::string StageRecordJson(const StageRecord& r);

class GamePolicy final : public AutoPlayPolicy {
public:
    // Called with each finished stage record (after the hub is done with the
    // squad, or at the ending).
    using RecordSink = std::function<void(const StageRecord&)>;
    void SetRecordSink(RecordSink sink) { sink_ = std::move(sink); }
    // Called at the start of each player turn with one line of JSON: the
    // stage, the attempt, the turn and the HP of each unit still standing,
    // players then enemies (for balancing a stage by its course).
    using TurnSink = std::function<void(const std::string&)>;
    void SetTurnSink(TurnSink sink) { turnSink_ = std::move(sink); }
    // Puts the game down once `stages` stages are recorded (0: plays on to
    // the staff roll and the title).
    void StopAfterStages(int stages) { stopAfter_ = stages; }

    void Watch(CGameApp& app) override;
    int Next(CGameApp& app) override;
    bool Done() const override { return over_; }

    // The staff roll has run and the title is back (or the stages asked
    // for are recorded): the run is over.
    bool CampaignOver() const { return over_; }
    bool EndingSeen() const { return endingSeen_; }
    // An attempt ran past its turn limit and the run was put down.
    bool Stalled() const { return stalled_; }
    const std::vector<StageRecord>& Records() const { return records_; }

private:
    int Battle(CGameApp& app, BattleData& d, int code);
    int FreeCursor(CGameApp& app, BattleData& d);
    int CommandMenu(BattleData& d, bool afterMove);
    int CommandList(BattleData& d);
    int Target(BattleData& d);
    int MoveArea(BattleData& d);
    int Hub(CGameApp& app, int code);
    int LevelUp(CGameApp& app, int code);
    int Regeneration(CGameApp& app, int code);
    int Fusion(CGameApp& app, int code);
    void Observe(CGameApp& app, BattleData* d, int scene, int code);
    void FinishRecord(CGameApp& app);
    std::string TurnJson(const BattleData& d) const;

    // Battle: the unit in command and what it is going for.
    const CharaValues* unit_ = nullptr;
    std::string arm_;             // the command chosen for the attack
    std::set<std::string> tried_; // commands whose red area held no target
    bool noMove_ = false;         // the blue area was empty
    int selections_ = 0;
    std::set<const CharaValues*> givenUp_;
    Cell goal_;
    bool goalSet_ = false;

    // Hub: what this visit between battles has done.
    bool leveled_ = false;
    bool saved_ = false;
    bool regenerated_ = false;
    bool fused_ = false;
    // Fusion: the creatures under the first and second choice.
    int fusionFirst_ = 0;
    int fusionSecond_ = -1;
    // Level up: the creature shown, the one asked for, the refused ones.
    int shown_ = 0;
    int asked_ = -1;
    bool amountSet_ = false;
    bool amountDecided_ = false;
    std::set<int> refused_;

    // Notes.
    int lastScene_ = -1;
    int lastCode_ = 0;
    std::size_t players_ = 0, enemies_ = 0, cores_ = 0;
    std::int32_t poolAtStart_ = 0;
    bool recordOpen_ = false;
    bool inAttempt_ = false;
    int attemptTurns_ = 0;
    bool bpCounted_ = false;
    bool endingSeen_ = false;
    bool over_ = false;
    bool stalled_ = false;
    int stopAfter_ = 0;
    StageRecord current_;
    std::vector<StageRecord> records_;
    RecordSink sink_;
    TurnSink turnSink_;
};

} // namespace quolis
