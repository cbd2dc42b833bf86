#include "platform/PadNames.h"

namespace quolis {

std::string PadButtonLabel(PadStyle style, int button) {
    static const char* const kXbox[kPadButtonCount] = {"Y",  "B",  "A",  "X",    "LT",
                                                       "RT", "LB", "RB", "Start"};
    static const char* const kPlayStation[kPadButtonCount] = {"△",  "○",  "×",  "□",      "L2",
                                                              "R2", "L1", "R1", "OPTIONS"};
    static const char* const kPlayStation3[kPadButtonCount] = {"△",  "○",  "×",  "□",    "L2",
                                                               "R2", "L1", "R1", "START"};
    static const char* const kNintendo[kPadButtonCount] = {"X",  "A", "B", "Y", "ZL",
                                                           "ZR", "L", "R", "+"};
    if (button < 0 || button >= kPadButtonCount) {
        return {};
    }
    switch (style) {
    case PadStyle::Xbox:
        return kXbox[button];
    case PadStyle::PlayStation:
        return kPlayStation[button];
    case PadStyle::PlayStation3:
        return kPlayStation3[button];
    case PadStyle::Nintendo:
        return kNintendo[button];
    case PadStyle::None:
        break;
    }
    return {};
}

int JoypadButtonOfName(const std::string& name) {
    const std::string prefix = "Button ";
    if (name.size() != prefix.size() + 1 || name.compare(0, prefix.size(), prefix) != 0) {
        return -1;
    }
    char d = name.back();
    return d >= '0' && d <= '8' ? d - '0' : -1;
}

} // namespace quolis
