// The game program: parses the command line, opens the platform host, the
// mixer and the fonts, and runs the application object on them. Besides the
// host's options it takes --record FILE and --replay FILE (the input of each
// pass of the loop, written at exit or fed back from the file) and --feed FILE
// (the key presses of such a file typed into the window system's queue).
#include "app/AutoPlayer.h"
#include "app/GameApp.h"
#include "app/Replay.h"
#include "app/SoakInput.h"
#include "app/TitleScenes.h"
#include "app/entry/KeyConfigWindow.h"
#include "app/entry/SceneProfileRun.h"
#include "app/entry/Viewer.h"
#include "common/Log.h"
#include "common/Path.h"
#include "common/Text.h"
#include "platform/GameFolders.h"
#include "platform/KeyTable.h"
#include "platform/LaunchOptions.h"
#include "platform/WindowState.h"
#include "platform/sdl/PlatformHost.h"
#include "platform/sdl/SdlFonts.h"
#include "platform/sdl/SdlMixer.h"
#include "scenes/Scenes.h"
#include "scenes/autoplay/GamePolicy.h"

#include <imgui.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

using namespace quolis;

// Heap allocations of the whole program, counted for --profile (not in
// sanitized builds, whose allocator must stay the sanitizer's own).
#if defined(__SANITIZE_ADDRESS__)
#define QUOLIS_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUOLIS_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef QUOLIS_COUNT_ALLOCATIONS
#define QUOLIS_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<std::uint64_t> gAllocations{0};
} // namespace

#if QUOLIS_COUNT_ALLOCATIONS
void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace {

const double gMainStart = WallSeconds();

int Fail(const std::string& line) {
    std::fprintf(stderr, "quolis: %s\n", line.c_str());
    return 1;
}

// Appends the waiting device events (oldest first per device) and empties
// the device buffers.
void TakeDeviceEvents(InputEventQueue& queue, std::vector<InputEvent>& out) {
    InputEvent e;
    for (int d = 0; d < kInputDeviceCount; ++d) {
        while (queue.PopDevice(static_cast<InputDeviceIndex>(d), &e)) {
            out.push_back(e);
        }
    }
}

// Resident memory of this process in KiB (0 when /proc is not there).
long ResidentKiB() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) {
        return 0;
    }
    long size = 0, resident = 0;
    int n = std::fscanf(f, "%ld %ld", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// --feed: the key presses and releases of a replay file, pushed into SDL's
// event queue at the start of their pass as typed keys, so they reach the game
// (and a --record recording) the way a window delivers them. Other records of
// the file are ignored.
class KeyFeeder {
public:
    explicit KeyFeeder(ReplayScript script) : script_(std::move(script)) {}
    void Push(int pass) {
        for (; next_ < script_.records.size() && script_.records[next_].pass <= pass; ++next_) {
            const ReplayRecord& r = script_.records[next_];
            if (r.command || r.event.kind != InputEventKind::Button ||
                r.event.device != InputDeviceIndex::Keyboard) {
                continue;
            }
            SDL_Event e{};
            e.type = r.event.down ? SDL_KEYDOWN : SDL_KEYUP;
            e.key.state = r.event.down ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.scancode = static_cast<SDL_Scancode>(SdlScancodeFromDik(r.event.code));
            SDL_PushEvent(&e);
        }
    }
    bool Finished(int pass) const { return pass >= script_.passes; }

private:
    ReplayScript script_;
    std::size_t next_ = 0;
};

// --profile FILE: every frame pass's logic-step and draw processor time,
// the heap allocations inside the pass (when counted), the scene, a resident
// memory sample every 30 passes and each scene's build time, as JSON lines
// (one "frame" array per pass, compact). The passes are written as they
// come, into FILE.part, so that a whole campaign's passes do not pile up in
// the memory the profile measures; the header, the builds and the notes
// follow at exit, and the finished file then takes the name FILE.
class ProfileMeter final : public FrameMeter {
public:
    ~ProfileMeter() override {
        if (out_ != nullptr) {
            std::fclose(out_);
        }
    }
    void SetApp(CGameApp* app) { app_ = app; }
    bool Start(const std::string& file) {
        file_ = file;
        out_ = std::fopen((file + ".part").c_str(), "wb");
        return out_ != nullptr;
    }
    void PassStart() override {
        allocStart_ = gAllocations.load(std::memory_order_relaxed);
        built_ = false;
    }
    void FramePass(bool stepped, double stepCpu, double drawCpu) override {
        if (firstFrame_ < 0) {
            firstFrame_ = WallSeconds() - gMainStart;
        }
        const std::uint64_t allocations =
            gAllocations.load(std::memory_order_relaxed) - allocStart_;
        const int scene = app_ != nullptr ? app_->GetScene(0) : -1;
        const int code = app_ != nullptr ? app_->GetCycle(scene) : 0;
        long rss = -1;
        if (passes_ % 30 == 0 || scene != lastScene_) {
            rss = ResidentKiB();
        }
        lastScene_ = scene;
        ++passes_;
        if (out_ != nullptr) {
            std::fprintf(out_, "[%d,%d,%d,%.4f,%.4f,%u,%ld]\n", scene, code,
                         stepped ? (built_ ? 2 : 1) : 0, stepCpu * 1000, drawCpu * 1000,
                         static_cast<std::uint32_t>(allocations), rss);
        }
    }
    void SceneBuilt(int scene, double wallSeconds, double cpuSeconds) override {
        builds_.push_back({scene, wallSeconds * 1000, cpuSeconds * 1000});
        built_ = true;
    }
    void Note(const std::string& line) { notes_.push_back(line); }
    bool Finish() {
        if (out_ == nullptr) {
            return false;
        }
        std::fprintf(out_, "{\"startup_ms\":%.3f,\"wall_s\":%.3f,\"allocations_counted\":%s}\n",
                     firstFrame_ * 1000, WallSeconds() - gMainStart,
                     QUOLIS_COUNT_ALLOCATIONS ? "true" : "false");
        for (const Build& b : builds_) {
            std::fprintf(out_, "{\"build\":%d,\"ms\":%.3f,\"cpu_ms\":%.3f}\n", b.scene, b.wallMs,
                         b.cpuMs);
        }
        for (const std::string& line : notes_) {
            std::fprintf(out_, "%s\n", line.c_str());
        }
        const bool written = std::ferror(out_) == 0;
        const bool closed = std::fclose(out_) == 0;
        out_ = nullptr;
        return written && closed && std::rename((file_ + ".part").c_str(), file_.c_str()) == 0;
    }

private:
    CGameApp* app_ = nullptr;
    std::string file_;
    std::FILE* out_ = nullptr;
    std::uint64_t allocStart_ = 0;
    bool built_ = false; // the step of this pass built a scene
    double firstFrame_ = -1;
    int lastScene_ = -1;
    std::size_t passes_ = 0;
    struct Build {
        int scene;
        double wallMs, cpuMs;
    };
    std::vector<Build> builds_;
    std::vector<std::string> notes_;
};

// The window side of the loop on the SDL host: events (recorded or replayed),
// the window menu's commands, screenshots and the frame limit.
class GameHost final : public AppHost {
public:
    static constexpr int kModalFrameLimit = 600;
    GameHost(PlatformHost& host, const LaunchOptions& options) : host_(host), options_(options) {}

    void SetApp(CGameApp* app) { app_ = app; }
    void SetRecorder(InputRecorder* r) { recorder_ = r; }
    void SetReplayer(InputReplayer* r) { replayer_ = r; }
    void SetAutoPlayer(AutoPlayer* p) { autoPlayer_ = p; }
    // The picture of the last frame pass once the autoplayer is done.
    void SetAutoPlayShot(std::string file) { autoPlayShot_ = std::move(file); }
    // The soak: random input for `seconds` of wall time, a line on standard
    // output every second ("soak PASS RSS-KiB") that a watchdog reads.
    void SetSoak(SoakInput* soak, int seconds) {
        soak_ = soak;
        soakStart_ = std::chrono::steady_clock::now();
        soakEnd_ = soakStart_ + std::chrono::seconds(seconds);
        nextBeat_ = soakStart_;
    }
    // One heartbeat per second of a soak; false once its time is over.
    bool SoakBeat() {
        if (soak_ == nullptr) {
            return true;
        }
        auto now = std::chrono::steady_clock::now();
        if (now >= nextBeat_) {
            std::printf("soak %d %ld\n", pump_, ResidentKiB());
            std::fflush(stdout);
            nextBeat_ = now + std::chrono::seconds(1);
        }
        return now < soakEnd_;
    }
    void PrintSoakSummary() const {
        if (soak_ != nullptr) {
            std::printf("soak done: %d passes, %llu presses, %llu menu commands, %llu key "
                        "configuration clicks, resident %ld KiB\n",
                        pump_, static_cast<unsigned long long>(soak_->Presses()),
                        static_cast<unsigned long long>(soak_->Commands()),
                        static_cast<unsigned long long>(soak_->Clicks()), ResidentKiB());
        }
    }

    void SetFeeder(KeyFeeder* f) { feeder_ = f; }
    // A menu item was chosen while the menu strip was drawn; it runs at the
    // start of the next pass, outside the drawing.
    void QueueCommand(int id) { commands_.push_back(id); }

    void PumpEvents() override {
        if (feeder_ != nullptr) {
            feeder_->Push(pump_);
        }
        host_.PumpEvents();
        if (soak_ != nullptr && replayer_ == nullptr) {
            soak_->Drive(host_.Input(), commands_);
        }
        if (autoPlayer_ != nullptr && replayer_ == nullptr && app_ != nullptr) {
            if (pump_ == 0) {
                // The autoplayer plays at the highest game speed, chosen
                // in the window menu as a player would.
                commands_.push_back(kCmdSpeed50);
            }
            autoPlayer_->Drive(*app_, host_.Input());
        }
        if (replayer_ != nullptr) {
            commands_.clear();
            replayer_->Feed(pump_, host_.Input(), commands_);
        } else if (recorder_ != nullptr) {
            recorder_->Capture(pump_, host_.Input());
            for (int id : commands_) {
                recorder_->NoteCommand(pump_, id);
            }
        }
        ++pump_;
        std::vector<int> run;
        run.swap(commands_);
        for (int id : run) {
            if (app_ != nullptr) {
                app_->HandleMessage(id);
            }
        }
    }
    void WaitEvents() override {
        if (replayer_ == nullptr) {
            host_.WaitEvents(100);
        }
    }
    bool Focused() override { return replayer_ != nullptr || host_.Focused(); }
    // A run with --frames ends after its passes also in a window without
    // the focus (a replay follows the focus changes it recorded).
    bool IgnoresFocus() override {
        return (options_.frames >= 0 || soak_ != nullptr || autoPlayer_ != nullptr) &&
               replayer_ == nullptr;
    }
    bool FinishFramePass(int pass) override {
        for (const ScreenshotRequest& shot : options_.screenshots) {
            if (shot.framePass == pass) {
                std::string error;
                if (!host_.SaveScreenshot(shot.file, &error)) {
                    screenshotError_ = error;
                    return false;
                }
                ++shotsTaken_;
            }
        }
        if (autoPlayer_ != nullptr && autoPlayer_->Done() && !autoPlayShot_.empty()) {
            std::string error;
            if (!host_.SaveScreenshot(autoPlayShot_, &error)) {
                screenshotError_ = error;
                return false;
            }
        }
        host_.FinishFramePass();
        if (options_.frames >= 0 && pass + 1 >= options_.frames) {
            return false;
        }
        if (!SoakBeat()) {
            return false;
        }
        if (autoPlayer_ != nullptr && autoPlayer_->Done()) {
            return false; // the autoplayer has played the campaign through
        }
        if (replayer_ != nullptr && replayer_->Finished(pump_)) {
            return false;
        }
        if (feeder_ != nullptr && feeder_->Finished(pump_)) {
            return false;
        }
        return true;
    }
    // The key configuration window: one pass per frame with the input of the
    // pass (recorded or replayed; the window's button clicks travel as
    // commands), the window's 33 ms timer on the host clock. The game neither
    // steps nor draws meanwhile.
    void RunKeyConfig() override {
        if (app_ == nullptr || app_->Input() == nullptr) {
            return;
        }
        CKeyConfig config(*app_->Input(), app_->AppButtonMaps(), app_->SecureReader(),
                          &host_.Boxes(), &host_.Input());
        Clock& clock = host_.GetClock();
        config.Open(clock.NowMs());
        if (Unattended()) {
            std::printf("quolis: key configuration opened\n");
        }
        std::vector<int> clicks, run;
        std::vector<InputEvent> carry;
        for (int frame = 1; config.IsOpen(); ++frame) {
            bool drawn = false;
            run.clear();
            // A screenshot of this pass shows the whole window with the
            // key configuration on it.
            bool shot = false;
            for (const ScreenshotRequest& request : options_.screenshots) {
                if (request.framePass == pump_) {
                    host_.RequestWindowScreenshot(request.file);
                    shot = true;
                }
            }
            host_.RunModal([&]() -> bool {
                if (replayer_ != nullptr) {
                    // The feed replaces the queue; events of earlier passes
                    // that no timer tick has read yet stay in front.
                    replayer_->Feed(pump_, host_.Input(), run);
                    TakeDeviceEvents(host_.Input(), carry);
                    for (const InputEvent& e : carry) {
                        host_.Input().Push(e);
                    }
                    carry.clear();
                } else {
                    if (soak_ != nullptr) {
                        soak_->DriveKeyConfig(host_.Input(), clicks);
                    }
                    if (recorder_ != nullptr) {
                        recorder_->Capture(pump_, host_.Input());
                        for (int id : clicks) {
                            recorder_->NoteCommand(pump_, id);
                        }
                    }
                    run.swap(clicks);
                }
                ++pump_;
                clicks.clear();
                DrawKeyConfigWindow(config, clicks, host_.ConnectedPadStyle());
                drawn = true;
                return false; // one frame per call
            });
            if (!drawn) {
                break; // no interface to show the window on
            }
            if (shot) {
                if (!host_.WindowScreenshotError().empty()) {
                    screenshotError_ = host_.WindowScreenshotError();
                } else {
                    ++shotsTaken_;
                }
            }
            for (int id : run) {
                config.Click(id);
            }
            host_.FinishFramePass();
            SoakBeat();
            config.Advance(clock.NowMs());
            if (replayer_ != nullptr) {
                TakeDeviceEvents(host_.Input(), carry);
            }
            bool limit = options_.headless && frame >= kModalFrameLimit;
            if (limit || (replayer_ != nullptr && replayer_->Finished(pump_))) {
                break;
            }
        }
        config.Close();
        if (Unattended()) {
            std::printf("quolis: key configuration closed after %d writes of %s\n",
                        config.SaveCount(), CInput::kSettingsFile);
        }
    }
    void SetWindowTitle(const std::string& title) override { host_.SetTitle(Cp932ToUtf8(title)); }
    bool Unattended() const {
        return options_.frames >= 0 || replayer_ != nullptr || feeder_ != nullptr ||
               soak_ != nullptr || autoPlayer_ != nullptr;
    }

    int Pumps() const { return pump_; }
    int ShotsTaken() const { return shotsTaken_; }
    const std::string& ScreenshotError() const { return screenshotError_; }

private:
    PlatformHost& host_;
    const LaunchOptions& options_;
    CGameApp* app_ = nullptr;
    InputRecorder* recorder_ = nullptr;
    InputReplayer* replayer_ = nullptr;
    SoakInput* soak_ = nullptr;
    AutoPlayer* autoPlayer_ = nullptr;
    std::string autoPlayShot_;
    std::chrono::steady_clock::time_point soakStart_, soakEnd_, nextBeat_;

    KeyFeeder* feeder_ = nullptr;
    std::vector<int> commands_;
    int pump_ = 0;
    int shotsTaken_ = 0;
    std::string screenshotError_;
};

// The window's own menu after the game's: full screen and how the picture
// fills the window. These act on the window at once and are no game input.
struct ViewMenuTexts {
    const char* menu = "表示";
    const char* fullScreen = "フルスクリーン";
    const char* keepShape = "4:3 のまま表示";
    const char* stretch = "ウィンドウ全体に引き伸ばす";
    const char* sharp = "くっきり拡大（ニアレスト）";
    const char* smooth = "なめらか拡大";
    std::string All() const {
        return std::string(menu) + fullScreen + keepShape + stretch + sharp + smooth;
    }
};
constexpr ViewMenuTexts kViewMenu;

void DrawViewMenu(PlatformHost& platform) {
    if (!ImGui::BeginMenu(kViewMenu.menu)) {
        return;
    }
    if (ImGui::MenuItem(kViewMenu.fullScreen, "F11", platform.FullScreen())) {
        platform.SetFullScreen(!platform.FullScreen());
    }
    ImGui::Separator();
    if (ImGui::MenuItem(kViewMenu.keepShape, nullptr, !platform.Stretch())) {
        platform.SetStretch(false);
    }
    if (ImGui::MenuItem(kViewMenu.stretch, nullptr, platform.Stretch())) {
        platform.SetStretch(true);
    }
    ImGui::Separator();
    if (ImGui::MenuItem(kViewMenu.sharp, nullptr, !platform.Smooth())) {
        platform.SetSmooth(false);
    }
    if (ImGui::MenuItem(kViewMenu.smooth, nullptr, platform.Smooth())) {
        platform.SetSmooth(true);
    }
    ImGui::EndMenu();
}

// The trace of --trace: one line each on standard output.
class StdoutTrace final : public TraceSink {
public:
    void TraceLine(const std::string& line) override {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
};

// The window menu in the strip above the game view.
void DrawWindowMenu(CGameApp& app, GameHost& host, PlatformHost& platform) {
    for (const MenuGroup& group : WindowMenu()) {
        if (group.direct) {
            const MenuItem& item = group.items.front();
            if (ImGui::MenuItem(item.label, nullptr, app.MenuChecked(item.id))) {
                host.QueueCommand(item.id);
            }
            continue;
        }
        if (ImGui::BeginMenu(group.label)) {
            for (const MenuItem& item : group.items) {
                if (ImGui::MenuItem(item.label, nullptr, app.MenuChecked(item.id))) {
                    host.QueueCommand(item.id);
                }
            }
            ImGui::EndMenu();
        }
    }
    DrawViewMenu(platform);
}

// Takes "--record FILE", "--replay FILE" and "--feed FILE" out of the
// arguments.
bool TakeReplayOptions(std::vector<const char*>& args, std::string* record, std::string* replay,
                       std::string* feed, std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string* target = std::strcmp(args[i], "--record") == 0   ? record
                              : std::strcmp(args[i], "--replay") == 0 ? replay
                              : std::strcmp(args[i], "--feed") == 0   ? feed
                                                                      : nullptr;
        if (target == nullptr) {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1][0] == '\0') {
            *error = std::string(args[i]) + " needs a file name";
            return false;
        }
        *target = args[++i];
    }
    if (!record->empty() && !replay->empty()) {
        *error = "--record and --replay cannot be used together";
        return false;
    }
    if (!feed->empty() && !replay->empty()) {
        *error = "--feed and --replay cannot be used together (a replay drops typed keys)";
        return false;
    }
    args.swap(rest);
    return true;
}

std::string Environment(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

// The data folder and the player's folder for saves and settings. A player's
// folder that cannot be made is reported, and the game starts anyway: its
// writes then fail, and none of them lands in the data folder instead.
void SetUpFolders(const LaunchOptions& options) {
    FolderSearch search;
    search.dataOption = options.dataDir;
    search.exeDir = ExecutableDir();
    search.builtInDir = QUOLIS_INSTALLED_DATA_DIR;
    DataLocation data = LocateGameData(search);
    SetGameRoot(data.root);
    UserFolderEnvironment env;
    env.userDirOption = options.userDir;
    env.xdgDataHome = Environment("XDG_DATA_HOME");
    env.home = Environment("HOME");
    if (env.home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
            env.home = pw->pw_dir;
        }
    }
    bool writable = !data.installed && DataFolderWritable(data.root);
    std::string user = ChooseUserFolder(data, env, writable);
    SetUserRoot(user);
    if (user.empty()) {
        return;
    }
    std::string error;
    if (!PrepareUserFolder(user, &error)) {
        std::fprintf(stderr, "quolis: %s; the game starts, but saves and settings are not kept\n",
                     error.c_str());
    }
}

// The window as the player left it, from its file beside User.ini (none:
// the window opens maximised, as the original's).
std::optional<WindowState> ReadWindowState() {
    ByteBuffer bytes;
    if (!ReadHostFile(HostReadPath(WindowState::kFile), bytes)) {
        return std::nullopt;
    }
    return ParseWindowState(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void WriteWindowState(const WindowState& state) {
    std::string host = HostWritePath(WindowState::kFile);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(host).parent_path(), ec);
    if (!WriteHostFileAtomic(host, FormatWindowState(state))) {
        LogLine("cannot write the window state to " + host);
    }
}

void PrintHelp() {
    std::printf("%s\n"
                "The tactics game クオーリス. Without options it plays the GameData found\n"
                "beside the program, in the working directory or in the installed data\n"
                "folder (%s).\n\n"
                "  --data DIR           play the GameData inside DIR\n"
                "  --user-dir DIR       keep saves and settings in DIR (default: beside a\n"
                "                       writable GameData, else $XDG_DATA_HOME/quolis)\n"
                "  --headless           no window and no sound card\n"
                "  --frames N           end after N frame passes\n"
                "  --fixed-step         the clock advances 16 ms per frame pass\n"
                "  --screenshot N:FILE  write the picture after frame pass N as PNG\n"
                "  --trace              print scene switches, step codes and, at exit, the\n"
                "                       campaign as JSON\n"
                "  --loose              read the content from plain files instead of archives\n"
                "  --record FILE        write the input of every pass to FILE\n"
                "  --replay FILE        feed the input recorded in FILE\n"
                "  --feed FILE          type the key presses of a replay FILE into the window "
                "system's queue\n"
                "  --view-model F\\A    show model animation A of folder F turning slowly\n"
                "  --view-mesh NAME     show one X mesh turning slowly\n"
                "  --view-stage FILE    show the floor of one stage file, seen whole\n"
                "  --view-attack NAME   play one attack between two creatures, again and again\n"
                "                       (--attacker TYPE, --target TYPE, --hp N; --strip DIR\n"
                "                       plays it once and writes its moments to DIR; NAME *\n"
                "                       plays every attack)\n"
                "  --battle FILE        a new campaign straight into the battle on stage FILE\n"
                "  --scene-profile N    time the build of every scene and report the memory,\n"
                "                       entering the battle (on --battle FILE, else\n"
                "                       Bench100.Dat) N times, then end\n"
                "  --autoplay-stages N  with --autoplay: end once N stages are played\n"
                "  --autoplay-shot FILE with --autoplay: the last picture as PNG when it ends\n"
                "  --profile FILE       write each frame pass's processor time, allocations\n"
                "                       and memory, and each scene's build time, to FILE\n"
                "  --version            print the version\n"
                "  --help               print this help\n\n"
                "F11 or Alt+Enter toggles full screen.\n",
                LaunchUsage(), QUOLIS_INSTALLED_DATA_DIR);
}

// Takes "OPTION VALUE" out of the arguments.
bool TakeValueOption(std::vector<const char*>& args, const char* option, std::string* value,
                     std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (std::strcmp(args[i], option) != 0) {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1][0] == '\0') {
            *error = std::string(option) + " needs a value";
            return false;
        }
        *value = args[++i];
    }
    args.swap(rest);
    return true;
}

// Takes "--scene-profile N" out of the arguments (N battles, 1 to 100).
bool TakeSceneProfileOption(std::vector<const char*>& args, int* battles, std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (std::strcmp(args[i], "--scene-profile") != 0) {
            rest.push_back(args[i]);
            continue;
        }
        char* end = nullptr;
        long n = i + 1 < args.size() ? std::strtol(args[i + 1], &end, 10) : 0;
        if (end == nullptr || *end != '\0' || n < 1 || n > 100) {
            *error = "--scene-profile needs a number of battles from 1 to 100";
            return false;
        }
        *battles = static_cast<int>(n);
        ++i;
    }
    args.swap(rest);
    return true;
}

// --battle: the new-game data, then the battle on the stage file (for tests
// and demos; the game itself reaches battles through the menu hub).
void StartBattle(CGameApp& app, const std::string& stageFile) {
    if (app.Campaign() != nullptr) {
        app.Campaign()->LoadSave(app.SecureReader(), CGameApp::SavePath(0));
    }
    app.OwnCampaign().SetCurrentStageFile(Utf8ToCp932(stageFile));
    app.SetNextScene(kSceneBattle, 0);
    app.SwitchToNextScene();
}

} // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // One heap for all threads. With a heap per thread, what the renderer's
    // rasteriser threads and the music loader free stays in their own
    // heaps, unusable by the others: 12 MB more resident in a battle.
    mallopt(M_ARENA_MAX, 1);
#endif
    std::vector<const char*> args(argv, argv + argc);
    std::string recordFile, replayFile, feedFile, error;
    if (!TakeReplayOptions(args, &recordFile, &replayFile, &feedFile, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    std::string battleStage, profileFile, autoplayStages, autoplayShot;
    if (!TakeValueOption(args, "--battle", &battleStage, &error) ||
        !TakeValueOption(args, "--profile", &profileFile, &error) ||
        !TakeValueOption(args, "--autoplay-stages", &autoplayStages, &error) ||
        !TakeValueOption(args, "--autoplay-shot", &autoplayShot, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    int profileBattles = 0;
    if (!TakeSceneProfileOption(args, &profileBattles, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    ViewerRequest viewerRequest;
    if (!TakeViewerOptions(args, &viewerRequest, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    LaunchOptions options;
    if (!ParseLaunchOptions(static_cast<int>(args.size()), args.data(), &options, &error)) {
        std::fprintf(stderr, "quolis: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        PrintHelp();
        return 0;
    }
    if (options.version) {
        std::printf("quolis %s\n", QUOLIS_VERSION);
        return 0;
    }
    ProfileMeter profile;
    if (!profileFile.empty() && !profile.Start(profileFile)) {
        return Fail("--profile: cannot write " + profileFile + ".part");
    }
    std::optional<InputReplayer> replayer;
    std::optional<KeyFeeder> feeder;
    for (const std::string* file : {&replayFile, &feedFile}) {
        if (file->empty()) {
            continue;
        }
        const char* option = file == &replayFile ? "--replay" : "--feed";
        std::ifstream in(*file, std::ios::binary);
        if (!in) {
            return Fail(std::string(option) + ": cannot read " + *file);
        }
        std::stringstream text;
        text << in.rdbuf();
        ReplayScript script;
        if (!ParseReplay(text.str(), script, &error)) {
            return Fail(error);
        }
        if (file == &replayFile) {
            replayer.emplace(std::move(script));
        } else {
            feeder.emplace(std::move(script));
        }
    }
    std::error_code ec;
    if (!options.dataDir.empty() && !std::filesystem::is_directory(options.dataDir, ec)) {
        return Fail("--data: no such folder: " + options.dataDir);
    }
    SetUpFolders(options);
    // Loose content copied from Windows may differ from its references in
    // the case of its names.
    SetHostPathCaseFolding(options.loose);

    HostConfig config;
    if (!options.headless) {
        config.window = ReadWindowState();
    }
    config.headless = options.headless;
    // The interface font holds the glyphs of the window menu and the key
    // configuration window; message boxes add theirs when they open.
    for (const MenuGroup& group : WindowMenu()) {
        config.uiText += group.label;
        for (const MenuItem& item : group.items) {
            config.uiText += item.label;
        }
    }
    config.uiText += KeyConfigWindowTexts();
    config.uiText += kViewMenu.All();
    // The strip at the first frame: the menu titles.
    for (const MenuGroup& group : WindowMenu()) {
        config.stripText += group.label;
    }
    config.stripText += kViewMenu.menu;
    config.fixedStep = options.fixedStep;
    if (options.headless) {
        config.modalFrameLimit = 600;
    }
    std::unique_ptr<PlatformHost> host = PlatformHost::Create(config, &error);
    if (!host) {
        return Fail(error);
    }
    CStopwatch::SetClock(&host->GetClock());
    // --seed: the calendar starts at the given second and moves with the
    // game clock, so a fixed-step run draws the same numbers every time.
    std::optional<ClockCalendar> seededCalendar;
    if (options.seed >= 0) {
        seededCalendar.emplace(options.seed, host->GetClock());
    }
    if (viewerRequest.model || viewerRequest.mesh || viewerRequest.stage || viewerRequest.attack) {
        int status = RunViewer(*host, options, viewerRequest);
        CStopwatch::SetClock(nullptr);
        return status;
    }

    // The mixer opens after the video; it outlives the music and sound
    // players, which the application releases first.
    SdlMixer mixer;
    bool sound = Succeeded(mixer.Open());
    if (!sound) {
        LogLine("no audio device: the game runs without sound");
    }
    // The first piece of music (and with it the soundfont) loads once the
    // first frame is on screen; it starts as soon as it has loaded.
    mixer.HoldLoads();
    host->AfterFirstFrame([&mixer] { mixer.ReleaseLoads(); });
    SdlFonts fonts;
    GameHost gameHost(*host, options);
    InputRecorder recorder;
    if (!recordFile.empty()) {
        gameHost.SetRecorder(&recorder);
    }
    if (replayer) {
        gameHost.SetReplayer(&*replayer);
    }
    if (feeder) {
        gameHost.SetFeeder(&*feeder);
    }

    int code = 0;
    StdoutTrace trace;
    {
        CGameApp app;
        app.SetLooseFiles(options.loose);
        gameHost.SetApp(&app);
        AppEnvironment env;
        env.device = &host->Device();
        env.mixer = sound ? &mixer : nullptr;
        env.input = &host->Input();
        env.boxes = &host->Boxes();
        env.fonts = &fonts;
        env.host = &gameHost;
        env.trace = options.trace ? &trace : nullptr;
        env.calendar = seededCalendar ? &*seededCalendar : nullptr;
        std::optional<SoakInput> soak;
        if (options.soakSeconds >= 0) {
            // The soak's own generator takes the seed too: one seed repeats
            // the whole run's input.
            soak.emplace(static_cast<std::uint32_t>(options.seed >= 0 ? options.seed : 1),
                         DefaultButtonMaps());
            gameHost.SetSoak(&*soak, options.soakSeconds);
        }
        profile.SetApp(&app);
        if (!profileFile.empty()) {
            env.meter = &profile;
        }
        AutoPlayer autoPlayer;
        GamePolicy policy;
        if (options.autoplay) {
            // Each stage's figures as a line on standard output (and in the
            // profile).
            policy.SetRecordSink([&profile](const StageRecord& r) {
                const std::string json = StageRecordJson(r);
                std::printf("autoplay stage %s\n", json.c_str());
                std::fflush(stdout);
                profile.Note("{\"stage_record\":" + json +
                             ",\"rss_kib\":" + std::to_string(ResidentKiB()) + "}");
            });
            policy.SetTurnSink(
                [](const std::string& line) { std::printf("autoplay turn %s\n", line.c_str()); });
            policy.StopAfterStages(std::atoi(autoplayStages.c_str()));
            autoPlayer.SetPolicy(&policy);
            gameHost.SetAutoPlayer(&autoPlayer);
            gameHost.SetAutoPlayShot(autoplayShot);
        }
        InstallTitleScenes(app);
        InstallGameScenes(app);
        if (gameHost.Unattended()) {
            // Unattended runs answer message boxes with their first button
            // and note the question.
            host->SetMessageBoxResponder([](const MessageBoxRequest& request) {
                std::printf("quolis: message box \"%s\": %s\n",
                            Cp932ToUtf8(request.caption).c_str(),
                            Cp932ToUtf8(request.text).c_str());
                return FirstButton(request);
            });
        }
        if (Failed(app.Create(env))) {
            // Start-up failures are reported, never a silent success.
            std::string why = app.FailureReason();
            app.CloseDown();
            host->AfterFirstFrame(nullptr);
            CStopwatch::SetClock(nullptr);
            return Fail("start-up failed: " + (why.empty() ? std::string("unknown") : why));
        }
        if (!battleStage.empty() && profileBattles == 0) {
            StartBattle(app, battleStage);
        }
        host->SetMenuDrawer(
            [&app, &gameHost, &platform = *host] { DrawWindowMenu(app, gameHost, platform); });
        host->SetModalIdle([&app] { app.ModalPass(); });
        if (profileBattles > 0) {
            code = RunSceneProfile(
                app, gameHost, battleStage.empty() ? "Bench100.Dat" : battleStage, profileBattles);
            app.CloseDown();
        } else {
            code = app.Run();
        }
        gameHost.PrintSoakSummary();
        if (options.autoplay) {
            std::printf("quolis: autoplay %s after %d presses\n",
                        policy.EndingSeen() && policy.CampaignOver() ? "finished the campaign"
                        : policy.Stalled()                           ? "stalled in a battle"
                        : policy.CampaignOver()                      ? "played the stages asked for"
                                                                     : "stopped",
                        autoPlayer.Presses());
        }
        if (!profileFile.empty() && !profile.Finish()) {
            std::fprintf(stderr, "quolis: --profile: cannot write %s\n", profileFile.c_str());
            code = code == 0 ? 1 : code;
        }
        if (gameHost.Unattended()) {
            // Unattended runs leave a summary of where the game ended.
            std::printf("quolis: ended in scene %d at step %d after %d passes and %d logic steps\n",
                        app.GetScene(0), app.GetCycle(app.GetScene(0)), gameHost.Pumps(),
                        app.StepCount());
        }
        host->SetMenuDrawer(nullptr);
        host->SetModalIdle(nullptr);
        host->AfterFirstFrame(nullptr);
        gameHost.SetApp(nullptr);
        if (!options.headless) {
            WriteWindowState(host->CurrentWindowState());
        }
        gameHost.SetSoak(nullptr, 0);
        gameHost.SetAutoPlayer(nullptr);
    }
    CStopwatch::SetClock(nullptr);
    if (!gameHost.ScreenshotError().empty()) {
        return Fail(gameHost.ScreenshotError());
    }
    if (!recordFile.empty()) {
        std::string text = recorder.Text(gameHost.Pumps());
        if (!WriteHostFileAtomic(recordFile, text)) {
            return Fail("--record: cannot write " + recordFile);
        }
    }
    bool unattended = gameHost.Unattended();
    if (unattended && gameHost.ShotsTaken() < static_cast<int>(options.screenshots.size())) {
        return Fail("a --screenshot frame pass was never reached");
    }
    return code;
}
