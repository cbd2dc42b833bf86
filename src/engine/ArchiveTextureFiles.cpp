// Kept apart from the loose-file reader so that only programs that read the
// archive link the archive reader.
#include "engine/TextureFiles.h"

namespace quolis {

HRESULT ArchiveTextureFiles::Read(std::string_view directory, std::string_view name,
                                  ByteBuffer& out) {
    out.clear();
    if (archive_.Archived()) {
        return archive_.ReadMember(kArchivePath, name, out);
    }
    LooseTextureFiles loose;
    return loose.Read(directory, name, out);
}

} // namespace quolis
