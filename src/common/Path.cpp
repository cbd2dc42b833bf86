#include "common/Path.h"

#include "common/Log.h"
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

// "GameData\" at the start of a game path.
constexpr std::string_view kGameDataPrefix = "GameData\\";

bool& FoldingStorage() {
    static bool folding = false;
    return folding;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<unsigned char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<unsigned char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string Join(const std::string& dir, std::string_view name) {
    if (dir.empty()) {
        return std::string(name);
    }
    return dir.back() == '/' ? dir + std::string(name) : dir + "/" + std::string(name);
}
} // namespace

void SetHostPathCaseFolding(bool enabled) {
    FoldingStorage() = enabled;
}

bool HostPathCaseFolding() {
    return FoldingStorage();
}

std::string FoldHostPathCase(const std::string& base, std::string_view rel) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string path = base;
    std::size_t pos = 0;
    bool matching = true; // false once a component had no match
    while (pos <= rel.size()) {
        std::size_t end = rel.find('/', pos);
        if (end == std::string_view::npos) {
            end = rel.size();
        }
        std::string_view part = rel.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == "." || part == ".." || !matching) {
            path = part.empty() ? (path.empty() || path.back() == '/' ? path : path + "/")
                                : Join(path, part);
            continue;
        }
        std::string exact = Join(path, part);
        if (fs::exists(fs::symlink_status(exact, ec))) {
            path = std::move(exact);
            continue;
        }
        // The folder's entries in directory order.
        std::string first;
        int matches = 0;
        for (fs::directory_iterator it(path.empty() ? fs::path(".") : fs::path(path), ec), stop;
             !ec && it != stop; it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (AsciiEqualNoCase(name, part)) {
                if (matches++ == 0) {
                    first = name;
                } else {
                    LogLine("loose files: \"" + name + "\" and \"" + first + "\" in " +
                            (path.empty() ? std::string(".") : path) + " both match \"" +
                            std::string(part) + "\"; using \"" + first + "\"");
                }
            }
        }
        if (matches == 0) {
            matching = false;
            path = std::move(exact);
        } else {
            path = Join(path, first);
        }
    }
    return path;
}

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
    std::string rel = HostRelativePath(gamePath);
    const std::string& root = GameRoot();
    if (!rel.empty() && rel[0] == '/') {
        return FoldingStorage() ? FoldHostPathCase("/", std::string_view(rel).substr(1)) : rel;
    }
    if (FoldingStorage()) {
        return FoldHostPathCase(root, rel);
    }
    if (root.empty()) {
        return rel;
    }
    if (root.back() == '/') {
        return root + rel;
    }
    return root + "/" + rel;
}

void SetUserRoot(std::string hostDir) {
    UserStorage() = std::move(hostDir);
}

const std::string& UserRoot() {
    return UserStorage();
}

std::string UserHostPath(std::string_view gamePath) {
    const std::string& user = UserRoot();
    // ASCII letters folded: the original's file system ignored their case.
    if (user.empty() || gamePath.size() <= kGameDataPrefix.size() ||
        !AsciiEqualNoCase(gamePath.substr(0, kGameDataPrefix.size()), kGameDataPrefix)) {
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
    return Join(user, rel);
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
