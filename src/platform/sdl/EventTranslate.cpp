#include "platform/sdl/EventTranslate.h"

#include "platform/KeyTable.h"

namespace quolis {

int TranslateSdlEvent(const SDL_Event& e, const ViewLayout& layout, SDL_JoystickID joystickId,
                      InputEvent* out) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (e.key.repeat != 0) {
            return 0;
        }
        int code = DikFromSdlScancode(e.key.keysym.scancode);
        if (code == 0) {
            return 0;
        }
        *out = InputEvent::Key(code, e.type == SDL_KEYDOWN);
        return 1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int code = 0;
        if (e.button.button == SDL_BUTTON_LEFT) {
            code = kMouseButtonLeft;
        } else if (e.button.button == SDL_BUTTON_RIGHT) {
            code = kMouseButtonRight;
        } else {
            return 0;
        }
        *out = InputEvent::MouseButton(code, e.type == SDL_MOUSEBUTTONDOWN);
        return 1;
    }
    case SDL_MOUSEMOTION: {
        InputEvent m;
        m.kind = InputEventKind::MouseMove;
        m.device = InputDeviceIndex::Mouse;
        WindowToBackBuffer(layout, e.motion.x, e.motion.y, &m.x, &m.y);
        *out = m;
        return 1;
    }
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (e.jbutton.which != joystickId || e.jbutton.button >= kJoypadButtonCount) {
            return 0;
        }
        *out = InputEvent::JoypadButton(e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
        return 1;
    case SDL_JOYAXISMOTION:
        if (e.jaxis.which != joystickId || e.jaxis.axis > 1) {
            return 0;
        }
        *out = InputEvent::JoypadAxis(e.jaxis.axis == 0 ? kJoypadAxisX : kJoypadAxisY,
                                      ScaleJoystickAxis(e.jaxis.value));
        return 1;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            *out = InputEvent::Window(InputEventKind::FocusGained);
            return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            *out = InputEvent::Window(InputEventKind::FocusLost);
            return 1;
        default:
            return 0;
        }
    case SDL_QUIT:
        // Closing the only window arrives as SDL_QUIT (after a window close
        // event that is not passed on, so one close is one request).
        *out = InputEvent::Window(InputEventKind::CloseRequested);
        return 1;
    default:
        return 0;
    }
}

int JoypadButtonOfController(SDL_GameControllerButton button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_Y:
        return 0;
    case SDL_CONTROLLER_BUTTON_B:
        return 1;
    case SDL_CONTROLLER_BUTTON_A:
        return 2;
    case SDL_CONTROLLER_BUTTON_X:
        return 3;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return 6;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return 7;
    case SDL_CONTROLLER_BUTTON_START:
        return 8;
    default:
        return -1;
    }
}

PadStyle PadStyleOf(SDL_GameControllerType type) {
    switch (type) {
    case SDL_CONTROLLER_TYPE_PS4:
    case SDL_CONTROLLER_TYPE_PS5:
        return PadStyle::PlayStation;
    case SDL_CONTROLLER_TYPE_PS3:
        return PadStyle::PlayStation3;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
        return PadStyle::Nintendo;
    default:
        return PadStyle::Xbox;
    }
}

void ControllerTranslator::Reset() {
    trigger_[0] = trigger_[1] = false;
    for (bool& d : dpad_) {
        d = false;
    }
}

int ControllerTranslator::Translate(const SDL_Event& e, SDL_JoystickID id, InputEvent* out) {
    switch (e.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        if (e.cbutton.which != id) {
            return 0;
        }
        const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
        const auto button = static_cast<SDL_GameControllerButton>(e.cbutton.button);
        int d = button == SDL_CONTROLLER_BUTTON_DPAD_LEFT    ? 0
                : button == SDL_CONTROLLER_BUTTON_DPAD_RIGHT ? 1
                : button == SDL_CONTROLLER_BUTTON_DPAD_UP    ? 2
                : button == SDL_CONTROLLER_BUTTON_DPAD_DOWN  ? 3
                                                             : -1;
        if (d >= 0) {
            // The d-pad drives the axes as a digital pad does: an end of the
            // range while held, the centre when released.
            dpad_[d] = down;
            bool horizontal = d < 2;
            bool low = horizontal ? dpad_[0] : dpad_[2];
            bool high = horizontal ? dpad_[1] : dpad_[3];
            int value = low    ? kJoypadAxisMin
                        : high ? kJoypadAxisMax
                               : (kJoypadAxisMin + kJoypadAxisMax) / 2;
            *out = InputEvent::JoypadAxis(horizontal ? kJoypadAxisX : kJoypadAxisY, value);
            return 1;
        }
        int index = JoypadButtonOfController(button);
        if (index < 0) {
            return 0;
        }
        *out = InputEvent::JoypadButton(index, down);
        return 1;
    }
    case SDL_CONTROLLERAXISMOTION: {
        if (e.caxis.which != id) {
            return 0;
        }
        const int axis = e.caxis.axis;
        if (axis == SDL_CONTROLLER_AXIS_LEFTX || axis == SDL_CONTROLLER_AXIS_LEFTY) {
            *out = InputEvent::JoypadAxis(axis == SDL_CONTROLLER_AXIS_LEFTX ? kJoypadAxisX
                                                                            : kJoypadAxisY,
                                          ScaleJoystickAxis(e.caxis.value));
            return 1;
        }
        if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
            const int t = axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT ? 0 : 1;
            bool down =
                trigger_[t] ? e.caxis.value >= kTriggerRelease : e.caxis.value > kTriggerPress;
            if (down == trigger_[t]) {
                return 0;
            }
            trigger_[t] = down;
            *out = InputEvent::JoypadButton(4 + t, down);
            return 1;
        }
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace quolis
