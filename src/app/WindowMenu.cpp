#include "app/WindowMenu.h"

namespace quolis {

namespace {

constexpr MenuItem kSystem[] = {{"ゲームを終了する", kCmdQuit, 0}};
constexpr MenuItem kKeyConfig[] = {{"キーコンフィグ", kCmdKeyConfig, 0}};
constexpr MenuItem kSpeeds[] = {
    {"0.6倍", kCmdSpeed06, 0.6f}, {"0.8倍", kCmdSpeed08, 0.8f}, {"1.0倍", kCmdSpeed10, 1.0f},
    {"1.2倍", kCmdSpeed12, 1.2f}, {"1.4倍", kCmdSpeed14, 1.4f}, {"1.6倍", kCmdSpeed16, 1.6f},
    {"1.8倍", kCmdSpeed18, 1.8f}, {"2.0倍", kCmdSpeed20, 2.0f}, {"2.2倍", kCmdSpeed22, 2.2f},
    {"2.4倍", kCmdSpeed24, 2.4f}, {"2.6倍", kCmdSpeed26, 2.6f}, {"2.8倍", kCmdSpeed28, 2.8f},
    {"3.0倍", kCmdSpeed30, 3.0f}, {"4.0倍", kCmdSpeed40, 4.0f}, {"5.0倍", kCmdSpeed50, 5.0f}};
constexpr MenuItem kFrameRate[] = {{"フレームレート表示", kCmdFrameRate, 0}};
constexpr MenuItem kSound[] = {{"音楽オン", kCmdMusic, 0}, {"効果音オン", kCmdSoundEffects, 0}};

constexpr MenuGroup kMenu[] = {
    {"システム", false, kSystem},       {"キーコンフィグ", true, kKeyConfig},
    {"ゲームスピード", false, kSpeeds}, {"フレームレート表示", true, kFrameRate},
    {"サウンド", false, kSound},
};

} // namespace

std::span<const MenuGroup> WindowMenu() {
    return kMenu;
}

const MenuItem* SpeedItemById(int id) {
    for (const MenuItem& m : kSpeeds) {
        if (m.id == id) {
            return &m;
        }
    }
    return nullptr;
}

const MenuItem* SpeedItemByFactor(float factor) {
    for (const MenuItem& m : kSpeeds) {
        if (m.factor == factor) {
            return &m;
        }
    }
    return nullptr;
}

} // namespace quolis
