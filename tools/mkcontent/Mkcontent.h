#pragma once
// mkcontent: the demo campaign's binary assets, generated from code alone.
// Pictures are 24-bit BMP files (black is transparent where a picture needs
// it), meshes are text X files, models are .mdl token files, sounds are
// 16-bit PCM WAV files and music is standard MIDI. Every generator is a pure
// function of its name, so two runs give the same bytes.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quolis {
class FontRasterizer;
}

namespace quolis::mkcontent {

using Bytes = std::vector<std::uint8_t>;

// ---- pictures ---------------------------------------------------------

struct Rgb {
    float r = 0, g = 0, b = 0; // 0..255
};

class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgb Get(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x]; }
    void Set(int x, int y, Rgb c);
    // Mixes `c` over the pixel with coverage a (0..1).
    void Blend(int x, int y, Rgb c, float a);
    void Add(int x, int y, Rgb c, float a); // additive light
    void FillRect(int x, int y, int w, int h, Rgb c, float a = 1);
    void VerticalGradient(Rgb top, Rgb bottom);
    // Soft-edged disc (edge in pixels of fade).
    void Disc(float cx, float cy, float radius, Rgb c, float a = 1, float edge = 1.5f,
              bool additive = false);
    void Ring(float cx, float cy, float radius, float thickness, Rgb c, float a = 1,
              bool additive = false);
    void Line(float x0, float y0, float x1, float y1, float thickness, Rgb c, float a = 1,
              bool additive = false);
    // Bevelled metal panel: a face, a light top-left edge and a dark bottom-right one.
    void Panel(int x, int y, int w, int h, Rgb face, int bevel);
    // Deterministic grain of +-amount.
    void Grain(float amount, std::uint32_t seed);
    // Coverage bitmap (0..255 alpha per pixel) tinted with `c`, top-left at x, y.
    void Stamp(const std::vector<std::uint8_t>& alpha, int aw, int ah, int x, int y, Rgb c,
               float a = 1);
    // Black must stay black where transparency is meant, and only there: no
    // visible pixel may round to (0, 0, 0).
    void LiftBlack(bool keepTransparentBlack);
    Bytes EncodeBmp() const;
    std::vector<std::uint32_t> Argb() const;

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// Text drawn in the game's fonts; empty coverage when no font is available.
struct TextMask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> alpha;
};
class TextPainter {
public:
    explicit TextPainter(FontRasterizer* fonts) : fonts_(fonts) {}
    // face: UTF-8 face name as the game asks for it; text: UTF-8.
    TextMask Render(const std::string& face, int pixelHeight, bool bold, const std::string& text);
    // Texts that could not be drawn (no font installed for the face).
    int Missing() const { return missing_; }

private:
    FontRasterizer* fonts_;
    int missing_ = 0;
};

// One generated picture: its member name (ASCII/CP932, backslashes) and canvas.
Canvas MakePicture(const std::string& name, TextPainter& text);

// The campaign's emblem ("Story\Emblem.bmp") drawn at any size, black where
// it is transparent; the program's icon is made from it.
Canvas EmblemPicture(int size);

// The program icon at `size` × `size`: the emblem drawn four times larger and
// averaged down, its transparent black turned into alpha (0xAARRGGBB, rows
// top to bottom).
std::vector<std::uint32_t> IconPixels(int size);
// The icon sizes of a desktop icon theme.
const std::vector<int>& IconSizes();
// Writes outDir/<n>x<n>/apps/<name>.png for every icon size.
bool WriteIcons(const std::string& outDir, const std::string& name, std::string& error);

// ---- effect sheets ----------------------------------------------------

struct EffectSheet {
    const char* name;
    int columns, rows;
};
const std::vector<EffectSheet>& EffectSheets();

// ---- X meshes ----------------------------------------------------------

struct MeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};
struct MeshMaterial {
    float r, g, b, a, power, sr, sg, sb, er, eg, eb;
    std::string texture; // file name inside "XFile\", empty for none
};
struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices; // clockwise triangles
    std::vector<std::uint32_t> faceMaterial;
    std::vector<MeshMaterial> materials;
    void Box(float x0, float y0, float z0, float x1, float y1, float z1, std::uint32_t mat,
             float uvScale = 1);
    // A tapered segment along +z from z0 to z1 with `sides` faces (bio-mechanical limbs).
    void Segment(float r0, float r1, float z0, float z1, int sides, std::uint32_t mat,
                 float squashY = 1);
    // Ellipsoid of radii rx, ry, rz around (cx, cy, cz).
    void Ellipsoid(float cx, float cy, float cz, float rx, float ry, float rz, int slices,
                   int stacks, std::uint32_t mat);
    void Quad(const float* p0, const float* p1, const float* p2, const float* p3, std::uint32_t mat,
              float u1 = 1, float v1 = 1);
};
std::string WriteXText(const MeshData& mesh);

// ---- models -----------------------------------------------------------

struct Key {
    float t[3]{0, 0, 0};
    float r[3]{0, 0, 0}; // degrees about Y, X, Z (file order)
    float s[3]{1, 1, 1};
};
struct ModelPart {
    std::string mesh; // "Nothing" for a pure joint
    int parent = -1;
    std::vector<Key> keys;
};
struct ModelData {
    int keyCount = 0;
    std::vector<ModelPart> parts;
};
std::string WriteMdlText(const ModelData& model);

// ---- sounds and music -------------------------------------------------

// Mono 16-bit PCM at `rate` frames per second.
Bytes EncodeWav(const std::vector<float>& samples, int rate);
std::vector<float> SynthesiseCue(const std::string& name, int rate);
Bytes ComposeMidi(const std::string& name);
// The length in seconds a piece plays before it loops (for tests and the log).
double MidiSeconds(const Bytes& smf);

// ---- the whole set ----------------------------------------------------

struct NameSet {
    std::set<std::string> textures, meshes, models, sounds, music; // CP932 member names
    // Model folders of the creature types with the animations each needs.
    std::map<std::string, std::set<std::string>> animationsByFolder;
    // Metal Arms names (CP932) that get a command button.
    std::vector<std::string> metalArms;
};
// Everything the content in `contentDir` (UTF-8 sources) and the game itself
// ask for. `scratch` is a folder the tables may be converted into.
bool CollectNames(const std::string& contentDir, const std::string& scratch, NameSet& out,
                  std::string& error);

// Writes every asset under outDir/{Texture,XFile,mdl,SE,MIDI}/ (host paths
// with '/'), previews of the pictures as PNG into previewDir when not empty.
struct GenerateStats {
    int pictures = 0, meshes = 0, models = 0, sounds = 0, music = 0;
    int textsWithoutFont = 0; // labels left blank: no font for their face
};
bool GenerateAll(const NameSet& names, const std::string& outDir, const std::string& previewDir,
                 FontRasterizer* fonts, GenerateStats& stats, std::string& error);

// Creature rigs: the meshes of a model folder and one animation.
std::map<std::string, MeshData> CreatureMeshes(const std::string& folder);
ModelData CreatureAnimation(const std::string& folder, const std::string& animation);
std::map<std::string, MeshData> PropMeshes(const std::string& modelName); // Object\*.mdl, Core
ModelData PropAnimation(const std::string& modelName);
MeshData SceneryMesh(const std::string& name); // Stage\*.x, Menu\MenuMap*.x, others
// Texture files the meshes ask for ("XFile\" + file).
std::set<std::string> MeshTextureNames();

} // namespace quolis::mkcontent
