#pragma once
// The content viewer behind `quolis --view-model FOLDER\ANIM` and
// `--view-mesh NAME`: one model (looping its animation) or one mesh, turning
// slowly in front of the camera under the battle light. The program opens the
// host, then calls Open once and Step + Draw once per frame pass.
#include "data/DatArchive.h"
#include "engine/Camera.h"
#include "engine/Model.h"
#include "engine/TextureFiles.h"

#include <string>

namespace quolis {

class CModelViewer {
public:
    enum class Kind { Model, Mesh };

    // Degrees the object turns per step.
    static constexpr float kTurnPerStep = 0.5f;
    // Keys the model advances per step.
    static constexpr float kFrameStep = 0.25f;

    // Sets up the mesh and texture caches on the device and the archive
    // (X files from "GameData\XFile\XFile.Dat", textures through `textures`),
    // loads the model or mesh and frames it. E_FAIL when it cannot be loaded
    // (the viewer then shows an empty scene).
    // A model is named as the content names it: "FOLDER\ANIM", with or
    // without ".mdl" ('/' may stand for '\').
    HRESULT Open(Device* device, CDatArchive* archive, TextureFiles* textures, Kind kind,
                 const std::string& name);
    // The member name of the model archive for such a name.
    static std::string ModelMember(std::string name);
    // One logic step: turn, advance the animation (restarting it at its end).
    void Step();
    // Camera, light 0 and the object. Call between BeginFrame and EndFrame.
    void Draw();
    // Releases the caches (before the device goes away).
    void Close();

    const CCamera& Camera() const { return camera_; }
    const CMdl& Object() const { return object_; }
    float Yaw() const { return yaw_; }
    // The sphere that holds the object at its first pose (world units).
    Vec3 FrameCentre() const { return centre_; }
    float FrameRadius() const { return radius_; }

private:
    void Frame();

    Device* device_ = nullptr;
    Kind kind_ = Kind::Model;
    CCamera camera_;
    CMdl object_;
    float yaw_ = 0;
    Vec3 centre_;
    float radius_ = 1;
    bool open_ = false;
};

} // namespace quolis
