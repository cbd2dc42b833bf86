#include "app/AutoPlayer.h"

#include "common/Text.h"
#include "input/Input.h"

#include <algorithm>

namespace quolis {

int MenuKeyOf(const CSelectionWidget& menu, const std::string& name) {
    for (const auto& [key, entry] : menu.Entries()) {
        if (entry.enabled != 0 && entry.name == name) {
            return key;
        }
    }
    return -1;
}

int StepMenuToward(const CSelectionWidget& menu, int key, int prev, int next) {
    auto it = menu.Entries().find(key);
    if (it == menu.Entries().end() || it->second.enabled == 0) {
        return AutoPlayPolicy::kPass;
    }
    const int current = menu.CurrentKey();
    if (current == key) {
        return kInputDecide;
    }
    return current < key ? next : prev;
}

bool IsSaveList(const CSelectionWidget& menu) {
    const auto& entries = menu.Entries();
    auto back = entries.find(0);
    return entries.size() == 10 && back != entries.end() && back->second.name == SJ("←") &&
           entries.count(1) == 1;
}

AutoPlayer::AutoPlayer() {
    // A new game from the title.
    Prefer(kSceneTitle, {SJ("はじめから")});
}

void AutoPlayer::Prefer(int scene, std::vector<std::string> names) {
    preferred_[scene] = std::move(names);
}

int AutoPlayer::WantedKey(int scene, const CSelectionWidget& menu) const {
    if (IsSaveList(menu)) {
        return 1;
    }
    auto it = preferred_.find(scene);
    if (it == preferred_.end()) {
        return -1;
    }
    for (const std::string& name : it->second) {
        if (int key = MenuKeyOf(menu, name); key >= 0) {
            return key;
        }
    }
    return -1;
}

void AutoPlayer::Press(CGameApp& app, InputEventQueue& queue, int action) {
    // The first keyboard key bound to the action, as the key configuration
    // has it now.
    const ButtonMap& keys =
        app.AppButtonMaps()[static_cast<std::size_t>(InputDeviceIndex::Keyboard)];
    auto it = std::find_if(keys.begin(), keys.end(),
                           [action](const auto& binding) { return binding.second == action; });
    if (it == keys.end()) {
        return; // nothing a player could press
    }
    queue.Push(InputEvent::Key(it->first, true));
    heldCode_ = it->first;
    holdLeft_ = kHoldPasses;
    ++presses_;
}

void AutoPlayer::Steer(CGameApp& app, InputEventQueue& queue, int scene,
                       const CSelectionWidget& menu, int moveAction) {
    int wanted = WantedKey(scene, menu);
    if (wanted >= 0 && menu.CurrentKey() != wanted) {
        Press(app, queue, moveAction);
    } else {
        Press(app, queue, kInputDecide);
    }
}

void AutoPlayer::Drive(CGameApp& app, InputEventQueue& queue) {
    if (policy_ != nullptr) {
        policy_->Watch(app);
    }
    if (heldCode_ >= 0) {
        if (--holdLeft_ > 0) {
            return;
        }
        queue.Push(InputEvent::Key(heldCode_, false));
        heldCode_ = -1;
        settleLeft_ = kSettlePasses;
        return;
    }
    if (settleLeft_ > 0) {
        --settleLeft_;
        return;
    }
    const int scene = app.GetScene(0);
    const int cycle = app.GetCycle(scene);
    if (scene != lastScene_ || cycle != lastCycle_) {
        lastScene_ = scene;
        lastCycle_ = cycle;
        idle_ = 0;
    }
    if (policy_ != nullptr) {
        const int action = policy_->Next(app);
        if (action >= 0) {
            idle_ = 0;
            Press(app, queue, action);
            return;
        }
        if (action == AutoPlayPolicy::kWait) {
            idle_ = 0;
            return;
        }
    }
    switch (cycle) {
    case kCycleButtonRowStep:
        if (app.SharedButtonRow() != nullptr) {
            Steer(app, queue, scene, *app.SharedButtonRow(), kInputRight);
        }
        return;
    case kCycleSlotListStep:
        if (app.SharedSlotList() != nullptr) {
            Steer(app, queue, scene, *app.SharedSlotList(), kInputDown);
        }
        return;
    case kCycleScriptStep:
    case kCycleScript2Step:
        // Story text and the script's own menus: read on, take the offer.
        Press(app, queue, kInputDecide);
        return;
    default:
        break;
    }
    if (++idle_ >= kIdlePasses) {
        idle_ = 0;
        Press(app, queue, kInputDecide);
    }
}

} // namespace quolis
