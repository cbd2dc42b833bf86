#pragma once
// The soak run's player: random presses and releases on every device (the
// keys of every action, pause and the rest of the keyboard, mouse buttons
// and moves, joypad buttons and sticks), window-menu commands and clicks in
// the key configuration window, drawn from its own generator so that a seed
// repeats a whole run. Quitting is never chosen: the run ends by its clock.
#include "input/Input.h"
#include "platform/InputEvents.h"

#include <cstdint>
#include <random>
#include <vector>

namespace quolis {

class SoakInput {
public:
    // `maps`: the bindings whose buttons are pressed most often.
    SoakInput(std::uint32_t seed, const ButtonMaps& maps);

    // One pass of the game loop: the events of this pass go onto `queue`,
    // window-menu command ids onto `commands`.
    void Drive(InputEventQueue& queue, std::vector<int>& commands);
    // One pass of the key configuration window: events, and clicks on its
    // controls (closing it after a while).
    void DriveKeyConfig(InputEventQueue& queue, std::vector<int>& clicks);

    // Counts for the run's summary.
    std::uint64_t Presses() const { return presses_; }
    std::uint64_t Commands() const { return commands_; }
    std::uint64_t Clicks() const { return clicks_; }

private:
    struct Held {
        InputDeviceIndex device;
        int code;
        int passesLeft;
    };
    bool Chance(int oneIn) { return Pick(oneIn) == 0; }
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    void PressSomething(InputEventQueue& queue);
    void ReleaseDue(InputEventQueue& queue);

    std::mt19937 rng_;
    // (device, code) pairs the bindings know, and the menu's command ids.
    std::vector<std::pair<InputDeviceIndex, int>> bound_;
    std::vector<int> menuIds_;
    std::vector<Held> held_;
    int keyConfigPasses_ = 0;
    std::uint64_t presses_ = 0, commands_ = 0, clicks_ = 0;
};

} // namespace quolis
