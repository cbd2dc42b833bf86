// Feeds arbitrary bytes to the X-file reader; a result must be self-consistent.
#include "gfxutil/XFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quolis::XMesh mesh;
    if (quolis::ReadXFile(data, size, mesh)) {
        if (mesh.indices.size() % 3 != 0 || mesh.faceMaterials.size() * 3 != mesh.indices.size())
            std::abort();
        for (auto i : mesh.indices)
            if (i >= mesh.vertices.size())
                std::abort();
        for (auto f : mesh.faceMaterials)
            if (f >= mesh.materials.size())
                std::abort();
        quolis::SortXFacesByMaterial(mesh);
    }
    return 0;
}
