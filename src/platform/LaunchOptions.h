#pragma once
// The command line of the game program. Run without arguments it behaves as
// the original; the options serve headless runs, tests and demos.
#include <cstdint>
#include <string>
#include <vector>

namespace quolis {

struct ScreenshotRequest {
    int framePass = 0; // after this frame pass (counted from 0)
    std::string file;  // PNG file name (host path)
};

struct LaunchOptions {
    bool headless = false;  // --headless
    int frames = -1;        // --frames N: exit after N frame passes; -1 runs until closed
    bool fixedStep = false; // --fixed-step: the clock advances 16 ms per frame pass
    std::vector<ScreenshotRequest> screenshots; // --screenshot N:FILE.png (may repeat)
    std::string dataDir;                        // --data DIR
    std::string userDir;                        // --user-dir DIR: saves and settings go here
    bool help = false;                          // --help
    bool version = false;                       // --version
    bool trace = false; // --trace: scene switches, step codes and the campaign on stdout
    bool loose = false; // --loose: content from plain files, names matched ignoring ASCII case
    // --seed N: the game's calendar starts at second N (since the epoch) and
    // moves with the game clock; -1 uses the system calendar.
    std::int64_t seed = -1;
    // --soak SECONDS: random input on every device, window-menu commands and
    // key configuration clicks for that long (wall time); -1: no soak.
    int soakSeconds = -1;
    // --autoplay: the built-in player presses the keys (menus, story, the
    // new game from the title).
    bool autoplay = false;
};

// Parses argv[1…]. On a bad command line returns false with a one-line
// reason in `error`.
bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* out, std::string* error);

const char* LaunchUsage();

} // namespace quolis
