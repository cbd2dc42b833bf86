#pragma once
// 2-D drawing: the process-wide texture cache and CPolygon, one textured quad
// in screen pixels, with its animated and scrolling forms.
#include "engine/SceneObject.h"
#include "engine/TextureFiles.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quolis {

class CPolygon : public CSceneObject {
public:
    CPolygon();

    // --- texture cache (one per scene) -------------------------------------
    // Stores the texture directory ("GameData\Texture\"), the device and the
    // byte source, empties the cache and creates the shared quad buffers.
    static HRESULT InitTextures(std::string directory, Device* device, TextureFiles* files);
    // Releases the shared buffers and every cached texture.
    static void ReleaseTextures();
    // The cached texture, loading it first when absent; E_FAIL when it cannot
    // be loaded (*out is 0 then).
    static HRESULT GetTexture(std::string_view name, TextureId* out);
    // Loads and caches one texture; E_FAIL when cached already or unreadable.
    // A name that failed (and "Nothing") fails at once until the cache is
    // released.
    static HRESULT LoadTexture(std::string_view name);
    // Releases the entry keyed directory + name (E_FAIL when there is none).
    static HRESULT UnloadTexture(std::string_view name);
    static std::size_t CachedTextureCount();
    static bool IsTextureCached(std::string_view name);
    static Device* TextureDevice();
    // The shared buffers: pre-transformed quad, 3-D quad (position, normal,
    // uv) and coloured 3-D quad; four vertices and the indices 0 1 2 0 2 3.
    static BufferId QuadBuffers();
    static BufferId Quad3DBuffers();
    static BufferId ColouredQuadBuffers();
    static const std::uint16_t* QuadIndices();

    // One pre-transformed quad through the shared buffers (top-left anchor).
    static void DrawScreenQuad(const Vec3& pos, const Vec3& size, const UVRect& uv, Argb colour,
                               TextureId texture, bool depthTest);

    // --- the quad -----------------------------------------------------------
    HRESULT Setup(float x, float y, float z, float width, float height, float depth, int alpha,
                  int depthTest) override;
    HRESULT Draw() override;
    void SetPos(float x, float y, float z) override { pos_ = {x, y, z}; }
    Vec3 GetPos() const override { return pos_; }
    void AddPos(float dx, float dy, float dz) override { pos_ += Vec3{dx, dy, dz}; }
    void MovePos(float dx, float dy, float dz) override { pos_ += Vec3{dx, dy, dz}; }
    void SetSize(float width, float height, float depth) override {
        size_ = {width, height, depth};
    }
    Vec3 GetSize() const override { return size_; }
    void SetUV(float u0, float v0, float u1, float v1) override { uv_ = {u0, v0, u1, v1}; }
    void SetRect(float u0, float v0, float u1, float v1) override { uv_ = {u0, v0, u1, v1}; }
    void AddUV(float du0, float dv0, float du1, float dv1) override {
        uv_ = {uv_.u0 + du0, uv_.v0 + dv0, uv_.u1 + du1, uv_.v1 + dv1};
    }
    UVRect GetUV() const override { return uv_; }

    // "Nothing" removes the texture; any other name takes it from the cache
    // (loading it); when that fails the previous texture stays. The name is
    // stored in either case.
    HRESULT SetTextureName(std::string_view name);
    // Uses a texture directly (scripts).
    void SetTexturePointer(TextureId texture) { texture_ = texture; }

    int DepthTest() const { return depthTest_; }
    void SetDepthTest(int flag) { depthTest_ = flag; }
    int Created() const { return created_; }

protected:
    int depthTest_ = 0;
    int created_ = 0;
};

// A quad that steps through a list of texture rectangles on its stopwatch.
class CAnimPolygon : public CPolygon {
public:
    void SetupAnimated(const std::vector<UVRect>& rects, float frameTime, float x, float y, float z,
                       float width, float height, float depth, int alpha, int depthTest);
    // Once the frame time has passed: show the current rectangle, move to the
    // next (looping) and set the mark.
    void UpdateAnimated();
    std::size_t CurrentIndex() const { return index_; }

private:
    std::vector<UVRect> rects_;
    std::size_t index_ = 0;
    float frameTime_ = 0;
    CStopwatch watch_;
};

// A quad whose texture slides by a step every frame.
class CScrollPolygon : public CPolygon {
public:
    void SetScroll(float du, float dv) {
        du_ = du;
        dv_ = dv;
    }
    void UpdateScroll() {
        if (IsEnabled()) {
            AddUV(du_, dv_, du_, dv_);
        }
    }

private:
    float du_ = 0.05f;
    float dv_ = 0;
};

} // namespace quolis
