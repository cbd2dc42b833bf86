#pragma once
// Reader for DirectX mesh files (text "xof 0303txt" and binary "xof 0303bin",
// 32- or 64-bit floats; compressed files are refused): every Mesh in the
// file, including those nested in Frames (with their FrameTransformMatrix
// applied), merged into one triangle mesh with per-face materials. Polygons
// are triangulated as fans; meshes without MeshNormals get normals computed
// from their faces, meshes without MeshTextureCoords get (0, 0). Anything the
// reader does not understand in a malformed file makes the load fail; it never
// reads outside the given bytes.
#include "gfxutil/Math.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quolis {

struct XColor {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const XColor&) const = default;
};

struct XMaterial {
    XColor diffuse{1, 1, 1, 1}; // faceColor
    float power = 0;
    XColor specular{0, 0, 0, 1};
    XColor emissive{0, 0, 0, 1};
    std::string textureFile; // TextureFilename, empty when none
};

// Same layout as the device's position-normal-texture vertex.
struct XVertex {
    Vec3 position;
    Vec3 normal;
    float u = 0, v = 0;
};

struct XMesh {
    std::vector<XVertex> vertices;
    // Three vertex indices per triangle, clockwise front faces.
    std::vector<std::uint32_t> indices;
    // Material index per triangle (into `materials`).
    std::vector<std::uint32_t> faceMaterials;
    std::vector<XMaterial> materials;
    bool hadNormals = false;   // every mesh carried MeshNormals
    bool hadTexCoords = false; // every mesh carried MeshTextureCoords

    std::size_t TriangleCount() const { return indices.size() / 3; }
};

// Limits that keep a hostile file from asking for absurd amounts of memory.
constexpr std::size_t kXMaxVertices = 65535; // the device draws 16-bit indices
constexpr std::size_t kXMaxFaceCorners = 1u << 22;

// Parses an X file held in memory. On failure `out` is left empty and the
// reason is written to `error` when given.
bool ReadXFile(const std::uint8_t* data, std::size_t size, XMesh& out,
               std::string* error = nullptr);

// Face normals (cross product of the clockwise edges), area-weighted onto the
// vertices, normalised.
void ComputeXNormals(XMesh& mesh);

// Sorts the triangles by material (stable), so each material's faces form one
// contiguous range: the attribute sort before drawing by subset.
void SortXFacesByMaterial(XMesh& mesh);

// Sphere centred on the mean of the vertices that holds every vertex.
void ComputeXBoundingSphere(const XMesh& mesh, Vec3& centre, float& radius);

} // namespace quolis
