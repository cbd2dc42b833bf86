#include "platform/InputEvents.h"

namespace quolis {

namespace {

std::size_t Slot(InputDeviceIndex d) {
    int i = static_cast<int>(d);
    return (i >= 0 && i < kInputDeviceCount) ? static_cast<std::size_t>(i) : 1;
}

} // namespace

InputEvent InputEvent::Key(int dik, bool down) {
    InputEvent e;
    e.kind = InputEventKind::Button;
    e.device = InputDeviceIndex::Keyboard;
    e.code = dik;
    e.down = down;
    return e;
}

InputEvent InputEvent::MouseButton(int code, bool down) {
    InputEvent e;
    e.kind = InputEventKind::Button;
    e.device = InputDeviceIndex::Mouse;
    e.code = code;
    e.down = down;
    return e;
}

InputEvent InputEvent::JoypadButton(int index, bool down) {
    InputEvent e;
    e.kind = InputEventKind::Button;
    e.device = InputDeviceIndex::Joypad;
    e.code = kJoypadButtonFirst + index;
    e.down = down;
    return e;
}

InputEvent InputEvent::JoypadAxis(int axisOffset, int value) {
    InputEvent e;
    e.kind = InputEventKind::Axis;
    e.device = InputDeviceIndex::Joypad;
    e.code = axisOffset;
    e.value = value;
    return e;
}

InputEvent InputEvent::Window(InputEventKind kind) {
    InputEvent e;
    e.kind = kind;
    return e;
}

void InputEventQueue::Push(const InputEvent& e) {
    if (e.kind != InputEventKind::Button && e.kind != InputEventKind::Axis) {
        window_.push_back(e);
        return;
    }
    std::deque<InputEvent>& q = device_[Slot(e.device)];
    if (q.size() >= kDeviceBufferSize) {
        q.pop_front();
        ++overflows_;
    }
    q.push_back(e);
}

bool InputEventQueue::PopDevice(InputDeviceIndex device, InputEvent* out) {
    std::deque<InputEvent>& q = device_[Slot(device)];
    if (q.empty()) {
        return false;
    }
    *out = q.front();
    q.pop_front();
    return true;
}

bool InputEventQueue::PopWindow(InputEvent* out) {
    if (window_.empty()) {
        return false;
    }
    *out = window_.front();
    window_.pop_front();
    return true;
}

std::size_t InputEventQueue::DeviceCount(InputDeviceIndex device) const {
    return device_[Slot(device)].size();
}

void InputEventQueue::Clear() {
    for (auto& q : device_) {
        q.clear();
    }
    window_.clear();
}

void InputEventQueue::SetPresent(InputDeviceIndex device, bool present) {
    present_[Slot(device)] = present;
}

bool InputEventQueue::Present(InputDeviceIndex device) const {
    return present_[Slot(device)];
}

} // namespace quolis
