#include "platform/sdl/EventTranslate.h"
#include "platform/KeyTable.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

SDL_Event KeyEvent(SDL_Scancode sc, bool down, int repeat = 0) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.scancode = sc;
    e.key.repeat = static_cast<Uint8>(repeat);
    return e;
}

TEST(SdlKeys, EveryKeyTheGameNamesTranslates) {
    const SDL_Scancode letters[26] = {
        SDL_SCANCODE_A, SDL_SCANCODE_B, SDL_SCANCODE_C, SDL_SCANCODE_D, SDL_SCANCODE_E,
        SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H, SDL_SCANCODE_I, SDL_SCANCODE_J,
        SDL_SCANCODE_K, SDL_SCANCODE_L, SDL_SCANCODE_M, SDL_SCANCODE_N, SDL_SCANCODE_O,
        SDL_SCANCODE_P, SDL_SCANCODE_Q, SDL_SCANCODE_R, SDL_SCANCODE_S, SDL_SCANCODE_T,
        SDL_SCANCODE_U, SDL_SCANCODE_V, SDL_SCANCODE_W, SDL_SCANCODE_X, SDL_SCANCODE_Y,
        SDL_SCANCODE_Z};
    for (int i = 0; i < 26; ++i) {
        char letter = static_cast<char>('A' + i);
        EXPECT_EQ(DikFromSdlScancode(letters[i]), DikOfLetter(letter)) << letter;
        EXPECT_EQ(SdlScancodeFromDik(DikOfLetter(letter)), letters[i]) << letter;
    }
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_A), 30);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_Z), 44);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_SPACE), 57);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_LEFT), 203);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RIGHT), 205);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_UP), 200);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_DOWN), 208);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
    EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_INTERNATIONAL3), 0x7D); // yen
    EXPECT_EQ(SdlScancodeFromDik(57), SDL_SCANCODE_SPACE);
    EXPECT_EQ(SdlScancodeFromDik(200), SDL_SCANCODE_UP);
}

TEST(SdlEvents, KeysBecomeDirectInputCodesWithoutAutoRepeat) {
    ViewLayout layout;
    InputEvent out;
    ASSERT_EQ(TranslateSdlEvent(KeyEvent(SDL_SCANCODE_SPACE, true), layout, 0, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::Button);
    EXPECT_EQ(out.device, InputDeviceIndex::Keyboard);
    EXPECT_EQ(out.code, 57);
    EXPECT_TRUE(out.down);
    ASSERT_EQ(TranslateSdlEvent(KeyEvent(SDL_SCANCODE_LEFT, false), layout, 0, &out), 1);
    EXPECT_EQ(out.code, 203);
    EXPECT_FALSE(out.down);
    EXPECT_EQ(TranslateSdlEvent(KeyEvent(SDL_SCANCODE_SPACE, true, 1), layout, 0, &out), 0);
    EXPECT_EQ(TranslateSdlEvent(KeyEvent(SDL_SCANCODE_F24, true), layout, 0, &out), 0);
}

TEST(SdlEvents, MouseButtonsAndPosition) {
    ViewLayout layout{1600, 1222, 22, 800, 600}; // view stretched to 1600 × 1200
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    InputEvent out;
    ASSERT_EQ(TranslateSdlEvent(e, layout, 0, &out), 1);
    EXPECT_EQ(out.device, InputDeviceIndex::Mouse);
    EXPECT_EQ(out.code, 12);
    EXPECT_TRUE(out.down);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_RIGHT;
    ASSERT_EQ(TranslateSdlEvent(e, layout, 0, &out), 1);
    EXPECT_EQ(out.code, 13);
    EXPECT_FALSE(out.down);
    e.button.button = SDL_BUTTON_MIDDLE;
    EXPECT_EQ(TranslateSdlEvent(e, layout, 0, &out), 0);

    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.x = 800;
    m.motion.y = 22 + 600;
    ASSERT_EQ(TranslateSdlEvent(m, layout, 0, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::MouseMove);
    EXPECT_EQ(out.x, 400);
    EXPECT_EQ(out.y, 300);
}

TEST(SdlEvents, FirstJoystickButtonsAndAxes) {
    ViewLayout layout;
    SDL_Event e{};
    e.type = SDL_JOYBUTTONDOWN;
    e.jbutton.which = 7;
    e.jbutton.button = 2;
    InputEvent out;
    ASSERT_EQ(TranslateSdlEvent(e, layout, 7, &out), 1);
    EXPECT_EQ(out.device, InputDeviceIndex::Joypad);
    EXPECT_EQ(out.code, 50);
    e.jbutton.button = 8;
    ASSERT_EQ(TranslateSdlEvent(e, layout, 7, &out), 1);
    EXPECT_EQ(out.code, 56);
    e.jbutton.button = 9; // beyond the nine the game knows
    EXPECT_EQ(TranslateSdlEvent(e, layout, 7, &out), 0);
    e.jbutton.button = 0;
    EXPECT_EQ(TranslateSdlEvent(e, layout, 8, &out), 0); // another controller

    SDL_Event a{};
    a.type = SDL_JOYAXISMOTION;
    a.jaxis.which = 7;
    a.jaxis.axis = 0;
    a.jaxis.value = -32768;
    ASSERT_EQ(TranslateSdlEvent(a, layout, 7, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::Axis);
    EXPECT_EQ(out.code, kJoypadAxisX);
    EXPECT_EQ(out.value, 0);
    a.jaxis.axis = 1;
    a.jaxis.value = 32767;
    ASSERT_EQ(TranslateSdlEvent(a, layout, 7, &out), 1);
    EXPECT_EQ(out.code, kJoypadAxisY);
    EXPECT_EQ(out.value, 2000);
    a.jaxis.axis = 2;
    EXPECT_EQ(TranslateSdlEvent(a, layout, 7, &out), 0);
}

TEST(SdlEvents, FocusAndClose) {
    ViewLayout layout;
    InputEvent out;
    SDL_Event w{};
    w.type = SDL_WINDOWEVENT;
    w.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    ASSERT_EQ(TranslateSdlEvent(w, layout, 0, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::FocusLost);
    w.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    ASSERT_EQ(TranslateSdlEvent(w, layout, 0, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::FocusGained);
    w.window.event = SDL_WINDOWEVENT_CLOSE; // followed by SDL_QUIT: counted once
    EXPECT_EQ(TranslateSdlEvent(w, layout, 0, &out), 0);
    SDL_Event q{};
    q.type = SDL_QUIT;
    ASSERT_EQ(TranslateSdlEvent(q, layout, 0, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::CloseRequested);
}

SDL_Event PadButton(SDL_GameControllerButton b, bool down, SDL_JoystickID which = 3) {
    SDL_Event e{};
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.which = which;
    e.cbutton.button = static_cast<Uint8>(b);
    return e;
}

SDL_Event PadAxis(SDL_GameControllerAxis a, int value, SDL_JoystickID which = 3) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.which = which;
    e.caxis.axis = static_cast<Uint8>(a);
    e.caxis.value = static_cast<Sint16>(value);
    return e;
}

TEST(SdlController, FaceShoulderAndStartButtonsInTheDocumentedOrder) {
    ControllerTranslator pad;
    InputEvent out;
    const std::pair<SDL_GameControllerButton, int> order[] = {
        {SDL_CONTROLLER_BUTTON_Y, 0},
        {SDL_CONTROLLER_BUTTON_B, 1},
        {SDL_CONTROLLER_BUTTON_A, 2},
        {SDL_CONTROLLER_BUTTON_X, 3},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 6},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 7},
        {SDL_CONTROLLER_BUTTON_START, 8}};
    for (auto [button, index] : order) {
        ASSERT_EQ(pad.Translate(PadButton(button, true), 3, &out), 1) << index;
        EXPECT_EQ(out.device, InputDeviceIndex::Joypad);
        EXPECT_EQ(out.code, kJoypadButtonFirst + index);
        EXPECT_TRUE(out.down);
        ASSERT_EQ(pad.Translate(PadButton(button, false), 3, &out), 1);
        EXPECT_FALSE(out.down);
    }
    // Buttons beyond the nine, and another pad, give nothing.
    EXPECT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_GUIDE, true), 3, &out), 0);
    EXPECT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_A, true, 4), 3, &out), 0);
    // The makes' names.
    EXPECT_EQ(PadStyleOf(SDL_CONTROLLER_TYPE_PS4), PadStyle::PlayStation);
    EXPECT_EQ(PadStyleOf(SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO), PadStyle::Nintendo);
    EXPECT_EQ(PadStyleOf(SDL_CONTROLLER_TYPE_UNKNOWN), PadStyle::Xbox);
}

TEST(SdlController, TriggersPressOnceWithHysteresis) {
    ControllerTranslator pad;
    InputEvent out;
    EXPECT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 9000), 3, &out), 0);
    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 20000), 3, &out), 1);
    EXPECT_EQ(out.code, kJoypadButtonFirst + 5);
    EXPECT_TRUE(out.down);
    // Still held while it eases back above the release mark: no new press.
    EXPECT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767), 3, &out), 0);
    EXPECT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 9000), 3, &out), 0);
    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 100), 3, &out), 1);
    EXPECT_FALSE(out.down);
    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 30000), 3, &out), 1);
    EXPECT_EQ(out.code, kJoypadButtonFirst + 4);
    // Unplugging forgets the held trigger: the next press is a press again.
    pad.Reset();
    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 30000), 3, &out), 1);
    EXPECT_TRUE(out.down);
}

TEST(SdlController, DpadAndLeftStickDriveTheAxes) {
    ControllerTranslator pad;
    InputEvent out;
    ASSERT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true), 3, &out), 1);
    EXPECT_EQ(out.kind, InputEventKind::Axis);
    EXPECT_EQ(out.code, kJoypadAxisX);
    EXPECT_EQ(out.value, kJoypadAxisMin);
    // Right pressed while left is still held: left keeps the axis.
    ASSERT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true), 3, &out), 1);
    EXPECT_EQ(out.value, kJoypadAxisMin);
    ASSERT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false), 3, &out), 1);
    EXPECT_EQ(out.value, kJoypadAxisMax);
    ASSERT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false), 3, &out), 1);
    EXPECT_EQ(out.value, 1000); // centred
    ASSERT_EQ(pad.Translate(PadButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true), 3, &out), 1);
    EXPECT_EQ(out.code, kJoypadAxisY);
    EXPECT_EQ(out.value, kJoypadAxisMax);

    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768), 3, &out), 1);
    EXPECT_EQ(out.code, kJoypadAxisX);
    EXPECT_EQ(out.value, 0);
    ASSERT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_LEFTY, 32767), 3, &out), 1);
    EXPECT_EQ(out.code, kJoypadAxisY);
    EXPECT_EQ(out.value, 2000);
    EXPECT_EQ(pad.Translate(PadAxis(SDL_CONTROLLER_AXIS_RIGHTX, 32767), 3, &out), 0);
}

} // namespace
} // namespace quolis
