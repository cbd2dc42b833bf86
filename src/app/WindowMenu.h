#pragma once
// The main window's menu: its items in order with their command ids. The
// labels are UTF-8 (they are shown by the menu strip, never by the game's
// own text code).
#include <span>

namespace quolis {

enum MenuCommand : int {
    kCmdQuit = 40001,
    kCmdSpeed10 = 40002,
    kCmdSpeed12 = 40003,
    kCmdSpeed20 = 40004,
    kCmdSpeed14 = 40005,
    kCmdSpeed30 = 40006,
    kCmdKeyConfig = 40007,
    kCmdSpeed06 = 40008,
    kCmdSpeed08 = 40009,
    kCmdSpeed16 = 40010,
    kCmdSpeed18 = 40011,
    kCmdFrameRate = 40013,
    kCmdMusic = 40014,
    kCmdSoundEffects = 40015,
    kCmdSpeed22 = 40016,
    kCmdSpeed24 = 40017,
    kCmdSpeed26 = 40018,
    kCmdSpeed28 = 40019,
    kCmdSpeed40 = 40020,
    kCmdSpeed50 = 40021,
};

struct MenuItem {
    const char* label; // UTF-8
    int id;
    float factor; // game-speed items; 0 for the others
};

struct MenuGroup {
    const char* label; // UTF-8
    // A top-level item without a submenu has exactly one entry with the same
    // label; `direct` tells the strip to show it as a plain item.
    bool direct;
    std::span<const MenuItem> items;
};

// The menu in its order: "システム", "キーコンフィグ", "ゲームスピード",
// "フレームレート表示", "サウンド".
std::span<const MenuGroup> WindowMenu();
// The game-speed item of an id (null for other ids) and the item of a factor
// (exact comparison; null when no item has it).
const MenuItem* SpeedItemById(int id);
const MenuItem* SpeedItemByFactor(float factor);

} // namespace quolis
