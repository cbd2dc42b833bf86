#include "platform/sdl/EventTranslate.h"

#include "platform/KeyTable.h"

namespace quolis {

void WindowToBackBuffer(const ViewLayout& l, int wx, int wy, int* bx, int* by) {
    int viewW = l.windowWidth > 0 ? l.windowWidth : 1;
    int viewH = l.windowHeight - l.stripHeight > 0 ? l.windowHeight - l.stripHeight : 1;
    *bx = static_cast<int>(static_cast<long long>(wx) * l.backWidth / viewW);
    *by = static_cast<int>(static_cast<long long>(wy - l.stripHeight) * l.backHeight / viewH);
}

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

} // namespace quolis
