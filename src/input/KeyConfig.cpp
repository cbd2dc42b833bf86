#include "input/KeyConfig.h"

#include "common/Text.h"
#include "data/DatArchive.h"

namespace quolis {

namespace {

const std::string kEmpty;

constexpr int kSectionStart[kInputDeviceCount] = {kKcJoypadStart, kKcKeyboardStart, kKcMouseStart};
constexpr int kSectionDefault[kInputDeviceCount] = {kKcJoypadDefault, kKcKeyboardDefault,
                                                    kKcMouseDefault};

} // namespace

const std::vector<KeyConfigRow>& KeyConfigRows(int device) {
    static const std::vector<KeyConfigRow> kRows[kInputDeviceCount] = {
        {{1004, 1000, kInputDecide},
         {1022, 1007, kInputCancel},
         {1026, 1008, kInputRotateLeft},
         {1027, 1009, kInputRotateRight},
         {1028, 1025, kInputViewDistance},
         {1029, 1005, kInputStart}},
        {{1013, 1010, kInputDecide},
         {1036, 1016, kInputCancel},
         {1033, 1017, kInputRotateLeft},
         {1035, 1038, kInputRotateRight},
         {1043, 1044, kInputViewDistance},
         {1034, 1014, kInputStart}},
        {}};
    static const std::vector<KeyConfigRow> kNone;
    return device >= 0 && device < kInputDeviceCount ? kRows[device] : kNone;
}

const std::vector<int>& KeyConfigSectionBoxes(int device) {
    static const std::vector<int> kBoxes[kInputDeviceCount] = {
        {1000, 1007, 1008, 1009, 1025, 1005, 1006, 1021, 1024},
        {1010, 1016, 1017, 1038, 1044, 1014, 1015, 1040, 1042},
        {1018, 1023}};
    static const std::vector<int> kNone;
    return device >= 0 && device < kInputDeviceCount ? kBoxes[device] : kNone;
}

std::string KeyConfigActionName(int action) {
    switch (action) {
    case kInputDecide:
        return SJ("決定");
    case kInputCancel:
        return SJ("キャンセル");
    case kInputStart:
        return SJ("スタート");
    case kInputRotateLeft:
        return SJ("視点回転・左");
    case kInputRotateRight:
        return SJ("視点回転・右");
    case kInputViewDistance:
        return SJ("視点遠近変更");
    case kInputResetAppCycle:
        return "Reset AppCycle";
    case kInputGotoMenu:
        return "Goto Menu";
    default:
        return std::string();
    }
}

CKeyConfig::CKeyConfig(CInput& input, ButtonMaps& appMaps, CDatArchive& secure, MessageBoxes* boxes,
                       InputEventQueue* source)
    : input_(input), appMaps_(appMaps), secure_(secure), boxes_(boxes), source_(source) {}

void CKeyConfig::Open(std::int64_t nowMs) {
    open_ = true;
    input_.ReleaseDevices();
    input_.CreateDevices(source_);
    focus_ = kKcJoypadStart;
    Refresh();
    EnableButtons(1);
    timerStarted_ = true;
    lastTick_ = nowMs;
}

const std::string& CKeyConfig::Text(int control) const {
    auto it = texts_.find(control);
    return it == texts_.end() ? kEmpty : it->second;
}

bool CKeyConfig::Enabled(int button) const {
    auto it = enabled_.find(button);
    // The close button is never disabled.
    return it == enabled_.end() ? button == kKcClose : it->second;
}

void CKeyConfig::EnableButtons(int flag) {
    for (int d = 0; d < kInputDeviceCount; ++d) {
        bool on = !KeyConfigRows(d).empty() && flag == 1;
        enabled_[kSectionStart[d]] = on;
        enabled_[kSectionDefault[d]] = on;
    }
    bool running = false;
    for (std::uint32_t f : sequence_) {
        running = running || f != 0;
    }
    enabled_[kKcAbort] = running;
    enabled_[kKcAllDefaults] = flag != 0;
    enabled_[kKcClose] = true;
}

void CKeyConfig::Refresh() {
    for (int d = 0; d < kInputDeviceCount; ++d) {
        ButtonNames names;
        input_.GetButtonNames(d, names);
        for (const KeyConfigRow& row : KeyConfigRows(d)) {
            texts_[row.label] = KeyConfigActionName(row.action);
            std::string value;
            for (const auto& [code, action] : appMaps_[d]) {
                if (action == row.action) {
                    auto name = names.find(code);
                    if (name != names.end()) {
                        value = name->second;
                    }
                    break;
                }
            }
            texts_[row.box] = value;
        }
    }
}

void CKeyConfig::Save() {
    input_.SaveSettings(secure_, CInput::kSettingsFile);
    ++saves_;
}

void CKeyConfig::StartSequence(int device) {
    if (sequence_[device] != 0 || KeyConfigRows(device).empty()) {
        return;
    }
    sequence_[device] = 1;
    for (int box : KeyConfigSectionBoxes(device)) {
        texts_[box].clear();
    }
    currentDevice_ = device;
    currentRow_ = 0;
    focus_ = KeyConfigRows(device).front().box;
    EnableButtons(0);
}

void CKeyConfig::Abort() {
    currentDevice_ = -1;
    currentRow_ = -1;
    bool any = false;
    for (std::uint32_t f : sequence_) {
        any = any || f != 0;
    }
    if (!any) {
        return;
    }
    sequence_.fill(0);
    for (ButtonMap& m : pending_) {
        m.clear();
    }
    EnableButtons(1);
    Refresh();
    focus_ = kKcJoypadStart;
}

void CKeyConfig::Click(int id) {
    if (!open_ || !Enabled(id)) {
        return;
    }
    switch (id) {
    case kKcJoypadStart:
        StartSequence(0);
        break;
    case kKcKeyboardStart:
        StartSequence(1);
        break;
    case kKcMouseStart:
        StartSequence(2);
        break;
    case kKcJoypadDefault:
    case kKcKeyboardDefault:
    case kKcMouseDefault:
        input_.ResetDevice(id == kKcJoypadDefault ? 0 : id == kKcKeyboardDefault ? 1 : 2, appMaps_);
        Refresh();
        Save();
        break;
    case kKcAllDefaults:
        input_.ResetAll(appMaps_);
        Refresh();
        Save();
        break;
    case kKcAbort:
        Abort();
        break;
    case kKcClose:
        Close();
        break;
    default:
        break;
    }
}

void CKeyConfig::Advance(std::int64_t nowMs) {
    if (!open_ || !timerStarted_) {
        return;
    }
    if (nowMs - lastTick_ < kTimerMs) {
        return;
    }
    // One tick however long the window was held up (as a window timer).
    lastTick_ = nowMs - lastTick_ >= 2 * kTimerMs ? nowMs : lastTick_ + kTimerMs;
    Tick();
}

void CKeyConfig::Tick() {
    if (!open_) {
        return;
    }
    input_.Poll(triggers_.data(), raw_.data(), &mask_, 1);
    CheckSequence();
}

void CKeyConfig::CheckSequence() {
    int device = -1;
    for (int d = 0; d < kInputDeviceCount; ++d) {
        if (sequence_[d] != 0) {
            device = d;
            break;
        }
    }
    if (device < 0 || device != currentDevice_ || currentRow_ < 0) {
        return;
    }
    if (mask_ == 0 || mask_ != (1u << device)) {
        return;
    }
    const std::vector<KeyConfigRow>& rows = KeyConfigRows(device);
    if (currentRow_ >= static_cast<int>(rows.size())) {
        return;
    }
    int taken = -1;
    for (int code = 0; code < 256; ++code) {
        if (!input_.HasButtonName(device, code) || raw_[device * 256 + code] == 0) {
            continue;
        }
        if (pending_[device].count(code) != 0) {
            ++warnings_;
            if (boxes_ != nullptr) {
                MessageBoxRequest request;
                request.text = SJ("そのボタンは、既に割り当てられています。");
                request.caption = SJ("重複エラー");
                request.buttons = MessageBoxButtons::Ok;
                boxes_->Show(request);
            }
            continue;
        }
        taken = code;
        break;
    }
    if (taken < 0) {
        return;
    }
    const KeyConfigRow& row = rows[currentRow_];
    pending_[device].emplace(taken, row.action);
    texts_[row.box] = input_.ButtonName(device, taken);
    ++currentRow_;
    if (currentRow_ >= static_cast<int>(rows.size())) {
        appMaps_[device] = pending_[device];
        pending_[device].clear();
        input_.SetMaps(appMaps_);
        Save();
        currentRow_ = -1;
        currentDevice_ = -1;
        sequence_[device] = 0;
        EnableButtons(1);
        focus_ = kKcJoypadStart;
    } else {
        focus_ = rows[currentRow_].box;
    }
}

void CKeyConfig::Close() {
    if (!open_) {
        return;
    }
    sequence_.fill(0);
    for (ButtonMap& m : pending_) {
        m.clear();
    }
    currentDevice_ = -1;
    currentRow_ = -1;
    timerStarted_ = false;
    open_ = false;
    input_.ReleaseDevices();
    input_.CreateDevices(source_);
    input_.ClearHeld();
}

} // namespace quolis
