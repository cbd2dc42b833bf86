// mkpreview ROOT STAGING CONTENT OUT
// Headless screenshots of the generated 3-D content, drawn by the OpenGL
// device from the packed archives under ROOT/GameData: every creature model
// in three poses (standing, striking, fallen), every floor object, core and
// scenery mesh, and every stage floor with its scenery. STAGING is the folder
// mkcontent wrote (it lists the names), CONTENT the campaign sources (the
// stage files). The PNG files go to OUT/models, OUT/meshes and OUT/stages.
#include "common/Path.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "data/FloorTables.h"
#include "data/StageData.h"
#include "engine/Mesh.h"
#include "engine/ModelViewer.h"
#include "engine/Polygon.h"
#include "engine/QuadList.h"
#include "engine/TextureFiles.h"
#include "platform/sdl/PlatformHost.h"
#include "platform/sdl/PngFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;
using namespace quolis;

namespace {

int KeyCount(const fs::path& mdl) {
    std::ifstream in(mdl);
    int parts = 0, keys = 0;
    in >> parts >> keys;
    return keys;
}

bool Shoot(GlDevice& gl, const std::function<void()>& draw, const fs::path& file) {
    std::vector<Argb> pixels;
    gl.BeginFrame();
    draw();
    const bool ok = gl.ReadBackBuffer(pixels);
    gl.EndFrame();
    fs::create_directories(file.parent_path());
    std::string why;
    if (!ok || !WritePng(file.string(), gl.Width(), gl.Height(), pixels, &why)) {
        std::cerr << "mkpreview: " << file.string() << ": " << why << "\n";
        return false;
    }
    return true;
}

// The model at a key: the viewer advances a quarter key per step and starts
// the animation over at its end, so the last step stops just before that.
bool ShootModel(GlDevice& gl, CDatArchive& archive, TextureFiles& textures, const std::string& name,
                int key, const fs::path& file) {
    CModelViewer viewer;
    const HRESULT hr = viewer.Open(&gl, &archive, &textures, CModelViewer::Kind::Model, name);
    const int steps = key == 0 ? 60 : static_cast<int>(key / CModelViewer::kFrameStep) - 1;
    for (int i = 0; i < steps; ++i) {
        viewer.Step();
    }
    const bool ok = Succeeded(hr) && Shoot(
                                         gl, [&viewer] { viewer.Draw(); }, file);
    viewer.Close();
    return ok;
}

// One stage: the floor quads of every cell at its height, holes black, and
// the scenery mesh placed as the stage file says.
bool ShootStage(GlDevice& gl, CDatArchive& archive, TextureFiles& textures,
                const std::string& stageFile, const fs::path& file) {
    FloorTex tex;
    FloorObj obj;
    StageData stage;
    if (!tex.Load(archive) || !obj.Load(archive) || !stage.ReadInformation(archive, stageFile) ||
        !stage.ReadFloor(archive, stageFile, tex, obj)) {
        std::cerr << "mkpreview: " << stageFile << " cannot be read\n";
        return false;
    }
    CPolygon::InitTextures("GameData\\Texture\\", &gl, &textures);
    CMesh::Init("GameData\\XFile\\", &gl, &archive);
    CQuadList floor(0);
    const float s = 2.0f;
    const int X = stage.floorWidth, Y = stage.floorDepth;
    for (int y = 0; y < Y; ++y) {
        for (int x = 0; x < X; ++x) {
            const int h = stage.Height(x, y);
            QuadRecord q;
            q.position = {(x + y - X) * s, h * s * 0.5f, (y - x) * s};
            q.extent = {s, 0, s};
            q.texture = h == 0 ? "Floor\\Black.bmp"
                               : stage.textureGrid[static_cast<std::size_t>(x + 100 * y)];
            q.cellX = x;
            q.cellY = y;
            floor.AddQuad(q);
        }
    }
    floor.BuildQuads();
    CMesh scenery;
    scenery.SetMesh(stage.sceneryMesh);
    scenery.SetPosition(stage.sceneryPosition[0], stage.sceneryPosition[1],
                        stage.sceneryPosition[2]);
    gl.ApplyDefaultStates();
    Light light;
    light.direction = Normalize(Vec3{0.4f, -1, 0.6f});
    light.diffuse = {1, 1, 1, 1};
    light.ambient = {0.35f, 0.35f, 0.35f, 1};
    gl.SetLight(0, light);
    gl.EnableLight(0, true);
    CCamera camera;
    camera.Create(&gl, static_cast<float>(gl.Width()) / gl.Height());
    const float centreX = static_cast<float>(Y - X), centreZ = static_cast<float>(Y - X);
    const float reach = static_cast<float>(std::max(X, Y)) * 2.6f + 6;
    camera.SetEye(centreX - reach * 0.75f, reach * 0.9f, centreZ - reach * 0.75f);
    camera.SetLookAt(centreX, 1, centreZ);
    camera.SetUp(0, 1, 0);
    const bool ok = Shoot(
        gl,
        [&] {
            camera.Apply();
            scenery.Draw();
            floor.Draw();
        },
        file);
    CMesh::ReleaseAll();
    CPolygon::ReleaseTextures();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: mkpreview ROOT STAGING CONTENT OUT\n";
        return 2;
    }
    const fs::path staging = argv[2], content = argv[3], out = argv[4];
    SetGameRoot(argv[1]);
    HostConfig config;
    config.headless = true;
    config.imgui = false;
    config.joystick = false;
    std::string error;
    auto host = PlatformHost::Create(config, &error);
    if (!host) {
        std::cerr << "mkpreview: no headless OpenGL here (" << error << "); nothing drawn\n";
        return 0;
    }
    GlDevice& gl = host->Device();
    CDatArchive archive(false, true);
    ArchiveTextureFiles textures(archive);
    int shots = 0, failures = 0;
    auto count = [&](bool ok) { ok ? ++shots : ++failures; };

    // Creatures: standing, at the end of their first strike, fallen.
    static const char* strikes[] = {"dash1", "Cannon1", "Needle1", "PSlush1", "Blade1", "Attack1",
                                    "Tail1", "Breath1", "Laser1",  "Plasma1", "Sonic1", "AMist1"};
    for (const auto& dir : fs::directory_iterator(staging / "mdl")) {
        const std::string folder = dir.path().filename().string();
        if (!fs::exists(dir.path() / "wait.mdl") || folder == "Core") {
            continue;
        }
        const std::string game = Utf8ToCp932(folder) + "\\";
        count(ShootModel(gl, archive, textures, game + "wait.mdl", 0,
                         out / "models" / (folder + "-wait.png")));
        for (const char* strike : strikes) {
            const fs::path mdl = dir.path() / (std::string(strike) + ".mdl");
            if (fs::exists(mdl)) {
                count(ShootModel(gl, archive, textures, game + strike + ".mdl", KeyCount(mdl) - 1,
                                 out / "models" / (folder + "-" + strike + ".png")));
                break;
            }
        }
        const fs::path dead = dir.path() / "Dead1.mdl";
        count(ShootModel(gl, archive, textures, game + "Dead1.mdl", KeyCount(dead) - 1,
                         out / "models" / (folder + "-Dead1.png")));
    }
    // Floor objects and cores as models, the other meshes on their own.
    for (const char* folder : {"Object", "Core"}) {
        if (!fs::exists(staging / "mdl" / folder)) {
            continue;
        }
        for (const auto& f : fs::directory_iterator(staging / "mdl" / folder)) {
            const std::string stem = f.path().stem().string();
            count(ShootModel(gl, archive, textures,
                             std::string(folder) + "\\" + f.path().filename().string(), 0,
                             out / "models" / (std::string(folder) + "-" + stem + ".png")));
        }
    }
    for (const char* folder : {"Stage", "Menu"}) {
        if (!fs::exists(staging / "XFile" / folder)) {
            continue;
        }
        for (const auto& f : fs::directory_iterator(staging / "XFile" / folder)) {
            CModelViewer viewer;
            const std::string name = std::string(folder) + "\\" + f.path().filename().string();
            const HRESULT hr =
                viewer.Open(&gl, &archive, &textures, CModelViewer::Kind::Mesh, name);
            viewer.Step();
            count(Succeeded(hr) &&
                  Shoot(
                      gl, [&viewer] { viewer.Draw(); },
                      out / "meshes" /
                          (std::string(folder) + "-" + f.path().stem().string() + ".png")));
            viewer.Close();
        }
    }
    for (const auto& f : fs::directory_iterator(content / "Stage")) {
        const std::string name = f.path().filename().string();
        count(ShootStage(gl, archive, textures, name,
                         out / "stages" / (f.path().stem().string() + ".png")));
    }
    std::cout << "mkpreview: " << shots << " screenshots in " << out.string() << "\n";
    return failures == 0 ? 0 : 1;
}
