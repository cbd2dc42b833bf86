#pragma once
// The drawing device on OpenGL 3.3 core. The scene is drawn into an
// 800 × 600 offscreen framebuffer (the back buffer); presenting stretches it
// over the window's view area. Shaders reproduce the fixed-function stage the
// game was written for: row-vector transforms, one directional light with
// materials (vertex colour as diffuse source), texture × diffuse for colour
// and alpha, flat shading from the first vertex of each triangle, culling,
// depth test and alpha blending, point filtering, and pre-transformed screen
// vertices with Direct3D's pixel-centre convention. Specular highlights stay
// off, as the game never enables them; normals are renormalised after the
// world transform, so a scaled model is lit like an unscaled one.
#include "platform/Device.h"

#include <epoxy/gl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quolis {

class GlDevice final : public Device {
public:
    // Needs a current OpenGL 3.3 core context. Check Ok() afterwards.
    GlDevice(int width = 800, int height = 600);
    ~GlDevice() override;
    GlDevice(const GlDevice&) = delete;
    GlDevice& operator=(const GlDevice&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }

    // Called by EndFrame to show the back buffer (the host blits and swaps).
    void SetPresenter(std::function<void()> present) { present_ = std::move(present); }
    // The framebuffer object holding the back buffer.
    GLuint BackBufferFramebuffer() const { return fbo_; }
    // Draws the back buffer into the window's framebuffer (0) of the given
    // size at x, y (pixels, y down from the top), width × height; a picture
    // of another size is scaled, with linear filtering when smooth.
    void ShowBackBuffer(int windowWidth, int windowHeight, int x, int y, int width, int height,
                        bool smooth);
    // Whether the back buffer has its depth buffer yet (it is made at the
    // first depth-tested draw).
    bool HasDepthBuffer() const { return depthRb_ != 0; }
    // Called by the host after each picture it presents: waits until that
    // picture is finished before the next one is recorded, as a window's
    // swap on the software renderer (llvmpipe) does. An offscreen window's
    // swap does not wait, and the renderer would queue every picture it is
    // given, each with its binned triangles and a copy of the shader state
    // per draw (in a battle, over 100 MB of them at once).
    void WaitForPresentedFrame();

    // Interface drawing (the window menu and the modal windows), straight
    // into the window over the picture, with the scene's shader. Vertices
    // are laid out as interface libraries lay them out: window pixels whose
    // centres lie on halves, y down, and a colour per vertex (bytes R, G, B,
    // A) blended across each triangle. Each run of triangles has its own
    // texture and clip rectangle.
    struct UiVertex {
        float x, y, u, v;
        std::uint32_t rgba;
    };
    // A texture for the interface, sampled with linear filtering.
    TextureId CreateUiTexture(int width, int height, const Argb* pixels);
    // Starts interface drawing on a window of the given size (pixels).
    void BeginUi(int windowWidth, int windowHeight);
    // The vertices and indices the DrawUi calls after it draw from.
    void SetUiGeometry(const UiVertex* vertices, std::size_t vertexCount,
                       const std::uint16_t* indices, std::size_t indexCount);
    // Draws `count` indices from `first` on with the texture (0: none),
    // clipped to the rectangle at x, y (window pixels, y down).
    void DrawUi(TextureId texture, int clipX, int clipY, int clipWidth, int clipHeight,
                std::size_t first, std::size_t count);
    // Ends interface drawing; the clip rectangle goes.
    void EndUi();

    void BeginFrame() override;
    void EndFrame() override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void ApplyDefaultStates() override;
    void SetAlphaBlend(bool on) override;
    void SetCullMode(CullMode mode) override;
    void SetDepthTest(bool on) override;
    void SetLighting(bool on) override;

    void SetTransform(TransformKind kind, const Mat4& m) override;
    void SetLight(int index, const Light& light) override;
    void EnableLight(int index, bool on) override;
    void SetMaterial(const Material& m) override;

    TextureId CreateTexture(int width, int height, const Argb* pixels) override;
    // One red channel, read as white with that alpha.
    TextureId CreateAlphaTexture(int width, int height, const std::uint8_t* alpha) override;
    void ReleaseTexture(TextureId id) override;
    void SetTexture(TextureId id) override;

    BufferId CreateBuffers(VertexFormat format, std::size_t maxVertices, std::size_t maxIndices,
                           bool dynamic) override;
    void ReleaseBuffers(BufferId id) override;
    bool UpdateBuffers(BufferId id, const void* vertices, std::size_t vertexCount,
                       const std::uint16_t* indices, std::size_t indexCount) override;
    void DrawIndexed(BufferId id, std::size_t startIndex, std::size_t triangleCount) override;
    void DrawIndexedUP(VertexFormat format, const void* vertices, std::size_t vertexCount,
                       const std::uint16_t* indices, std::size_t indexCount) override;

    bool ReadBackBuffer(std::vector<Argb>& out) override;

private:
    void UseWindowProgram(int windowWidth, int windowHeight, bool smooth);
    // How a texture's pixels are given and kept.
    struct TexelLayout {
        GLint internalFormat;
        GLenum format, type;
        GLint rowAlignment;
        const GLint* swizzle; // red, green, blue, alpha sources; nullptr: as stored
    };
    TextureId MakeTexture(int width, int height, const TexelLayout& layout, const void* pixels);
    // The game's textures: their OpenGL names and kinds (see TextureKind).
    struct Texture {
        GLuint name = 0;
        int kind = 0;
    };
    struct Buffers {
        VertexFormat format = VertexFormat::Screen;
        GLuint vao = 0, vbo = 0, ebo = 0;
        std::size_t maxVertices = 0, maxIndices = 0;
        std::size_t vertexCount = 0, indexCount = 0;
        bool dynamic = false;
    };
    struct LightSlot {
        Light light;
        bool set = false;
        bool on = false;
    };

    bool CreateProgram();
    bool CreateBackBuffer();
    void AddDepthBuffer();
    void CreateVertexArray(Buffers& b);
    void ApplyRasterStates();
    void PrepareDraw(VertexFormat format);
    int BindToUnit(const Texture& texture);
    void BindOnUnit(int unit, GLuint texture);
    GLuint StandIn(int kind);
    void DestroyBuffers(Buffers& b);

    int width_, height_;
    bool ok_ = false;
    std::string error_;
    std::function<void()> present_;

    GLuint program_ = 0;
    GLuint fbo_ = 0, colorTex_ = 0, depthRb_ = 0;
    struct Uniforms {
        GLint wvp = -1, normalMat = -1, viewSize = -1, preTransformed = -1, lighting = -1,
              lightOn = -1, hasNormal = -1, hasColor = -1, lightDir = -1, lightDiffuse = -1,
              lightAmbient = -1, matDiffuse = -1, matAmbient = -1, matEmissive = -1, texUnit = -1,
              smooth = -1;
    } u_;

    // Device state.
    bool alphaBlend_ = true, depthTest_ = true, lighting_ = true;
    CullMode cull_ = CullMode::CounterClockwise;
    Mat4 world_, view_, projection_;
    Material material_;
    LightSlot lights_[8];
    TextureId texture_ = 0;
    // The game's textures bound on units 0 and 1 (0: none the game's draws
    // can rely on), and the unit the last textured draw used. Both units
    // hold textures of one kind, unitKind_ (see TextureKind).
    GLuint unitTexture_[2] = {0, 0};
    int lastUnit_ = 0;
    int unitKind_ = -1;
    // A tiny texture of each kind to stand on the second unit (made when
    // first needed).
    GLuint standIn_[8] = {};

    std::map<TextureId, Texture> textures_; // the game's textures
    std::map<BufferId, Buffers> buffers_;
    TextureId nextTexture_ = 1;
    BufferId nextBuffer_ = 1;
    // Transient geometry for DrawIndexedUP, one per vertex format.
    Buffers up_[3];
    // Interface drawing: the window's height and the list's sizes.
    int uiWindowHeight_ = 0;
    std::size_t uiVertexCount_ = 0, uiIndexCount_ = 0;
    std::vector<VertexScreen> uiVertices_;
};

} // namespace quolis
