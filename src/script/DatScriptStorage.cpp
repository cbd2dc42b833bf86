#include "script/DatScriptStorage.h"

#include "common/Path.h"

#include <filesystem>
#include <system_error>

namespace quolis {

HRESULT DatScriptStorage::ReadScript(std::string_view name, TokenList& out) {
    if (content_.Archived()) {
        return content_.ReadTokens("GameData\\Text\\Text.Dat", name, out);
    }
    return content_.ReadTokens({}, "GameData\\Text\\" + std::string(name), out);
}

HRESULT DatScriptStorage::ReadPlain(std::string_view gamePath, TokenList& out) {
    CDatArchive plain(false, false);
    return plain.ReadTokens({}, gamePath, out);
}

HRESULT DatScriptStorage::WritePlain(std::string_view gamePath, TokenList& tokens) {
    const std::filesystem::path host(HostWritePath(gamePath));
    std::error_code ec;
    if (host.has_parent_path()) {
        std::filesystem::create_directories(host.parent_path(), ec);
    }
    CDatArchive plain(false, false);
    return plain.WriteTokens(gamePath, tokens);
}

} // namespace quolis
