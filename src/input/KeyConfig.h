#pragma once
// The key configuration window's state and behaviour, apart from its drawing:
// the rows each device offers, the texts of the value boxes, which buttons
// are enabled, the press-to-bind sequences driven by CInput::Poll on the
// window's 33 ms timer, the duplicate warning, and writing "InputSetting.ini".
// The window itself (drawn by the host) reads the texts and enable flags from
// here and hands its button clicks and the clock to it.
#include "input/Input.h"
#include "platform/MessageBox.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quolis {

class CDatArchive;

// Control ids of the window.
enum KeyConfigControl : int {
    kKcJoypadDefault = 1001,
    kKcJoypadStart = 1002,
    kKcClose = 1003,
    kKcKeyboardDefault = 1011,
    kKcKeyboardStart = 1012,
    kKcMouseDefault = 1019,
    kKcMouseStart = 1020,
    kKcAllDefaults = 1049,
    kKcAbort = 1050,
};

struct KeyConfigRow {
    int label = 0; // label control id
    int box = 0;   // value box control id
    int action = 0;
};

// The rows of a device (the mouse has none).
const std::vector<KeyConfigRow>& KeyConfigRows(int device);
// Every value box of a device's section, in reading order.
const std::vector<int>& KeyConfigSectionBoxes(int device);
// The name of an action as shown in a label (CP932; empty for no name).
std::string KeyConfigActionName(int action);

class CKeyConfig {
public:
    static constexpr int kTimerMs = 33;

    CKeyConfig(CInput& input, ButtonMaps& appMaps, CDatArchive& secure, MessageBoxes* boxes,
               InputEventQueue* source);

    // The window opens: the devices are taken again, Refresh, buttons
    // enabled, the timer starts at `nowMs`.
    void Open(std::int64_t nowMs);
    // A click on one of the window's buttons.
    void Click(int id);
    // The window's clock moved to `nowMs`: one timer tick when 33 ms have
    // passed since the last one.
    void Advance(std::int64_t nowMs);
    // One timer tick: Poll, then the running sequence takes the press.
    void Tick();
    // The window closes (also by the close button): sequences dropped, the
    // held state cleared.
    void Close();

    bool IsOpen() const { return open_; }
    // Control id -> CP932 text (labels and value boxes).
    const std::string& Text(int control) const;
    bool Enabled(int button) const;
    int Focus() const { return focus_; }
    bool SequenceRunning(int device) const { return sequence_[device] != 0; }
    // The row waiting for a press: index into the device's rows, -1 none.
    int CurrentRow() const { return currentRow_; }
    int CurrentDevice() const { return currentDevice_; }
    const ButtonMaps& PendingMaps() const { return pending_; }
    int SaveCount() const { return saves_; }
    int WarningCount() const { return warnings_; }

    void Refresh();
    void EnableButtons(int flag);

private:
    void StartSequence(int device);
    void Abort();
    void CheckSequence();
    void Save();

    CInput& input_;
    ButtonMaps& appMaps_;
    CDatArchive& secure_;
    MessageBoxes* boxes_;
    InputEventQueue* source_;

    ButtonMaps pending_;
    std::array<std::uint32_t, kInputDeviceCount> sequence_{};
    int currentDevice_ = -1;
    int currentRow_ = -1;
    std::array<std::uint32_t, kActionTriggerCount> triggers_{};
    std::array<std::uint32_t, kRawButtonCount> raw_{};
    std::uint32_t mask_ = 0;

    std::map<int, std::string> texts_;
    std::map<int, bool> enabled_;
    int focus_ = 0;
    bool open_ = false;
    bool timerStarted_ = false;
    std::int64_t lastTick_ = 0;
    int saves_ = 0;
    int warnings_ = 0;
};

} // namespace quolis
