#pragma once
// The engine object family: the root (an enabled flag), the colour component
// (colour and alpha with limits, locks and timed fades; every live component
// is in one process-wide list so the global brightness reaches them all) and
// the scene object base with its twenty-slot interface, ten stopwatches and
// ten glide channels.
#include "common/Status.h"
#include "common/Stopwatch.h"
#include "gfxutil/Math.h"
#include "platform/Device.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quolis {

// Every engine object: drawables (enabled = visible) and the players (enabled
// = sound on).
class CRootObject {
public:
    CRootObject() = default;
    virtual ~CRootObject() = default;
    CRootObject(const CRootObject&) = delete;
    CRootObject& operator=(const CRootObject&) = delete;

    virtual void SetEnabled(int flag) { enabled_ = flag; }
    int IsEnabled() const { return enabled_; }

protected:
    int enabled_ = 1;
};

// Colour and alpha of a drawable. Plain setters clamp silently and are refused
// while the component is locked; the forced forms unlock, change and lock again.
class CColour {
public:
    CColour();
    virtual ~CColour();
    CColour(const CColour&) = delete;
    CColour& operator=(const CColour&) = delete;

    void SetColour(int alpha, int red, int green, int blue);
    void SetColourF(float red, float green, float blue, float alpha);
    void SetAlpha(int alpha) { SetColour(alpha, red_, green_, blue_); }
    void AddAlpha(int delta) { SetAlpha(alpha_ + delta); }
    int GetAlpha() const { return alpha_; }
    int GetRed() const { return red_; }
    int GetGreen() const { return green_; }
    int GetBlue() const { return blue_; }
    // alpha << 24 | red << 16 | green << 8 | blue: the vertex colour.
    Argb GetPacked() const { return packed_; }

    void Lock(int flag) { locked_ = flag; }
    int IsLocked() const { return locked_; }
    void SetAlphaLimits(int minimum, int maximum) {
        alphaMin_ = minimum;
        alphaMax_ = maximum;
    }
    int AlphaMin() const { return alphaMin_; }
    int AlphaMax() const { return alphaMax_; }
    // Unlocks and sets the limits back to 0..255.
    void ResetColour();

    void ForceColour(int alpha, int red, int green, int blue);
    void ForceAlpha(int alpha);
    void ForceAddAlpha(int delta);
    // Unlocks, sets the alpha and leaves the component unlocked.
    void SetAlphaUnlocked(int alpha);

    // One step of a fade toward `target` (up = 1 raising, 0 lowering) by `step`
    // every 0.03 s of the fade stopwatch; 1 while fading, 0 at the target.
    int FadeAlpha(int target, int up, int step);
    // The same on a locked component (forced changes).
    int FadeAlphaForced(int target, int up, int step);

    // Over every live colour component.
    static void ResetAllColours();
    static void SetAllAlphaLimits(int minimum, int maximum);
    static void SetAllAlpha(int alpha);
    static int LiveColourCount();

    CStopwatch& FadeStopwatch() { return fadeWatch_; }

protected:
    // Stores alpha and the packed value bypassing clamps and locks, leaving
    // red, green and blue as they were (CPolygon::Setup).
    void StoreRaw(int alpha, Argb packed);

private:
    int Fade(int target, int up, int step, bool forced);

    int red_ = 255;
    int green_ = 255;
    int blue_ = 255;
    int alpha_ = 255;
    Argb packed_ = 0xFFFFFFFFu;
    CStopwatch fadeWatch_;
    int locked_ = 0;
    int alphaMin_ = 0;
    int alphaMax_ = 255;

    CColour* prev_ = nullptr;
    CColour* next_ = nullptr;
};

// Ten glide channels as four parallel arrays (state 0 idle, 1 moving,
// 2 arrived). Channel 0: GlideTo; 1: Wipe; 9: the screen number's CountTo.
struct GlideChannels {
    static constexpr int kCount = 10;
    int state[kCount] = {};
    Vec3 difference[kCount] = {};
    Vec3 current[kCount] = {};
    Vec3 target[kCount] = {};
};

// One step of an exponential glide of `pos` toward `to` on channel `ch`
// (shared by the scene objects, text objects and meshes). Writes the new
// position to *pos when it moves; returns 1 while gliding, 0 at the target.
int GlideStep(GlideChannels& g, int ch, Vec3* pos, const Vec3& to, float step);

// Texture rectangle.
struct UVRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    bool operator==(const UVRect&) const = default;
};

enum class WipeDirection { Left, Right, Up, Down };
// "left", "right", "up", "down" (ASCII, any case); Left for anything else.
WipeDirection ParseWipeDirection(std::string_view name);

// The base of every 2-D and number object.
class CSceneObject : public CRootObject, public CColour {
public:
    static constexpr int kStopwatchCount = 10;

    CSceneObject() = default;

    // Slot 0 is SetEnabled (root). Slots 1 to 19:
    virtual HRESULT Load(const std::string& /*name*/) { return S_OK; }
    virtual HRESULT Setup(float /*x*/, float /*y*/, float /*z*/, float /*width*/, float /*height*/,
                          float /*depth*/, int /*alpha*/, int /*depthTest*/) {
        return S_OK;
    }
    virtual HRESULT Reserved3() { return S_OK; }
    virtual HRESULT Transform(const Mat4& /*m*/) { return S_OK; }
    virtual HRESULT Reserved5() { return S_OK; }
    virtual HRESULT Draw() { return S_OK; }
    virtual HRESULT Release() { return S_OK; }
    virtual void SetPos(float x, float y, float z) { pos_ = {x, y, z}; }
    virtual Vec3 GetPos() const { return pos_; }
    virtual void AddPos(float /*dx*/, float /*dy*/, float /*dz*/) {}
    virtual void MovePos(float /*dx*/, float /*dy*/, float /*dz*/) {}
    virtual void SetSize(float /*width*/, float /*height*/, float /*depth*/) {}
    virtual Vec3 GetSize() const { return {0, 0, 0}; }
    virtual void SetUV(float /*u0*/, float /*v0*/, float /*u1*/, float /*v1*/) {}
    virtual void SetRect(float /*u0*/, float /*v0*/, float /*u1*/, float /*v1*/) {}
    virtual void AddUV(float /*du0*/, float /*dv0*/, float /*du1*/, float /*dv1*/) {}
    virtual UVRect GetUV() const { return uv_; }
    virtual void Reserved18(int /*value*/) {}
    virtual void Show(int /*flag*/) {}

    // Multi-frame operations, called once per logic step until they return 0.
    int GlideTo(float x, float y, float z, float step);
    int Wipe(int in, WipeDirection direction, float step);
    int Wipe(int in, std::string_view direction, float step) {
        return Wipe(in, ParseWipeDirection(direction), step);
    }

    const std::string& TextureName() const { return textureName_; }
    TextureId Texture() const { return texture_; }
    CStopwatch& Stopwatch(int i) { return stopwatches_[i]; }
    GlideChannels& Glides() { return glides_; }

protected:
    TextureId texture_ = 0;
    std::string textureName_;
    UVRect uv_;
    Vec3 pos_{0, 0, 0};
    Vec3 size_{0, 0, 0};
    CStopwatch stopwatches_[kStopwatchCount];
    GlideChannels glides_;

private:
    int WipeIn(WipeDirection direction, float step);
    int WipeOut(WipeDirection direction, float step);
};

} // namespace quolis
