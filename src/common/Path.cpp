#include "common/Path.h"

#include "common/Text.h"

#include <filesystem>
#include <system_error>

namespace quolis {
namespace {
std::string& RootStorage() {
    static std::string root;
    return root;
}
std::string& UserStorage() {
    static std::string root;
    return root;
}

std::string Under(const std::string& root, const std::string& rel) {
    if (root.empty() || (!rel.empty() && rel[0] == '/')) {
        return rel;
    }
    return root.back() == '/' ? root + rel : root + "/" + rel;
}

// "GameData\" at the start of a game path, ASCII letters folded (the
// original's file system ignored their case).
constexpr std::string_view kGameDataPrefix = "GameData\\";
bool StartsWithGameData(std::string_view gamePath) {
    if (gamePath.size() <= kGameDataPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kGameDataPrefix.size(); ++i) {
        char a = gamePath[i], b = kGameDataPrefix[i];
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (fold(a) != fold(b)) {
            return false;
        }
    }
    return true;
}
} // namespace

void SetGameRoot(std::string hostDir) {
    RootStorage() = std::move(hostDir);
}

const std::string& GameRoot() {
    return RootStorage();
}

std::string HostRelativePath(std::string_view gamePath) {
    std::string utf8 = Cp932ToUtf8(gamePath);
    for (char& c : utf8) {
        if (c == '\\') {
            c = '/';
        }
    }
    return utf8;
}

std::string HostPath(std::string_view gamePath) {
    return Under(GameRoot(), HostRelativePath(gamePath));
}

void SetUserRoot(std::string hostDir) {
    UserStorage() = std::move(hostDir);
}

const std::string& UserRoot() {
    return UserStorage();
}

std::string UserHostPath(std::string_view gamePath) {
    const std::string& user = UserRoot();
    if (user.empty() || !StartsWithGameData(gamePath)) {
        return {};
    }
    std::string rel = HostRelativePath(gamePath.substr(kGameDataPrefix.size()));
    // A name that climbs out of the folder ("GameData\..\x") stays beside
    // the data, where it always went.
    if (rel.empty() || rel[0] == '/') {
        return {};
    }
    for (std::size_t start = 0; start <= rel.size();) {
        std::size_t end = rel.find('/', start);
        if (end == std::string::npos) {
            end = rel.size();
        }
        if (rel.compare(start, end - start, "..") == 0) {
            return {};
        }
        start = end + 1;
    }
    return Under(user, rel);
}

std::string HostReadPath(std::string_view gamePath) {
    std::string user = UserHostPath(gamePath);
    std::error_code ec;
    if (!user.empty() && std::filesystem::is_regular_file(user, ec)) {
        return user;
    }
    return HostPath(gamePath);
}

std::string HostWritePath(std::string_view gamePath) {
    std::string user = UserHostPath(gamePath);
    if (user.empty()) {
        return HostPath(gamePath);
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(user).parent_path(), ec);
    return user;
}

std::string ExecutableDir() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    return exe.parent_path().string();
}

} // namespace quolis
