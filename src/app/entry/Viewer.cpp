#include "app/entry/Viewer.h"

#include "battle/Field.h"
#include "battle/FloorView.h"
#include "common/Log.h"
#include "common/Text.h"
#include "creature/AttackTable.h"
#include "creature/AttackViewer.h"
#include "data/CharaMaster.h"
#include "data/DatArchive.h"
#include "data/DataFiles.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"
#include "engine/Camera.h"
#include "engine/ModelViewer.h"
#include "engine/Polygon.h"
#include "engine/TextureFiles.h"
#include "platform/sdl/PngFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quolis {

bool TakeViewerOptions(std::vector<const char*>& args, ViewerRequest* request, std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool model = std::strcmp(args[i], "--view-model") == 0;
        bool mesh = std::strcmp(args[i], "--view-mesh") == 0;
        bool stage = std::strcmp(args[i], "--view-stage") == 0;
        bool attack = std::strcmp(args[i], "--view-attack") == 0;
        bool attackerType = std::strcmp(args[i], "--attacker") == 0;
        bool targetType = std::strcmp(args[i], "--target") == 0;
        bool hp = std::strcmp(args[i], "--hp") == 0;
        bool strip = std::strcmp(args[i], "--strip") == 0;
        if (!model && !mesh && !stage && !attack && !attackerType && !targetType && !hp && !strip) {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1][0] == '\0') {
            *error = std::string(args[i]) + " needs a name";
            return false;
        }
        const char* option = args[i];
        const char* value = args[++i];
        if (strip) {
            request->stripDir = value;
            continue;
        }
        if (hp) {
            char* end = nullptr;
            const long v = std::strtol(value, &end, 10);
            if (*end != '\0' || v < 0 || v > 99999) {
                *error = "--hp needs a number from 0 to 99999";
                return false;
            }
            request->targetHP = int(v);
            continue;
        }
        bool ok = true;
        std::string converted = Utf8ToCp932(value, &ok);
        if (!ok) {
            *error = std::string(option) + ": the name has characters the game cannot hold";
            return false;
        }
        if (attackerType) {
            request->attackerType = converted;
            continue;
        }
        if (targetType) {
            request->targetType = converted;
            continue;
        }
        if (request->model || request->mesh || request->stage || request->attack) {
            *error = "only one of --view-model, --view-mesh, --view-stage and --view-attack can be "
                     "given";
            return false;
        }
        request->model = model;
        request->mesh = mesh;
        request->stage = stage;
        request->attack = attack;
        request->name = converted;
    }
    if (!request->attack && (!request->attackerType.empty() || !request->targetType.empty() ||
                             request->targetHP >= 0 || !request->stripDir.empty())) {
        *error = "--attacker, --target, --hp and --strip go with --view-attack";
        return false;
    }
    args.swap(rest);
    return true;
}

namespace {

// The base eye offsets of the battle's camera presets, by initial camera
// angle (0, 45, ... 315), at the nearest distance level.
constexpr float kPresetEye[8][3] = {{0, 11, -15}, {-12, 12, -12}, {-15, 11, 0}, {-12, 12, 12},
                                    {0, 11, 15},  {12, 12, 12},   {15, 11, 0},  {12, 12, -12}};

// One stage's floor and walls under the battle light, seen whole from the
// direction and height of the stage's initial camera preset.
class StageViewer {
public:
    bool Open(Device* device, CDatArchive* content, TextureFiles* textures,
              const std::string& stageFile) {
        device_ = device;
        open_ = true;
        CPolygon::InitTextures("GameData\\Texture\\", device, textures);
        camera_.Create(device, float(device->Width()) / float(device->Height()));
        FloorTex tex;
        FloorObj obj;
        // An absent member reads as an empty file: a stage or table without
        // a single token counts as missing.
        bool ok = tex.Load(*content) && !tex.Rows().empty();
        ok = obj.Load(*content) && ok;
        CreateField(stage_, tex);
        TokenList tokens;
        if (Succeeded(ReadStageFile(*content, stageFile, tokens)) && !tokens.empty()) {
            stage_.ParseInformation(tokens);
            stage_.ParseFloor(tokens, tex, obj);
        } else {
            ok = false;
            stage_.floorWidth = 0;
            stage_.floorDepth = 0;
        }
        view_.Build(stage_);
        Frame();
        return ok;
    }
    void Draw() {
        if (!open_) {
            return;
        }
        camera_.Apply();
        Light light;
        light.direction = Normalize(camera_.LookAt() - camera_.Eye());
        light.diffuse = {1.6f, 1.6f, 1.6f, 0};
        light.specular = {1.0f, 1.0f, 1.0f, 0};
        light.ambient = {0.2f, 0.2f, 0.2f, 0};
        device_->SetLight(0, light);
        device_->EnableLight(0, true);
        device_->SetLighting(true);
        view_.Draw();
    }
    void Close() {
        if (!open_) {
            return;
        }
        open_ = false;
        view_.Floor().ClearQuads();
        view_.Walls().ClearQuads();
        CPolygon::ReleaseTextures();
    }

private:
    void Frame() {
        int preset = stage_.cameraAngle / 45;
        if (stage_.cameraAngle % 45 != 0 || preset < 0 || preset > 7) {
            preset = 0;
        }
        const Vec3 offset{kPresetEye[preset][0], kPresetEye[preset][1], kPresetEye[preset][2]};
        const Vec3 centre = (view_.BoundsLow() + view_.BoundsHigh()) * 0.5f;
        const float radius = Length(view_.BoundsHigh() - view_.BoundsLow()) * 0.5f;
        // Far enough along the preset's direction for the whole floor to fit
        // the field of view, never nearer than the preset itself.
        const float fit = radius / std::sin(CCamera::kFieldOfView * 0.5f) * 0.7f;
        const float distance = std::max(Length(offset), fit);
        const Vec3 eye = centre + Normalize(offset) * distance;
        camera_.SetEye(eye.x, eye.y, eye.z);
        camera_.SetLookAt(centre.x, centre.y, centre.z);
        camera_.SetUp(0, 1, 0);
    }

    Device* device_ = nullptr;
    bool open_ = false;
    CCamera camera_;
    StageData stage_;
    CFloorView view_;
};

// The attack viewer's request from the command line: the types' model
// folders from the creature table (the attacker by default the first type
// that learns the attack, the target the first type).
AttackViewRequest AttackRequest(CDatArchive& content, const ViewerRequest& request,
                                const std::string& attack) {
    AttackViewRequest r;
    r.attack = attack;
    if (request.targetHP >= 0)
        r.targetHP = request.targetHP;
    MAMaster arms;
    CharaMaster master;
    arms.Load(content);
    master.Load(content, arms);
    const CharaType* attacker = master.Find(request.attackerType);
    const CharaType* target = master.Find(request.targetType);
    for (const auto& [name, type] : master.Types()) {
        if (!attacker && request.attackerType.empty() && type.arms.count(attack))
            attacker = &type;
        if (!target && request.targetType.empty())
            target = &type;
    }
    if (!attacker && request.attackerType.empty() && !master.Types().empty())
        attacker = &master.Types().begin()->second;
    if (attacker)
        r.attackerFolder = attacker->modelFolder;
    else
        LogLine("viewer: no creature type " + Cp932ToUtf8(request.attackerType));
    if (target)
        r.targetFolder = target->modelFolder;
    else
        LogLine("viewer: no creature type " + Cp932ToUtf8(request.targetType));
    return r;
}

// Plays each attack once and writes its moments side by side, each frame at
// half size, into DIR/attack_NN.png (NN: the attack's place in the table).
int RunAttackStrips(PlatformHost& host, CDatArchive& content, TextureFiles& textures,
                    const ViewerRequest& request) {
    constexpr int kTileW = 400, kTileH = 300, kMaxTiles = 10, kMaxPasses = 4000;
    std::vector<std::string> attacks;
    int first = 0;
    if (request.name == "*") {
        for (const AttackScript& s : AttackScripts())
            attacks.push_back(s.name);
    } else {
        attacks.push_back(request.name);
        first = std::max(0, FindAttackScript(request.name));
    }
    Device& device = host.Device();
    std::vector<Argb> frame;
    for (std::size_t a = 0; a < attacks.size(); ++a) {
        CAttackViewer viewer;
        if (Failed(viewer.Open(&device, &content, &textures,
                               AttackRequest(content, request, attacks[a])))) {
            LogLine("viewer: cannot load the creatures of " + Cp932ToUtf8(attacks[a]));
        }
        std::vector<std::vector<Argb>> tiles;
        for (int pass = 0; pass < kMaxPasses && viewer.Plays() == 0; ++pass) {
            host.PumpEvents();
            host.Input().Clear();
            viewer.Step();
            device.BeginFrame();
            viewer.Draw();
            device.EndFrame();
            if (viewer.Moment() && int(tiles.size()) < kMaxTiles && device.ReadBackBuffer(frame)) {
                std::vector<Argb> tile(std::size_t(kTileW) * kTileH);
                const int w = device.Width(), h = device.Height();
                for (int y = 0; y < kTileH; ++y)
                    for (int x = 0; x < kTileW; ++x) {
                        const int sx = x * w / kTileW, sy = y * h / kTileH;
                        tile[std::size_t(y) * kTileW + std::size_t(x)] =
                            frame[std::size_t(sy) * std::size_t(w) + std::size_t(sx)];
                    }
                tiles.push_back(std::move(tile));
            }
            host.FinishFramePass();
        }
        viewer.Close();
        if (tiles.empty())
            continue;
        const int width = kTileW * int(tiles.size());
        std::vector<Argb> strip(std::size_t(width) * kTileH);
        for (std::size_t t = 0; t < tiles.size(); ++t)
            for (int y = 0; y < kTileH; ++y)
                for (int x = 0; x < kTileW; ++x)
                    strip[std::size_t(y) * std::size_t(width) + t * kTileW + std::size_t(x)] =
                        tiles[t][std::size_t(y) * kTileW + std::size_t(x)];
        char file[64];
        std::snprintf(file, sizeof file, "/attack_%02d.png", first + int(a) + 1);
        std::string error;
        if (!WritePng(request.stripDir + file, width, kTileH, strip, &error)) {
            std::fprintf(stderr, "quolis: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int RunViewer(PlatformHost& host, const LaunchOptions& options, const ViewerRequest& request) {
    CDatArchive content(false, !options.loose);
    ArchiveTextureFiles textures(content);
    CModelViewer viewer;
    StageViewer stageViewer;
    CAttackViewer attackViewer;
    auto kind = request.model ? CModelViewer::Kind::Model : CModelViewer::Kind::Mesh;
    // The viewer still runs and shows what it could load, so that a missing
    // part is visible in the screenshot; the log says what failed.
    if (request.attack && !request.stripDir.empty()) {
        return RunAttackStrips(host, content, textures, request);
    }
    if (request.attack) {
        if (Failed(attackViewer.Open(&host.Device(), &content, &textures,
                                     AttackRequest(content, request, request.name)))) {
            LogLine("viewer: cannot load the creatures of " + Cp932ToUtf8(request.name));
        }
    } else if (request.stage) {
        if (!stageViewer.Open(&host.Device(), &content, &textures, request.name)) {
            LogLine("viewer: cannot load " + Cp932ToUtf8(request.name));
        }
    } else if (Failed(viewer.Open(&host.Device(), &content, &textures, kind, request.name))) {
        LogLine("viewer: cannot load " + Cp932ToUtf8(request.name));
    }
    int status = 0;
    for (int pass = 0;; ++pass) {
        host.PumpEvents();
        bool close = false;
        InputEvent e;
        while (host.Input().PopWindow(&e)) {
            close = close || e.kind == InputEventKind::CloseRequested;
        }
        host.Input().Clear();
        if (close) {
            break;
        }
        Device& device = host.Device();
        if (request.attack) {
            attackViewer.Step();
            device.BeginFrame();
            attackViewer.Draw();
        } else if (request.stage) {
            device.BeginFrame();
            stageViewer.Draw();
        } else {
            viewer.Step();
            device.BeginFrame();
            viewer.Draw();
        }
        device.EndFrame();
        for (const ScreenshotRequest& shot : options.screenshots) {
            if (shot.framePass != pass) {
                continue;
            }
            std::string error;
            if (!host.SaveScreenshot(shot.file, &error)) {
                std::fprintf(stderr, "quolis: %s\n", error.c_str());
                status = 1;
            }
        }
        host.FinishFramePass();
        if (status != 0 || (options.frames >= 0 && pass + 1 >= options.frames)) {
            break;
        }
    }
    viewer.Close();
    stageViewer.Close();
    attackViewer.Close();
    return status;
}

} // namespace quolis
