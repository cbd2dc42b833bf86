#pragma once
// Where the texture cache gets its image bytes: members of
// "GameData\Texture\Texture.Dat" read in memory, or loose files.
#include "common/Status.h"
#include "data/DatArchive.h"

#include <string>
#include <string_view>

namespace quolis {

class TextureFiles {
public:
    virtual ~TextureFiles() = default;
    // The bytes of the texture file `name` ("…\Texture\" + name in plain mode).
    virtual HRESULT Read(std::string_view directory, std::string_view name, ByteBuffer& out) = 0;
};

// Loose files: the directory followed by the name; when that cannot be
// opened, the name's final component in the game's working folder.
class LooseTextureFiles final : public TextureFiles {
public:
    HRESULT Read(std::string_view directory, std::string_view name, ByteBuffer& out) override;
};

// The content reader: archive members in archive mode, loose files (as
// LooseTextureFiles) otherwise.
class ArchiveTextureFiles final : public TextureFiles {
public:
    static constexpr const char* kArchivePath = "GameData\\Texture\\Texture.Dat";
    explicit ArchiveTextureFiles(CDatArchive& archive) : archive_(archive) {}
    HRESULT Read(std::string_view directory, std::string_view name, ByteBuffer& out) override;

private:
    CDatArchive& archive_;
};

} // namespace quolis
