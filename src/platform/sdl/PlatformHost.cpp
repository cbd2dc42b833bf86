#include "platform/sdl/PlatformHost.h"

#include <cstring>

#include "common/Log.h"
#include "common/Text.h"
#include "platform/sdl/FontFiles.h"
#include "platform/sdl/PngFile.h"

#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quolis {

namespace {

// The font of the window menu and the modal windows, in pixels.
constexpr float kUiFontPixels = 16.0f;
// The message boxes' own texts: icons and buttons.
constexpr const char* kMessageBoxButtonTexts = "(?)(!)(i)はい(Y)いいえ(N)OK";

} // namespace

PlatformHost::PlatformHost(const HostConfig& config) : config_(config) {
    if (config_.fixedStep) {
        clock_ = std::make_unique<ManualClock>();
    } else {
        clock_ = std::make_unique<SteadyClock>();
    }
    if (config_.headless) {
        boxes_.responder = FirstButton;
    }
    if (config_.window) {
        normal_ = *config_.window;
        stretch_ = normal_.stretch;
        smooth_ = normal_.smooth;
    }
}

std::unique_ptr<PlatformHost> PlatformHost::Create(const HostConfig& config, std::string* error) {
    std::unique_ptr<PlatformHost> host(new PlatformHost(config));
    if (!host->Init(error)) {
        return nullptr;
    }
    return host;
}

namespace {

// The window menu's font family (Japanese, proportional).
const char* const kUiFontFamily = "IPAPGothic";

// Joins a thread when the scope ends, on every return path.
struct JoinAtEnd {
    std::thread& thread;
    ~JoinAtEnd() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

} // namespace

bool PlatformHost::Init(std::string* error) {
    // The first fontconfig lookup reads every configuration file and font
    // cache (about a tenth of the start-up's work); the window menu needs its
    // font only after the window and the OpenGL context exist, so the lookup
    // runs beside their creation. FindFontFile keeps the answer, and a caller
    // that comes first waits for it under the lookup's lock.
    std::thread fontLookup;
    JoinAtEnd joinFontLookup{fontLookup};
    if (config_.imgui) {
        try {
            fontLookup = std::thread([] { FindFontFile(kUiFontFamily); });
        } catch (const std::system_error&) {
            // No thread: InitImGui looks it up itself.
        }
    }
    if (config_.headless) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        // An audio driver chosen explicitly stays (SDL's disk driver records
        // what the game plays); otherwise no sound card is needed.
        const char* audio = std::getenv("SDL_AUDIODRIVER");
        if (audio == nullptr || *audio == '\0') {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        }
    }
    Uint32 systems = SDL_INIT_VIDEO | SDL_INIT_EVENTS;
    if (config_.joystick) {
        // Controller buttons by their place on the pad (bottom, right, …),
        // not by their printed letter, so a Nintendo pad's bottom button
        // decides as everyone else's does.
        SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
        systems |= SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;
    }
    if (SDL_Init(systems) != 0) {
        *error = std::string("cannot start SDL: ") + SDL_GetError();
        return false;
    }
    sdlStarted_ = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    // The client area holds the menu strip and the 800 × 600 view; the window
    // opens maximised and the view is stretched over what it gets.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    int width = 800, height = 600 + kMenuStripHeight;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (config_.window) {
        width = config_.window->width;
        height = config_.window->height;
        if (config_.window->positioned) {
            x = config_.window->x;
            y = config_.window->y;
        }
    }
    window_ = SDL_CreateWindow(config_.title.c_str(), x, y, width, height, flags);
    if (window_ == nullptr) {
        *error = std::string("cannot open the window: ") + SDL_GetError();
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
        *error = std::string("cannot create an OpenGL 3.3 context: ") + SDL_GetError();
        return false;
    }
    SDL_GL_MakeCurrent(window_, context_);
    SDL_GL_SetSwapInterval(config_.headless ? 0 : 1);

    device_ = std::make_unique<GlDevice>();
    if (!device_->Ok()) {
        *error = "cannot create the drawing device: " + device_->Error();
        return false;
    }
    device_->SetPresenter([this] { Present(nullptr, nullptr); });
    device_->ApplyDefaultStates();

    if (config_.imgui && !InitImGui(error)) {
        return false;
    }
    if (config_.joystick) {
        OpenJoystick();
    }
    if (!config_.headless) {
        SDL_SetWindowMinimumSize(window_, WindowState::kMinWidth, WindowState::kMinHeight);
        SDL_ShowWindow(window_);
        NoteWindowGeometry();
        if (!config_.window || config_.window->maximized) {
            SDL_MaximizeWindow(window_);
        }
        if (config_.window && config_.window->fullScreen) {
            SetFullScreen(true);
        }
    }
    return true;
}

bool PlatformHost::InitImGui(std::string* error) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // nothing written beside the game
    io.LogFilename = nullptr;
    io.UserData = &glyphs_; // NoteUiText finds the glyph set here
    // The texts are Japanese: a Japanese font, with only the glyphs the
    // texts use (printable ASCII, the texts known at start, and whatever a
    // message box or window notes later).
    for (char c = 0x20; c < 0x7F; ++c) {
        glyphs_.Note(std::string_view(&c, 1));
    }
    // The pad's button symbols (○ △ □ ×), which the key configuration
    // window shows for pads of that layout.
    std::string texts = "○△□×" + config_.uiText;
    if (config_.stripText.empty()) {
        glyphs_.Note(texts);
    } else {
        // The first frame shows the strip only; rasterising the other
        // glyphs can wait until it is on screen.
        glyphs_.Note(config_.stripText);
        laterUiText_ = std::move(texts);
    }
    uiFontFile_ = FindFontFile(kUiFontFamily);
    BuildUiFont();
    if (!ImGui_ImplSDL2_InitForOpenGL(window_, context_)) {
        *error = "cannot start the window menu (Dear ImGui)";
        ImGui::DestroyContext();
        return false;
    }
    // ImGui's triangles are drawn by the game's own device and shader (see
    // DrawUi): on a software renderer another shader program would be
    // compiled before the first frame.
    io.BackendRendererName = "quolis";
    imguiStarted_ = true;
    return true;
}

void PlatformHost::UploadUiFont() {
    ImGuiIO& io = ImGui::GetIO();
    if (uiFontTexture_ != 0) {
        device_->ReleaseTexture(uiFontTexture_);
        uiFontTexture_ = 0;
    }
    unsigned char* alpha = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsAlpha8(&alpha, &width, &height);
    if (alpha == nullptr || width <= 0 || height <= 0) {
        return;
    }
    // White glyphs whose coverage is their alpha.
    std::vector<Argb> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = (static_cast<Argb>(alpha[i]) << 24) | 0xFFFFFFu;
    }
    uiFontTexture_ = device_->CreateUiTexture(width, height, pixels.data());
    io.Fonts->SetTexID(reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(uiFontTexture_)));
    // The atlas's pixels live on in the texture only.
    io.Fonts->ClearTexData();
}

void PlatformHost::DrawUi(const ImDrawData* data, int drawableWidth, int drawableHeight) {
    if (data == nullptr || data->CmdListsCount == 0) {
        return;
    }
    // Display coordinates to drawable pixels (they differ on screens that
    // scale windows).
    const ImVec2 scale = data->FramebufferScale;
    const ImVec2 origin = data->DisplayPos;
    static_assert(sizeof(GlDevice::UiVertex) == sizeof(ImDrawVert) &&
                      offsetof(ImDrawVert, pos) == offsetof(GlDevice::UiVertex, x) &&
                      offsetof(ImDrawVert, uv) == offsetof(GlDevice::UiVertex, u) &&
                      offsetof(ImDrawVert, col) == offsetof(GlDevice::UiVertex, rgba),
                  "ImGui's vertices are laid out as the device's interface vertices");
    static_assert(sizeof(ImDrawIdx) == sizeof(std::uint16_t), "16-bit indices");
    GlDevice& device = *device_;
    device.BeginUi(drawableWidth, drawableHeight);
    std::vector<GlDevice::UiVertex> scaled;
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        const auto* vertices = reinterpret_cast<const GlDevice::UiVertex*>(list->VtxBuffer.Data);
        if (scale.x != 1.0f || scale.y != 1.0f || origin.x != 0.0f || origin.y != 0.0f) {
            scaled.assign(vertices, vertices + list->VtxBuffer.Size);
            for (GlDevice::UiVertex& v : scaled) {
                v.x = (v.x - origin.x) * scale.x;
                v.y = (v.y - origin.y) * scale.y;
            }
            vertices = scaled.data();
        }
        device.SetUiGeometry(vertices, static_cast<std::size_t>(list->VtxBuffer.Size),
                             list->IdxBuffer.Data, static_cast<std::size_t>(list->IdxBuffer.Size));
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback != nullptr) {
                if (cmd.UserCallback != ImDrawCallback_ResetRenderState) {
                    cmd.UserCallback(list, &cmd);
                }
                continue;
            }
            // The clip rectangle in drawable pixels, inside the window.
            float x0 = std::max((cmd.ClipRect.x - origin.x) * scale.x, 0.0f);
            float y0 = std::max((cmd.ClipRect.y - origin.y) * scale.y, 0.0f);
            float x1 =
                std::min((cmd.ClipRect.z - origin.x) * scale.x, static_cast<float>(drawableWidth));
            float y1 =
                std::min((cmd.ClipRect.w - origin.y) * scale.y, static_cast<float>(drawableHeight));
            if (x1 <= x0 || y1 <= y0) {
                continue;
            }
            const auto texture =
                static_cast<TextureId>(reinterpret_cast<std::intptr_t>(cmd.GetTexID()));
            device.DrawUi(texture, static_cast<int>(x0), static_cast<int>(y0),
                          static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), cmd.IdxOffset,
                          cmd.ElemCount);
        }
    }
    device.EndUi();
}

void PlatformHost::BuildUiFont() {
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->Clear();
    glyphs_.TakeChanged();
    static_assert(sizeof(ImWchar) == sizeof(std::uint16_t), "the atlas takes 16-bit characters");
    uiGlyphRanges_ = glyphs_.Ranges();
    // The font file is mapped, not read: the atlas touches only the tables
    // and outlines of the glyphs it rasterises, and the mapping goes once the
    // atlas is built (a rebuild maps the file again).
    ImFont* font = nullptr;
    void* mapped = MAP_FAILED;
    std::size_t mappedSize = 0;
    if (int fd = uiFontFile_.empty() ? -1 : open(uiFontFile_.c_str(), O_RDONLY | O_CLOEXEC);
        fd >= 0) {
        struct stat st {};
        if (fstat(fd, &st) == 0 && st.st_size > 100 && st.st_size < (1L << 30)) {
            mappedSize = static_cast<std::size_t>(st.st_size);
            mapped = mmap(nullptr, mappedSize, PROT_READ, MAP_PRIVATE, fd, 0);
        }
        close(fd);
    }
    if (mapped != MAP_FAILED) {
        ImFontConfig config;
        // Marked as the atlas's own so that it is not copied; it is taken
        // back below before the atlas could free it.
        config.FontDataOwnedByAtlas = true;
        font = io.Fonts->AddFontFromMemoryTTF(
            mapped, static_cast<int>(mappedSize), kUiFontPixels, &config,
            reinterpret_cast<const ImWchar*>(uiGlyphRanges_.data()));
    }
    if (font != nullptr && !io.Fonts->Build()) {
        font = nullptr; // not a font stb_truetype can read
    }
    for (ImFontConfig& config : io.Fonts->ConfigData) {
        if (config.FontData == mapped) {
            config.FontData = nullptr;
        }
    }
    if (mapped != MAP_FAILED) {
        munmap(mapped, mappedSize);
    }
    if (font == nullptr) {
        if (!uiFontWarned_) {
            LogLine("window menu: no Japanese font found, menu texts may not show");
            uiFontWarned_ = true;
        }
        io.Fonts->Clear();
        io.Fonts->AddFontDefault();
        io.Fonts->Build();
    }
    io.Fonts->ClearInputData();
}

void PlatformHost::RefreshUiFont() {
    if (!imguiStarted_ || !glyphs_.Changed()) {
        return;
    }
    BuildUiFont();
    // Once the atlas has been uploaded, the new one is uploaded in its place.
    if (uiFontTexture_ != 0) {
        UploadUiFont();
    }
}

void NoteUiText(std::string_view utf8) {
    if (ImGui::GetCurrentContext() == nullptr) {
        return;
    }
    if (auto* glyphs = static_cast<UiGlyphs*>(ImGui::GetIO().UserData); glyphs != nullptr) {
        glyphs->Note(utf8);
    }
}

PlatformHost::~PlatformHost() {
    if (imguiStarted_) {
        if (uiFontTexture_ != 0) {
            device_->ReleaseTexture(uiFontTexture_);
        }
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
    }
    device_.reset();
    CloseJoystick();
    if (context_ != nullptr) {
        SDL_GL_DeleteContext(context_);
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    if (sdlStarted_) {
        SDL_Quit();
    }
}

void PlatformHost::OpenJoystick() {
    if (joystick_ != nullptr) {
        return;
    }
    // The first pad that opens: through the game-controller layer when its
    // layout is known, else as a raw joystick.
    for (int i = 0; i < SDL_NumJoysticks() && joystick_ == nullptr; ++i) {
        if (SDL_IsGameController(i)) {
            controller_ = SDL_GameControllerOpen(i);
            if (controller_ != nullptr) {
                joystick_ = SDL_GameControllerGetJoystick(controller_);
                padStyle_ = PadStyleOf(SDL_GameControllerGetType(controller_));
                break;
            }
        }
        joystick_ = SDL_JoystickOpen(i);
    }
    if (joystick_ != nullptr) {
        joystickId_ = SDL_JoystickInstanceID(joystick_);
        LogLine(std::string("game pad: ") +
                (controller_ != nullptr ? SDL_GameControllerName(controller_)
                                        : SDL_JoystickName(joystick_)) +
                (controller_ != nullptr ? "" : " (raw buttons)"));
    }
    controllerEvents_.Reset();
    input_.SetPresent(InputDeviceIndex::Joypad, joystick_ != nullptr);
}

void PlatformHost::CloseJoystick() {
    if (controller_ != nullptr) {
        SDL_GameControllerClose(controller_); // closes its joystick too
    } else if (joystick_ != nullptr) {
        SDL_JoystickClose(joystick_);
    }
    controller_ = nullptr;
    joystick_ = nullptr;
    joystickId_ = -1;
    padStyle_ = PadStyle::None;
    controllerEvents_.Reset();
    input_.SetPresent(InputDeviceIndex::Joypad, false);
}

void PlatformHost::SetFullScreen(bool on) {
    if (config_.headless || window_ == nullptr) {
        return;
    }
    SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

bool PlatformHost::FullScreen() const {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                                     SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void PlatformHost::NoteWindowGeometry() {
    Uint32 flags = SDL_GetWindowFlags(window_);
    if ((flags & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED)) != 0) {
        return;
    }
    SDL_GetWindowSize(window_, &normal_.width, &normal_.height);
    SDL_GetWindowPosition(window_, &normal_.x, &normal_.y);
    normal_.positioned = true;
}

WindowState PlatformHost::CurrentWindowState() const {
    WindowState s = normal_;
    Uint32 flags = window_ != nullptr ? SDL_GetWindowFlags(window_) : 0;
    s.maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    s.fullScreen = FullScreen();
    s.stretch = stretch_;
    s.smooth = smooth_;
    return s;
}

bool PlatformHost::HandleWindowKeys(const SDL_Event& e) {
    if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) {
        return false;
    }
    const int sc = e.key.keysym.scancode;
    if (e.type == SDL_KEYUP) {
        return swallowedKeys_.erase(sc) > 0;
    }
    bool enter = sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER;
    if (sc != SDL_SCANCODE_F11 && !(enter && (e.key.keysym.mod & KMOD_ALT) != 0)) {
        return false;
    }
    swallowedKeys_.insert(sc);
    if (e.key.repeat == 0) {
        SetFullScreen(!FullScreen());
    }
    return true;
}

ViewLayout PlatformHost::Layout() const {
    ViewLayout l;
    SDL_GetWindowSize(window_, &l.windowWidth, &l.windowHeight);
    l.stripHeight = kMenuStripHeight;
    l.backWidth = device_->Width();
    l.backHeight = device_->Height();
    l.stretch = stretch_;
    return l;
}

void PlatformHost::PumpEvents() {
    ViewLayout layout = Layout();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (imguiStarted_) {
            ImGui_ImplSDL2_ProcessEvent(&e);
            // Clicks on the menu strip or a modal window belong to them.
            bool mouse = e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP;
            if (mouse && ImGui::GetIO().WantCaptureMouse) {
                continue;
            }
        }
        if (HandleWindowKeys(e)) {
            continue;
        }
        if (e.type == SDL_WINDOWEVENT && (e.window.event == SDL_WINDOWEVENT_RESIZED ||
                                          e.window.event == SDL_WINDOWEVENT_MOVED)) {
            NoteWindowGeometry();
            layout = Layout();
        }
        // Hot-plugging: the first pad plugged in is taken; when it goes, the
        // next one still attached takes its place.
        if (e.type == SDL_JOYDEVICEADDED && joystick_ == nullptr && config_.joystick) {
            OpenJoystick();
            continue;
        }
        if (e.type == SDL_JOYDEVICEREMOVED && joystick_ != nullptr &&
            e.jdevice.which == joystickId_) {
            CloseJoystick();
            if (config_.joystick) {
                OpenJoystick();
            }
            continue;
        }
        InputEvent ie;
        if (controller_ != nullptr) {
            // A mapped pad speaks through its controller events only; its raw
            // joystick events would press the same buttons twice.
            bool raw = e.type == SDL_JOYBUTTONDOWN || e.type == SDL_JOYBUTTONUP ||
                       e.type == SDL_JOYAXISMOTION || e.type == SDL_JOYHATMOTION;
            if (raw) {
                continue;
            }
            if (controllerEvents_.Translate(e, joystickId_, &ie) > 0) {
                input_.Push(ie);
                continue;
            }
        }
        if (TranslateSdlEvent(e, layout, joystickId_, &ie) > 0) {
            input_.Push(ie);
        }
    }
}

void PlatformHost::SetTitle(const std::string& utf8) {
    SDL_SetWindowTitle(window_, utf8.c_str());
}

std::string PlatformHost::Title() const {
    const char* t = SDL_GetWindowTitle(window_);
    return t != nullptr ? t : "";
}

void PlatformHost::WaitEvents(int timeoutMs) {
    SDL_WaitEventTimeout(nullptr, timeoutMs);
    PumpEvents();
}

bool PlatformHost::Focused() const {
    if (config_.headless) {
        return true; // nothing else can take the focus
    }
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void PlatformHost::FinishFramePass() {
    if (config_.fixedStep) {
        static_cast<ManualClock&>(*clock_).Advance(kFixedStepMs);
    }
}

bool PlatformHost::SaveScreenshot(const std::string& hostPath, std::string* error) {
    std::vector<Argb> pixels;
    if (!device_->ReadBackBuffer(pixels)) {
        *error = "screenshot: cannot read the back buffer";
        return false;
    }
    return WritePng(hostPath, device_->Width(), device_->Height(), pixels, error);
}

void PlatformHost::Present(const std::function<bool()>* modal, bool* modalOpen) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    int winW = 0, winH = 0;
    SDL_GetWindowSize(window_, &winW, &winH);
    int strip = winH > 0 ? kMenuStripHeight * h / winH : kMenuStripHeight;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, w, h);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The back buffer in its place below the strip (drawable pixels; GL
    // counts rows from the bottom), the rest stays black.
    ViewLayout pixels{w, h, strip, device_->Width(), device_->Height(), stretch_};
    ViewRect area = PictureArea(pixels);
    if (area.width > 0 && area.height > 0) {
        device_->ShowBackBuffer(w, h, area.x, area.y, area.width, area.height, smooth_);
    }
    if (imguiStarted_) {
        RefreshUiFont();
        if (uiFontTexture_ == 0) {
            UploadUiFont();
        }
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        if (ImGui::BeginMainMenuBar()) {
            if (menuDrawer_ && modal == nullptr) {
                menuDrawer_();
            }
            ImGui::EndMainMenuBar();
        }
        if (modal != nullptr) {
            bool open = (*modal)();
            if (modalOpen != nullptr) {
                *modalOpen = open;
            }
        }
        ImGui::Render();
        DrawUi(ImGui::GetDrawData(), w, h);
    } else if (modalOpen != nullptr) {
        *modalOpen = false;
    }
    if (!windowShot_.empty()) {
        SaveWindowPixels(w, h);
    }
    SDL_GL_SwapWindow(window_);
    startupReport_.FramePresented();
    framePresented_ = true;
    if (!laterUiText_.empty()) {
        glyphs_.Note(laterUiText_); // in the font from the next frame on
        laterUiText_.clear();
        laterUiText_.shrink_to_fit();
    }
    if (afterFirstFrame_) {
        std::function<void()> work;
        work.swap(afterFirstFrame_);
        work();
    }
    device_->WaitForPresentedFrame();
}

void PlatformHost::AfterFirstFrame(std::function<void()> work) {
    if (framePresented_ && work) {
        work();
        return;
    }
    afterFirstFrame_ = std::move(work);
}

void PlatformHost::RequestWindowScreenshot(const std::string& hostPath) {
    windowShot_ = hostPath;
    windowShotError_.clear();
}

void PlatformHost::SaveWindowPixels(int w, int h) {
    std::string path;
    path.swap(windowShot_);
    if (w <= 0 || h <= 0) {
        windowShotError_ = "screenshot: the window has no pixels";
        return;
    }
    std::vector<Argb> rows(static_cast<std::size_t>(w) * h), out(rows.size());
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    if (glGetError() != GL_NO_ERROR) {
        windowShotError_ = "screenshot: cannot read the window";
        return;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(&out[static_cast<std::size_t>(y) * w],
                    &rows[static_cast<std::size_t>(h - 1 - y) * w],
                    static_cast<std::size_t>(w) * sizeof(Argb));
    }
    for (Argb& p : out) {
        p |= 0xFF000000u; // the window is opaque
    }
    WritePng(path, w, h, out, &windowShotError_);
}

void PlatformHost::RunModal(const std::function<bool()>& draw) {
    if (!imguiStarted_) {
        return;
    }
    bool open = true;
    lastModalFrames_ = 0;
    for (int frame = 1; open; ++frame) {
        PumpEvents();
        if (modalIdle_) {
            modalIdle_();
        }
        Present(&draw, &open);
        lastModalFrames_ = frame;
        if (config_.modalFrameLimit > 0 && frame >= config_.modalFrameLimit) {
            break;
        }
        if (config_.headless) {
            SDL_Delay(1);
        }
    }
}

void PlatformHost::SetMessageBoxResponder(MessageBoxResponder responder) {
    boxes_.responder = std::move(responder);
}

MessageBoxAnswer PlatformHost::ImGuiBoxes::Show(const MessageBoxRequest& request) {
    if (responder) {
        return responder(request);
    }
    if (!host_.imguiStarted_) {
        return FirstButton(request);
    }
    std::string text = Cp932ToUtf8(request.text);
    std::string id = Cp932ToUtf8(request.caption) + "###quolis-message-box";
    host_.glyphs_.Note(text + id + kMessageBoxButtonTexts);
    bool yesNo = request.buttons == MessageBoxButtons::YesNo;
    MessageBoxAnswer answer = FirstButton(request);
    bool opened = false;
    host_.RunModal([&]() -> bool {
        if (!opened) {
            ImGui::OpenPopup(id.c_str());
            opened = true;
        }
        ImGuiViewport* vp = ImGui::GetMainViewport();
        ImGui::SetNextWindowPos(vp->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        bool open = true;
        if (ImGui::BeginPopupModal(id.c_str(), nullptr,
                                   ImGuiWindowFlags_AlwaysAutoResize |
                                       ImGuiWindowFlags_NoSavedSettings)) {
            const char* icon = request.icon == MessageBoxIcon::Question      ? "(?)  "
                               : request.icon == MessageBoxIcon::Warning     ? "(!)  "
                               : request.icon == MessageBoxIcon::Information ? "(i)  "
                                                                             : "";
            ImGui::TextUnformatted((std::string(icon) + text).c_str());
            ImGui::Spacing();
            if (yesNo) {
                bool yes = ImGui::Button("はい(Y)", ImVec2(96, 0)) ||
                           ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
                           ImGui::IsKeyPressed(SDL_SCANCODE_Y);
                ImGui::SameLine();
                bool no = ImGui::Button("いいえ(N)", ImVec2(96, 0)) ||
                          ImGui::IsKeyPressed(SDL_SCANCODE_N);
                if (yes || no) {
                    answer = yes ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
                    open = false;
                }
            } else {
                if (ImGui::Button("OK", ImVec2(96, 0)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
                    ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape))) {
                    answer = MessageBoxAnswer::Ok;
                    open = false;
                }
            }
            if (!open) {
                ImGui::CloseCurrentPopup();
            }
            ImGui::EndPopup();
        }
        return open;
    });
    return answer;
}

} // namespace quolis
