#pragma once
// A scratch folder that is the game's working folder for one test.
#include "common/Path.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quolis::testing_util {

class ScratchRoot {
public:
    ScratchRoot() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "quolis-data-XXXXXX").string();
        char* made = ::mkdtemp(tmpl.data());
        dir_ = made ? std::string(made) : std::string();
        previous_ = GameRoot();
        SetGameRoot(dir_);
    }
    ~ScratchRoot() {
        SetGameRoot(previous_);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Host(const std::string& rel) const { return dir_ + "/" + rel; }

    void Write(const std::string& rel, const std::string& bytes) const {
        std::filesystem::path p(Host(rel));
        std::filesystem::create_directories(p.parent_path());
        std::ofstream f(p, std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const std::string& rel) const {
        std::ifstream f(Host(rel), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& rel) const { return std::filesystem::exists(Host(rel)); }
    std::size_t FileCount(const std::string& rel) const {
        std::size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(Host(rel))) {
            (void)e;
            ++n;
        }
        return n;
    }

private:
    std::string dir_;
    std::string previous_;
};

} // namespace quolis::testing_util
