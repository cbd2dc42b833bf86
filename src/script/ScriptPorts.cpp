#include "script/ScriptPorts.h"

namespace quolis {

HRESULT MemoryScriptStorage::ReadScript(std::string_view name, TokenList& out) {
    out.clear();
    auto it = scripts.find(std::string(name));
    if (it == scripts.end()) {
        return E_FAIL;
    }
    out = it->second;
    return S_OK;
}

HRESULT MemoryScriptStorage::ReadPlain(std::string_view gamePath, TokenList& out) {
    out.clear();
    auto it = files.find(std::string(gamePath));
    if (it == files.end()) {
        return E_FAIL;
    }
    out = it->second;
    return S_OK;
}

HRESULT MemoryScriptStorage::WritePlain(std::string_view gamePath, TokenList& tokens) {
    if (failWrites) {
        return E_FAIL;
    }
    files[std::string(gamePath)] = tokens;
    return S_OK;
}

} // namespace quolis
