#pragma once
// Keyed quads laid on the floor grid (floor, walls, reach areas), batched by
// texture into static buffers of at most 50 quads, and the cell cursor: a flat
// textured diamond drawn on top of one cell.
#include "engine/SceneObject.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

// What AddQuad is given and the list keeps.
struct QuadRecord {
    Vec3 position; // reference corner p
    Vec3 extent;   // e
    std::string texture;
    int kind = 0; // 0 horizontal diamond, 1 and 2 upright
    int cellX = 0;
    int cellY = 0;
    std::string tag;
    std::string key; // filled in by AddQuad
};

// Cell x and cell y as five decimal digits with leading zeros, then the tag:
// (3, 12, "front") -> "0000300012front".
std::string MakeQuadKey(int cellX, int cellY, std::string_view tag);

// The four corners of a quad (normals up, texture coordinates (0,0) (1,0)
// (1,1) (0,1)); its triangles are (0, 2, 3) and (0, 1, 2).
void MakeQuadVertices(const QuadRecord& quad, VertexLit out[4]);

class CQuadList : public CSceneObject {
public:
    static constexpr int kChunkTriangles = 100; // 50 quads

    // cullMode: 0 cull counter-clockwise faces, 1 clockwise, 2 none. The list
    // draws on the texture cache's device (CPolygon::InitTextures).
    explicit CQuadList(int cullMode);
    ~CQuadList() override;

    // Stores a copy under its key and its texture name; returns 1. A second
    // quad with a key already present is refused (returns 0).
    int AddQuad(const QuadRecord& quad);
    // 1 and the quad's reference corner when a quad has that key; otherwise 0
    // and *position is not written.
    int FindQuad(int cellX, int cellY, std::string_view tag, Vec3* position) const;
    // Releases every chunk and record.
    void ClearQuads();
    // (Re)creates the chunks from every quad added since the last ClearQuads.
    HRESULT BuildQuads();
    HRESULT Draw() override;

    int CullModeValue() const { return cullMode_; }
    const Mat4& WorldMatrix() const { return world_; }
    void SetWorldMatrix(const Mat4& m) { world_ = m; }
    std::size_t QuadCount() const { return byKey_.size(); }
    std::size_t GroupCount() const { return groups_.size(); }
    std::size_t ChunkCount() const;
    // Quads per chunk of the group of `texture`, in chunk order.
    std::vector<int> ChunkQuads(const std::string& texture) const;

private:
    struct Chunk {
        BufferId buffers = 0;
        int triangles = 0;
        int capacity = 0; // remaining, in triangles
        int nextVertex = 0;
    };

    void ReleaseChunks();

    int cullMode_;
    Mat4 world_ = Mat4::Identity();
    std::map<std::string, QuadRecord, std::less<>> byKey_;
    std::multimap<std::string, const QuadRecord*> byTexture_;
    std::map<std::string, std::vector<Chunk>> groups_;
    Device* device_ = nullptr; // the device the chunks were made on
    // Scratch space reused by every build.
    std::vector<VertexLit> vertices_;
    std::vector<std::uint16_t> indices_;
};

// The cell cursor: a diamond of the given size on the cell's floor quad.
class CCellCursor : public CSceneObject {
public:
    CCellCursor() = default;

    // The floor's quad list, set by the battle (class-wide).
    static void SetFloor(const CQuadList* floor) { floor_ = floor; }
    static const CQuadList* Floor() { return floor_; }

    // "Nothing" removes the texture; any other name takes it from the texture
    // cache; when that fails the previous texture stays. The name is kept.
    HRESULT SetTextureName(std::string_view name);
    void SetSize(float width, float height, float depth) override {
        size_ = {width, height, depth};
    }
    Vec3 GetSize() const override { return size_; }
    // Stores the cell and moves the diamond onto the cell's floor quad; a cell
    // without a quad leaves the diamond where it was.
    void SetCell(int x, int y);
    int CellX() const { return cellX_; }
    int CellY() const { return cellY_; }
    const Mat4& LocalMatrix() const { return local_; }
    int DepthTest() const { return depthTest_; }
    void SetDepthTest(int flag) { depthTest_ = flag; }

    HRESULT Draw() override;

private:
    static inline const CQuadList* floor_ = nullptr;
    Mat4 local_ = Mat4::Identity();
    int cellX_ = 0;
    int cellY_ = 0;
    int depthTest_ = 0;
};

} // namespace quolis
