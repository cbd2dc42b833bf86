#pragma once
// Scene 4, the battle: the opening story, the player's turns (move, attack,
// turn end), the enemy's turns played out one enemy after another, the core
// pickup, victory with its BP and the next-stage menu, defeat with the retry,
// and the pause menu. The battle's steps are the scene's AppCycle codes; each
// group of codes has its own step function (BattleFlow*.cpp, EnemyPlayback.cpp).
#include "app/GameApp.h"
#include "app/TitleScenes.h"
#include "battle/EnemyTurn.h"
#include "battle/FloorView.h"
#include "common/Clock.h"
#include "engine/QuadList.h"
#include "scenes/battle/BattleCamera.h"
#include "scenes/battle/BattlePanels.h"
#include "scenes/battle/BattleUnits.h"

#include <memory>
#include <string>

namespace quolis {

// Named battle codes (the others are written as numbers in the step tables).
enum BattleCode : int {
    kBattleStart = 0,
    kBattlePlayerTurn = 100,
    kBattleTurnCheck = 130,
    kBattleFreeCursor = 200,
    kBattleEnemyTurn = 5000,
    kBattleVictory = 10000,
    kBattleDefeat = 11000,
    kBattleLeave = 50000,
    kBattleLeaveSwitch = 50010,
    kBattlePause = -10000,
};

// The victory's last step: where the game goes after the figures and the
// closing story.
struct VictoryRoute {
    enum Kind { Ending, StageEvent, NextStageMenu, SameScene } kind = NextStageMenu;
    std::int32_t offerSave = 0;
};
// Step 10200 for a stage: "Ending" → the ending; a closing event → the
// stage-event scene (offer save unless the next stage is "Nothing"); else the
// next-stage menu, except for "Nothing" (or no next stage) without an
// event, which returns to the menu hub.
VictoryRoute RouteAfterVictory(const StageData& stage);

// The next-stage menu's items: the overwrite choice only for a campaign that
// has its own save file (not the new-game data).
std::vector<std::string> NextStageChoices(const std::string& gameStatePath);

// The codes of one attack branch: from the command menu (350 …) or after a
// move (2200 …).
struct AttackCodes {
    int list, listStep, area, target, play, back;
    int cancelList; // where cancel in the command list goes
};

// Everything one battle holds, from the build handler to the teardown.
struct BattleData {
    StageData stage;
    bool stageLoaded = false;
    CFloorView floor;
    CQuadList area{0};
    CCellCursor cursor;
    CScrollPolygon backdrop;
    BattlePanels panels;
    CSlotList* menu = nullptr; // the shared slot list (in the application's pool)
    BattleCameraSetting view;
    // Reseeded from the application's calendar (Build sets it), so a run
    // started with --seed draws the same rolls.
    GameRandom random;
    std::unique_ptr<EnemyTurn> enemyTurn;
    ReachGrid reach;

    CharaValues* selected = nullptr;  // the commanded unit or the acting enemy
    CharaValues* inspected = nullptr; // the enemy of the details window
    CharaValues* target = nullptr;    // the creature being attacked
    std::string command;              // the Metal Arms command in use
    AttackBonusResult bonus;
    std::int32_t attackPhase = 0; // 0 playing, 1 panels back
    std::int32_t detailsFollow = kBattleFreeCursor;
    Path path;
    EnemyDecision decision;
    std::int32_t nextCode = 0; // the code to follow 7500 and 8000

    std::int32_t paused = 0;
    std::int32_t savedCode = 0;
    std::int32_t savedAfter = 0;

    bool darkening = false;
    std::int32_t fieldBrightness = 255;
    COneShotWait resultWait;
};

class BattleScene final : public CScene {
public:
    ~BattleScene() override;
    HRESULT Build(CGameApp& app) override;
    HRESULT SetUp(CGameApp& app) override;
    HRESULT Frame(CGameApp& app) override;
    HRESULT Draw(CGameApp& app) override;
    HRESULT Teardown(CGameApp& app) override;

    // The running battle (null outside the scene).
    BattleData* Data() { return data_.get(); }
    // The creatures showing the running battle's units.
    BattleUnits& Units() { return units_; }

private:
    // Everything of the battle goes, and the class-wide floor references.
    void Release();
    // Before the state's own step: pause, camera keys, upkeep.
    void PreStep(CGameApp& app, int code);
    // One step function per group of codes.
    bool StepOpening(CGameApp& app, int code);
    bool StepPlayerTurn(CGameApp& app, int code);
    bool StepCommands(CGameApp& app, int code);
    bool StepMove(CGameApp& app, int code);
    bool StepCores(CGameApp& app, int code);
    bool StepEnemyTurn(CGameApp& app, int code);
    bool StepVictory(CGameApp& app, int code);
    bool StepDefeat(CGameApp& app, int code);
    bool StepLeave(CGameApp& app, int code);
    bool StepPause(CGameApp& app, int code);

    void StepAttack(CGameApp& app, int code, const AttackCodes& c);
    void StepTarget(CGameApp& app, const AttackCodes& c);
    void StepPlayAttack(CGameApp& app, const AttackCodes& c);
    void FinishMove(CGameApp& app);
    void CorePickup(CGameApp& app);
    void TakeCore(CGameApp& app, int after);
    void DimForCores(CGameApp& app, bool on);

    void EnemyMoveArea(CharaValues& enemy);
    void EnemyAttackSetUp(CGameApp& app, CharaValues& enemy);
    void EnemyAttackPlay(CGameApp& app, CharaValues& enemy);
    void EndEnemyAction(CGameApp& app, CharaValues& enemy);

    void FillSaveSlots(CGameApp& app);

    // Shared pieces of the steps.
    void Message(CGameApp& app, const std::vector<std::string>& lines, int after);
    void FillMenu(const std::vector<std::string>& items);
    void OpenDetails(CGameApp& app, CharaValues& enemy, int follow);
    void RefreshPanels();
    bool MoveCursor(CGameApp& app);
    void CursorTo(CGameApp& app, Cell c);
    void CameraKeys(CGameApp& app);
    void ApplyCamera(CGameApp& app, bool light);
    void ShowArea(Argb colour);
    void HideArea();
    void EndPlayerTurn();
    void Resume();
    float Speed(CGameApp& app, int key) const;

    std::unique_ptr<BattleData> data_;
    BattleUnits units_;
};

std::unique_ptr<CScene> MakeBattleScene();
void InstallBattleScene(CGameApp& app);

} // namespace quolis
