#pragma once
// Script storage on the game's content reader: scripts from
// "GameData\Text\Text.Dat" (or loose files under "GameData\Text\"), script
// save data as plain token files.
#include "script/ScriptPorts.h"

namespace quolis {

class DatScriptStorage final : public ScriptStorage {
public:
    // `content` is the application's content reader.
    explicit DatScriptStorage(CDatArchive& content) : content_(content) {}

    HRESULT ReadScript(std::string_view name, TokenList& out) override;
    HRESULT ReadPlain(std::string_view gamePath, TokenList& out) override;
    // Creates the folder when it is missing ("savedata" is not shipped with
    // every copy of the game), then replaces the file atomically.
    HRESULT WritePlain(std::string_view gamePath, TokenList& tokens) override;

private:
    CDatArchive& content_;
};

} // namespace quolis
