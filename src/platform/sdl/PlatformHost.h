#pragma once
// The desktop side of the game: the SDL window with its menu strip above the
// 800 × 600 view, the OpenGL device, the event pump feeding the input queue,
// the clock, Dear ImGui (window menu and modal windows) and message boxes.
// One host lives for the whole process.
#include "common/Clock.h"
#include "platform/InputEvents.h"
#include "platform/MessageBox.h"
#include "platform/PadNames.h"
#include "platform/UiGlyphs.h"
#include "platform/WindowState.h"
#include "platform/sdl/EventTranslate.h"
#include "platform/sdl/GlDevice.h"
#include "platform/sdl/StartupReport.h"

#include <SDL.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct ImDrawData;

namespace quolis {

struct HostConfig {
    // SDL offscreen video (EGL, llvmpipe) and dummy audio unless
    // SDL_AUDIODRIVER names a driver: no display and no sound card needed.
    bool headless = false;
    // The clock advances exactly 16 ms per frame pass.
    bool fixedStep = false;
    // Dear ImGui for the window menu and modal windows (tests of the device
    // switch it off to start faster).
    bool imgui = true;
    // Open the first game controller.
    bool joystick = true;
    // The window as the player left it (size, position, full screen,
    // scaling); without it the window opens maximised, as the original.
    std::optional<WindowState> window;
    // Frames after which a modal window gives up and closes (0: never); lets
    // unattended runs and tests of the modal windows always finish.
    int modalFrameLimit = 0;
    std::string title = "クオーリス　Ver1.00"; // UTF-8
    // The texts (UTF-8) the window menu and the modal windows show, as far
    // as they are known at start: the interface font holds only their glyphs.
    std::string uiText;
    // Of those, the strip's own (the menu titles): the first frame's font
    // holds their glyphs and printable ASCII only, and the rest join it right
    // after that frame is shown. Empty: every glyph from the start.
    std::string stripText;
};

// Notes a text an ImGui window is about to show, so that its characters are
// in the interface font from the next frame on (does nothing before the
// host has started ImGui).
void NoteUiText(std::string_view utf8);

class PlatformHost {
public:
    // Height of the window menu strip above the game view, in window points.
    static constexpr int kMenuStripHeight = 22;
    static constexpr std::uint32_t kFixedStepMs = 16;

    // Opens the window and the device. Null with a one-line reason on failure.
    static std::unique_ptr<PlatformHost> Create(const HostConfig& config, std::string* error);
    ~PlatformHost();
    PlatformHost(const PlatformHost&) = delete;
    PlatformHost& operator=(const PlatformHost&) = delete;

    GlDevice& Device() { return *device_; }
    InputEventQueue& Input() { return input_; }
    Clock& GetClock() { return *clock_; }
    MessageBoxes& Boxes() { return boxes_; }
    SDL_Window* Window() { return window_; }
    bool Headless() const { return config_.headless; }
    // The window's title bar (UTF-8).
    void SetTitle(const std::string& utf8);
    std::string Title() const;

    // Reads every pending window-system event into Input().
    void PumpEvents();
    // Waits up to `timeoutMs` for the next event (an inactive game sleeps
    // here), then pumps.
    void WaitEvents(int timeoutMs);
    // Whether the game window has the keyboard focus.
    bool Focused() const;
    // Ends a frame pass: with the fixed step the clock moves 16 ms.
    void FinishFramePass();

    // Writes the back buffer as PNG.
    bool SaveScreenshot(const std::string& hostPath, std::string* error);

    // The window menu: called inside the ImGui main-menu bar every frame.
    void SetMenuDrawer(std::function<void()> draw) { menuDrawer_ = std::move(draw); }
    // Answers message boxes without showing them (headless runs answer with
    // the first button unless a responder is set). An empty responder shows
    // the boxes again (windowed runs).
    void SetMessageBoxResponder(MessageBoxResponder responder);
    // Runs a modal ImGui window: `draw` is called once per frame inside the
    // ImGui frame until it returns false. The game neither steps nor draws
    // meanwhile; the last back buffer stays on screen.
    void RunModal(const std::function<bool()>& draw);
    // Called once per frame of every modal window (the game's waiting
    // events, such as the end of a piece of music); empty: nothing.
    void SetModalIdle(std::function<void()> idle) { modalIdle_ = std::move(idle); }
    // Runs `work` once, right after the first frame is presented (at once
    // when a frame has been presented already): what the start can leave
    // until the window shows something. Empty: nothing waits.
    void AfterFirstFrame(std::function<void()> work);
    // The next presented frame of the whole window (menu strip and modal
    // windows included) is written as PNG; WindowScreenshotError() tells
    // whether it failed.
    void RequestWindowScreenshot(const std::string& hostPath);
    const std::string& WindowScreenshotError() const { return windowShotError_; }
    // Frames the last modal window was shown for.
    int LastModalFrames() const { return lastModalFrames_; }

    ViewLayout Layout() const;

    // Full screen on the desktop's resolution (F11 and Alt+Enter toggle it).
    void SetFullScreen(bool on);
    bool FullScreen() const;
    // The picture stretched over the whole window instead of keeping 4:3.
    void SetStretch(bool on) { stretch_ = on; }
    bool Stretch() const { return stretch_; }
    // Smooth (linear) scaling instead of sharp (nearest) pixels.
    void SetSmooth(bool on) { smooth_ = on; }
    bool Smooth() const { return smooth_; }
    // The window as it is now, for the next start.
    WindowState CurrentWindowState() const;

    // How the attached pad names its buttons (None for a raw joystick or no pad).
    PadStyle ConnectedPadStyle() const { return padStyle_; }

private:
    class ImGuiBoxes final : public MessageBoxes {
    public:
        explicit ImGuiBoxes(PlatformHost& host) : host_(host) {}
        MessageBoxAnswer Show(const MessageBoxRequest& request) override;
        MessageBoxResponder responder;

    private:
        PlatformHost& host_;
    };

    explicit PlatformHost(const HostConfig& config);
    bool Init(std::string* error);
    bool InitImGui(std::string* error);
    // The interface font from the glyph set; RefreshUiFont rebuilds it (and
    // its texture) when texts brought new characters.
    void BuildUiFont();
    void RefreshUiFont();
    // The atlas into a device texture, in place of the one uploaded before.
    void UploadUiFont();
    // ImGui's triangles of the frame into the window (drawable pixels).
    void DrawUi(const ImDrawData* data, int drawableWidth, int drawableHeight);
    void Present(const std::function<bool()>* modal, bool* modalOpen);
    void OpenJoystick();
    void CloseJoystick();
    void SaveWindowPixels(int w, int h);
    // F11 and Alt+Enter; true when the event was one of them (and its key
    // release), which the game does not see.
    bool HandleWindowKeys(const SDL_Event& e);
    void NoteWindowGeometry();

    HostConfig config_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    SDL_Joystick* joystick_ = nullptr;
    SDL_GameController* controller_ = nullptr; // when the pad has a known layout
    SDL_JoystickID joystickId_ = -1;
    ControllerTranslator controllerEvents_;
    PadStyle padStyle_ = PadStyle::None;
    bool stretch_ = false;
    bool smooth_ = false;
    WindowState normal_; // size and place while neither maximised nor full screen
    std::set<int> swallowedKeys_;
    bool sdlStarted_ = false;
    bool imguiStarted_ = false;
    std::unique_ptr<GlDevice> device_;
    StartupReport startupReport_;
    UiGlyphs glyphs_;
    std::string uiFontFile_;
    bool uiFontWarned_ = false;
    std::vector<std::uint16_t> uiGlyphRanges_; // ImWchar pairs, 0-terminated
    // The atlas on the device, uploaded at the first frame.
    TextureId uiFontTexture_ = 0;
    // Texts whose glyphs join the font after the first frame.
    std::string laterUiText_;
    std::unique_ptr<Clock> clock_;
    InputEventQueue input_;
    ImGuiBoxes boxes_{*this};
    std::function<void()> menuDrawer_;
    std::function<void()> modalIdle_;
    std::function<void()> afterFirstFrame_;
    bool framePresented_ = false;
    int lastModalFrames_ = 0;
    std::string windowShot_;
    std::string windowShotError_;
};

} // namespace quolis
