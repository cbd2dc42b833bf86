#pragma once
// CAppFrame: the frame base of the application object. It runs the loop
// (window events, at most one logic step per 16 ms with no catch-up steps,
// drawing on every pass while active, waiting while inactive), keeps the ten
// scene stopwatches and the pacing timer, draws the frame-rate display, asks
// the quit question when the window is closed and closes down in a fixed
// order. The game itself comes in through the virtual operations.
#include "app/AppPorts.h"
#include "common/Stopwatch.h"
#include "engine/TextObject.h"

#include <array>
#include <memory>
#include <string>

namespace quolis {

// The high-resolution clock of the frame-rate display: seconds as double.
class CHighResTimer {
public:
    enum Command { Reset, Start, Stop, Advance, AbsoluteTime, AppTime, ElapsedTime };
    double Run(Clock& clock, Command command);

private:
    bool stopped_ = true;
    double stopTime_ = 0;
    double lastElapsed_ = 0;
    double baseTime_ = 0;
    bool started_ = false;
};

class CAppFrame {
public:
    static constexpr int kSceneTimerCount = 10;
    static constexpr float kMinStepSeconds = 0.016f;
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    CAppFrame();
    virtual ~CAppFrame();
    CAppFrame(const CAppFrame&) = delete;
    CAppFrame& operator=(const CAppFrame&) = delete;

    // Start-up: the stopwatches, the tables, the frame-rate font, LoadData,
    // BuildScene, the default render states, EnterScene, then the window is
    // shown. Negative on failure, with FailureReason() naming what failed.
    HRESULT Create(const AppEnvironment& env);
    // The loop; returns the exit code.
    int Run();
    // One pass: at most one logic step, then the frame is drawn.
    HRESULT FramePass();

    // One pass of a modal window's loop (key configuration, message boxes):
    // the game neither steps nor draws, but the events waiting for it are
    // handled as in the main loop (a piece of music that ended starts again).
    void ModalPass() { OnIdle(); }

    // Window events.
    void OnActivate(bool active);
    // The quit question; Yes closes down and ends the loop.
    void OnClose();
    // Close-down (also when an unattended run ends).
    void CloseDown();
    bool Quit() const { return quit_; }
    bool Active() const { return active_ != 0; }
    int MouseX() const { return mouseX_; }
    int MouseY() const { return mouseY_; }

    const std::string& FailureReason() const { return failure_; }
    CStopwatch& SceneTimer(int i) { return timers_[i]; }
    CStopwatch& PacingTimer() { return pacing_; }
    const AppEnvironment& Env() const { return env_; }
    int StepCount() const { return steps_; }
    // The frame pass the loop is in (counted from 0; start-up is pass 0).
    int PassNumber() const { return pass_; }

    // Frame-rate display.
    void SetShowFrameRate(int flag);
    int ShowFrameRate() const { return showFps_; }
    const std::string& FrameRateText() const { return fpsText_.GetText(); }

    // The game's virtual operations.
    virtual HRESULT LoadData() = 0;
    virtual HRESULT BuildScene() = 0;
    virtual HRESULT EnterScene() = 0;
    virtual HRESULT StepFrame() = 0;
    virtual HRESULT DrawFrame() = 0;
    virtual void LeaveScene() = 0;
    virtual void ReleaseAll() = 0;
    // Menu commands by id; 1 when handled.
    virtual int HandleMessage(int id) = 0;

protected:
    // Activation reached the application (music pauses and resumes).
    virtual void OnActivated(bool /*active*/) {}
    // Once per pass of the loop: events waiting for the game (music ends).
    virtual void OnIdle() {}
    // After the scene's draw handler: the frame-rate display.
    void DrawFrameRate();
    void SetFailure(const std::string& what) {
        if (failure_.empty()) {
            failure_ = what;
        }
    }

    AppEnvironment env_;
    int active_ = 1;
    std::array<CStopwatch, kSceneTimerCount> timers_;

private:
    void DispatchWindowEvents();

    CStopwatch pacing_;
    CHighResTimer hrTimer_;
    CTextObject fpsText_;
    int showFps_ = 1;
    int frames_ = 0;
    double lastRateTime_ = 0;
    float rate_ = 0;
    int mouseX_ = 0, mouseY_ = 0;
    int steps_ = 0;
    int pass_ = 0;
    bool created_ = false;
    bool closed_ = false;
    bool quit_ = false;
    int exitCode_ = 0;
    std::string failure_;
};

} // namespace quolis
