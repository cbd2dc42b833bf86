// Scratch folders and machine requirements shared by the test programs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace quolis::testsupport {

// A new empty folder "quolis-<tag>-XXXXXX" under the temporary directory,
// unique on the machine (mkdtemp): tests of other build trees and of parallel
// ctest runs never share it. Empty when it cannot be made.
inline std::filesystem::path MakeScratchDir(std::string_view tag) {
    std::string tmpl =
        (std::filesystem::temp_directory_path() / ("quolis-" + std::string(tag) + "-XXXXXX"))
            .string();
    const char* made = ::mkdtemp(tmpl.data());
    return made != nullptr ? std::filesystem::path(made) : std::filesystem::path();
}

// True on the CI runner (CI=true): there everything the tests need is
// installed, so a missing piece is a failure, never a skip.
inline bool RequiredInCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

} // namespace quolis::testsupport

// Skips the current test for a missing machine capability (OpenGL, a font, a
// soundfont, a locale), or fails it on the CI runner. `message` may stream.
#define QUOLIS_SKIP_UNLESS_CI(message)                                                             \
    do {                                                                                           \
        if (::quolis::testsupport::RequiredInCi()) {                                               \
            GTEST_FAIL() << message << " (required when CI=true)";                                 \
        }                                                                                          \
        GTEST_SKIP() << message;                                                                   \
    } while (0)
