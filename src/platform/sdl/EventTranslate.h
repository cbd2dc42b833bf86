#pragma once
// SDL events in the terms of the game's input code (DirectInput codes).
#include "platform/InputEvents.h"
#include "platform/PadNames.h"
#include "platform/ViewLayout.h"

#include <SDL.h>

namespace quolis {

// Translates one SDL event. Returns the number of input events written to
// `out` (0 for events the game does not see; at most 1). Keyboard auto-repeat
// is dropped: the game makes its own repeats. Only the joystick whose
// instance id is `joystickId` counts (the first one attached).
int TranslateSdlEvent(const SDL_Event& e, const ViewLayout& layout, SDL_JoystickID joystickId,
                      InputEvent* out);

// A game controller with a known layout (SDL's game-controller database):
// its buttons, triggers, d-pad and left stick in the game's joypad terms, in
// the order PadNames.h documents. The raw joystick events of the same device
// are then ignored by TranslateSdlEvent's caller.
class ControllerTranslator {
public:
    // Translates one SDL_CONTROLLER* event of the controller `id`. Returns
    // the number of input events written (0 or 1).
    int Translate(const SDL_Event& e, SDL_JoystickID id, InputEvent* out);
    // Forgets held triggers and d-pad directions (a pad was unplugged).
    void Reset();

    // A trigger counts as a button: pressed beyond this, released below the
    // lower mark (so a trigger resting near the mark does not flutter).
    static constexpr int kTriggerPress = 16000;
    static constexpr int kTriggerRelease = 8000;

private:
    bool trigger_[2]{};
    bool dpad_[4]{}; // left, right, up, down
};

// The joypad button (0..8) of a controller button, -1 for none.
int JoypadButtonOfController(SDL_GameControllerButton button);

// The naming style of a controller type.
PadStyle PadStyleOf(SDL_GameControllerType type);

} // namespace quolis
