// The game program: parses the command line, opens the platform host and
// runs the frame passes. The application object plugs in here.
#include "common/Path.h"
#include "common/Text.h"
#include "platform/LaunchOptions.h"
#include "platform/sdl/PlatformHost.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

using namespace quolis;

namespace {

int Fail(const std::string& line) {
    std::fprintf(stderr, "quolis: %s\n", line.c_str());
    return 1;
}

// Asks the quit question; true when the player confirms.
bool ConfirmQuit(PlatformHost& host) {
    MessageBoxRequest r;
    r.text = SJ("終了してもよいですか？");
    r.caption = SJ("終了確認");
    r.buttons = MessageBoxButtons::YesNo;
    r.icon = MessageBoxIcon::Question;
    return host.Boxes().Show(r) == MessageBoxAnswer::Yes;
}

} // namespace

int main(int argc, char** argv) {
    LaunchOptions options;
    std::string error;
    if (!ParseLaunchOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s\n", LaunchUsage());
        return 0;
    }
    std::error_code ec;
    if (!options.dataDir.empty() && !std::filesystem::is_directory(options.dataDir, ec)) {
        return Fail("--data: no such folder: " + options.dataDir);
    }
    SetGameRoot(ChooseGameRoot(options.dataDir, ExecutableDir()));

    HostConfig config;
    config.headless = options.headless;
    config.fixedStep = options.fixedStep;
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        return Fail(error);
    }
    Device& device = host->Device();

    bool active = true;
    bool quit = false;
    int missingShots = static_cast<int>(options.screenshots.size());
    for (int pass = 0; !quit && (options.frames < 0 || pass < options.frames); ++pass) {
        host->PumpEvents();
        InputEvent e;
        while (host->Input().PopWindow(&e)) {
            if (e.kind == InputEventKind::FocusLost) {
                active = false;
            } else if (e.kind == InputEventKind::FocusGained) {
                active = true;
            } else if (e.kind == InputEventKind::CloseRequested && ConfirmQuit(*host)) {
                quit = true;
            }
        }
        if (!active && !quit) {
            // An inactive game neither steps nor draws: it waits for events.
            host->WaitEvents(100);
            --pass;
            continue;
        }
        device.BeginFrame();
        device.EndFrame();
        for (const ScreenshotRequest& shot : options.screenshots) {
            if (shot.framePass == pass) {
                if (!host->SaveScreenshot(shot.file, &error)) {
                    return Fail(error);
                }
                --missingShots;
            }
        }
        host->FinishFramePass();
    }
    if (missingShots > 0 && !quit) {
        return Fail("a --screenshot frame pass was never reached");
    }
    return 0;
}
