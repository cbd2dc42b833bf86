#pragma once
// Decimal numbers drawn from a strip of ten digits (0 to 9, left to right, in
// one texture): CNumber, anchored above a 3-D object, and CScreenNumber, at a
// screen position, with CountTo.
#include "engine/Polygon.h"

namespace quolis {

// The reference values of a mesh that a number is anchored on: the bounding
// sphere's centre and radius and the mesh's height.
struct AnchorReference {
    float centreX = 0, centreY = 0, centreZ = 0;
    float radius = 0;
    float height = 0;
};

// The digit cells, nine digit slots and the value logic both numbers share.
class DigitStrip {
public:
    static constexpr int kSlots = 9;
    struct Slot {
        int digit = 0;
        int visible = 0;
        Vec3 pos{0, 0, 0};
        Vec3 size{0, 0, 0};
    };

    // Cuts the strip into ten cells 0.1 wide and creates the slots.
    void Cut();
    void Free() { created_ = 0; }
    bool Created() const { return created_ != 0; }

    void SetDigitCount(int count);
    int DigitCount() const { return count_; }
    void SetAutoWidth(int flag) { autoWidth_ = flag; }
    int AutoWidth() const { return autoWidth_; }
    // Shows `value` (negative: nothing); an unchanged value changes nothing.
    void SetNumber(int value);
    int Shown() const { return shown_; }
    int VisibleCount() const;

    Slot& At(int i) { return slots_[i]; }
    const Slot& At(int i) const { return slots_[i]; }
    // One quad per visible slot at the slot's position and size.
    void Draw(TextureId texture, Argb colour) const;

private:
    UVRect cells_[10];
    Slot slots_[kSlots];
    int created_ = 0;
    int count_ = 5;
    int autoWidth_ = 0;
    int shown_ = -1;
};

class CNumber : public CSceneObject {
public:
    HRESULT Load(const std::string& textureName) override;
    HRESULT Draw() override;
    HRESULT Release() override;
    void Show(int flag) override { shownFlag_ = flag; }

    // Slots 20 to 24.
    virtual void LayoutDigits(float x, float y, float z);
    virtual void SetDigitSize(float width, float height, float depth);
    virtual void SetNumber(int value) { strip_.SetNumber(value); }
    virtual void SetAnchor(const Vec3& offset, float width, float height, float depth,
                           const Viewport* viewport, const Mat4* projection, const Mat4* view,
                           const Mat4* placement, const AnchorReference* reference);
    virtual void UpdateAnchor();

    void SetAutoWidth(int flag) { strip_.SetAutoWidth(flag); }
    void SetDigitCount(int count) { strip_.SetDigitCount(count); }
    int IsShown() const { return shownFlag_; }
    const DigitStrip& Digits() const { return strip_; }

private:
    DigitStrip strip_;
    int shownFlag_ = 0;
    Vec3 digitSize_{0, 0, 0};
    Vec3 offset_{0, 0, 0};
    const Viewport* viewport_ = nullptr;
    const Mat4* projection_ = nullptr;
    const Mat4* view_ = nullptr;
    const Mat4* placement_ = nullptr;
    const AnchorReference* reference_ = nullptr;
};

class CScreenNumber : public CSceneObject {
public:
    HRESULT Load(const std::string& textureName) override;
    // SetSize (width, height, depth), then SetPos (x, y, z); alpha and the
    // depth-test flag are not used.
    HRESULT Setup(float x, float y, float z, float width, float height, float depth, int alpha,
                  int depthTest) override;
    HRESULT Setup(float x, float y, float z, float width, float height, float depth) {
        return Setup(x, y, z, width, height, depth, 255, 0);
    }
    // Draws whatever is visible; the owner decides whether to call it.
    HRESULT Draw() override;
    HRESULT Release() override;
    // Digit slot i goes to (x + i × its width, y, z).
    void SetPos(float x, float y, float z) override;
    // The quad size of digit slots 0 to digit count - 1.
    void SetSize(float width, float height, float depth) override;
    virtual void Reserved20() {}

    void SetDigitCount(int count) { strip_.SetDigitCount(count); }
    void SetAutoWidth(int flag) { strip_.SetAutoWidth(flag); }
    void SetNumber(int value) { strip_.SetNumber(value); }
    void AddNumber(int delta) { strip_.SetNumber(strip_.Shown() + delta); }
    int GetNumber() const { return strip_.Shown(); }
    // One step of an exponential count toward `target` on glide channel 9.
    int CountTo(int target, float step);
    const DigitStrip& Digits() const { return strip_; }

private:
    DigitStrip strip_;
};

} // namespace quolis
