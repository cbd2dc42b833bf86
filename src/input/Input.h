#pragma once
// CInput: the joypad, the keyboard and the mouse turned into the game's
// numbered actions. Every named button is bound to at most one action through
// a per-device button map; the arrow keys and the joypad stick drive the four
// directions through fixed handling. Once per logic step Poll reads the
// buffered device events, keeps a held state per action and per button and
// writes one-step triggers with auto-repeat into arrays the caller owns.
#include "common/Status.h"
#include "common/Stopwatch.h"
#include "platform/InputEvents.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

class CDatArchive;

// The actions Poll produces (entries 3…16 of the action-trigger array).
enum InputAction : int {
    kInputLeft = 3,
    kInputRight = 4,
    kInputUp = 5,
    kInputDown = 6,
    kInputDecide = 7,
    kInputCancel = 8,
    kInputStart = 9,
    kInputRotateLeft = 10,
    kInputRotateRight = 11,
    kInputViewDistance = 12,
    kInputResetAppCycle = 14, // "Reset AppCycle"
    kInputGotoMenu = 15,      // "Goto Menu"
};
constexpr int kFirstInputAction = 3;
constexpr int kLastInputAction = 16;
constexpr int kInputActionCount = kLastInputAction - kFirstInputAction + 1;
// Sizes of the caller's arrays.
constexpr int kActionTriggerCount = 256;
constexpr int kRawButtonCount = kInputDeviceCount * 256;

// Button code -> action, one map per device.
using ButtonMap = std::map<int, int>;
using ButtonMaps = std::array<ButtonMap, kInputDeviceCount>;
using ButtonNames = std::map<int, std::string>;

// The built-in bindings (joypad, keyboard with its arrow entries, mouse empty).
ButtonMaps DefaultButtonMaps();

class CInput {
public:
    static constexpr int kAxisMin = kJoypadAxisMin;
    static constexpr int kAxisMax = kJoypadAxisMax;
    static constexpr const char* kSettingsFile = "InputSetting.ini";

    CInput();
    ~CInput();
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    // Stores the defaults into the default and current maps, then
    // CreateDevices(source).
    HRESULT Init(InputEventQueue* source, const ButtonMaps& defaults);
    // Takes the devices the event source reports present. E_FAIL without a
    // source (nothing present).
    HRESULT CreateDevices(InputEventQueue* source);
    void ReleaseDevices();
    bool Present(int device) const {
        return device >= 0 && device < kInputDeviceCount && present_[device] != 0;
    }

    // triggers: kActionTriggerCount entries (3…16 rewritten); rawTriggers:
    // kRawButtonCount entries indexed device × 256 + code; deviceMask: bit
    // 1/2/4 when the joypad/keyboard/mouse reported a press of a named button.
    // With enable 0 no device is read and the held states stay as they were.
    void Poll(std::uint32_t* triggers, std::uint32_t* rawTriggers, std::uint32_t* deviceMask,
              int enable);
    void ClearHeld();

    const std::string& ButtonName(int device, int code) const;
    bool HasButtonName(int device, int code) const;
    void GetButtonNames(int device, ButtonNames& out) const;

    void SetMaps(const ButtonMaps& maps) { current_ = maps; }
    void GetMaps(ButtonMaps& out) const { out = current_; }
    const ButtonMaps& CurrentMaps() const { return current_; }
    const ButtonMaps& DefaultMaps() const { return defaults_; }
    // Current map of the device := its default, and the caller's map too.
    void ResetDevice(int device, ButtonMaps& appMaps);
    void ResetAll(ButtonMaps& appMaps);

    // "GameData\Ini\" + name through the given reader (the secure reader).
    // A failed read restores the defaults and returns false.
    bool LoadSettings(CDatArchive& reader, std::string_view fileName);
    bool SaveSettings(CDatArchive& reader, std::string_view fileName) const;

    int Held(int action) const {
        return action >= 0 && action < kActionTriggerCount ? held_[action] : 0;
    }
    int RawHeld(int device, int code) const;
    int AxisX() const { return axisX_; }
    int AxisY() const { return axisY_; }

private:
    void ReadDevice(int device, std::uint32_t* deviceMask);
    // One auto-repeat step; returns the trigger.
    static std::uint32_t Repeat(int held, int& state, CStopwatch& watch);

    InputEventQueue* source_ = nullptr;
    int axisX_ = 0;
    int axisY_ = 0;
    std::array<int, kActionTriggerCount> held_{};
    std::array<int, kRawButtonCount> rawHeld_{};
    std::array<int, kInputActionCount> actionState_{};
    std::array<int, kRawButtonCount> rawState_{};
    std::array<int, kInputDeviceCount> present_{};
    ButtonMaps current_;
    ButtonMaps defaults_;
    std::array<ButtonNames, kInputDeviceCount> names_;
    std::array<CStopwatch, kInputActionCount> actionWatches_;
    // One stopwatch per named button, in name order.
    std::array<std::unique_ptr<CStopwatch[]>, kInputDeviceCount> buttonWatches_;
};

// The text of "InputSetting.ini" (before tokenising) and its parser, shared
// with the fuzz target: the parser never reads past the end of the list.
std::string ComposeInputSettings(const ButtonMaps& maps);
void ParseInputSettings(const std::vector<std::string>& tokens, ButtonMaps& maps);

} // namespace quolis
