#include "app/entry/Viewer.h"

#include "common/Log.h"
#include "common/Text.h"
#include "data/DatArchive.h"
#include "engine/ModelViewer.h"
#include "engine/TextureFiles.h"

#include <cstdio>
#include <cstring>

namespace quolis {

bool TakeViewerOptions(std::vector<const char*>& args, ViewerRequest* request, std::string* error) {
    std::vector<const char*> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool model = std::strcmp(args[i], "--view-model") == 0;
        bool mesh = std::strcmp(args[i], "--view-mesh") == 0;
        if (!model && !mesh) {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1][0] == '\0') {
            *error = std::string(args[i]) + " needs a name";
            return false;
        }
        if (request->model || request->mesh) {
            *error = "only one of --view-model and --view-mesh can be given";
            return false;
        }
        request->model = model;
        request->mesh = mesh;
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

int RunViewer(PlatformHost& host, const LaunchOptions& options, const ViewerRequest& request) {
    CDatArchive content(false, true);
    ArchiveTextureFiles textures(content);
    CModelViewer viewer;
    auto kind = request.model ? CModelViewer::Kind::Model : CModelViewer::Kind::Mesh;
    if (Failed(viewer.Open(&host.Device(), &content, &textures, kind, request.name))) {
        // The viewer still runs and shows an empty scene, so that a missing
        // part is visible in the screenshot; the log says what failed.
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
        viewer.Step();
        Device& device = host.Device();
        device.BeginFrame();
        viewer.Draw();
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
    return status;
}

} // namespace quolis
