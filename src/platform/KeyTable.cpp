#include "platform/KeyTable.h"

#include <array>

namespace quolis {

namespace {

// SDL scancode (USB HID usage) -> DirectInput scan code. Extended keys carry
// bit 7 in DirectInput (0x9C keypad Enter, 0xC8 up arrow, ...). Japanese keys
// follow the 106/109-key layout: the "ろ" key is 0x73, "￥" 0x7D, 変換 0x79,
// 無変換 0x7B, カタカナ 0x70; 半角/全角 shares 0x29 with the grave key.
constexpr KeyCodePair kTable[] = {
    {4, 0x1E},   // A
    {5, 0x30},   // B
    {6, 0x2E},   // C
    {7, 0x20},   // D
    {8, 0x12},   // E
    {9, 0x21},   // F
    {10, 0x22},  // G
    {11, 0x23},  // H
    {12, 0x17},  // I
    {13, 0x24},  // J
    {14, 0x25},  // K
    {15, 0x26},  // L
    {16, 0x32},  // M
    {17, 0x31},  // N
    {18, 0x18},  // O
    {19, 0x19},  // P
    {20, 0x10},  // Q
    {21, 0x13},  // R
    {22, 0x1F},  // S
    {23, 0x14},  // T
    {24, 0x16},  // U
    {25, 0x2F},  // V
    {26, 0x11},  // W
    {27, 0x2D},  // X
    {28, 0x15},  // Y
    {29, 0x2C},  // Z
    {30, 0x02},  // 1
    {31, 0x03},  // 2
    {32, 0x04},  // 3
    {33, 0x05},  // 4
    {34, 0x06},  // 5
    {35, 0x07},  // 6
    {36, 0x08},  // 7
    {37, 0x09},  // 8
    {38, 0x0A},  // 9
    {39, 0x0B},  // 0
    {40, 0x1C},  // Return
    {41, 0x01},  // Escape
    {42, 0x0E},  // Backspace
    {43, 0x0F},  // Tab
    {44, 0x39},  // Space
    {45, 0x0C},  // -
    {46, 0x0D},  // =
    {47, 0x1A},  // [
    {48, 0x1B},  // ]
    {49, 0x2B},  // backslash
    {51, 0x27},  // ;
    {52, 0x28},  // '
    {53, 0x29},  // grave (半角/全角)
    {54, 0x33},  // ,
    {55, 0x34},  // .
    {56, 0x35},  // /
    {57, 0x3A},  // Caps Lock
    {58, 0x3B},  // F1
    {59, 0x3C},  // F2
    {60, 0x3D},  // F3
    {61, 0x3E},  // F4
    {62, 0x3F},  // F5
    {63, 0x40},  // F6
    {64, 0x41},  // F7
    {65, 0x42},  // F8
    {66, 0x43},  // F9
    {67, 0x44},  // F10
    {68, 0x57},  // F11
    {69, 0x58},  // F12
    {70, 0xB7},  // Print Screen (SysRq)
    {71, 0x46},  // Scroll Lock
    {72, 0xC5},  // Pause
    {73, 0xD2},  // Insert
    {74, 0xC7},  // Home
    {75, 0xC9},  // Page Up
    {76, 0xD3},  // Delete
    {77, 0xCF},  // End
    {78, 0xD1},  // Page Down
    {79, 0xCD},  // Right
    {80, 0xCB},  // Left
    {81, 0xD0},  // Down
    {82, 0xC8},  // Up
    {83, 0x45},  // Num Lock
    {84, 0xB5},  // keypad /
    {85, 0x37},  // keypad *
    {86, 0x4A},  // keypad -
    {87, 0x4E},  // keypad +
    {88, 0x9C},  // keypad Enter
    {89, 0x4F},  // keypad 1
    {90, 0x50},  // keypad 2
    {91, 0x51},  // keypad 3
    {92, 0x4B},  // keypad 4
    {93, 0x4C},  // keypad 5
    {94, 0x4D},  // keypad 6
    {95, 0x47},  // keypad 7
    {96, 0x48},  // keypad 8
    {97, 0x49},  // keypad 9
    {98, 0x52},  // keypad 0
    {99, 0x53},  // keypad .
    {100, 0x56}, // the extra key left of Z (OEM 102)
    {101, 0xDD}, // Application (menu)
    {102, 0xDE}, // Power
    {103, 0x8D}, // keypad =
    {104, 0x64}, // F13
    {105, 0x65}, // F14
    {106, 0x66}, // F15
    {120, 0x95}, // Stop
    {127, 0xA0}, // Mute
    {128, 0xB0}, // Volume Up
    {129, 0xAE}, // Volume Down
    {133, 0xB3}, // keypad ,
    {135, 0x73}, // ろ (International 1)
    {136, 0x70}, // カタカナ/ひらがな (International 2)
    {137, 0x7D}, // ￥ (International 3)
    {138, 0x79}, // 変換 (International 4)
    {139, 0x7B}, // 無変換 (International 5)
    {224, 0x1D}, // Left Ctrl
    {225, 0x2A}, // Left Shift
    {226, 0x38}, // Left Alt
    {227, 0xDB}, // Left Windows
    {228, 0x9D}, // Right Ctrl
    {229, 0x36}, // Right Shift
    {230, 0xB8}, // Right Alt
    {231, 0xDC}, // Right Windows
    {258, 0x99}, // next track
    {259, 0x90}, // previous track
    {260, 0xA4}, // media stop
    {261, 0xA2}, // play/pause
    {263, 0xED}, // media select
    {264, 0xB2}, // web home (WWW)
    {265, 0xEC}, // mail
    {266, 0xA1}, // calculator
    {267, 0xEB}, // my computer
    {268, 0xE5}, // web search
    // AC_HOME (269) would also be the browser's home key; DirectInput has one
    // code for it, kept for WWW above.
    {270, 0xEA}, // web back
    {271, 0xE9}, // web forward
    {272, 0xE8}, // web stop
    {273, 0xE7}, // web refresh
    {274, 0xE6}, // web favourites
    {282, 0xDF}, // sleep
};

constexpr std::span<const KeyCodePair> kAll{kTable};

// Highest SDL scancode in the table plus one.
constexpr int kSdlLimit = 512;

struct Lookup {
    std::array<std::uint8_t, kSdlLimit> toDik{};
    std::array<std::uint16_t, 256> toSdl{};
};

constexpr Lookup BuildLookup() {
    Lookup l{};
    for (const KeyCodePair& p : kAll) {
        l.toDik[static_cast<std::size_t>(p.sdlScancode)] = static_cast<std::uint8_t>(p.dik);
        l.toSdl[static_cast<std::size_t>(p.dik)] = static_cast<std::uint16_t>(p.sdlScancode);
    }
    return l;
}

constexpr Lookup kLookup = BuildLookup();

} // namespace

std::span<const KeyCodePair> KeyCodeTable() {
    return kAll;
}

int DikFromSdlScancode(int sdlScancode) {
    if (sdlScancode <= 0 || sdlScancode >= kSdlLimit) {
        return 0;
    }
    return kLookup.toDik[static_cast<std::size_t>(sdlScancode)];
}

int SdlScancodeFromDik(int code) {
    if (code <= 0 || code > 255) {
        return 0;
    }
    return kLookup.toSdl[static_cast<std::size_t>(code)];
}

int DikOfLetter(char letter) {
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter > 'Z') {
        return 0;
    }
    // SDL scancodes of letters run A = 4 … Z = 29.
    return DikFromSdlScancode(4 + (letter - 'A'));
}

int ScaleJoystickAxis(std::int16_t sdlValue) {
    // (v + 32768) × 2000 / 65535, rounded to the nearest step.
    long long v = static_cast<long long>(sdlValue) + 32768;
    return static_cast<int>((v * 2000 + 32767) / 65535);
}

} // namespace quolis
