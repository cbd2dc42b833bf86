#include "app/SoakInput.h"

#include "app/WindowMenu.h"
#include "input/KeyConfig.h"

#include <algorithm>

namespace quolis {

namespace {

// At most this many buttons are held at once; presses last 1…kMaxHold passes.
constexpr int kMaxHeld = 4;
constexpr int kMaxHold = 40;
// The key configuration window is closed after this many passes at most.
constexpr int kKeyConfigPasses = 240;

InputEvent ButtonEvent(InputDeviceIndex device, int code, bool down) {
    InputEvent e;
    e.kind = InputEventKind::Button;
    e.device = device;
    e.code = code;
    e.down = down;
    return e;
}

} // namespace

SoakInput::SoakInput(std::uint32_t seed, const ButtonMaps& maps) : rng_(seed) {
    for (int d = 0; d < kInputDeviceCount; ++d) {
        for (const auto& [code, action] : maps[static_cast<std::size_t>(d)]) {
            bound_.emplace_back(static_cast<InputDeviceIndex>(d), code);
        }
    }
    for (const MenuGroup& group : WindowMenu()) {
        for (const MenuItem& item : group.items) {
            if (item.id != kCmdQuit) {
                menuIds_.push_back(item.id);
            }
        }
    }
}

void SoakInput::PressSomething(InputEventQueue& queue) {
    if (static_cast<int>(held_.size()) >= kMaxHeld) {
        return;
    }
    InputDeviceIndex device = InputDeviceIndex::Keyboard;
    int code = 0;
    int kind = Pick(10);
    if (kind < 7 && !bound_.empty()) {
        // Mostly the bound buttons: every action, pause included.
        const auto& b = bound_[static_cast<std::size_t>(Pick(static_cast<int>(bound_.size())))];
        device = b.first;
        code = b.second;
    } else if (kind < 8) {
        code = 1 + Pick(0xED); // any scan code
    } else if (kind < 9) {
        device = InputDeviceIndex::Mouse;
        code = Chance(2) ? kMouseButtonLeft : kMouseButtonRight;
        InputEvent move;
        move.kind = InputEventKind::MouseMove;
        move.x = Pick(800);
        move.y = Pick(600);
        queue.Push(move);
    } else {
        device = InputDeviceIndex::Joypad;
        if (Chance(3)) {
            int axis = Chance(2) ? kJoypadAxisX : kJoypadAxisY;
            queue.Push(InputEvent::JoypadAxis(axis, Pick(kJoypadAxisMax + 1)));
            return;
        }
        code = kJoypadButtonFirst + Pick(kJoypadButtonCount);
    }
    for (const Held& h : held_) {
        if (h.device == device && h.code == code) {
            return; // already down
        }
    }
    queue.Push(ButtonEvent(device, code, true));
    held_.push_back({device, code, 1 + Pick(kMaxHold)});
    ++presses_;
}

void SoakInput::ReleaseDue(InputEventQueue& queue) {
    for (Held& h : held_) {
        if (--h.passesLeft <= 0) {
            queue.Push(ButtonEvent(h.device, h.code, false));
        }
    }
    held_.erase(
        std::remove_if(held_.begin(), held_.end(), [](const Held& h) { return h.passesLeft <= 0; }),
        held_.end());
}

void SoakInput::Drive(InputEventQueue& queue, std::vector<int>& commands) {
    keyConfigPasses_ = 0;
    ReleaseDue(queue);
    if (Chance(3)) {
        PressSomething(queue);
    }
    // A window-menu item now and then; the key configuration more rarely.
    if (Chance(400) && !menuIds_.empty()) {
        int id = menuIds_[static_cast<std::size_t>(Pick(static_cast<int>(menuIds_.size())))];
        if (id != kCmdKeyConfig || Chance(8)) {
            commands.push_back(id);
            ++commands_;
        }
    }
}

void SoakInput::DriveKeyConfig(InputEventQueue& queue, std::vector<int>& clicks) {
    ReleaseDue(queue);
    if (Chance(4)) {
        PressSomething(queue);
    }
    ++keyConfigPasses_;
    if (keyConfigPasses_ >= kKeyConfigPasses) {
        clicks.push_back(Chance(2) ? kKcClose : kKcAbort);
        ++clicks_;
        return;
    }
    if (Chance(12)) {
        // Any control, the value boxes and the default buttons included;
        // closing only once in a while.
        int id = kKcJoypadDefault + Pick(kKcAbort - kKcJoypadDefault + 1);
        if ((id != kKcClose && id != kKcAbort) || Chance(6)) {
            clicks.push_back(id);
            ++clicks_;
        }
    }
}

} // namespace quolis
