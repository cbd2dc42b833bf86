#pragma once
// The drawing device: exactly the operations the game draws with. GlDevice
// (OpenGL 3.3) draws them; RecordingDevice only records them for tests.
// Matrices are row-vector, left-handed (the game's convention); any conversion
// happens inside the implementation.
#include "gfxutil/Math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quolis {

// Colour as packed 0xAARRGGBB.
using Argb = std::uint32_t;

constexpr Argb MakeArgb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (Argb(a & 255) << 24) | (Argb(r & 255) << 16) | (Argb(g & 255) << 8) | Argb(b & 255);
}

struct ColorF {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ColorF&) const = default;
};

struct Material {
    ColorF diffuse;
    ColorF ambient;
    ColorF specular;
    ColorF emissive;
    float power = 0;
    bool operator==(const Material&) const = default;
};

// A directional light.
struct Light {
    Vec3 direction{0, 0, 1};
    ColorF diffuse;
    ColorF specular;
    ColorF ambient;
    bool operator==(const Light&) const = default;
};

enum class CullMode { None, Clockwise, CounterClockwise };
enum class TransformKind { World, View, Projection };

// Pre-transformed screen-space vertex (pixels of the 800 × 600 back buffer,
// z in 0…1, rhw), with colour and one texture coordinate pair.
struct VertexScreen {
    float x, y, z, rhw;
    Argb color;
    float u, v;
};

// Position, normal, texture coordinates (meshes, floor quads).
struct VertexLit {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// Position, colour, texture coordinates (the cell cursor).
struct VertexColored {
    float x, y, z;
    Argb color;
    float u, v;
};

enum class VertexFormat { Screen, Lit, Colored };

std::size_t VertexStride(VertexFormat f);

// Handles: 0 means "none".
using TextureId = std::uint32_t;
using BufferId = std::uint32_t;

// The render states every caller may rely on after ApplyDefaultStates():
// counter-clockwise culling, lighting on, flat shading, depth test and write
// on, alpha blending (source alpha, inverse source alpha) on, point filtering,
// texture × diffuse for colour and alpha.
class Device {
public:
    virtual ~Device() = default;

    // --- frame -----------------------------------------------------------
    // Clears colour (opaque black) and depth (1.0) and begins the scene.
    virtual void BeginFrame() = 0;
    // Ends the scene and presents the back buffer.
    virtual void EndFrame() = 0;
    virtual int Width() const { return 800; }
    virtual int Height() const { return 600; }

    // --- states ----------------------------------------------------------
    virtual void ApplyDefaultStates() = 0;
    virtual void SetAlphaBlend(bool on) = 0;
    virtual void SetCullMode(CullMode mode) = 0;
    virtual void SetDepthTest(bool on) = 0;
    virtual void SetLighting(bool on) = 0;

    // --- transforms, light, material --------------------------------------
    virtual void SetTransform(TransformKind kind, const Mat4& m) = 0;
    virtual void SetLight(int index, const Light& light) = 0;
    virtual void EnableLight(int index, bool on) = 0;
    virtual void SetMaterial(const Material& m) = 0;

    // --- textures --------------------------------------------------------
    // Creates a texture from 0xAARRGGBB pixels, rows top to bottom. Returns 0
    // when it cannot be created.
    virtual TextureId CreateTexture(int width, int height, const Argb* pixels) = 0;
    // Creates a texture of white pixels whose alpha is given, one byte a
    // pixel, rows top to bottom: it samples as a CreateTexture texture of the
    // pixels 0xAAFFFFFF would. Text is kept so, in a quarter of the memory on
    // a device that stores it as it comes; this default makes those pixels.
    virtual TextureId CreateAlphaTexture(int width, int height, const std::uint8_t* alpha);
    virtual void ReleaseTexture(TextureId id) = 0;
    // Texture stage 0; 0 draws untextured (diffuse only).
    virtual void SetTexture(TextureId id) = 0;

    // --- buffers and drawing -----------------------------------------------
    // A buffer pair holding vertices of one format and 16-bit indices.
    // Dynamic buffers are rewritten often (screen quads); static ones are built
    // once (floor lists).
    virtual BufferId CreateBuffers(VertexFormat format, std::size_t maxVertices,
                                   std::size_t maxIndices, bool dynamic) = 0;
    virtual void ReleaseBuffers(BufferId id) = 0;
    // Replaces the content of a buffer pair (vertex bytes in its format).
    virtual bool UpdateBuffers(BufferId id, const void* vertices, std::size_t vertexCount,
                               const std::uint16_t* indices, std::size_t indexCount) = 0;
    // Draws an indexed triangle list from a buffer pair: `triangleCount`
    // triangles starting at index `startIndex`.
    virtual void DrawIndexed(BufferId id, std::size_t startIndex, std::size_t triangleCount) = 0;

    // Convenience for transient geometry: draws an indexed triangle list from
    // caller memory (implemented with a dynamic buffer).
    virtual void DrawIndexedUP(VertexFormat format, const void* vertices, std::size_t vertexCount,
                               const std::uint16_t* indices, std::size_t indexCount) = 0;

    // --- read-back ---------------------------------------------------------
    // Copies the back buffer (0xAARRGGBB, rows top to bottom). False where the
    // device has no pixels (the recording device).
    virtual bool ReadBackBuffer(std::vector<Argb>& out) {
        out.clear();
        return false;
    }
};

} // namespace quolis
