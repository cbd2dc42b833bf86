#include "platform/sdl/GlDevice.h"

#include <cstddef>
#include <cstring>

namespace quolis {

namespace {

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUV;
uniform mat4 uWVP;
uniform mat4 uNormalMat;
uniform vec2 uViewSize;
uniform int uPreTransformed;
uniform int uLighting;
uniform int uLightOn;
uniform int uHasNormal;
uniform int uHasColor;
uniform vec3 uLightDir;
uniform vec4 uLightDiffuse;
uniform vec4 uLightAmbient;
uniform vec4 uMatDiffuse;
uniform vec4 uMatAmbient;
uniform vec4 uMatEmissive;
uniform int uTexUnit;
uniform int uSmooth;
flat out vec4 vColor;
flat out int vTexUnit;
flat out int vSmooth;
// The interface's colours, blended across each triangle (the game's own
// draws are flat shaded).
out vec4 vShade;
out vec2 vUV;
// The game's pixel centres lie on whole coordinates, OpenGL's on halves.
// Shifting by a little less than half a pixel also keeps edges off the
// centres, so a pixel whose centre is on a top or left edge is drawn and one
// on a bottom or right edge is not, whatever the rasteriser's own rule.
const float kCentreShift = 0.5 - 1.0 / 64.0;
void main() {
    vec4 vertexColor = uHasColor != 0 ? aColor : vec4(1.0);
    if (uPreTransformed != 0) {
        // Screen pixels with pixel centres on whole numbers, y down, z 0..1.
        float w = aPos.w > 0.0 ? 1.0 / aPos.w : 1.0;
        vec2 ndc = vec2((aPos.x + kCentreShift) / uViewSize.x * 2.0 - 1.0,
                        1.0 - (aPos.y + kCentreShift) / uViewSize.y * 2.0);
        gl_Position = vec4(ndc * w, (aPos.z * 2.0 - 1.0) * w, w);
        vColor = vertexColor;
    } else {
        vec4 c = uWVP * vec4(aPos.xyz, 1.0);
        // Whole-number pixel centres, and depth 0..w onto -w..w.
        c.xy += vec2(kCentreShift * 2.0 / uViewSize.x, -kCentreShift * 2.0 / uViewSize.y) * c.w;
        c.z = 2.0 * c.z - c.w;
        gl_Position = c;
        if (uLighting != 0) {
            vec4 diffuse = uHasColor != 0 ? aColor : uMatDiffuse;
            vec3 rgb = uMatEmissive.rgb;
            if (uLightOn != 0) {
                vec3 n = vec3(0.0);
                // As the fixed-function default: the normal is not
                // renormalised after the world transform, so a scaled
                // part lights more dimly (scale 2: half the diffuse).
                if (uHasNormal != 0) {
                    n = (uNormalMat * vec4(aNormal, 0.0)).xyz;
                }
                float ndl = max(dot(n, -uLightDir), 0.0);
                rgb += uLightAmbient.rgb * uMatAmbient.rgb + ndl * uLightDiffuse.rgb * diffuse.rgb;
            }
            vColor = vec4(clamp(rgb, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
        } else {
            vColor = vertexColor;
        }
    }
    vShade = vColor;
    vUV = aUV;
    vTexUnit = uTexUnit;
    vSmooth = uSmooth;
}
)";

const char* kFragmentShader = R"(#version 330 core
flat in vec4 vColor;
flat in int vTexUnit;
flat in int vSmooth;
in vec4 vShade;
in vec2 vUV;
uniform sampler2D uTex0;
uniform sampler2D uTex1;
out vec4 oColor;
// What changes from draw to draw comes in from the vertex stage, so the
// fragment stage's own state (its two samplers) stays the same while the
// textures stay bound.
void main() {
    vec4 t = vec4(1.0);
    if (vTexUnit == 0) {
        t = texture(uTex0, vUV);
    } else if (vTexUnit == 1) {
        t = texture(uTex1, vUV);
    }
    oColor = t * (vSmooth != 0 ? vShade : vColor);
}
)";

GLuint Compile(GLenum type, const char* src, std::string* error) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        *error = std::string("shader compile failed: ") + log;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

void SetColor(GLint loc, const ColorF& c) {
    glUniform4f(loc, c.r, c.g, c.b, c.a);
}

const void* Offset(std::size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

// What the renderer tells textures apart by when it compiles fragment code:
// one byte a texel or four, and whether width and height are powers of two.
int TextureKind(int width, int height, bool alpha) {
    auto pot = [](int n) { return n > 0 && (n & (n - 1)) == 0; };
    return (alpha ? 4 : 0) | (pot(width) ? 2 : 0) | (pot(height) ? 1 : 0);
}

std::size_t FormatSlot(VertexFormat f) {
    return static_cast<std::size_t>(f);
}

} // namespace

GlDevice::GlDevice(int width, int height)
    : width_(width), height_(height), world_(Mat4::Identity()), view_(Mat4::Identity()),
      projection_(Mat4::Identity()) {
    if (epoxy_gl_version() < 33) {
        error_ = "OpenGL 3.3 is not available";
        return;
    }
    if (!CreateProgram() || !CreateBackBuffer()) {
        return;
    }
    for (int f = 0; f < 3; ++f) {
        up_[f].format = static_cast<VertexFormat>(f);
        up_[f].dynamic = true;
        CreateVertexArray(up_[f]);
    }
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    ok_ = true;
}

GlDevice::~GlDevice() {
    for (auto& [id, tex] : textures_) {
        glDeleteTextures(1, &tex.name);
    }
    for (auto& [id, b] : buffers_) {
        DestroyBuffers(b);
    }
    for (Buffers& b : up_) {
        DestroyBuffers(b);
    }
    if (program_ != 0) {
        glDeleteProgram(program_);
    }
    if (fbo_ != 0) {
        glDeleteFramebuffers(1, &fbo_);
    }
    if (colorTex_ != 0) {
        glDeleteTextures(1, &colorTex_);
    }
    if (depthRb_ != 0) {
        glDeleteRenderbuffers(1, &depthRb_);
    }
}

bool GlDevice::CreateProgram() {
    GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, &error_);
    if (vs == 0) {
        return false;
    }
    GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader, &error_);
    if (fs == 0) {
        glDeleteShader(vs);
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glLinkProgram(program_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(program_, sizeof log, nullptr, log);
        error_ = std::string("shader link failed: ") + log;
        return false;
    }
    auto loc = [this](const char* name) { return glGetUniformLocation(program_, name); };
    u_.wvp = loc("uWVP");
    u_.normalMat = loc("uNormalMat");
    u_.viewSize = loc("uViewSize");
    u_.preTransformed = loc("uPreTransformed");
    u_.lighting = loc("uLighting");
    u_.lightOn = loc("uLightOn");
    u_.hasNormal = loc("uHasNormal");
    u_.hasColor = loc("uHasColor");
    u_.lightDir = loc("uLightDir");
    u_.lightDiffuse = loc("uLightDiffuse");
    u_.lightAmbient = loc("uLightAmbient");
    u_.matDiffuse = loc("uMatDiffuse");
    u_.matAmbient = loc("uMatAmbient");
    u_.matEmissive = loc("uMatEmissive");
    u_.texUnit = loc("uTexUnit");
    u_.smooth = loc("uSmooth");
    glUseProgram(program_);
    glUniform1i(loc("uTex0"), 0);
    glUniform1i(loc("uTex1"), 1);
    glUseProgram(0);
    return true;
}

bool GlDevice::CreateBackBuffer() {
    // A texture rather than a renderbuffer, so that presenting can draw it.
    glGenTextures(1, &colorTex_);
    glBindTexture(GL_TEXTURE_2D, colorTex_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    // The depth buffer comes with the first depth-tested draw (AddDepthBuffer).
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTex_, 0);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        error_ = "the back buffer framebuffer is incomplete";
        return false;
    }
    return true;
}

void GlDevice::AddDepthBuffer() {
    // A draw without the depth test neither reads nor writes depth, so until
    // the first draw with it the depth buffer would hold only the clear
    // value: it is made then, cleared, and kept. Screens drawn without depth
    // (the title, the menus) never need its memory.
    glGenRenderbuffers(1, &depthRb_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRb_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRb_);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void GlDevice::CreateVertexArray(Buffers& b) {
    glGenVertexArrays(1, &b.vao);
    glGenBuffers(1, &b.vbo);
    glGenBuffers(1, &b.ebo);
    glBindVertexArray(b.vao);
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.ebo);
    GLsizei stride = static_cast<GLsizei>(VertexStride(b.format));
    switch (b.format) {
    case VertexFormat::Screen:
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexScreen, x)));
        glEnableVertexAttribArray(2);
        // 0xAARRGGBB in memory is B, G, R, A.
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              Offset(offsetof(VertexScreen, color)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexScreen, u)));
        break;
    case VertexFormat::Lit:
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexLit, x)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexLit, nx)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexLit, u)));
        break;
    case VertexFormat::Colored:
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexColored, x)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              Offset(offsetof(VertexColored, color)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, Offset(offsetof(VertexColored, u)));
        break;
    }
    glBindVertexArray(0);
}

void GlDevice::DestroyBuffers(Buffers& b) {
    if (b.vao != 0) {
        glDeleteVertexArrays(1, &b.vao);
    }
    if (b.vbo != 0) {
        glDeleteBuffers(1, &b.vbo);
    }
    if (b.ebo != 0) {
        glDeleteBuffers(1, &b.ebo);
    }
    b.vao = b.vbo = b.ebo = 0;
}

// --- frame ------------------------------------------------------------------

void GlDevice::BeginFrame() {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, width_, height_);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyRasterStates();
}

void GlDevice::EndFrame() {
    glFlush();
    if (present_) {
        present_();
    }
}

void GlDevice::WaitForPresentedFrame() {
    // A picture that takes longer than this is not waited for any more.
    constexpr GLuint64 kWaitNs = 2'000'000'000;
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence != nullptr) {
        glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNs);
        glDeleteSync(fence);
    }
}

// --- states -----------------------------------------------------------------

void GlDevice::ApplyRasterStates() {
    if (alphaBlend_) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    if (depthTest_) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    // The screen image keeps its orientation, so windings read as on screen:
    // "counter-clockwise" removes the faces whose corners run
    // counter-clockwise as seen.
    switch (cull_) {
    case CullMode::None:
        glDisable(GL_CULL_FACE);
        break;
    case CullMode::CounterClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        break;
    case CullMode::Clockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        break;
    }
}

void GlDevice::ApplyDefaultStates() {
    alphaBlend_ = true;
    depthTest_ = true;
    lighting_ = true;
    cull_ = CullMode::CounterClockwise;
    ApplyRasterStates();
}

void GlDevice::SetAlphaBlend(bool on) {
    alphaBlend_ = on;
    ApplyRasterStates();
}

void GlDevice::SetCullMode(CullMode mode) {
    cull_ = mode;
    ApplyRasterStates();
}

void GlDevice::SetDepthTest(bool on) {
    depthTest_ = on;
    ApplyRasterStates();
}

void GlDevice::SetLighting(bool on) {
    lighting_ = on;
}

void GlDevice::SetTransform(TransformKind kind, const Mat4& m) {
    switch (kind) {
    case TransformKind::World:
        world_ = m;
        break;
    case TransformKind::View:
        view_ = m;
        break;
    case TransformKind::Projection:
        projection_ = m;
        break;
    }
}

void GlDevice::SetLight(int index, const Light& light) {
    if (index < 0 || index >= 8) {
        return;
    }
    lights_[index].light = light;
    lights_[index].set = true;
}

void GlDevice::EnableLight(int index, bool on) {
    if (index < 0 || index >= 8) {
        return;
    }
    lights_[index].on = on;
}

void GlDevice::SetMaterial(const Material& m) {
    material_ = m;
}

// --- textures ---------------------------------------------------------------

// A texture of the game's: one level, point sampling, repeating. It is left
// bound on unit 0.
TextureId GlDevice::MakeTexture(int width, int height, const TexelLayout& layout,
                                const void* pixels) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || pixels == nullptr || width > maxSize || height > maxSize) {
        return 0;
    }
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glActiveTexture(GL_TEXTURE0);
    unitTexture_[0] = 0;
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, layout.rowAlignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // Rows top to bottom; texture coordinate v = 0 is the first row.
    glTexImage2D(GL_TEXTURE_2D, 0, layout.internalFormat, width, height, 0, layout.format,
                 layout.type, pixels);
    if (layout.swizzle != nullptr) {
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, layout.swizzle);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &tex);
        return 0;
    }
    TextureId id = nextTexture_++;
    textures_[id] = Texture{tex, TextureKind(width, height, layout.internalFormat == GL_R8)};
    return id;
}

TextureId GlDevice::CreateTexture(int width, int height, const Argb* pixels) {
    // The unsized internal format lets the driver keep the pixels as they
    // come (8-bit B, G, R, A in memory), so the upload is a copy rather than
    // a conversion; the sampled colours are the same.
    static const TexelLayout kArgb{GL_RGBA, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, nullptr};
    return MakeTexture(width, height, kArgb, pixels);
}

TextureId GlDevice::CreateAlphaTexture(int width, int height, const std::uint8_t* alpha) {
    // One byte a texel, sampled as white with that alpha: exactly what the
    // same pixels would give from a texture of 0xAAFFFFFF.
    static const GLint kWhiteWithAlpha[4] = {GL_ONE, GL_ONE, GL_ONE, GL_RED};
    static const TexelLayout kAlpha{GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, kWhiteWithAlpha};
    return MakeTexture(width, height, kAlpha, alpha);
}

void GlDevice::ReleaseTexture(TextureId id) {
    auto it = textures_.find(id);
    if (it == textures_.end()) {
        return;
    }
    // Deleting unbinds it, and its name may come back for another texture.
    for (GLuint& bound : unitTexture_) {
        if (bound == it->second.name) {
            bound = 0;
        }
    }
    glDeleteTextures(1, &it->second.name);
    textures_.erase(it);
    if (texture_ == id) {
        texture_ = 0;
    }
}

void GlDevice::SetTexture(TextureId id) {
    texture_ = textures_.count(id) ? id : 0;
}

// --- buffers ----------------------------------------------------------------

BufferId GlDevice::CreateBuffers(VertexFormat format, std::size_t maxVertices,
                                 std::size_t maxIndices, bool dynamic) {
    if (maxVertices == 0 || maxIndices == 0 || maxVertices > 65536 || maxIndices > (1u << 24)) {
        return 0;
    }
    Buffers b;
    b.format = format;
    b.maxVertices = maxVertices;
    b.maxIndices = maxIndices;
    b.dynamic = dynamic;
    CreateVertexArray(b);
    GLenum usage = dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(maxVertices * VertexStride(format)),
                 nullptr, usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(b.vao);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(maxIndices * sizeof(std::uint16_t)), nullptr, usage);
    glBindVertexArray(0);
    BufferId id = nextBuffer_++;
    buffers_[id] = b;
    return id;
}

void GlDevice::ReleaseBuffers(BufferId id) {
    auto it = buffers_.find(id);
    if (it == buffers_.end()) {
        return;
    }
    DestroyBuffers(it->second);
    buffers_.erase(it);
}

bool GlDevice::UpdateBuffers(BufferId id, const void* vertices, std::size_t vertexCount,
                             const std::uint16_t* indices, std::size_t indexCount) {
    auto it = buffers_.find(id);
    if (it == buffers_.end()) {
        return false;
    }
    Buffers& b = it->second;
    if (vertexCount > b.maxVertices || indexCount > b.maxIndices ||
        (vertexCount > 0 && vertices == nullptr) || (indexCount > 0 && indices == nullptr)) {
        return false;
    }
    // An index past the vertices would read outside the buffer on the GPU.
    for (std::size_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) {
            return false;
        }
    }
    std::size_t bytes = vertexCount * VertexStride(b.format);
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    if (b.dynamic) {
        // Orphan the old storage so a draw still in flight keeps its data.
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(b.maxVertices * VertexStride(b.format)), nullptr,
                     GL_DYNAMIC_DRAW);
    }
    if (bytes > 0) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), vertices);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(b.vao);
    if (b.dynamic) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(b.maxIndices * sizeof(std::uint16_t)), nullptr,
                     GL_DYNAMIC_DRAW);
    }
    if (indexCount > 0) {
        glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                        static_cast<GLsizeiptr>(indexCount * sizeof(std::uint16_t)), indices);
    }
    glBindVertexArray(0);
    b.vertexCount = vertexCount;
    b.indexCount = indexCount;
    return true;
}

// A software rasteriser keeps a copy of the fragment stage's whole state
// (several kilobytes) for every change of it until the picture is finished,
// and a creature's parts change between its own texture and one they share
// with every creature at each draw. With two units bound, such a pair stays
// bound and each draw only picks one: the texture that is already bound is
// used where it is, otherwise it replaces the one the last draw did not use.
void GlDevice::BindOnUnit(int unit, GLuint texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE0);
    unitTexture_[unit] = texture;
}

GLuint GlDevice::StandIn(int kind) {
    if (standIn_[kind] == 0) {
        // One texel or three along each side: a power of two or not, as the kind says.
        const int w = (kind & 2) != 0 ? 1 : 3, h = (kind & 1) != 0 ? 1 : 3;
        static const Argb kArgb[9] = {};
        static const std::uint8_t kAlpha[9] = {};
        const TextureId id =
            (kind & 4) != 0 ? CreateAlphaTexture(w, h, kAlpha) : CreateTexture(w, h, kArgb);
        auto it = textures_.find(id);
        standIn_[kind] = it != textures_.end() ? it->second.name : 0;
    }
    return standIn_[kind];
}

// The renderer compiles its fragment code anew for every combination of what
// the two units hold (the texel format and whether each side is a power of
// two), about 300 KB each. So both units always hold textures of one kind: a
// draw's texture of another kind goes on unit 0, with a stand-in of its kind
// on unit 1. Within a kind, a draw uses the unit that already holds its
// texture, or replaces the one the previous textured draw did not use.
int GlDevice::BindToUnit(const Texture& tex) {
    const GLuint texture = tex.name;
    const int k = tex.kind;
    if (unitTexture_[0] == 0 || unitTexture_[1] == 0 || unitKind_ != k) {
        const GLuint standIn = StandIn(k); // made first: making binds on unit 0
        BindOnUnit(0, texture);
        BindOnUnit(1, standIn != 0 ? standIn : texture);
        unitKind_ = k;
        lastUnit_ = 0;
        return 0;
    }
    const int unit = unitTexture_[lastUnit_] == texture ? lastUnit_ : 1 - lastUnit_;
    if (unitTexture_[unit] != texture) {
        BindOnUnit(unit, texture);
    }
    lastUnit_ = unit;
    return unit;
}

void GlDevice::PrepareDraw(VertexFormat format) {
    if (depthTest_ && depthRb_ == 0) {
        AddDepthBuffer();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, width_, height_);
    glUseProgram(program_);
    bool pre = format == VertexFormat::Screen;
    glUniform1i(u_.preTransformed, pre ? 1 : 0);
    glUniform2f(u_.viewSize, static_cast<float>(width_), static_cast<float>(height_));
    glUniform1i(u_.hasNormal, format == VertexFormat::Lit ? 1 : 0);
    glUniform1i(u_.hasColor, format == VertexFormat::Lit ? 0 : 1);
    glUniform1i(u_.lighting, (!pre && lighting_) ? 1 : 0);
    glUniform1i(u_.smooth, 0);
    if (!pre) {
        Mat4 wvp = world_ * view_ * projection_;
        glUniformMatrix4fv(u_.wvp, 1, GL_FALSE, &wvp.m[0][0]);
        // Normals go through the inverse transpose of the world matrix.
        Mat4 inv;
        if (!MatrixInverse(world_, &inv)) {
            inv = Mat4::Identity();
        }
        Mat4 nm = MatrixTranspose(inv);
        glUniformMatrix4fv(u_.normalMat, 1, GL_FALSE, &nm.m[0][0]);
        const LightSlot& l0 = lights_[0];
        glUniform1i(u_.lightOn, (l0.set && l0.on) ? 1 : 0);
        Vec3 dir = Normalize(l0.light.direction);
        glUniform3f(u_.lightDir, dir.x, dir.y, dir.z);
        SetColor(u_.lightDiffuse, l0.light.diffuse);
        SetColor(u_.lightAmbient, l0.light.ambient);
        SetColor(u_.matDiffuse, material_.diffuse);
        SetColor(u_.matAmbient, material_.ambient);
        SetColor(u_.matEmissive, material_.emissive);
    }
    auto tex = textures_.find(texture_);
    glUniform1i(u_.texUnit, texture_ != 0 && tex != textures_.end() ? BindToUnit(tex->second) : -1);
    ApplyRasterStates();
}

void GlDevice::DrawIndexed(BufferId id, std::size_t startIndex, std::size_t triangleCount) {
    auto it = buffers_.find(id);
    if (it == buffers_.end() || triangleCount == 0) {
        return;
    }
    const Buffers& b = it->second;
    if (startIndex > b.indexCount || triangleCount > (b.indexCount - startIndex) / 3) {
        return;
    }
    PrepareDraw(b.format);
    glBindVertexArray(b.vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangleCount * 3), GL_UNSIGNED_SHORT,
                   Offset(startIndex * sizeof(std::uint16_t)));
    glBindVertexArray(0);
}

void GlDevice::DrawIndexedUP(VertexFormat format, const void* vertices, std::size_t vertexCount,
                             const std::uint16_t* indices, std::size_t indexCount) {
    if (vertexCount == 0 || indexCount < 3 || vertices == nullptr || indices == nullptr ||
        vertexCount > 65536) {
        return;
    }
    for (std::size_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) {
            return;
        }
    }
    Buffers& b = up_[FormatSlot(format)];
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * VertexStride(format)),
                 vertices, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    PrepareDraw(format);
    glBindVertexArray(b.vao);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indexCount * sizeof(std::uint16_t)), indices,
                 GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount / 3 * 3), GL_UNSIGNED_SHORT,
                   Offset(0));
    glBindVertexArray(0);
}

void GlDevice::ShowBackBuffer(int windowWidth, int windowHeight, int x, int y, int width,
                              int height, bool smooth) {
    // Both bindings on the window: the back buffer is only read as a
    // texture (or by the blit, which binds it for reading itself).
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    if (width != width_ || height != height_) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
        int bottom = windowHeight - (y + height); // GL counts rows from the bottom
        glBlitFramebuffer(0, 0, width_, height_, x, bottom, x + width, bottom + height,
                          GL_COLOR_BUFFER_BIT, smooth ? GL_LINEAR : GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return;
    }
    // At its own size the picture is one textured quad drawn with the scene's
    // shader: pixel for pixel the same as a blit, but a software rasteriser
    // (llvmpipe) reuses the code it generated for the scene instead of
    // generating a blit shader at the first frame. Screen coordinates have
    // their pixel centres on whole numbers, so the quad's edges lie half a
    // pixel outside the picture; texture rows run from the bottom, as the
    // back buffer's were drawn.
    const float x0 = static_cast<float>(x) - 0.5f, y0 = static_cast<float>(y) - 0.5f;
    const float x1 = x0 + static_cast<float>(width), y1 = y0 + static_cast<float>(height);
    const VertexScreen v[4] = {{x0, y0, 0.5f, 1.f, 0xFFFFFFFFu, 0.f, 1.f},
                               {x1, y0, 0.5f, 1.f, 0xFFFFFFFFu, 1.f, 1.f},
                               {x1, y1, 0.5f, 1.f, 0xFFFFFFFFu, 1.f, 0.f},
                               {x0, y1, 0.5f, 1.f, 0xFFFFFFFFu, 0.f, 0.f}};
    static const std::uint16_t kQuad[6] = {0, 1, 2, 0, 2, 3};
    Buffers& b = up_[FormatSlot(VertexFormat::Screen)];
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    UseWindowProgram(windowWidth, windowHeight, false);
    glUniform1i(u_.texUnit, 0);
    glBindTexture(GL_TEXTURE_2D, colorTex_);
    // The window takes the colours as they are, whatever the alpha.
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBindVertexArray(b.vao);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof kQuad, kQuad, GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, Offset(0));
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    // The next draw into the back buffer sets its states again (PrepareDraw).
}

TextureId GlDevice::CreateUiTexture(int width, int height, const Argb* pixels) {
    TextureId id = CreateTexture(width, height, pixels);
    if (id != 0) {
        // Text laid out at fractions of a pixel reads its glyphs between texels.
        // (Making it left unit 0 active and forgot what the game had there.)
        glBindTexture(GL_TEXTURE_2D, textures_[id].name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    return id;
}

// The game's program set up for vertices given in window pixels, coloured
// per vertex (smooth) or per triangle, unlit, sampling texture unit 0.
void GlDevice::UseWindowProgram(int windowWidth, int windowHeight, bool smooth) {
    glUseProgram(program_);
    glUniform1i(u_.preTransformed, 1);
    glUniform2f(u_.viewSize, static_cast<float>(windowWidth), static_cast<float>(windowHeight));
    glUniform1i(u_.hasNormal, 0);
    glUniform1i(u_.hasColor, 1);
    glUniform1i(u_.lighting, 0);
    glUniform1i(u_.smooth, smooth ? 1 : 0);
    // Window drawing binds its own textures on unit 0.
    glActiveTexture(GL_TEXTURE0);
    unitTexture_[0] = 0;
}

void GlDevice::BeginUi(int windowWidth, int windowHeight) {
    uiWindowHeight_ = windowHeight;
    uiVertexCount_ = uiIndexCount_ = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    UseWindowProgram(windowWidth, windowHeight, true);
    // The game's own blending: only the window's alpha, which nobody sees,
    // differs from blending the alpha separately.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    glBindVertexArray(up_[FormatSlot(VertexFormat::Screen)].vao);
}

void GlDevice::SetUiGeometry(const UiVertex* vertices, std::size_t vertexCount,
                             const std::uint16_t* indices, std::size_t indexCount) {
    uiVertexCount_ = uiIndexCount_ = 0;
    if (vertices == nullptr || indices == nullptr || vertexCount == 0 || vertexCount > 65536 ||
        indexCount == 0) {
        return;
    }
    for (std::size_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) {
            return;
        }
    }
    // Into the scene's screen vertices: the shader puts pixel centres on
    // whole numbers plus its small shift, so taking that off lands every
    // vertex exactly where the interface put it. Colours R, G, B, A in
    // memory become 0xAARRGGBB.
    constexpr float kShift = 0.5f - 1.0f / 64.0f;
    uiVertices_.resize(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const UiVertex& in = vertices[i];
        const std::uint32_t c = in.rgba;
        uiVertices_[i] = {in.x - kShift,
                          in.y - kShift,
                          0.f,
                          1.f,
                          (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu),
                          in.u,
                          in.v};
    }
    Buffers& b = up_[FormatSlot(VertexFormat::Screen)];
    glBindBuffer(GL_ARRAY_BUFFER, b.vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * sizeof(VertexScreen)),
                 uiVertices_.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indexCount * sizeof(std::uint16_t)), indices,
                 GL_STREAM_DRAW);
    uiVertexCount_ = vertexCount;
    uiIndexCount_ = indexCount;
}

void GlDevice::DrawUi(TextureId texture, int clipX, int clipY, int clipWidth, int clipHeight,
                      std::size_t first, std::size_t count) {
    if (clipWidth <= 0 || clipHeight <= 0 || count < 3 || first > uiIndexCount_ ||
        count > uiIndexCount_ - first) {
        return;
    }
    glScissor(clipX, uiWindowHeight_ - (clipY + clipHeight), clipWidth, clipHeight);
    auto tex = textures_.find(texture);
    if (texture != 0 && tex != textures_.end()) {
        glBindTexture(GL_TEXTURE_2D, tex->second.name);
        glUniform1i(u_.texUnit, 0);
    } else {
        glUniform1i(u_.texUnit, -1);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count / 3 * 3), GL_UNSIGNED_SHORT,
                   Offset(first * sizeof(std::uint16_t)));
}

void GlDevice::EndUi() {
    glDisable(GL_SCISSOR_TEST);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    uiVertexCount_ = uiIndexCount_ = 0;
    // The next draw into the back buffer sets its states again (PrepareDraw).
}

bool GlDevice::ReadBackBuffer(std::vector<Argb>& out) {
    out.assign(static_cast<std::size_t>(width_) * height_, 0);
    std::vector<Argb> rows(out.size());
    // Wait for every queued draw: the read must see the finished frame.
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (glGetError() != GL_NO_ERROR) {
        out.clear();
        return false;
    }
    // OpenGL rows run bottom to top.
    for (int y = 0; y < height_; ++y) {
        std::memcpy(&out[static_cast<std::size_t>(y) * width_],
                    &rows[static_cast<std::size_t>(height_ - 1 - y) * width_],
                    static_cast<std::size_t>(width_) * sizeof(Argb));
    }
    return true;
}

} // namespace quolis
