#include "input/Input.h"

#include "data/DatArchive.h"
#include "data/Tokens.h"

#include <string>

namespace quolis {

namespace {

constexpr const char* kIniFolder = "GameData\\Ini\\";
constexpr int kArrowLeft = 203;
constexpr int kArrowRight = 205;
constexpr int kArrowUp = 200;
constexpr int kArrowDown = 208;

// Seconds a held action waits before it repeats, and between repeats (the
// first repeat comes after both spans: more than 0.3 s after the press).
constexpr float kRepeatDelay = 0.2f;
constexpr float kRepeatInterval = 0.1f;

const std::string& EmptyName() {
    static const std::string empty;
    return empty;
}

bool ValidDevice(int device) {
    return device >= 0 && device < kInputDeviceCount;
}

} // namespace

ButtonMaps DefaultButtonMaps() {
    ButtonMaps m;
    m[0] = {{50, kInputDecide},      {49, kInputCancel},       {54, kInputRotateLeft},
            {55, kInputRotateRight}, {53, kInputViewDistance}, {56, kInputStart}};
    m[1] = {{kArrowLeft, kInputLeft}, {kArrowRight, kInputRight}, {kArrowUp, kInputUp},
            {kArrowDown, kInputDown}, {57, kInputDecide},         {44, kInputRotateLeft},
            {46, kInputRotateRight},  {32, kInputViewDistance},   {48, kInputCancel},
            {25, kInputStart}};
    return m;
}

CInput::CInput() {
    for (int i = 0; i < kJoypadButtonCount; ++i) {
        names_[0][kJoypadButtonFirst + i] = "Button " + std::to_string(i);
    }
    // The letter keys under their DirectInput scan codes, and the space bar.
    static constexpr struct {
        char letter;
        int code;
    } kLetters[] = {{'Q', 16}, {'W', 17}, {'E', 18}, {'R', 19}, {'T', 20}, {'Y', 21}, {'U', 22},
                    {'I', 23}, {'O', 24}, {'P', 25}, {'A', 30}, {'S', 31}, {'D', 32}, {'F', 33},
                    {'G', 34}, {'H', 35}, {'J', 36}, {'K', 37}, {'L', 38}, {'Z', 44}, {'X', 45},
                    {'C', 46}, {'V', 47}, {'B', 48}, {'N', 49}, {'M', 50}};
    for (const auto& k : kLetters) {
        names_[1][k.code] = std::string(1, k.letter);
    }
    names_[1][57] = "Space";
    names_[2][kMouseButtonLeft] = "Button Left";
    names_[2][kMouseButtonRight] = "Button Right";
    for (int d = 0; d < kInputDeviceCount; ++d) {
        buttonWatches_[d] = std::make_unique<CStopwatch[]>(names_[d].size());
    }
}

CInput::~CInput() {
    for (ButtonMap& m : current_) {
        m.clear();
    }
    for (ButtonMap& m : defaults_) {
        m.clear();
    }
    ReleaseDevices();
}

HRESULT CInput::Init(InputEventQueue* source, const ButtonMaps& defaults) {
    defaults_ = defaults;
    current_ = defaults;
    return CreateDevices(source);
}

HRESULT CInput::CreateDevices(InputEventQueue* source) {
    source_ = source;
    present_.fill(0);
    if (source_ == nullptr) {
        return E_FAIL;
    }
    for (int d = 0; d < kInputDeviceCount; ++d) {
        present_[d] = source_->Present(static_cast<InputDeviceIndex>(d)) ? 1 : 0;
    }
    return S_OK;
}

void CInput::ReleaseDevices() {
    source_ = nullptr;
    present_.fill(0);
}

void CInput::ReadDevice(int device, std::uint32_t* deviceMask) {
    InputEvent e;
    while (source_->PopDevice(static_cast<InputDeviceIndex>(device), &e)) {
        if (device == 0 && e.kind == InputEventKind::Axis) {
            // Only the exact ends of the range count as a direction.
            int lo = e.code == kJoypadAxisX ? kInputLeft : kInputUp;
            int hi = e.code == kJoypadAxisX ? kInputRight : kInputDown;
            if (e.code != kJoypadAxisX && e.code != kJoypadAxisY) {
                continue;
            }
            (e.code == kJoypadAxisX ? axisX_ : axisY_) = e.value;
            if (e.value == kAxisMin) {
                held_[lo] = 1;
            } else if (e.value == kAxisMax) {
                held_[hi] = 1;
            } else {
                held_[lo] = 0;
                held_[hi] = 0;
            }
            continue;
        }
        if (e.kind != InputEventKind::Button || e.code < 0 || e.code > 255) {
            continue;
        }
        int down = e.down ? 1 : 0;
        if (device == 1) {
            switch (e.code) {
            case kArrowLeft:
                held_[kInputLeft] = down;
                continue;
            case kArrowRight:
                held_[kInputRight] = down;
                continue;
            case kArrowUp:
                held_[kInputUp] = down;
                continue;
            case kArrowDown:
                held_[kInputDown] = down;
                continue;
            default:
                break;
            }
        }
        if (!HasButtonName(device, e.code)) {
            continue;
        }
        if (down) {
            *deviceMask |= 1u << device;
        }
        auto bound = current_[device].find(e.code);
        if (bound != current_[device].end() && bound->second >= 0 &&
            bound->second < kActionTriggerCount) {
            held_[bound->second] = down;
        }
        rawHeld_[device * 256 + e.code] = down;
    }
}

std::uint32_t CInput::Repeat(int held, int& state, CStopwatch& watch) {
    if (!held) {
        state = 0;
        return 0;
    }
    switch (state) {
    case 0:
        watch.MarkStart();
        state = 1;
        return 1;
    case 1:
        if (watch.SampleElapsed() > kRepeatDelay) {
            watch.MarkStart();
            state = 2;
        }
        return 0;
    default:
        if (watch.SampleElapsed() > kRepeatInterval) {
            watch.MarkStart();
            return 1;
        }
        return 0;
    }
}

void CInput::Poll(std::uint32_t* triggers, std::uint32_t* rawTriggers, std::uint32_t* deviceMask,
                  int enable) {
    *deviceMask = 0;
    if (enable != 0 && source_ != nullptr) {
        for (int d = 0; d < kInputDeviceCount; ++d) {
            if (present_[d]) {
                ReadDevice(d, deviceMask);
            }
        }
    }
    for (int a = kFirstInputAction; a <= kLastInputAction; ++a) {
        int i = a - kFirstInputAction;
        triggers[a] = Repeat(held_[a], actionState_[i], actionWatches_[i]);
    }
    for (int d = 0; d < kInputDeviceCount; ++d) {
        int n = 0;
        for (const auto& [code, name] : names_[d]) {
            int k = d * 256 + code;
            rawTriggers[k] = Repeat(rawHeld_[k], rawState_[k], buttonWatches_[d][n]);
            ++n;
        }
    }
}

void CInput::ClearHeld() {
    held_.fill(0);
    rawHeld_.fill(0);
}

const std::string& CInput::ButtonName(int device, int code) const {
    if (!ValidDevice(device)) {
        return EmptyName();
    }
    auto it = names_[device].find(code);
    return it == names_[device].end() ? EmptyName() : it->second;
}

bool CInput::HasButtonName(int device, int code) const {
    return ValidDevice(device) && names_[device].count(code) != 0;
}

void CInput::GetButtonNames(int device, ButtonNames& out) const {
    if (ValidDevice(device)) {
        out = names_[device];
    }
}

int CInput::RawHeld(int device, int code) const {
    if (!ValidDevice(device) || code < 0 || code > 255) {
        return 0;
    }
    return rawHeld_[device * 256 + code];
}

void CInput::ResetDevice(int device, ButtonMaps& appMaps) {
    if (!ValidDevice(device)) {
        return;
    }
    current_[device] = defaults_[device];
    if (&appMaps[device] != &current_[device]) {
        appMaps[device] = defaults_[device];
    }
}

void CInput::ResetAll(ButtonMaps& appMaps) {
    for (int d = 0; d < kInputDeviceCount; ++d) {
        ResetDevice(d, appMaps);
    }
}

std::string ComposeInputSettings(const ButtonMaps& maps) {
    std::string text = "//SettingStart\r\n";
    for (int d = 0; d < kInputDeviceCount; ++d) {
        text += std::to_string(d) + "\r\n// ";
        for (const auto& [code, action] : maps[d]) {
            text += std::to_string(code) + " " + std::to_string(action) + " ";
        }
        text += "//\r\n";
    }
    text += "//SettingEnd";
    return text;
}

void ParseInputSettings(const std::vector<std::string>& tokens, ButtonMaps& maps) {
    const std::size_t n = tokens.size();
    std::size_t i = 1; // the opening token
    while (i < n) {
        if (tokens[i] == "//SettingEnd") {
            i += 2; // the end mark and the token after it
            continue;
        }
        const std::string& device = tokens[i];
        int d = device == "0" ? 0 : device == "1" ? 1 : device == "2" ? 2 : -1;
        i += 2; // the index and the opening "//"
        while (i < n && tokens[i] != "//") {
            if (i + 1 >= n) {
                i = n;
                break;
            }
            if (tokens[i + 1] == "//") {
                ++i; // a code without its action: dropped, the "//" closes
                break;
            }
            std::int32_t code = 0;
            std::int32_t action = 0;
            bool ok = ScanInt(tokens[i], code) && ScanInt(tokens[i + 1], action);
            if (ok && d >= 0) {
                maps[d].emplace(code, action);
            }
            i += 2;
        }
        ++i; // the closing "//"
    }
}

bool CInput::LoadSettings(CDatArchive& reader, std::string_view fileName) {
    TokenList tokens;
    std::string path = std::string(kIniFolder) + std::string(fileName);
    if (Failed(reader.ReadTokens({}, path, tokens))) {
        current_ = defaults_;
        return false;
    }
    for (ButtonMap& m : current_) {
        m.clear();
    }
    ParseInputSettings(tokens, current_);
    return true;
}

bool CInput::SaveSettings(CDatArchive& reader, std::string_view fileName) const {
    TokenList tokens = SplitTokens(ComposeInputSettings(current_));
    std::string path = std::string(kIniFolder) + std::string(fileName);
    return reader.WriteTokens(path, tokens) != E_FAIL;
}

} // namespace quolis
