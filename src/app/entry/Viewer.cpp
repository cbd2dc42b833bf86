#include "app/entry/Viewer.h"

#include "battle/Field.h"
#include "battle/FloorView.h"
#include "common/Log.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "data/DataFiles.h"
#include "data/FloorTables.h"
#include "engine/Camera.h"
#include "engine/ModelViewer.h"
#include "engine/Polygon.h"
#include "engine/TextureFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace quolis {

bool TakeViewerOptions(std::vector<const char*>& args, ViewerRequest* request, std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool model = std::strcmp(args[i], "--view-model") == 0;
        bool mesh = std::strcmp(args[i], "--view-mesh") == 0;
        bool stage = std::strcmp(args[i], "--view-stage") == 0;
        if (!model && !mesh && !stage) {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1][0] == '\0') {
            *error = std::string(args[i]) + " needs a name";
            return false;
        }
        if (request->model || request->mesh || request->stage) {
            *error = "only one of --view-model, --view-mesh and --view-stage can be given";
            return false;
        }
        request->model = model;
        request->mesh = mesh;
        request->stage = stage;
        bool ok = true;
        request->name = Utf8ToCp932(args[++i], &ok);
        if (!ok) {
            *error = std::string(args[i - 1]) + ": the name has characters the game cannot hold";
            return false;
        }
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

} // namespace

int RunViewer(PlatformHost& host, const LaunchOptions& options, const ViewerRequest& request) {
    CDatArchive content(false, !options.loose);
    ArchiveTextureFiles textures(content);
    CModelViewer viewer;
    StageViewer stageViewer;
    auto kind = request.model ? CModelViewer::Kind::Model : CModelViewer::Kind::Mesh;
    // The viewer still runs and shows what it could load, so that a missing
    // part is visible in the screenshot; the log says what failed.
    if (request.stage) {
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
        if (request.stage) {
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
    return status;
}

} // namespace quolis
