#include "app/SoakInput.h"
#include "app/WindowMenu.h"
#include "input/KeyConfig.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace quolis {
namespace {

// Everything a run of `passes` passes produced, one line per event or command.
std::string DriveFor(SoakInput& soak, int passes, std::vector<int>* allCommands = nullptr) {
    InputEventQueue queue;
    std::ostringstream out;
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<int> commands;
        soak.Drive(queue, commands);
        InputEvent e;
        for (int d = 0; d < kInputDeviceCount; ++d) {
            while (queue.PopDevice(static_cast<InputDeviceIndex>(d), &e)) {
                out << pass << ' ' << d << ' ' << e.code << ' ' << e.down << ' ' << e.value << '\n';
            }
        }
        while (queue.PopWindow(&e)) {
            out << pass << " w " << e.x << ' ' << e.y << '\n';
        }
        for (int id : commands) {
            out << pass << " M " << id << '\n';
            if (allCommands != nullptr) {
                allCommands->push_back(id);
            }
        }
    }
    return out.str();
}

TEST(SoakInput, OneSeedRepeatsTheRunAndAnotherDoesNot) {
    SoakInput a(7, DefaultButtonMaps()), b(7, DefaultButtonMaps()), c(8, DefaultButtonMaps());
    std::string ra = DriveFor(a, 3000);
    EXPECT_FALSE(ra.empty());
    EXPECT_EQ(ra, DriveFor(b, 3000));
    EXPECT_NE(ra, DriveFor(c, 3000));
}

TEST(SoakInput, PressesPairWithReleasesAndReachEveryBinding) {
    SoakInput soak(3, DefaultButtonMaps());
    InputEventQueue queue;
    std::map<std::pair<int, int>, bool> down;
    std::set<std::pair<int, int>> pressed;
    int maxHeld = 0;
    for (int pass = 0; pass < 60000; ++pass) {
        std::vector<int> commands;
        soak.Drive(queue, commands);
        InputEvent e;
        for (int d = 0; d < kInputDeviceCount; ++d) {
            while (queue.PopDevice(static_cast<InputDeviceIndex>(d), &e)) {
                if (e.kind != InputEventKind::Button) {
                    continue;
                }
                auto key = std::make_pair(d, e.code);
                // Never pressed twice without a release, never released unpressed.
                ASSERT_NE(down[key], e.down) << "pass " << pass << " code " << e.code;
                down[key] = e.down;
                if (e.down) {
                    pressed.insert(key);
                }
            }
        }
        int held = 0;
        for (const auto& [key, isDown] : down) {
            held += isDown ? 1 : 0;
        }
        maxHeld = std::max(maxHeld, held);
    }
    EXPECT_LE(maxHeld, 4);
    EXPECT_GE(maxHeld, 2); // chords happen
    ButtonMaps maps = DefaultButtonMaps();
    for (int d = 0; d < kInputDeviceCount; ++d) {
        for (const auto& [code, action] : maps[static_cast<std::size_t>(d)]) {
            EXPECT_TRUE(pressed.count({d, code})) << "device " << d << " code " << code;
        }
    }
}

TEST(SoakInput, ChoosesEveryMenuItemButQuit) {
    SoakInput soak(11, DefaultButtonMaps());
    std::vector<int> commands;
    DriveFor(soak, 200000, &commands);
    std::set<int> chosen(commands.begin(), commands.end());
    EXPECT_EQ(chosen.count(kCmdQuit), 0u);
    for (const MenuGroup& group : WindowMenu()) {
        for (const MenuItem& item : group.items) {
            if (item.id != kCmdQuit) {
                EXPECT_TRUE(chosen.count(item.id)) << item.id;
            }
        }
    }
    EXPECT_EQ(soak.Commands(), commands.size());
}

TEST(SoakInput, KeyConfigurationWindowIsAlwaysClosedAgain) {
    SoakInput soak(5, DefaultButtonMaps());
    InputEventQueue queue;
    std::set<int> clicked;
    for (int opening = 0; opening < 20; ++opening) {
        bool closed = false;
        for (int pass = 0; pass < 240 && !closed; ++pass) {
            std::vector<int> clicks;
            soak.DriveKeyConfig(queue, clicks);
            for (int id : clicks) {
                EXPECT_GE(id, kKcJoypadDefault);
                EXPECT_LE(id, kKcAbort);
                clicked.insert(id);
                closed = closed || id == kKcClose || id == kKcAbort;
            }
        }
        EXPECT_TRUE(closed) << "opening " << opening;
        std::vector<int> commands;
        soak.Drive(queue, commands); // back in the game: the next opening counts anew
        queue.Clear();
    }
    EXPECT_GT(clicked.size(), 10u); // value boxes and default buttons, not only closing
}

} // namespace
} // namespace quolis
