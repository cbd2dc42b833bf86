#pragma once
// The player of --autoplay. Each pass of the loop it looks at the game as a
// player looks at the screen — the current scene and its step code, the menu
// on screen with its entries and cursor, the message box — and answers with
// key presses on the keyboard bindings of the actions, pushed into the same
// queue the keyboard feeds. It never calls the game's rules and never
// changes the game's data.
#include "app/GameApp.h"
#include "platform/InputEvents.h"

#include <map>
#include <string>
#include <vector>

namespace quolis {

// What the player does in scenes that need more than menus and stories (the
// battle, the hub's choices, the management scenes). Lives above the scenes;
// the player asks it first each time it is free to press a key.
class AutoPlayPolicy {
public:
    // Answers of Next besides an action code.
    static constexpr int kPass = -1; // nothing to do here: menus and stories as usual
    static constexpr int kWait = -2; // the scene is busy: press nothing, and no idle press
    virtual ~AutoPlayPolicy() = default;
    // The action to press now, kPass or kWait. Reads `app`, never changes it.
    virtual int Next(CGameApp& app) = 0;
    // Every pass, busy or not: notes what is on screen.
    virtual void Watch(CGameApp& /*app*/) {}
    // The run is over (the player puts the game down).
    virtual bool Done() const { return false; }
};

// The move (kInputUp/kInputDown style pair `prev`/`next`) or the decide press
// that brings the menu's cursor to the entry with `key`; kInputDecide once
// there, AutoPlayPolicy::kPass when the menu has no enabled entry with that key.
int StepMenuToward(const CSelectionWidget& menu, int key, int prev, int next);
// The key of the menu's enabled entry named `name` (CP932), -1 without one.
int MenuKeyOf(const CSelectionWidget& menu, const std::string& name);
// A save list on screen ("←" and the nine slots): slot 1 is where the player
// keeps the campaign.
bool IsSaveList(const CSelectionWidget& menu);

class AutoPlayer {
public:
    // Passes a key stays down, and passes to wait after a release so that
    // the game has drawn its answer before the next look.
    static constexpr int kHoldPasses = 1;
    static constexpr int kSettlePasses = 3;
    // A scene that shows no menu and no message for this many passes gets a
    // decide press (its own questions and "press a key" pauses).
    static constexpr int kIdlePasses = 90;

    AutoPlayer();
    // The policy asked before the menus and stories (null: none).
    void SetPolicy(AutoPlayPolicy* policy) { policy_ = policy; }

    // The entries this player goes for in the menus of `scene` (CP932 names,
    // first match in the menu's order wins); without a match it takes the
    // entry under the cursor.
    void Prefer(int scene, std::vector<std::string> names);

    // One pass: observe `app` (read only) and push this pass's key events.
    void Drive(CGameApp& app, InputEventQueue& queue);

    int Presses() const { return presses_; }
    bool Done() const { return policy_ != nullptr && policy_->Done(); }

private:
    // The entry key to go to in a menu of `scene`, -1 for "take the current".
    int WantedKey(int scene, const CSelectionWidget& menu) const;
    void Press(CGameApp& app, InputEventQueue& queue, int action);
    void Steer(CGameApp& app, InputEventQueue& queue, int scene, const CSelectionWidget& menu,
               int moveAction);

    AutoPlayPolicy* policy_ = nullptr;
    std::map<int, std::vector<std::string>> preferred_;
    int heldCode_ = -1;
    int holdLeft_ = 0;
    int settleLeft_ = 0;
    int lastScene_ = -1;
    int lastCycle_ = 0;
    int idle_ = 0;
    int presses_ = 0;
};

} // namespace quolis
