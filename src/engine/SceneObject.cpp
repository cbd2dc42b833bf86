#include "engine/SceneObject.h"

#include "common/Text.h"

namespace quolis {
namespace {

// The process-wide list of live colour components (intrusive: joining it
// never allocates).
struct ColourList {
    CColour* head = nullptr;
    int count = 0;
};

ColourList& Colours() {
    static ColourList list;
    return list;
}

int Clamp(int v, int lo, int hi) {
    if (v < lo) {
        v = lo;
    }
    if (v > hi) {
        v = hi;
    }
    return v;
}

} // namespace

// ---------------------------------------------------------------------------
// Colour component

CColour::CColour() {
    ColourList& l = Colours();
    next_ = l.head;
    if (next_ != nullptr) {
        next_->prev_ = this;
    }
    l.head = this;
    ++l.count;
}

CColour::~CColour() {
    ColourList& l = Colours();
    if (prev_ != nullptr) {
        prev_->next_ = next_;
    } else {
        l.head = next_;
    }
    if (next_ != nullptr) {
        next_->prev_ = prev_;
    }
    --l.count;
}

void CColour::SetColour(int alpha, int red, int green, int blue) {
    if (locked_) {
        return;
    }
    alpha_ = Clamp(alpha, alphaMin_, alphaMax_);
    red_ = Clamp(red, 0, 255);
    green_ = Clamp(green, 0, 255);
    blue_ = Clamp(blue, 0, 255);
    packed_ = MakeArgb(static_cast<unsigned>(alpha_), static_cast<unsigned>(red_),
                       static_cast<unsigned>(green_), static_cast<unsigned>(blue_));
}

void CColour::SetColourF(float red, float green, float blue, float alpha) {
    SetColour(static_cast<int>(alpha), static_cast<int>(red), static_cast<int>(green),
              static_cast<int>(blue));
}

void CColour::ResetColour() {
    locked_ = 0;
    alphaMin_ = 0;
    alphaMax_ = 255;
}

void CColour::ForceColour(int alpha, int red, int green, int blue) {
    Lock(0);
    SetColour(alpha, red, green, blue);
    Lock(1);
}

void CColour::ForceAlpha(int alpha) {
    Lock(0);
    SetAlpha(alpha);
    Lock(1);
}

void CColour::ForceAddAlpha(int delta) {
    Lock(0);
    AddAlpha(delta);
    Lock(1);
}

void CColour::SetAlphaUnlocked(int alpha) {
    Lock(0);
    SetAlpha(alpha);
}

void CColour::StoreRaw(int alpha, Argb packed) {
    // Red, green and blue keep their values: a later alpha change packs
    // them again.
    alpha_ = alpha;
    packed_ = packed;
}

int CColour::Fade(int target, int up, int step, bool forced) {
    if (locked_ && !forced) {
        return 0;
    }
    int signedStep = step;
    if (up == 0) {
        if (alpha_ <= target) {
            forced ? ForceAlpha(target) : SetAlpha(target);
            return 0;
        }
        signedStep = -step;
    } else if (alpha_ >= target) {
        forced ? ForceAlpha(target) : SetAlpha(target);
        return 0;
    }
    if (!CStopwatch::TimeFrozen()) {
        fadeWatch_.Sample();
    }
    if (fadeWatch_.SinceMark() < 0.03f) {
        return 1;
    }
    forced ? ForceAddAlpha(signedStep) : AddAlpha(signedStep);
    fadeWatch_.SetMark();
    return 1;
}

int CColour::FadeAlpha(int target, int up, int step) {
    return Fade(target, up, step, false);
}

int CColour::FadeAlphaForced(int target, int up, int step) {
    return Fade(target, up, step, true);
}

void CColour::ResetAllColours() {
    for (CColour* c = Colours().head; c != nullptr; c = c->next_) {
        c->ResetColour();
    }
}

void CColour::SetAllAlphaLimits(int minimum, int maximum) {
    for (CColour* c = Colours().head; c != nullptr; c = c->next_) {
        c->SetAlphaLimits(minimum, maximum);
    }
}

void CColour::SetAllAlpha(int alpha) {
    for (CColour* c = Colours().head; c != nullptr; c = c->next_) {
        c->SetAlpha(alpha);
    }
}

int CColour::LiveColourCount() {
    return Colours().count;
}

// ---------------------------------------------------------------------------
// Glides

int GlideStep(GlideChannels& g, int ch, Vec3* pos, const Vec3& to, float step) {
    switch (g.state[ch]) {
    case 0:
        g.current[ch] = *pos;
        g.target[ch] = to;
        g.state[ch] = 1;
        return 1;
    case 1: {
        if (!(g.target[ch] == to)) {
            g.state[ch] = 0;
            return 1;
        }
        g.difference[ch] = g.target[ch] - g.current[ch];
        if (Length(g.difference[ch]) <= 0.1f) {
            *pos = g.target[ch];
            g.state[ch] = 2;
            return 0;
        }
        g.current[ch] = g.current[ch] + g.difference[ch] * step;
        *pos = g.current[ch];
        return 1;
    }
    default:
        if (*pos == to) {
            return 0;
        }
        g.state[ch] = 0;
        return 1;
    }
}

WipeDirection ParseWipeDirection(std::string_view name) {
    std::string lower = AsciiLower(name);
    if (lower == "right") {
        return WipeDirection::Right;
    }
    if (lower == "up") {
        return WipeDirection::Up;
    }
    if (lower == "down") {
        return WipeDirection::Down;
    }
    return WipeDirection::Left;
}

// ---------------------------------------------------------------------------
// Scene object base

int CSceneObject::GlideTo(float x, float y, float z, float step) {
    Vec3 pos = GetPos();
    Vec3 before = pos;
    int r = GlideStep(glides_, 0, &pos, {x, y, z}, step);
    if (!(pos == before) || (r == 0 && glides_.state[0] == 2)) {
        SetPos(pos.x, pos.y, pos.z);
    }
    return r;
}

int CSceneObject::Wipe(int in, WipeDirection direction, float step) {
    return in ? WipeIn(direction, step) : WipeOut(direction, step);
}

// Channel 1 keeps the saved position in `current` and the saved size in
// `target`.
int CSceneObject::WipeIn(WipeDirection dir, float step) {
    int& state = glides_.state[1];
    Vec3& sp = glides_.current[1];
    Vec3& ss = glides_.target[1];
    if (state == 0) {
        SetAlpha(255);
        sp = GetPos();
        ss = GetSize();
        switch (dir) {
        case WipeDirection::Left:
            SetUV(1, 0, 1, 1);
            SetPos(sp.x + ss.x, sp.y, sp.z);
            break;
        case WipeDirection::Right:
            SetUV(0, 0, 0, 1);
            break;
        case WipeDirection::Up:
            SetUV(0, 1, 1, 1);
            SetPos(sp.x, sp.y + ss.y, sp.z);
            break;
        case WipeDirection::Down:
            SetUV(0, 0, 1, 0);
            break;
        }
        SetSize(0, 0, 0);
        state = 1;
        return 1;
    }
    if (state == 1) {
        UVRect r = GetUV();
        switch (dir) {
        case WipeDirection::Left: {
            r.u0 = r.u0 - step < 0 ? 0 : r.u0 - step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            float f = r.u1 - r.u0;
            SetSize(f * ss.x, ss.y, ss.z);
            SetPos(sp.x + ss.x - f * ss.x, sp.y, sp.z);
            break;
        }
        case WipeDirection::Right:
            r.u1 = r.u1 + step > 1 ? 1 : r.u1 + step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            SetSize((r.u1 - r.u0) * ss.x, ss.y, ss.z);
            break;
        case WipeDirection::Up: {
            r.v0 = r.v0 - step < 0 ? 0 : r.v0 - step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            float f = r.v1 - r.v0;
            SetSize(ss.x, f * ss.y, ss.z);
            SetPos(sp.x, sp.y + ss.y - f * ss.y, sp.z);
            break;
        }
        case WipeDirection::Down:
            r.v1 = r.v1 + step > 1 ? 1 : r.v1 + step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            SetSize(ss.x, (r.v1 - r.v0) * ss.y, ss.z);
            break;
        }
        if (GetUV() == UVRect{0, 0, 1, 1}) {
            SetPos(sp.x, sp.y, sp.z);
            SetSize(ss.x, ss.y, ss.z);
            state = 2;
        }
        return 1;
    }
    if (GetAlpha() != 0) {
        return 0;
    }
    state = 0;
    return 1;
}

int CSceneObject::WipeOut(WipeDirection dir, float step) {
    int& state = glides_.state[1];
    Vec3& sp = glides_.current[1];
    Vec3& ss = glides_.target[1];
    if (state == 0) {
        SetAlpha(255);
        sp = GetPos();
        ss = GetSize();
        SetUV(0, 0, 1, 1);
        state = 1;
        return 1;
    }
    if (state == 1) {
        UVRect r = GetUV();
        switch (dir) {
        case WipeDirection::Left:
            r.u1 = r.u1 - step < 0 ? 0 : r.u1 - step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            SetSize((r.u1 - r.u0) * ss.x, ss.y, ss.z);
            break;
        case WipeDirection::Right: {
            r.u0 = r.u0 + step > 1 ? 1 : r.u0 + step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            float f = r.u1 - r.u0;
            SetSize(f * ss.x, ss.y, ss.z);
            SetPos(sp.x + ss.x - f * ss.x, sp.y, sp.z);
            break;
        }
        case WipeDirection::Up:
            r.v1 = r.v1 - step < 0 ? 0 : r.v1 - step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            SetSize(ss.x, (r.v1 - r.v0) * ss.y, ss.z);
            break;
        case WipeDirection::Down: {
            r.v0 = r.v0 + step > 1 ? 1 : r.v0 + step;
            SetUV(r.u0, r.v0, r.u1, r.v1);
            float f = r.v1 - r.v0;
            SetSize(ss.x, f * ss.y, ss.z);
            SetPos(sp.x, sp.y + ss.y - f * ss.y, sp.z);
            break;
        }
        }
        UVRect now = GetUV();
        if (now.u1 == now.u0 || now.v1 == now.v0) {
            SetAlpha(0);
            SetPos(sp.x, sp.y, sp.z);
            SetSize(ss.x, ss.y, ss.z);
            state = 2;
        }
        return 1;
    }
    if (GetAlpha() != 255) {
        return 0;
    }
    state = 0;
    return 1;
}

} // namespace quolis
