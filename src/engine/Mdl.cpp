#include "engine/Mdl.h"

#include "data/Tokens.h"

namespace quolis {

void MdlData::Clear() {
    parts.clear();
    root = Mat4::Identity();
    partCount = 0;
    keyCount = 0;
}

bool MdlData::Parse(const TokenList& tokens) {
    Clear();
    auto fail = [this] {
        Clear();
        return false;
    };
    if (tokens.size() < 2)
        return fail();
    std::int32_t p = 0, f = 0;
    if (!ScanInt(tokens[0], p) || !ScanInt(tokens[1], f) || p < 0 || f < 0)
        return fail();
    if (p > 0 && f < 1)
        return fail();
    // Exactly 2 + P × (2 + 9F) tokens; checked without overflow.
    const std::size_t perPart = 2 + 9 * std::size_t(f);
    const std::size_t body = tokens.size() - 2;
    if (std::size_t(f) > body || std::size_t(p) > body ||
        (p > 0 && (body % std::size_t(p) != 0 || body / std::size_t(p) != perPart)) ||
        (p == 0 && body != 0))
        return fail();

    parts.resize(std::size_t(p));
    std::size_t t = 2;
    for (auto& part : parts) {
        const std::string& name = tokens[t++];
        if (name.size() > 255)
            return fail();
        part.name = name;
        std::int32_t parent = 0;
        if (!ScanInt(tokens[t++], parent) || parent < -1 || parent >= p)
            return fail();
        part.parent = parent;
        part.scale.resize(std::size_t(f));
        part.translation.resize(std::size_t(f));
        part.rotation.resize(std::size_t(f));
        for (std::int32_t k = 0; k < f; ++k) {
            float v[9];
            for (float& x : v)
                if (!ScanFloat(tokens[t++], x))
                    return fail();
            part.translation[k] = {v[0], v[1], v[2]};
            part.rotation[k] = {v[4] * kDegToRad, v[3] * kDegToRad, v[5] * kDegToRad};
            part.scale[k] = {v[6], v[7], v[8]};
        }
    }
    // Every chain of parents must end at a root within P steps.
    for (std::size_t i = 0; i < parts.size(); ++i) {
        int at = int(i);
        std::size_t steps = 0;
        while (at >= 0) {
            if (++steps > parts.size())
                return fail();
            at = parts[std::size_t(at)].parent;
        }
    }
    partCount = p;
    keyCount = f;
    Pose(0);
    return true;
}

float MdlData::Pose(float position) {
    if (keyCount < 1)
        return 0;
    const float last = float(keyCount - 1);
    if (!(position >= 0)) // also NaN
        position = 0;
    if (position > last)
        position = last;
    const int k = int(position);
    const int next = k == keyCount - 1 ? k : k + 1;
    const float t = position - float(k);
    auto lerp = [t](const Vec3& a, const Vec3& b) {
        return Vec3{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
    };
    for (auto& part : parts) {
        const Vec3 s = lerp(part.scale[k], part.scale[next]);
        const Vec3 r = lerp(part.rotation[k], part.rotation[next]);
        const Vec3 tr = lerp(part.translation[k], part.translation[next]);
        part.pose = MatrixScaling(s.x, s.y, s.z) * MatrixRotationYawPitchRoll(r.y, r.x, r.z) *
                    MatrixTranslation(tr.x, tr.y, tr.z);
    }
    return position;
}

Mat4 MdlData::PartWorld(std::size_t part) const {
    Mat4 world = Mat4::Identity();
    // Parse guarantees the chain ends; the bound guards hand-built data.
    std::size_t steps = 0;
    for (int at = int(part); at >= 0 && at < int(parts.size()) && steps <= parts.size();
         at = parts[std::size_t(at)].parent, ++steps)
        world = world * parts[std::size_t(at)].pose;
    return world * root;
}

} // namespace quolis
