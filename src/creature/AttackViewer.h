#pragma once
// The attack viewer behind `quolis --view-attack NAME`: two creatures on a
// small floor, the attacker playing the named attack on the target again and
// again, with the battle's camera glides, light, effects, damage number and
// darkening backdrop. The program calls Open once, then Step and Draw once
// per frame pass.
#include "creature/Chara.h"
#include "engine/Camera.h"
#include "engine/Polygon.h"
#include "engine/QuadList.h"

#include <memory>
#include <string>

namespace quolis {

class CDatArchive;
class TextureFiles;

struct AttackViewRequest {
    std::string attack;              // CP932
    std::string attackerFolder = ""; // model folders of the two types
    std::string targetFolder = "";
    std::int32_t targetHP = 500;
    std::int32_t attackerAP = 60;
};

class CAttackViewer {
public:
    static constexpr int kFloorCells = 5;
    // Logic steps the finished attack stays on screen before it starts again.
    static constexpr int kRestSteps = 40;

    CAttackViewer();
    ~CAttackViewer();

    // Sets up the caches on the device and the content reader, lays the
    // floor and places both creatures. E_FAIL when a creature's "wait" cannot
    // be loaded (the viewer still runs and shows what it has).
    HRESULT Open(Device* device, CDatArchive* content, TextureFiles* textures,
                 const AttackViewRequest& request);
    // One logic step of the attack (or of the rest after it) and of both
    // creatures.
    void Step();
    void Draw();
    void Close();

    int Plays() const { return plays_; }
    // True on the steps a reviewer wants to see: shortly after the attack's
    // first animation starts, after each new effect on the target, after the
    // damage moment, and on the step the attack ends.
    bool Moment() const { return moment_; }
    const CChara& Attacker() const { return attacker_; }
    const CChara& Target() const { return target_; }
    const CCamera& Camera() const { return camera_; }

private:
    class Darkening;

    void Reset();
    void FrameCamera();

    Device* device_ = nullptr;
    bool open_ = false;
    AttackViewRequest request_;
    CCamera camera_;
    CQuadList floor_{0};
    CScrollPolygon backdrop_;
    std::unique_ptr<Darkening> darkening_;
    CChara attacker_;
    CChara target_;
    int rest_ = 0;
    int plays_ = 0;
    bool moment_ = false;
    int pending_ = -1; // steps until the next moment
    bool begun_ = false;
    int effects_ = 0;
};

} // namespace quolis
