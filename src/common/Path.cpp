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
    std::string rel = HostRelativePath(gamePath);
    const std::string& root = GameRoot();
    if (root.empty() || (!rel.empty() && rel[0] == '/')) {
        return rel;
    }
    if (root.back() == '/') {
        return root + rel;
    }
    return root + "/" + rel;
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
