#pragma once
// The game window as the player left it: size, position, maximised or full
// screen, and how the picture is scaled. Kept in its own small text file
// beside User.ini ("GameData\Ini\Window.ini"), so User.ini keeps exactly its
// own keys. One "Key value" pair per line; unknown keys, bad values and
// garbage are skipped, and sizes are kept within sane bounds.
#include <string>
#include <string_view>

namespace quolis {

struct WindowState {
    static constexpr const char* kFile = "GameData\\Ini\\Window.ini";
    static constexpr int kMinWidth = 320;
    static constexpr int kMinHeight = 240;
    static constexpr int kMaxSize = 16384;
    static constexpr int kMaxPosition = 100000;

    int width = 800;         // the window's size when neither maximised nor full screen
    int height = 622;        // (points, the menu strip included)
    bool positioned = false; // x and y were saved (else the window is centred)
    int x = 0, y = 0;
    bool maximized = true; // the original opens maximised
    bool fullScreen = false;
    bool stretch = false; // fill the window instead of keeping 4:3
    bool smooth = false;  // smooth (linear) scaling instead of sharp pixels
};

// Reads the file's text; whatever is missing or broken keeps its default.
WindowState ParseWindowState(std::string_view text);

// The file's text ("Width 800\n" …).
std::string FormatWindowState(const WindowState& state);

} // namespace quolis
