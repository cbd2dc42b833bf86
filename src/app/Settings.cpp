#include "app/Settings.h"

#include "data/Tokens.h"

#include <sstream>

namespace quolis {

namespace {

constexpr const char* kSpeedNames[kSpeedCount] = {
    "SPEED_CHARAMOVE", "SPEED_CAMERAMOVE", "SPEED_CAMERAMOVE2", "SPEED_VARY", "SPEED_SLIDE",
    "SPEED_MESHANIME", "SPEED_FADE",       "SPEED_FADEVOLUME",  "SPEED_WIPE", "SPEED_EFFECT"};

bool IntegerSpeed(int key) {
    return key == kSpeedFade || key == kSpeedFadeVolume;
}

// The motion speeds are fractions of the way per step: never more than all.
bool ClampedSpeed(int key) {
    return key <= kSpeedSlide;
}

} // namespace

const char* SpeedKeyName(int key) {
    return key >= 0 && key < kSpeedCount ? kSpeedNames[key] : "";
}

void ParseGameSettings(const TokenList& tokens, GameSettings& out) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        int* flag = t == "FLAG_MSG"          ? &out.flagMsg
                    : t == "FLAG_BATTLE"     ? &out.flagBattle
                    : t == "FLAG_ALWAYSCORE" ? &out.flagAlwaysCore
                                             : nullptr;
        int speed = -1;
        for (int k = 0; k < kSpeedCount && flag == nullptr; ++k) {
            if (t == kSpeedNames[k]) {
                speed = k;
                break;
            }
        }
        if ((flag == nullptr && speed < 0) || i + 1 >= tokens.size()) {
            continue;
        }
        const std::string& value = tokens[++i];
        if (flag != nullptr) {
            std::int32_t v = *flag;
            if (ScanInt(value, v)) {
                *flag = v;
            }
        } else if (IntegerSpeed(speed)) {
            std::int32_t v = 0;
            if (ScanInt(value, v)) {
                out.raw[speed] = static_cast<float>(v);
            }
        } else {
            ScanFloat(value, out.raw[speed]);
        }
    }
}

void ScaleSpeeds(GameSettings& s, float factor) {
    for (int k = 0; k < kSpeedCount; ++k) {
        float v = k == kSpeedEffect ? s.raw[k] / factor : factor * s.raw[k];
        if (ClampedSpeed(k) && v > 1.0f) {
            v = 1.0f;
        }
        s.scaled[k] = v;
    }
}

TokenList ComposeUserSettings(const UserSettings& s) {
    std::ostringstream text;
    text << "FirstPlay"
         << " " << s.firstPlay << "\n"
         << "GameSpeed"
         << " " << s.gameSpeed << "\n"
         << "EnableFPS"
         << " " << s.enableFps << "\n"
         << "EnableMusic"
         << " " << s.enableMusic << "\n"
         << "EnableSE"
         << " " << s.enableSe << "\n";
    return SplitTokens(text.str());
}

UserSettingsFound ParseUserSettings(const TokenList& tokens, UserSettings& out) {
    UserSettingsFound found;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        int* field = t == "FirstPlay"     ? &out.firstPlay
                     : t == "EnableFPS"   ? &out.enableFps
                     : t == "EnableMusic" ? &out.enableMusic
                     : t == "EnableSE"    ? &out.enableSe
                                          : nullptr;
        if (field != nullptr) {
            std::int32_t v = *field;
            ScanInt(tokens[i + 1], v);
            *field = v;
            (field == &out.firstPlay     ? found.firstPlay
             : field == &out.enableFps   ? found.enableFps
             : field == &out.enableMusic ? found.enableMusic
                                         : found.enableSe) = true;
            ++i;
        } else if (t == "GameSpeed") {
            ScanFloat(tokens[i + 1], out.gameSpeed);
            found.gameSpeed = true;
            ++i;
        }
    }
    return found;
}

} // namespace quolis
