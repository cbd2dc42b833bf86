// Helpers shared by fuzz targets that read their input from disk: a private
// game folder under the temporary directory, and a check that aborts (so the
// fuzzer reports it) with the failing line.
#pragma once

#include "common/Path.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace quolis::fuzz {

// Made at the first call as quolis-fuzz-<name>-XXXXXX (with `subfolder`
// inside, if given), set as the game root and removed at exit. Later calls
// return the same folder.
inline const std::string& TempGameRoot(const char* name, const char* subfolder = nullptr) {
    static const std::string dir = [name, subfolder] {
        std::string tmpl = (std::filesystem::temp_directory_path() /
                            (std::string("quolis-fuzz-") + name + "-XXXXXX"))
                               .string();
        if (::mkdtemp(tmpl.data()) == nullptr) {
            std::abort();
        }
        if (subfolder != nullptr) {
            std::filesystem::create_directories(tmpl + "/" + subfolder);
        }
        SetGameRoot(tmpl);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(GameRoot(), ec);
        });
        return tmpl;
    }();
    return dir;
}

inline void Check(bool ok, int line) {
    if (!ok) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

} // namespace quolis::fuzz

#define CHECK(x) ::quolis::fuzz::Check((x), __LINE__)
