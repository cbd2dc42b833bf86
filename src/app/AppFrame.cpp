#include "app/AppFrame.h"

#include "common/Text.h"

#include <cstdio>

namespace quolis {

double CHighResTimer::Run(Clock& clock, Command command) {
    double now = stopped_ && started_ ? stopTime_ : clock.NowSeconds();
    switch (command) {
    case Reset:
        baseTime_ = now = clock.NowSeconds();
        lastElapsed_ = now;
        stopTime_ = 0;
        stopped_ = false;
        started_ = true;
        return 0;
    case Start:
        now = clock.NowSeconds();
        if (stopped_ && started_) {
            baseTime_ += now - stopTime_;
        }
        if (!started_) {
            baseTime_ = now;
        }
        stopTime_ = 0;
        lastElapsed_ = now;
        stopped_ = false;
        started_ = true;
        return 0;
    case Stop:
        if (!stopped_) {
            stopTime_ = now;
            lastElapsed_ = now;
            stopped_ = true;
        }
        return 0;
    case Advance:
        stopTime_ += 0.1;
        return 0;
    case AbsoluteTime:
        return clock.NowSeconds();
    case AppTime:
        return now - baseTime_;
    case ElapsedTime: {
        double elapsed = now - lastElapsed_;
        lastElapsed_ = now;
        return elapsed;
    }
    }
    return 0;
}

CAppFrame::CAppFrame() = default;

CAppFrame::~CAppFrame() {
    fpsText_.ReleaseFont();
    if (created_) {
        // The text code forgets the device this frame gave it.
        CTextObject::ReleaseTextCache();
        if (CTextObject::TextDevice() == env_.device) {
            CTextObject::SetTextDevice(nullptr);
        }
    }
}

HRESULT CAppFrame::Create(const AppEnvironment& env) {
    env_ = env;
    if (env_.device == nullptr || env_.input == nullptr || env_.boxes == nullptr ||
        env_.host == nullptr) {
        SetFailure("no drawing device, input queue, message boxes or window host");
        return E_FAIL;
    }
    for (CStopwatch& t : timers_) {
        t.MarkStart();
    }
    pacing_.MarkStart();
    hrTimer_.Run(CStopwatch::GetClock(), CHighResTimer::Start);
    lastRateTime_ = hrTimer_.Run(CStopwatch::GetClock(), CHighResTimer::AbsoluteTime);

    CTextObject::SetTextDevice(env_.device);
    if (env_.fonts != nullptr) {
        CTextObject::SetFontRasterizer(env_.fonts);
    }
    fpsText_.SetFont("Arial", 14, 1);
    fpsText_.ForceColour(255, 255, 255, 255); // opaque white, untouched by fades
    fpsText_.position = {20, 20, 0};
    created_ = true;

    if (Failed(LoadData())) {
        SetFailure("cannot load the game data");
        return E_FAIL;
    }
    if (Failed(BuildScene())) {
        SetFailure("cannot build the first scene");
        return E_FAIL;
    }
    env_.device->ApplyDefaultStates();
    HRESULT hr = EnterScene();
    if (Failed(hr)) {
        SetFailure("cannot enter the first scene");
        return hr;
    }
    env_.host->ShowWindow();
    return S_OK;
}

void CAppFrame::DispatchWindowEvents() {
    InputEvent e;
    while (!quit_ && env_.input->PopWindow(&e)) {
        switch (e.kind) {
        case InputEventKind::FocusGained:
        case InputEventKind::FocusLost:
            if (!env_.host->IgnoresFocus()) {
                OnActivate(e.kind == InputEventKind::FocusGained);
            }
            break;
        case InputEventKind::CloseRequested:
            OnClose();
            break;
        case InputEventKind::MouseMove:
            mouseX_ = e.x;
            mouseY_ = e.y;
            break;
        default:
            break;
        }
    }
}

int CAppFrame::Run() {
    while (!quit_) {
        env_.host->PumpEvents();
        DispatchWindowEvents();
        if (quit_) {
            break;
        }
        OnIdle();
        if (!active_) {
            env_.host->WaitEvents();
            continue;
        }
        if (Failed(FramePass())) {
            OnClose();
        }
        bool goOn = env_.host->FinishFramePass(pass_);
        ++pass_;
        if (!goOn && !quit_) {
            CloseDown();
        }
    }
    return exitCode_;
}

HRESULT CAppFrame::FramePass() {
    if (env_.device == nullptr) {
        return S_OK;
    }
    if (!env_.host->IgnoresFocus() && !env_.host->Focused() && active_) {
        OnActivate(false); // an unfocused game pauses itself
    }
    pacing_.Sample();
    if (env_.meter != nullptr) {
        env_.meter->PassStart();
    }
    const double start = env_.meter != nullptr ? ThreadCpuSeconds() : 0;
    bool stepped = false;
    if (pacing_.SinceMark() >= kMinStepSeconds) {
        if (Failed(StepFrame())) {
            return E_FAIL;
        }
        ++steps_;
        stepped = true;
        pacing_.SetMark();
    }
    if (quit_) {
        return S_OK; // a step closed the game
    }
    const double drawStart = env_.meter != nullptr ? ThreadCpuSeconds() : 0;
    env_.device->BeginFrame();
    HRESULT hr = DrawFrame();
    env_.device->EndFrame();
    if (env_.meter != nullptr) {
        env_.meter->FramePass(stepped, drawStart - start, ThreadCpuSeconds() - drawStart);
    }
    return hr;
}

void CAppFrame::OnActivate(bool active) {
    active_ = active ? 1 : 0;
    OnActivated(active);
}

void CAppFrame::OnClose() {
    if (quit_) {
        return;
    }
    MessageBoxRequest r;
    r.text = SJ("終了してもよいですか？");
    r.caption = SJ("終了確認");
    r.buttons = MessageBoxButtons::YesNo;
    r.icon = MessageBoxIcon::Question;
    if (env_.boxes->Show(r) != MessageBoxAnswer::Yes) {
        return;
    }
    CloseDown();
}

void CAppFrame::CloseDown() {
    if (closed_) {
        return;
    }
    closed_ = true;
    active_ = 0;
    fpsText_.ReleaseFont();
    if (created_ && env_.device != nullptr) {
        LeaveScene();
    }
    ReleaseAll();
    quit_ = true;
    exitCode_ = 0;
}

void CAppFrame::SetShowFrameRate(int flag) {
    if (flag && !showFps_) {
        // The first rate shows one second after the display is switched on.
        frames_ = 0;
        lastRateTime_ = hrTimer_.Run(CStopwatch::GetClock(), CHighResTimer::AbsoluteTime);
        fpsText_.SetText("");
    }
    showFps_ = flag ? 1 : 0;
}

void CAppFrame::DrawFrameRate() {
    if (!showFps_) {
        return;
    }
    ++frames_;
    double now = hrTimer_.Run(CStopwatch::GetClock(), CHighResTimer::AbsoluteTime);
    if (now - lastRateTime_ > 1.0) {
        rate_ = static_cast<float>(frames_ / (now - lastRateTime_));
        lastRateTime_ = now;
        frames_ = 0;
        char text[32];
        std::snprintf(text, sizeof text, "%.02f rps", static_cast<double>(rate_));
        fpsText_.SetText(text);
    }
    if (!fpsText_.GetText().empty()) {
        fpsText_.Draw();
    }
}

} // namespace quolis
