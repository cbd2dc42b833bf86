#pragma once
// CMdl: a jointed model of rigid X-mesh parts, played by advancing a
// fractional key position once per logic step and drawn part by part through
// the CMesh it derives from.
#include "engine/Mdl.h"
#include "engine/Mesh.h"

#include <memory>
#include <string>

namespace quolis {

class CMdl : public CMesh {
public:
    static constexpr const char* kArchivePath = "GameData\\mdl\\mdl.Dat";

    // Class-wide: the model directory ("GameData\mdl\"), the archive and the
    // frame step (keys advanced per Update; the scaled SPEED_MESHANIME).
    static void Init(std::string directory, CDatArchive* archive, float frameStep);
    static float FrameStep();
    // While on, every member parsed is kept (by archive and name) and later
    // loads of it copy the parsed model instead of reading and parsing it
    // again: a scene with many creatures of few types switches animations
    // often, and the next battle brings mostly the same squad. Turning it off
    // stops the loads from using and adding kept models but keeps them for
    // the next time; turning it on marks them all as not loaded yet. A new
    // archive or directory empties it.
    static void KeepParsedModels(bool on);
    // Drops the kept models no load asked for since the keeping last began.
    static void ForgetUnusedModels();
    static std::size_t KeptModelCount();

    CMdl() = default;
    ~CMdl() override = default;

    // Replaces the model with the member's; a file that cannot be read or
    // parsed leaves an empty model and returns E_FAIL. Poses key 0; does not
    // start playback.
    HRESULT Load(const std::string& name);
    // 0 without a model; otherwise poses key 0, starts playing and returns 1.
    int Play();
    int IsPlaying() const { return playing_; }
    // Poses every part at the (clamped) fractional key position.
    void SetFrame(float position);
    // Advances by the frame step; stops on the last key.
    void Update();
    // Every part in file order: its world (walking up the parents) as the
    // local matrix, its mesh selected by name, drawn.
    HRESULT Draw() override;
    // Frees the model, then the mesh release step.
    HRESULT Release() override;

    float KeyPosition() const { return keyPosition_; }
    const MdlData* Model() const { return model_.get(); }
    MdlData* Model() { return model_.get(); }

private:
    float keyPosition_ = 0;
    int playing_ = 0;
    std::unique_ptr<MdlData> model_;
};

} // namespace quolis
