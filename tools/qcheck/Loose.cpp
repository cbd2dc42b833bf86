#include "Checker.h"

#include "common/Text.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quolis::qcheck {

bool WriteLooseTree(const std::string& contentDir, const std::string& gameDataDir,
                    std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* kind : {"Data", "Stage", "Text"}) {
        const fs::path from = fs::path(contentDir) / kind;
        for (auto it = fs::recursive_directory_iterator(from, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_regular_file()) {
                continue;
            }
            std::ifstream in(it->path(), std::ios::binary);
            const std::string utf8((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            bool ok = true;
            const std::string cp932 = Utf8ToCp932(utf8, &ok);
            if (!in || !ok) {
                error = it->path().string() + ": not readable as CP932 text";
                return false;
            }
            const fs::path to = fs::path(gameDataDir) / kind / fs::relative(it->path(), from);
            fs::create_directories(to.parent_path(), ec);
            std::ofstream out(to, std::ios::binary | std::ios::trunc);
            out.write(cp932.data(), static_cast<std::streamsize>(cp932.size()));
            if (!out) {
                error = to.string() + ": cannot be written";
                return false;
            }
        }
        if (ec) {
            error = from.string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

} // namespace quolis::qcheck
