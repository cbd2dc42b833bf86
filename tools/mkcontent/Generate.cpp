// Writes the whole set of generated assets into folders that datpack packs.
#include "Mkcontent.h"

#include "common/Path.h"
#include "common/Text.h"
#include "platform/sdl/PngFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace quolis::mkcontent {
namespace {

namespace fs = std::filesystem;

bool WriteFile(const fs::path& path, const void* data, std::size_t size, std::string& error) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

std::string StemOf(const std::string& name) {
    const auto slash = name.rfind('\\');
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

std::string FolderOf(const std::string& name) {
    const auto slash = name.rfind('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

std::uint32_t Seed(const std::string& s) {
    std::uint32_t h = 2166136261U;
    for (unsigned char c : s) {
        h = (h ^ c) * 16777619U;
    }
    return h;
}

// Textures of the meshes ("XFile\" + the material's file name).
Canvas MeshTexture(const std::string& name) {
    const std::string stem = StemOf(name);
    const std::uint32_t seed = Seed(name);
    Canvas c(64, 64);
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, "Skin") == 0) {
        // Creature armour: plates with seams; player frames in gunmetal with a
        // colour of their own, enemy frames in rust red.
        const std::string folder = stem.substr(0, stem.size() - 4);
        const bool enemy = !folder.empty() && folder.back() == 'E';
        static const Rgb hues[] = {{120, 140, 170}, {150, 130, 100}, {170, 150, 70},
                                   {110, 130, 100}, {120, 110, 150}, {90, 120, 150}};
        const int index = folder.size() > 2 ? (folder[2] - '1' + 6) % 6 : 0;
        const Rgb base = enemy ? Rgb{150, 60, 56} : hues[index];
        c = Canvas(64, 64, base);
        for (int y = 0; y < 64; y += 16) {
            c.FillRect(0, y, 64, 2, Rgb{base.r * 0.4f, base.g * 0.4f, base.b * 0.4f});
            c.FillRect(0, y + 2, 64, 1, Rgb{240, 240, 240}, 0.35f);
        }
        for (int x = 8; x < 64; x += 32) {
            c.FillRect(x, 0, 2, 64, Rgb{base.r * 0.5f, base.g * 0.5f, base.b * 0.5f});
        }
        c.FillRect(40, 20, 16, 4, enemy ? Rgb{255, 180, 60} : Rgb{70, 210, 235}, 0.8f);
        c.Grain(6, seed);
    } else if (stem == "Joint") {
        c = Canvas(64, 64, Rgb{46, 50, 58});
        for (int y = 0; y < 64; y += 6) {
            c.FillRect(0, y, 64, 2, Rgb{90, 96, 108}, 0.8f);
        }
        c.Grain(5, seed);
    } else {
        struct Look {
            const char* stem;
            Rgb base;
            float grain;
        };
        static const Look looks[] = {
            {"Rock", {112, 106, 98}, 18},      {"Bark", {92, 66, 44}, 14},
            {"Leaf", {58, 110, 56}, 20},       {"Crate", {150, 112, 64}, 8},
            {"Concrete", {150, 148, 140}, 10}, {"Metal", {110, 120, 134}, 6},
            {"Rust", {128, 72, 44}, 16},       {"Tank", {170, 172, 160}, 5},
            {"Core", {120, 220, 250}, 10},     {"Map", {40, 70, 90}, 4},
            {"Building", {84, 90, 104}, 6},    {"Container", {70, 110, 140}, 6},
            {"Ground", {58, 60, 58}, 12},      {"Glow", {150, 230, 255}, 4},
        };
        Rgb base{100, 100, 110};
        float grain = 8;
        for (const auto& l : looks) {
            if (stem == l.stem) {
                base = l.base;
                grain = l.grain;
            }
        }
        c = Canvas(64, 64, base);
        if (stem == "Crate" || stem == "Container") {
            c.Panel(0, 0, 64, 64, base, 4);
            for (int x = 8; x < 64; x += 8) {
                c.FillRect(x, 4, 2, 56, Rgb{base.r * 0.7f, base.g * 0.7f, base.b * 0.7f});
            }
        } else if (stem == "Building") { // a facade of lit and dark windows
            for (int y = 4; y < 64; y += 12) {
                for (int x = 4; x < 64; x += 12) {
                    const bool lit = ((Seed(name + std::to_string(x * 64 + y)) >> 3) & 3) == 0;
                    c.FillRect(x, y, 7, 7, lit ? Rgb{240, 200, 120} : Rgb{30, 36, 48});
                }
            }
        } else if (stem == "Map") {
            for (int i = 0; i < 64; i += 16) {
                c.FillRect(i, 0, 1, 64, Rgb{70, 210, 235}, 0.5f);
                c.FillRect(0, i, 64, 1, Rgb{70, 210, 235}, 0.5f);
            }
        } else if (stem == "Metal" || stem == "Tank") {
            c.Panel(0, 0, 64, 64, base, 3);
        } else if (stem == "Ground") {
            c.FillRect(0, 30, 64, 4, Rgb{80, 80, 74});
        }
        c.Grain(grain, seed);
    }
    c.LiftBlack(false);
    return c;
}

} // namespace

bool GenerateAll(const NameSet& names, const std::string& outDir, const std::string& previewDir,
                 FontRasterizer* fonts, GenerateStats& stats, std::string& error) {
    const fs::path root(outDir);
    auto target = [&root](const char* kind, const std::string& member) {
        return root / kind / HostRelativePath(member);
    };
    std::error_code ec;
    for (const char* kind : {"Texture", "XFile", "mdl", "SE", "MIDI"}) {
        fs::remove_all(root / kind, ec);
        fs::create_directories(root / kind, ec);
    }
    if (!previewDir.empty()) {
        fs::create_directories(previewDir, ec);
    }

    // Models first: they name the meshes, which name the textures.
    std::map<std::string, MeshData> meshes;
    std::set<std::string> creatureFolders;
    for (const auto& [folder, anims] : names.animationsByFolder) {
        creatureFolders.insert(folder);
    }
    for (const auto& model : names.models) {
        const std::string folder = FolderOf(model);
        ModelData data;
        if (creatureFolders.count(folder) != 0) {
            data = CreatureAnimation(folder, StemOf(model));
            if (meshes.count(folder + "\\Body.x") == 0) {
                meshes.merge(CreatureMeshes(folder));
            }
        } else {
            data = PropAnimation(model);
            meshes.merge(PropMeshes(model));
        }
        const std::string text = WriteMdlText(data);
        if (!WriteFile(target("mdl", model), text.data(), text.size(), error)) {
            return false;
        }
        ++stats.models;
    }
    for (const auto& name : names.meshes) {
        if (meshes.count(name) == 0) {
            meshes[name] = SceneryMesh(name);
        }
    }
    std::set<std::string> textures = names.textures;
    for (const auto& [name, mesh] : meshes) {
        const std::string text = WriteXText(mesh);
        if (!WriteFile(target("XFile", name), text.data(), text.size(), error)) {
            return false;
        }
        for (const auto& m : mesh.materials) {
            if (!m.texture.empty()) {
                textures.insert("XFile\\" + m.texture);
            }
        }
        ++stats.meshes;
    }

    TextPainter painter(fonts);
    for (const auto& name : textures) {
        const Canvas c =
            name.rfind("XFile\\", 0) == 0 ? MeshTexture(name) : MakePicture(name, painter);
        const Bytes bmp = c.EncodeBmp();
        if (!WriteFile(target("Texture", name), bmp.data(), bmp.size(), error)) {
            return false;
        }
        if (!previewDir.empty()) {
            std::string png = HostRelativePath(name);
            png = png.substr(0, png.size() - 4) + ".png";
            const fs::path to = fs::path(previewDir) / "pictures" / png;
            fs::create_directories(to.parent_path(), ec);
            std::string why;
            if (!WritePng(to.string(), c.Width(), c.Height(), c.Argb(), &why)) {
                error = "preview " + to.string() + ": " + why;
                return false;
            }
        }
        ++stats.pictures;
    }

    stats.textsWithoutFont = painter.Missing();

    constexpr int kRate = 22050;
    for (const auto& name : names.sounds) {
        const Bytes wav = EncodeWav(SynthesiseCue(name, kRate), kRate);
        if (!WriteFile(target("SE", name), wav.data(), wav.size(), error)) {
            return false;
        }
        ++stats.sounds;
    }
    for (const auto& name : names.music) {
        const Bytes smf = ComposeMidi(name);
        if (!WriteFile(target("MIDI", name), smf.data(), smf.size(), error)) {
            return false;
        }
        ++stats.music;
    }
    return true;
}

} // namespace quolis::mkcontent
