#pragma once
// Input events as the platform layer delivers them to the game's input code:
// already in DirectInput terms (device index, button code, down flag, axis
// value on 0…2000) plus the window events the frame loop needs. The SDL side
// fills an InputEventQueue; the input code drains it once per logic step.
#include <cstddef>
#include <cstdint>
#include <deque>

namespace quolis {

// Device indices of the game's input code (mask bits 1, 2, 4).
enum class InputDeviceIndex : int { Joypad = 0, Keyboard = 1, Mouse = 2 };
constexpr int kInputDeviceCount = 3;

// Button codes of the mouse and joypad (DirectInput data offsets).
constexpr int kMouseButtonLeft = 12;
constexpr int kMouseButtonRight = 13;
constexpr int kJoypadButtonFirst = 48; // button 0
constexpr int kJoypadButtonCount = 9;  // buttons 0…8 -> 48…56
constexpr int kJoypadAxisX = 0;        // axis data offsets
constexpr int kJoypadAxisY = 4;
constexpr int kJoypadAxisMin = 0;
constexpr int kJoypadAxisMax = 2000;

enum class InputEventKind {
    Button,         // device, code, down
    Axis,           // joypad, code = kJoypadAxisX / kJoypadAxisY, value
    MouseMove,      // x, y in back-buffer pixels
    FocusGained,    // the game window became the foreground window
    FocusLost,      // another window took the focus
    CloseRequested, // the user asked to close the window
};

struct InputEvent {
    InputEventKind kind = InputEventKind::Button;
    InputDeviceIndex device = InputDeviceIndex::Keyboard;
    int code = 0;      // DIK scan code, mouse offset 12/13, joypad 48…56 or axis offset
    bool down = false; // Button
    int value = 0;     // Axis: 0…2000
    int x = 0, y = 0;  // MouseMove

    static InputEvent Key(int dik, bool down);
    static InputEvent MouseButton(int code, bool down);
    static InputEvent JoypadButton(int index, bool down); // index 0…8
    static InputEvent JoypadAxis(int axisOffset, int value);
    static InputEvent Window(InputEventKind kind);
};

// Device events wait per device in buffers of a fixed size (100 events, as
// the game sets on every device); when a buffer is full the oldest event is
// dropped, as a device buffer overflow loses events. Window events wait in
// their own queue.
class InputEventQueue {
public:
    static constexpr std::size_t kDeviceBufferSize = 100;

    void Push(const InputEvent& e);
    // Takes the oldest buffered event of a device; false when none is left.
    bool PopDevice(InputDeviceIndex device, InputEvent* out);
    // Takes the oldest window event (focus, close, mouse move).
    bool PopWindow(InputEvent* out);
    std::size_t DeviceCount(InputDeviceIndex device) const;
    // Events dropped because a device buffer was full.
    std::size_t Overflows() const { return overflows_; }
    void Clear();

    // Whether the device exists (a joypad is attached; keyboard and mouse
    // always are).
    void SetPresent(InputDeviceIndex device, bool present);
    bool Present(InputDeviceIndex device) const;

private:
    std::deque<InputEvent> device_[kInputDeviceCount];
    std::deque<InputEvent> window_;
    bool present_[kInputDeviceCount] = {false, true, true};
    std::size_t overflows_ = 0;
};

} // namespace quolis
