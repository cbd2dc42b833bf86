#pragma once
// Keyboard codes: the game stores and binds keys as DirectInput scan codes
// (DIK_ values, "InputSetting.ini" holds them), while SDL reports USB-style
// scancodes. This table translates between the two. It uses the numeric
// SDL_Scancode values so that it needs no SDL header.
#include <cstdint>
#include <span>

namespace quolis {

namespace dik {
// The DirectInput keyboard scan codes the game names or relies on; the full
// set lives in the table.
constexpr int kEscape = 0x01;
constexpr int kReturn = 0x1C;
constexpr int kA = 0x1E;
constexpr int kB = 0x30;
constexpr int kC = 0x2E;
constexpr int kD = 0x20;
constexpr int kP = 0x19;
constexpr int kZ = 0x2C;
constexpr int kSpace = 0x39;
constexpr int kUp = 0xC8;
constexpr int kLeft = 0xCB;
constexpr int kRight = 0xCD;
constexpr int kDown = 0xD0;
} // namespace dik

struct KeyCodePair {
    int sdlScancode; // SDL_Scancode value
    int dik;         // DirectInput scan code 1…255
};

// Every translated key, one-to-one in both directions.
std::span<const KeyCodePair> KeyCodeTable();

// SDL scancode -> DIK code; 0 for keys DirectInput has no code for.
int DikFromSdlScancode(int sdlScancode);
// DIK code -> SDL scancode; 0 (SDL_SCANCODE_UNKNOWN) when there is none.
int SdlScancodeFromDik(int dik);

// DirectInput scan code of the letter 'A'…'Z' (either case); 0 otherwise.
int DikOfLetter(char letter);

// A joystick axis of SDL (−32768…32767) on the range the game sets on every
// axis (0…2000): the ends map exactly onto 0 and 2000.
int ScaleJoystickAxis(std::int16_t sdlValue);

} // namespace quolis
