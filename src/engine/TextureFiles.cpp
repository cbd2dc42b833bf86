#include "engine/TextureFiles.h"

#include "common/Path.h"
#include "common/Text.h"

#include <fstream>
#include <iterator>

namespace quolis {
namespace {

// Files larger than this are not textures; refuse them instead of reading.
constexpr std::streamoff kMaxTextureFile = 64 << 20;

bool ReadWhole(const std::string& hostPath, ByteBuffer& out) {
    std::ifstream f(hostPath, std::ios::binary);
    if (!f) {
        return false;
    }
    f.seekg(0, std::ios::end);
    std::streamoff size = f.tellg();
    if (size < 0 || size > kMaxTextureFile) {
        return false;
    }
    f.seekg(0, std::ios::beg);
    out.resize(static_cast<std::size_t>(size));
    if (size > 0 && !f.read(reinterpret_cast<char*>(out.data()), size)) {
        out.clear();
        return false;
    }
    return true;
}

std::string_view FinalComponent(std::string_view path) {
    // Backslashes are searched on CP932 text: step over double-byte characters
    // so that a trail byte 0x5C is not taken for a separator.
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += SjisCharLen(path, i)) {
        if (path[i] == '\\' || path[i] == '/') {
            start = i + 1;
        }
    }
    return path.substr(start);
}

} // namespace

HRESULT LooseTextureFiles::Read(std::string_view directory, std::string_view name,
                                ByteBuffer& out) {
    out.clear();
    std::string path(directory);
    path += name;
    if (ReadWhole(HostPath(path), out)) {
        return S_OK;
    }
    if (ReadWhole(HostPath(FinalComponent(path)), out)) {
        return S_OK;
    }
    return E_FAIL;
}

} // namespace quolis
