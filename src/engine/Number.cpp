#include "engine/Number.h"

#include <cmath>

namespace quolis {

void DigitStrip::Cut() {
    for (int i = 0; i < 10; ++i) {
        cells_[i] = {i * 0.1f, 0.f, (i + 1) * 0.1f, 1.f};
    }
    for (Slot& s : slots_) {
        s = Slot{};
    }
    created_ = 1;
}

void DigitStrip::SetDigitCount(int count) {
    if (count < 1) {
        count = 1;
    }
    if (count > kSlots) {
        count = kSlots;
    }
    count_ = count;
}

void DigitStrip::SetNumber(int value) {
    if (value == shown_) {
        return;
    }
    for (Slot& s : slots_) {
        s.visible = 0;
    }
    shown_ = value;
    if (value < 0) {
        return;
    }
    if (autoWidth_ && value < 1000000) {
        int digits = 1;
        for (int v = value; v >= 10; v /= 10) {
            ++digits;
        }
        count_ = digits;
    }
    if (value == 0) {
        for (int i = 0; i < count_; ++i) {
            slots_[i].digit = 0;
        }
        slots_[count_ - 1].visible = 1;
        return;
    }
    bool started = false;
    for (int i = 0; i < count_; ++i) {
        int power = 1;
        for (int k = 0; k < count_ - 1 - i; ++k) {
            power *= 10;
        }
        int digit = value / power;
        value %= power;
        // A value wider than the slots would give a "digit" above 9 in the
        // first slot; only its last decimal digit has a cell.
        slots_[i].digit = digit % 10;
        if (digit != 0) {
            started = true;
        }
        slots_[i].visible = (started || i == count_ - 1) ? 1 : 0;
    }
}

int DigitStrip::VisibleCount() const {
    int n = 0;
    for (const Slot& s : slots_) {
        n += s.visible;
    }
    return n;
}

void DigitStrip::Draw(TextureId texture, Argb colour) const {
    if (!created_) {
        return;
    }
    for (const Slot& s : slots_) {
        if (s.visible) {
            CPolygon::DrawScreenQuad(s.pos, s.size, cells_[s.digit], colour, texture, false);
        }
    }
}

// ---------------------------------------------------------------------------

HRESULT CNumber::Load(const std::string& textureName) {
    strip_.Cut();
    textureName_ = textureName;
    TextureId id = 0;
    if (Failed(CPolygon::GetTexture(textureName, &id))) {
        return E_FAIL;
    }
    texture_ = id;
    return S_OK;
}

HRESULT CNumber::Draw() {
    if (!IsEnabled() || !shownFlag_) {
        return S_OK;
    }
    strip_.Draw(texture_, GetPacked());
    return S_OK;
}

HRESULT CNumber::Release() {
    strip_.Free();
    return S_OK;
}

void CNumber::LayoutDigits(float x, float y, float z) {
    const float w = digitSize_.x;
    const int n = strip_.VisibleCount();
    int j = 0;
    for (int i = 0; i < DigitStrip::kSlots; ++i) {
        DigitStrip::Slot& s = strip_.At(i);
        if (s.visible) {
            s.pos = {x + static_cast<float>(j) * w - w * static_cast<float>(n) / 2, y, z};
            ++j;
        }
    }
}

void CNumber::SetDigitSize(float width, float height, float depth) {
    digitSize_ = {width, height, depth};
    for (int i = 0; i < DigitStrip::kSlots; ++i) {
        strip_.At(i).size = digitSize_;
    }
}

void CNumber::SetAnchor(const Vec3& offset, float width, float height, float depth,
                        const Viewport* viewport, const Mat4* projection, const Mat4* view,
                        const Mat4* placement, const AnchorReference* reference) {
    offset_ = offset;
    viewport_ = viewport;
    projection_ = projection;
    view_ = view;
    placement_ = placement;
    reference_ = reference;
    SetDigitSize(width, height, depth);
}

void CNumber::UpdateAnchor() {
    if (viewport_ == nullptr || projection_ == nullptr || view_ == nullptr ||
        placement_ == nullptr || reference_ == nullptr) {
        return;
    }
    Vec3 p{reference_->centreX + offset_.x, reference_->height + offset_.y,
           reference_->centreZ + offset_.z};
    Vec3 s = Project(p, *viewport_, *projection_, *view_, *placement_);
    LayoutDigits(s.x, s.y, s.z);
}

// ---------------------------------------------------------------------------

HRESULT CScreenNumber::Load(const std::string& textureName) {
    strip_.Cut();
    textureName_ = textureName;
    TextureId id = 0;
    if (Failed(CPolygon::GetTexture(textureName, &id))) {
        return E_FAIL;
    }
    texture_ = id;
    return S_OK;
}

HRESULT CScreenNumber::Setup(float x, float y, float z, float width, float height, float depth,
                             int /*alpha*/, int /*depthTest*/) {
    SetSize(width, height, depth);
    SetPos(x, y, z);
    return S_OK;
}

HRESULT CScreenNumber::Draw() {
    strip_.Draw(texture_, GetPacked());
    return S_OK;
}

HRESULT CScreenNumber::Release() {
    strip_.Free();
    return S_OK;
}

void CScreenNumber::SetPos(float x, float y, float z) {
    pos_ = {x, y, z};
    for (int i = 0; i < strip_.DigitCount(); ++i) {
        DigitStrip::Slot& s = strip_.At(i);
        s.pos = {x + static_cast<float>(i) * s.size.x, y, z};
    }
}

void CScreenNumber::SetSize(float width, float height, float depth) {
    for (int i = 0; i < strip_.DigitCount(); ++i) {
        strip_.At(i).size = {width, height, depth};
    }
}

int CScreenNumber::CountTo(int target, float step) {
    int& state = glides_.state[9];
    float& counted = glides_.current[9].x;
    float& stored = glides_.target[9].x;
    if (state == 0) {
        counted = static_cast<float>(strip_.Shown());
        stored = static_cast<float>(target);
        state = 1;
        return 1;
    }
    if (state == 1) {
        glides_.difference[9].x = stored - counted;
        if (std::fabs(glides_.difference[9].x) <= 0.1f) {
            strip_.SetNumber(static_cast<int>(stored));
            state = 2;
            return 0;
        }
        counted = counted + glides_.difference[9].x * step;
        strip_.SetNumber(static_cast<int>(counted));
        return 1;
    }
    if (target == strip_.Shown()) {
        return 0;
    }
    state = 0;
    return 1;
}

} // namespace quolis
