#pragma once
// CChara: one creature on the battle floor or in a menu scene. It is its own
// animated model (every animation one .mdl member chosen by name), carries the
// creature's values (CharaValues), stands on a floor cell facing one of four
// directions, and owns the damage number and nine effect sprites that play
// over it. The attack presentations run through PlayAttack.
#include "creature/Cues.h"
#include "creature/Effect.h"
#include "creature/FieldDarkening.h"
#include "data/CharaValues.h"
#include "engine/Model.h"
#include "engine/Number.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quolis {

class CCamera;
class CQuadList;
class CSound;
class GameRandom;

// What the scene lends the creatures besides the camera, the sound player and
// the floor (all may be null where a scene has none).
struct CharaStage {
    const Viewport* viewport = nullptr; // null: the 800 x 600 back buffer
    FieldDarkening* darkening = nullptr;
    GameRandom* random = nullptr; // the damage rolls; null: a private generator
};

class CChara : public CMdl, public CharaValues {
public:
    static constexpr int kEffectCount = 9;
    static constexpr int kAttackCounters = 99;
    static constexpr float kCloseUp = 0.6f;

    // --- class-wide state ---------------------------------------------------
    // Stores the scene's objects and speeds and, with a sound player, registers
    // the nineteen cues in order. Call before creating any creature.
    static void Init(const CharaStage& stage, CCamera* camera, CSound* sound, float xOffset,
                     const CQuadList* floor, const Vec3& eyeOffset, float effectFrameTime,
                     float cameraSpeed, float fadeSpeed, float gameSpeed = 1.0f);
    // The scaled effect frame time, camera glide speed and fade speed, and
    // the game speed the hit intervals are divided by.
    static void SetSpeeds(float effectFrameTime, float cameraSpeed, float fadeSpeed,
                          float gameSpeed = 1.0f);
    static float EffectFrameTime();
    static float CameraSpeed();
    static float FadeSpeed();
    static float GameSpeed();
    static CCamera* Camera();
    static CSound* Sound();
    static const CQuadList* Floor();
    static const Vec3& EyeOffset();
    static float XOffset();
    static FieldDarkening* Darkening();
    // The camera's standard eye offset alone (the battle's view presets).
    static void SetEyeOffset(const Vec3& eyeOffset);

    // All values 0, strings empty, animation "wait", no sprites.
    CChara();
    // The values of a loaded creature (squad, stage, core case).
    explicit CChara(const CharaValues& values);
    ~CChara() override;

    // Clears the attack counters, creates the number sprite and the nine
    // effect sprites (all ten become attachments).
    void Create();
    // Empties the attachments, destroys the sprites and frees the model.
    HRESULT Release() override;
    bool Created() const { return number_ != nullptr; }

    // "Core\" + name + ".mdl" for a core, else folder + "\" + name + ".mdl";
    // loaded and started. A missing member leaves an empty model.
    HRESULT SetAnimation(const std::string& name);
    const std::string& GetAnimation() const { return animation_; }
    // The member SetAnimation would load for `name`.
    std::string AnimationMember(const std::string& name) const;

    // Stores the name; the four directions turn the model ("up" -135, "down"
    // 45, "left" 135, "right" -45 degrees about Y), any other name keeps the
    // rotation.
    void SetDirection(const std::string& name);
    const std::string& GetDirection() const { return Direction(); }
    // Turns toward another creature by cells, rows first.
    void FaceCell(const CharaValues& other);
    // The opposite of the other creature's direction.
    void FaceBack(const CharaValues& other);

    // Stores the cell and stands on its floor quad (shifted by X offset - 0.03
    // along X and 0.01 along Z). A cell without a floor quad keeps the position.
    void SetCell(std::int32_t x, std::int32_t y);
    void GetCell(std::int32_t* x, std::int32_t* y) const {
        *x = CellX();
        *y = CellY();
    }
    // One step of the class-wide glide toward (x, y): 1 while moving, 0 on
    // the cell. Each step covers `step` of the remaining distance.
    int MoveToCell(std::int32_t x, std::int32_t y, float step);
    // Forgets the glide in progress (a new scene).
    static void ResetGlide();

    // Per frame: advance the model, the number and the effects; restart a
    // finished "wait".
    void Update();
    HRESULT Draw() override;
    void DrawNumber();
    void DrawEffects();

    // The creature's alpha and that of every attachment.
    void SetAlpha(int alpha);
    int AnyEffectActive() const;

    // --- effects ------------------------------------------------------------
    // Starts the kind on the first idle sprite with its cue: 1, or 0 (silent)
    // when all nine play. Colours are 0..255 floats.
    int StartEffect(EffectKind kind, float offsetX, float offsetY, float offsetZ, float width,
                    float height, float depth, float red, float green, float blue, float alpha,
                    float frameTime);
    const CEffect* Effect(int i) const { return effects_[std::size_t(i)].get(); }
    CNumber* NumberSprite() { return number_.get(); }
    const CNumber* NumberSprite() const { return number_.get(); }
    const std::vector<CSceneObject*>& Attachments() const { return attachments_; }
    const AnchorReference& Anchor() const { return anchor_; }

    // --- attacks ------------------------------------------------------------
    // One step of the named attack against `target`: 1 while playing, 0 on
    // the call that ends it. An attack without a presentation ends at once.
    int PlayAttack(CChara& target, const std::string& attackName, std::int32_t bonus);
    std::int32_t AttackStep(int attackIndex) const {
        return attackIndex >= 0 && attackIndex < kAttackCounters
                   ? attackSteps_[std::size_t(attackIndex)]
                   : 0;
    }

    // --- battle rules (the rules of src/battle on this creature) -----------
    bool IsBehind(const CharaValues& target) const;
    bool IsBeside(const CharaValues& target) const;
    bool IsAboveWithin(std::int32_t here, std::int32_t targetHeight) const;
    std::int32_t RollDamage(const CharaValues& target, const std::string& command,
                            std::int32_t bonus) const;
    bool HasRange(std::int32_t distance) const;
    std::string ChooseKillingCommand(const CharaValues& target, std::int32_t distance,
                                     std::int32_t ownHeight, std::int32_t targetHeight,
                                     std::int32_t bonus) const;

    // --- approach memory (enemy turn) --------------------------------------
    void SetApproachTarget(const CharaValues* target) { CharaValues::SetApproachTarget(target); }
    const CharaValues* GetApproachTarget() const { return ApproachTarget(); }
    // Cells are kept in the order they were entered.
    void AddVisited(std::int32_t x, std::int32_t y) { Visited().emplace_back(x, y); }
    void ClearVisited() { Visited().clear(); }
    int IsVisited(std::int32_t x, std::int32_t y) const;

private:
    friend class AttackRunner;

    void RefreshAnchor();
    void ReleaseSprites();

    std::string animation_ = "wait";
    std::unique_ptr<CNumber> number_;
    std::array<std::unique_ptr<CEffect>, kEffectCount> effects_;
    std::vector<CSceneObject*> attachments_;
    std::array<std::int32_t, kAttackCounters> attackSteps_{};
    AnchorReference anchor_;
};

} // namespace quolis
