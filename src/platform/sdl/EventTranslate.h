#pragma once
// SDL events in the terms of the game's input code (DirectInput codes).
#include "platform/InputEvents.h"

#include <SDL.h>

namespace quolis {

// Where the 800 × 600 back buffer sits in the window (window coordinates):
// below the menu strip, stretched over the rest.
struct ViewLayout {
    int windowWidth = 800;
    int windowHeight = 600;
    int stripHeight = 0;
    int backWidth = 800;
    int backHeight = 600;
};

// Window point -> back-buffer pixel.
void WindowToBackBuffer(const ViewLayout& layout, int wx, int wy, int* bx, int* by);

// Translates one SDL event. Returns the number of input events written to
// `out` (0 for events the game does not see; at most 1). Keyboard auto-repeat
// is dropped: the game makes its own repeats. Only the joystick whose
// instance id is `joystickId` counts (the first one attached).
int TranslateSdlEvent(const SDL_Event& e, const ViewLayout& layout, SDL_JoystickID joystickId,
                      InputEvent* out);

} // namespace quolis
