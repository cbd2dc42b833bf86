#pragma once
// A scratch game root for the audio tests: loose files under GameData.
#include "common/Path.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace quolis::testbytes {

class ScratchRoot {
public:
    explicit ScratchRoot(const std::string& tag) {
        root_ = std::filesystem::temp_directory_path() /
                ("quolis_audio_" + tag + "_" + std::to_string(getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        SetGameRoot(root_.string());
    }
    ~ScratchRoot() {
        SetGameRoot("");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    // Writes a file at a game path ("GameData\SE\Key\DirKey.wav").
    void Write(const std::string& gamePath, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::path host = HostPath(gamePath);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream out(host, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    // Every file below the root, relative to it.
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (auto& e : std::filesystem::recursive_directory_iterator(root_)) {
            if (e.is_regular_file()) {
                files.push_back(std::filesystem::relative(e.path(), root_).string());
            }
        }
        return files;
    }
    const std::filesystem::path& Path() const { return root_; }

private:
    std::filesystem::path root_;
};

} // namespace quolis::testbytes
