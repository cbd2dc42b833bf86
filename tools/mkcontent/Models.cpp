// Jointed models (.mdl): the creature rigs with every animation the Metal
// Arms ask for, the cores, the floor objects; and the scenery meshes and
// the textures that all meshes name.
#include "Mkcontent.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quolis::mkcontent {
namespace {

constexpr float kPi = 3.14159265f;

std::string F(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v));
    std::string s = buf;
    return s == "-0.000" ? "0.000" : s;
}

float Smooth(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}
// 0 -> 1 -> 0 over the phase, with a quick attack.
float Pulse(float p, float peak = 0.35f) {
    return p < peak ? Smooth(p / peak) : Smooth((1 - p) / (1 - peak));
}

MeshMaterial Mat(float r, float g, float b, const std::string& texture, float er = 0, float eg = 0,
                 float eb = 0) {
    return MeshMaterial{r, g, b, 1, 12, 0.3f, 0.3f, 0.3f, er, eg, eb, texture};
}

// ---- species ------------------------------------------------------------

struct Species {
    const char* folder; // without the enemy mark
    float bodyLen, bodyRad, squash, hipY;
    int legs;
    float upper, lower;
    int tailSegs;
    float tailLen, headSize;
    bool wings, claws, horn, stinger, fins;
};

const Species kSpecies[] = {
    {"QL1", 1.30f, 0.32f, 0.9f, 0.78f, 4, 0.42f, 0.40f, 3, 0.26f, 0.28f, false, false, false, false,
     false},
    {"QL2", 1.50f, 0.46f, 0.85f, 0.66f, 4, 0.32f, 0.32f, 2, 0.18f, 0.34f, false, false, true, false,
     false},
    {"QL3", 0.90f, 0.22f, 1.0f, 1.15f, 6, 0.26f, 0.26f, 2, 0.30f, 0.22f, true, false, false, true,
     false},
    {"QL4", 1.10f, 0.34f, 0.6f, 0.45f, 6, 0.32f, 0.36f, 4, 0.28f, 0.24f, false, true, false, true,
     false},
    {"QL5", 1.00f, 0.36f, 0.9f, 0.82f, 2, 0.42f, 0.42f, 3, 0.30f, 0.30f, true, false, false, false,
     false},
    {"QL6", 1.70f, 0.36f, 0.8f, 0.95f, 0, 0.0f, 0.0f, 2, 0.34f, 0.30f, false, false, false, false,
     true},
};

const Species& FindSpecies(const std::string& folder) {
    std::string base = folder;
    if (!base.empty() && base.back() == 'E') {
        base.pop_back();
    }
    for (const auto& s : kSpecies) {
        if (base == s.folder) {
            return s;
        }
    }
    // An unknown folder: a species picked by the folder's name.
    unsigned h = 0;
    for (unsigned char c : folder) {
        h = h * 31 + c;
    }
    return kSpecies[h % (sizeof kSpecies / sizeof kSpecies[0])];
}

bool IsEnemy(const std::string& folder) {
    return !folder.empty() && folder.back() == 'E';
}

// ---- the rig ------------------------------------------------------------

enum class Role { Turn, Mover, Body, Head, LegUpper, LegLower, Tail, Wing, Claw };

struct RigPart {
    std::string mesh;
    int parent;
    Role role;
    float t[3];
    float side = 0;  // -1 left, +1 right
    float order = 0; // leg pair index or tail segment index
};

std::vector<RigPart> BuildRig(const std::string& folder) {
    const Species& s = FindSpecies(folder);
    const std::string m = folder + "\\";
    std::vector<RigPart> rig;
    // The model faces -z: a turned joint holds everything, a mover carries the lunges.
    rig.push_back({"Nothing", -1, Role::Turn, {0, 0, 0}});
    rig.push_back({"Nothing", 0, Role::Mover, {0, 0, 0}});
    rig.push_back({m + "Body.x", 1, Role::Body, {0, s.hipY, 0}});
    rig.push_back({m + "Head.x", 2, Role::Head, {0, s.bodyRad * 0.3f, s.bodyLen * 0.5f}});
    const int pairs = s.legs / 2;
    for (int pair = 0; pair < pairs; ++pair) {
        const float z = pairs == 1 ? -0.1f : s.bodyLen * (0.3f - 0.6f * pair / (pairs - 1));
        for (float side : {-1.0f, 1.0f}) {
            const int upper = static_cast<int>(rig.size());
            rig.push_back({m + "LegU.x",
                           2,
                           Role::LegUpper,
                           {side * s.bodyRad * 0.8f, -s.bodyRad * 0.3f, z},
                           side,
                           static_cast<float>(pair)});
            rig.push_back({m + "LegL.x",
                           upper,
                           Role::LegLower,
                           {0, -s.upper, 0},
                           side,
                           static_cast<float>(pair)});
        }
    }
    int parent = 2;
    float z = -s.bodyLen * 0.5f;
    for (int i = 0; i < s.tailSegs; ++i) {
        const std::string mesh =
            (s.stinger && i == s.tailSegs - 1) ? m + "Stinger.x" : m + "Tail.x";
        rig.push_back(
            {mesh, parent, Role::Tail, {0, i == 0 ? 0.05f : 0, z}, 0, static_cast<float>(i)});
        parent = static_cast<int>(rig.size()) - 1;
        z = -s.tailLen;
    }
    if (s.wings || s.fins) {
        for (float side : {-1.0f, 1.0f}) {
            rig.push_back({m + "Wing.x",
                           2,
                           Role::Wing,
                           {side * s.bodyRad * 0.6f, s.bodyRad * 0.7f, 0.05f},
                           side});
        }
    }
    if (s.claws) {
        for (float side : {-1.0f, 1.0f}) {
            rig.push_back({m + "Claw.x",
                           2,
                           Role::Claw,
                           {side * s.bodyRad * 0.7f, 0, s.bodyLen * 0.45f},
                           side});
        }
    }
    return rig;
}

// ---- animation kinds ----------------------------------------------------

enum class Kind {
    Wait,
    Damage,
    Damage3,
    Dead1,
    Dead2,
    Lunge,
    Press,
    Cannon,
    Balkan,
    Needle,
    Slash,
    Breath,
    Tail,
    Beam
};

struct Motion {
    Kind kind;
    int step;  // 1-based number after the stem (0 when none)
    int steps; // highest number of the family
};

Motion Classify(const std::string& anim) {
    std::size_t digits = anim.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(anim[digits - 1]))) {
        --digits;
    }
    const std::string stem = anim.substr(0, digits);
    const int step = digits < anim.size() ? std::atoi(anim.c_str() + digits) : 0;
    struct Family {
        const char* stem;
        Kind kind;
        int steps;
    };
    static const Family families[] = {
        {"wait", Kind::Wait, 0},       {"Damage", Kind::Damage, 3},   {"Dead", Kind::Dead1, 2},
        {"dash", Kind::Lunge, 2},      {"HDash", Kind::Lunge, 4},     {"SDash", Kind::Lunge, 3},
        {"BRun", Kind::Lunge, 4},      {"Attack", Kind::Lunge, 2},    {"PAttack", Kind::Lunge, 3},
        {"SAttack", Kind::Lunge, 5},   {"SAssault", Kind::Lunge, 10}, {"PPress", Kind::Press, 2},
        {"GPress", Kind::Press, 2},    {"OPress", Kind::Press, 2},    {"Cannon", Kind::Cannon, 2},
        {"FGravity", Kind::Cannon, 2}, {"Balkan", Kind::Balkan, 0},   {"Needle", Kind::Needle, 2},
        {"TPierce", Kind::Needle, 6},  {"PSlush", Kind::Slash, 2},    {"GSlush", Kind::Slash, 6},
        {"OSlush", Kind::Slash, 9},    {"SSlush", Kind::Slash, 9},    {"Blade", Kind::Slash, 2},
        {"DblBlade", Kind::Slash, 4},  {"TriBlade", Kind::Slash, 6},  {"VBlade", Kind::Slash, 3},
        {"SBlade", Kind::Slash, 9},    {"CSClaw", Kind::Slash, 2},    {"AMist", Kind::Breath, 2},
        {"PMist", Kind::Breath, 2},    {"BMist", Kind::Breath, 2},    {"Breath", Kind::Breath, 2},
        {"Tail", Kind::Tail, 2},       {"STail", Kind::Tail, 2},      {"MTail", Kind::Tail, 10},
        {"Laser", Kind::Beam, 2},      {"PLaser", Kind::Beam, 2},     {"Plasma", Kind::Beam, 2},
        {"Sonic", Kind::Beam, 3},      {"SonicW", Kind::Beam, 2},
    };
    for (const auto& f : families) {
        if (stem == f.stem) {
            Motion m{f.kind, step, f.steps};
            if (f.kind == Kind::Damage && step == 3) {
                m.kind = Kind::Damage3;
            }
            if (f.kind == Kind::Dead1 && step == 2) {
                m.kind = Kind::Dead2;
            }
            return m;
        }
    }
    return {Kind::Lunge, 1, 1}; // an unknown animation: one strike and back
}

int KeyCount(const Motion& m) {
    switch (m.kind) {
    case Kind::Wait:
        return 121; // two seconds, the last key equal to the first
    case Kind::Damage:
        return 21;
    case Kind::Damage3:
        return 31;
    case Kind::Dead1:
        return 46;
    case Kind::Dead2:
        return 31;
    case Kind::Press:
        return m.step == 1 ? 46 : 25;
    case Kind::Balkan:
        return 61;
    case Kind::Beam:
        return m.step == 1 ? 40 : 31;
    case Kind::Cannon:
        return m.step == 1 ? 31 : 25;
    default:
        return 28;
    }
}

// How far the strike pose is held at phase p: rest -> strike for the first
// step, strike -> rest -> strike for middle steps, strike -> rest for the last.
float StrikeAmount(const Motion& m, float p) {
    if (m.steps <= 1 || m.step == 0) {
        return Pulse(p);
    }
    if (m.step == 1) {
        return p < 0.45f ? -0.35f * Smooth(p / 0.45f)
                         : -0.35f + 1.35f * Smooth((p - 0.45f) / 0.55f);
    }
    if (m.step >= m.steps) {
        return 1 - Smooth(p);
    }
    return p < 0.4f ? 1 - 1.3f * Smooth(p / 0.4f) : -0.3f + 1.3f * Smooth((p - 0.4f) / 0.6f);
}

// Collapsed pose amount for the dead animations.
struct Pose {
    float moverT[3]{0, 0, 0}, moverR[3]{0, 0, 0}; // rotations Y, X, Z
    float bodyR[3]{0, 0, 0}, bodyDy = 0, bodyScale = 1;
    float headR[3]{0, 0, 0};
    float legSwing = 0, legSplay = 0, kneeBend = 0, stride = 0;
    float tailR[3]{0, 0, 0};
    float wingFlap = 0, clawOpen = 0;
};

Pose PoseAt(const Species& s, const Motion& m, float p, std::uint32_t seed) {
    Pose q;
    const float hover = (s.legs == 0 || s.wings) ? 1.0f : 0.0f;
    switch (m.kind) {
    case Kind::Wait: {
        const float b = std::sin(2 * kPi * p);
        q.bodyDy = 0.03f * b + hover * 0.05f * std::sin(4 * kPi * p);
        q.bodyScale = 1 + 0.02f * b;
        q.headR[1] = 4 * std::sin(2 * kPi * p + 0.6f);
        q.tailR[0] = 12 * std::sin(2 * kPi * p);
        q.wingFlap = s.wings ? 25 * std::sin(8 * kPi * p) : 8 * b;
        q.kneeBend = 4 * b;
        q.clawOpen = 8 + 8 * b;
        break;
    }
    case Kind::Damage:
    case Kind::Damage3: {
        const float a = Pulse(p, 0.2f) * (m.kind == Kind::Damage3 ? 0.7f : 1.0f);
        const float shake = m.kind == Kind::Damage3 ? std::sin(p * 6 * kPi) * (1 - p) : 0;
        q.moverT[2] = -0.35f * a;
        q.bodyR[1] = -18 * a;
        q.bodyR[2] = 10 * shake;
        q.headR[1] = -25 * a;
        q.legSwing = 12 * a;
        q.tailR[0] = -15 * a;
        q.wingFlap = 30 * a;
        break;
    }
    case Kind::Dead1:
    case Kind::Dead2: {
        const float a = m.kind == Kind::Dead1 ? Smooth(p / 0.8f) : 1.0f;
        const float twitch = m.kind == Kind::Dead2 ? 3 * std::sin(p * 5 * kPi) * (1 - p) : 0;
        q.bodyDy = -(s.hipY - s.bodyRad * s.squash) * a;
        q.bodyR[2] = 25 * a + twitch;
        q.bodyR[1] = 8 * a;
        q.headR[1] = 35 * a;
        q.headR[2] = 15 * a;
        q.legSplay = 80 * a; // the legs give way sideways
        q.kneeBend = -40 * a;
        q.tailR[0] = 10 * a;
        q.wingFlap = -40 * a;
        q.moverR[0] = 10 * a; // the fall turns the body a little
        break;
    }
    case Kind::Lunge: {
        const float a = StrikeAmount(m, p);
        const float run = std::sin(p * 6 * kPi);
        q.moverT[2] = 1.1f * a;
        q.bodyR[1] = 12 * a;
        q.headR[1] = 15 * a;
        q.stride = 30 * run * std::fabs(a);
        q.tailR[1] = -20 * a;
        q.wingFlap = 35 * a;
        q.clawOpen = 30 * a;
        break;
    }
    case Kind::Press: {
        if (m.step == 1) { // crouch, then spring high
            const float crouch = p < 0.4f ? Smooth(p / 0.4f) : 1 - Smooth((p - 0.4f) / 0.25f);
            const float rise = Smooth((p - 0.45f) / 0.55f);
            q.bodyDy = -0.25f * crouch + 2.4f * rise;
            q.moverT[2] = 0.6f * rise;
            q.kneeBend = 40 * crouch - 20 * rise;
            q.bodyR[1] = -15 * rise;
            q.wingFlap = 50 * rise;
        } else { // slam down and settle
            const float fall = Smooth(p / 0.3f);
            const float squash = Pulse(std::clamp((p - 0.25f) / 0.75f, 0.0f, 1.0f), 0.2f);
            q.bodyDy = 2.4f * (1 - fall) - 0.2f * squash;
            q.moverT[2] = 0.6f * (1 - Smooth(p));
            q.bodyScale = 1 - 0.12f * squash;
            q.kneeBend = 45 * squash;
            q.bodyR[1] = 20 * (1 - fall);
        }
        break;
    }
    case Kind::Cannon: {
        if (m.step == 1) { // rise and aim
            const float a = Smooth(p);
            q.bodyR[1] = -22 * a;
            q.headR[1] = -10 * a;
            q.kneeBend = 25 * a;
            q.tailR[0] = -25 * a;
        } else { // fire: the recoil throws the body back, then it settles
            const float kick = Pulse(p, 0.12f);
            const float settle = 1 - Smooth(p);
            q.moverT[2] = -0.45f * kick;
            q.bodyR[1] = -22 * settle - 10 * kick;
            q.headR[1] = -10 * settle - 15 * kick;
            q.kneeBend = 25 * settle;
            q.tailR[0] = -25 * settle;
        }
        break;
    }
    case Kind::Balkan: {
        const float on = Pulse(p, 0.15f);
        const float rattle = std::sin(p * 40 * kPi);
        q.bodyR[1] = -12 * on;
        q.moverT[2] = -0.05f * rattle * on;
        q.headR[1] = -8 * on + 3 * rattle * on;
        break;
    }
    case Kind::Needle: {
        const float a = StrikeAmount(m, p);
        q.tailR[1] = 35 * a;
        q.moverT[2] = 0.5f * a;
        q.bodyR[1] = 8 * a;
        q.headR[1] = -15 * a;
        q.moverT[1] = s.wings ? 0.4f * a : 0;
        break;
    }
    case Kind::Slash: {
        const float a = StrikeAmount(m, p);
        const float dir = (m.step % 2 == 0) ? -1.0f : 1.0f;
        q.moverR[0] = 35 * dir * a;
        q.moverT[2] = 0.6f * std::fabs(a);
        q.headR[2] = 20 * dir * a;
        q.clawOpen = 40 * std::fabs(a);
        q.tailR[0] = -30 * dir * a;
        q.wingFlap = 20 * a;
        break;
    }
    case Kind::Breath: {
        if (m.step <= 1) { // draw the breath in: rear up, head high
            const float a = Smooth(p);
            q.bodyR[1] = -15 * a;
            q.headR[1] = -30 * a;
            q.bodyScale = 1 + 0.08f * a;
        } else { // blow it out: head thrust low and forward, then back to rest
            const float out = Pulse(p, 0.2f);
            const float back = 1 - Smooth(p / 0.3f);
            q.bodyR[1] = -15 * back + 10 * out;
            q.headR[1] = -30 * back + 25 * out;
            q.moverT[2] = 0.3f * out;
            q.bodyScale = 1 + 0.08f * back;
        }
        break;
    }
    case Kind::Tail: {
        const float a = StrikeAmount(m, p);
        q.moverR[0] = 160 * a;
        q.tailR[0] = -40 * a;
        q.bodyR[2] = 10 * a;
        break;
    }
    case Kind::Beam: {
        if (m.step == 1) { // charge: rear up, wings open, a pulsing swell
            const float a = Smooth(p);
            q.bodyR[1] = -18 * a;
            q.bodyScale = 1 + 0.06f * a * (0.5f + 0.5f * std::sin(p * 10 * kPi));
            q.wingFlap = 45 * a;
            q.headR[1] = -8 * a;
        } else { // release: a kick back, then rest
            const float kick = Pulse(p, 0.15f);
            const float back = 1 - Smooth(p);
            q.bodyR[1] = -18 * back;
            q.moverT[2] = -0.25f * kick;
            q.wingFlap = 45 * back;
            q.headR[1] = -8 * back + 10 * kick;
        }
        break;
    }
    }
    (void)seed;
    return q;
}

Key PartKey(const RigPart& part, const Species& s, const Pose& q) {
    Key k;
    k.t[0] = part.t[0];
    k.t[1] = part.t[1];
    k.t[2] = part.t[2];
    switch (part.role) {
    case Role::Turn:
        k.r[0] = 180; // the model faces -z
        break;
    case Role::Mover:
        for (int i = 0; i < 3; ++i) {
            k.t[i] += q.moverT[i];
            k.r[i] = q.moverR[i];
        }
        break;
    case Role::Body:
        k.t[1] += q.bodyDy;
        for (int i = 0; i < 3; ++i) {
            k.r[i] = q.bodyR[i];
            k.s[i] = q.bodyScale;
        }
        break;
    case Role::Head:
        for (int i = 0; i < 3; ++i) {
            k.r[i] = q.headR[i];
        }
        break;
    case Role::LegUpper: {
        const float phase =
            (static_cast<int>(part.order) + (part.side > 0 ? 1 : 0)) % 2 ? 1.0f : -1.0f;
        k.r[1] = -q.legSwing + q.stride * phase;
        k.r[2] = part.side * (q.legSplay + (s.legs == 6 ? 35 : 0));
        break;
    }
    case Role::LegLower:
        k.r[1] = q.kneeBend + (s.legs == 6 ? 0 : 10);
        k.r[2] = -part.side * (s.legs == 6 ? 55 : 0);
        break;
    case Role::Tail: {
        const float curl = s.stinger && !s.wings ? 32.0f : 8.0f; // the scorpion's tail arches over
        for (int i = 0; i < 3; ++i) {
            k.r[i] = q.tailR[i] / (1 + part.order * 0.5f);
        }
        k.r[1] += -curl;
        break;
    }
    case Role::Wing:
        k.r[2] = part.side * (s.fins ? -30 + q.wingFlap * 0.3f : 20 + q.wingFlap);
        k.s[0] = part.side; // the left wing is the right one mirrored
        break;
    case Role::Claw:
        k.r[0] = -part.side * (15 + q.clawOpen);
        break;
    }
    return k;
}

// ---- meshes -------------------------------------------------------------

void BodyMesh(MeshData& m, const Species& s) {
    const int sides = 8;
    const float L = s.bodyLen, r = s.bodyRad;
    // Three armoured rings, a thinner joint between them.
    const float z0 = -L / 2, step = L / 3;
    for (int i = 0; i < 3; ++i) {
        const float a = z0 + step * i, b = a + step * 0.86f;
        const float taper = i == 1 ? 1.0f : 0.82f;
        m.Segment(r * taper * 0.85f, r * taper, a, b, sides, 0, s.squash);
        m.Segment(r * 0.55f, r * 0.55f, b, a + step, sides, 1, s.squash);
    }
    // Dorsal plates.
    for (int i = 0; i < 4; ++i) {
        const float z = z0 + L * (0.12f + 0.24f * i);
        m.Box(-r * 0.25f, r * s.squash * 0.85f, z - 0.06f, r * 0.25f, r * s.squash * 1.15f,
              z + 0.08f, 1);
    }
}

void HeadMesh(MeshData& m, const Species& s) {
    const float h = s.headSize;
    m.Ellipsoid(0, 0, h * 0.6f, h * 0.8f, h * 0.7f * s.squash, h, 8, 5, 0);
    m.Box(-h * 0.45f, -h * 0.65f, h * 0.6f, h * 0.45f, -h * 0.3f, h * 1.55f, 1); // jaw
    for (float side : {-1.0f, 1.0f}) {
        m.Ellipsoid(side * h * 0.45f, h * 0.25f, h * 1.3f, h * 0.16f, h * 0.12f, h * 0.12f, 6, 3,
                    2);
    }
    if (s.horn) {
        m.Segment(h * 0.22f, 0.01f, h * 1.2f, h * 2.3f, 6, 1);
    }
}

// A limb along -y from its joint.
void LimbMesh(MeshData& m, float length, float r0, float r1) {
    const std::size_t first = m.vertices.size();
    m.Segment(r0, r1, 0, length, 6, 0);
    m.Ellipsoid(0, 0, 0, r0 * 1.2f, r0 * 1.2f, r0 * 1.2f, 6, 3, 1);
    for (std::size_t i = first; i < m.vertices.size(); ++i) { // z -> -y
        auto& v = m.vertices[i];
        const float y = v.y, ny = v.ny;
        v.y = -v.z;
        v.z = y;
        v.ny = -v.nz;
        v.nz = ny;
    }
}

std::string SkinTexture(const std::string& folder) {
    return folder + "Skin.bmp";
}

std::vector<MeshMaterial> CreatureMaterials(const std::string& folder) {
    const bool enemy = IsEnemy(folder);
    return {Mat(1, 1, 1, SkinTexture(folder)), Mat(0.8f, 0.8f, 0.85f, "Joint.bmp"),
            enemy ? Mat(1, 0.3f, 0.2f, "", 0.9f, 0.15f, 0.1f)
                  : Mat(0.3f, 0.9f, 1, "", 0.2f, 0.8f, 0.95f)};
}

// ---- props --------------------------------------------------------------

MeshData PropMesh(const std::string& stem) {
    MeshData m;
    if (stem == "Rock") {
        m.materials = {Mat(1, 1, 1, "Rock.bmp")};
        m.Ellipsoid(0, 0.35f, 0, 0.75f, 0.5f, 0.65f, 7, 4, 0);
        m.Ellipsoid(0.35f, 0.2f, 0.3f, 0.35f, 0.3f, 0.3f, 6, 3, 0);
    } else if (stem == "Tree") {
        m.materials = {Mat(1, 1, 1, "Bark.bmp"), Mat(1, 1, 1, "Leaf.bmp")};
        const std::size_t first = m.vertices.size();
        m.Segment(0.14f, 0.08f, 0, 1.2f, 6, 0);
        for (std::size_t i = first; i < m.vertices.size(); ++i) { // z -> +y
            auto& v = m.vertices[i];
            std::swap(v.y, v.z);
            std::swap(v.ny, v.nz);
            v.x = -v.x;
            v.nx = -v.nx;
        }
        m.Ellipsoid(0, 1.5f, 0, 0.7f, 0.65f, 0.7f, 8, 5, 1);
        m.Ellipsoid(0.25f, 1.15f, 0.2f, 0.45f, 0.35f, 0.45f, 6, 4, 1);
    } else if (stem == "Crate") {
        m.materials = {Mat(1, 1, 1, "Crate.bmp")};
        m.Box(-0.6f, 0, -0.6f, 0.6f, 1.0f, 0.6f, 0, 0.8f);
        m.Box(-0.3f, 1.0f, -0.35f, 0.35f, 1.5f, 0.3f, 0, 0.8f);
    } else if (stem == "Pillar") {
        m.materials = {Mat(1, 1, 1, "Concrete.bmp"), Mat(1, 1, 1, "Metal.bmp")};
        m.Box(-0.5f, 0, -0.5f, 0.5f, 0.3f, 0.5f, 1);
        m.Box(-0.35f, 0.3f, -0.35f, 0.35f, 2.4f, 0.35f, 0, 0.5f);
        m.Box(-0.5f, 2.4f, -0.5f, 0.5f, 2.6f, 0.5f, 1);
    } else if (stem == "Pipe") {
        m.materials = {Mat(1, 1, 1, "Metal.bmp"), Mat(1, 1, 1, "Rust.bmp")};
        const std::size_t first = m.vertices.size();
        m.Segment(0.32f, 0.32f, -0.9f, 0.9f, 10, 0);
        for (std::size_t i = first; i < m.vertices.size(); ++i) {
            m.vertices[i].y += 0.45f;
        }
        m.Box(-0.7f, 0, -0.2f, -0.5f, 0.3f, 0.2f, 1);
        m.Box(0.5f, 0, -0.2f, 0.7f, 0.3f, 0.2f, 1);
    } else if (stem == "Wreck") {
        m.materials = {Mat(1, 1, 1, "Rust.bmp"), Mat(1, 1, 1, "Metal.bmp")};
        m.Box(-0.8f, 0, -0.5f, 0.7f, 0.45f, 0.5f, 0);
        m.Box(-0.4f, 0.45f, -0.4f, 0.3f, 0.8f, 0.35f, 0);
        m.Box(0.3f, 0.1f, -0.7f, 0.9f, 0.25f, -0.45f, 1);
    } else if (stem == "Tank") {
        m.materials = {Mat(1, 1, 1, "Tank.bmp"), Mat(1, 1, 1, "Metal.bmp")};
        const std::size_t first = m.vertices.size();
        m.Segment(0.6f, 0.6f, 0, 1.3f, 12, 0);
        for (std::size_t i = first; i < m.vertices.size(); ++i) {
            auto& v = m.vertices[i];
            std::swap(v.y, v.z);
            std::swap(v.ny, v.nz);
            v.x = -v.x;
            v.nx = -v.nx;
        }
        m.Ellipsoid(0, 1.3f, 0, 0.6f, 0.3f, 0.6f, 12, 3, 1);
    } else if (stem == "Crystal") {
        m.materials = {Mat(0.6f, 0.9f, 1, "Core.bmp", 0.2f, 0.5f, 0.6f)};
        m.Ellipsoid(0, 0, 0, 0.3f, 0.5f, 0.3f, 4, 2, 0);
    } else if (stem == "Ring") {
        m.materials = {Mat(1, 1, 1, "Metal.bmp")};
        for (int i = 0; i < 12; ++i) {
            const float a = 2 * kPi * i / 12;
            const float x = std::cos(a) * 0.55f, z = std::sin(a) * 0.55f;
            m.Box(x - 0.08f, -0.04f, z - 0.08f, x + 0.08f, 0.04f, z + 0.08f, 0);
        }
    } else { // any other prop: a marker post
        m.materials = {Mat(1, 1, 1, "Metal.bmp")};
        m.Box(-0.3f, 0, -0.3f, 0.3f, 1.2f, 0.3f, 0);
    }
    return m;
}

std::string StemOf(const std::string& name) {
    const auto slash = name.rfind('\\');
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

} // namespace

std::string WriteMdlText(const ModelData& model) {
    std::string s =
        std::to_string(model.parts.size()) + " " + std::to_string(model.keyCount) + "\r\n";
    for (const auto& part : model.parts) {
        s += part.mesh + " " + std::to_string(part.parent) + "\r\n";
        for (const auto& k : part.keys) {
            s += F(k.t[0]) + " " + F(k.t[1]) + " " + F(k.t[2]) + "  " + F(k.r[0]) + " " +
                 F(k.r[1]) + " " + F(k.r[2]) + "  " + F(k.s[0]) + " " + F(k.s[1]) + " " +
                 F(k.s[2]) + "\r\n";
        }
    }
    return s;
}

std::map<std::string, MeshData> CreatureMeshes(const std::string& folder) {
    const Species& s = FindSpecies(folder);
    const auto mats = CreatureMaterials(folder);
    std::map<std::string, MeshData> out;
    auto make = [&](const std::string& name) -> MeshData& {
        MeshData& m = out[folder + "\\" + name];
        m.materials = mats;
        return m;
    };
    BodyMesh(make("Body.x"), s);
    HeadMesh(make("Head.x"), s);
    if (s.legs > 0) {
        LimbMesh(make("LegU.x"), s.upper, s.bodyRad * 0.24f, s.bodyRad * 0.18f);
        LimbMesh(make("LegL.x"), s.lower, s.bodyRad * 0.18f, s.bodyRad * 0.08f);
    }
    if (s.tailSegs > 0) {
        MeshData& t = make("Tail.x");
        t.Segment(s.bodyRad * 0.35f, s.bodyRad * 0.28f, -s.tailLen, 0, 6, 0, s.squash);
        t.Ellipsoid(0, 0, 0, s.bodyRad * 0.3f, s.bodyRad * 0.3f, s.bodyRad * 0.3f, 6, 3, 1);
    }
    if (s.stinger) {
        MeshData& t = make("Stinger.x");
        t.Ellipsoid(0, 0, -s.tailLen * 0.4f, s.bodyRad * 0.35f, s.bodyRad * 0.35f, s.tailLen * 0.5f,
                    6, 4, 0);
        t.Segment(s.bodyRad * 0.12f, 0.01f, -s.tailLen * 0.8f, -s.tailLen * 1.5f, 5, 2);
    }
    if (s.wings || s.fins) {
        MeshData& w = make("Wing.x");
        const float span = s.fins ? 0.45f : 1.1f, chord = s.fins ? 0.35f : 0.6f;
        // A thin plate out along +x (mirrored by the joint's roll on the left).
        const float a[3] = {0, 0, chord * 0.5f}, b[3] = {span, 0.05f, chord * 0.1f};
        const float c[3] = {span * 0.8f, 0.05f, -chord * 0.5f}, d[3] = {0, 0, -chord * 0.3f};
        w.Quad(a, b, c, d, 0, 1, 1);
        w.Quad(d, c, b, a, 0, 1, 1);
        w.Segment(0.04f, 0.02f, 0, span, 5, 1);
    }
    if (s.claws) {
        MeshData& c = make("Claw.x");
        c.Segment(s.bodyRad * 0.18f, s.bodyRad * 0.14f, 0, 0.4f, 6, 0);
        c.Box(-0.1f, -0.06f, 0.4f, 0.1f, 0.06f, 0.62f, 1);
        c.Box(0.02f, -0.05f, 0.62f, 0.09f, 0.05f, 0.78f, 2);
        c.Box(-0.09f, -0.05f, 0.62f, -0.02f, 0.05f, 0.74f, 2);
    }
    return out;
}

ModelData CreatureAnimation(const std::string& folder, const std::string& animation) {
    const Species& s = FindSpecies(folder);
    const std::vector<RigPart> rig = BuildRig(folder);
    const Motion motion = Classify(animation);
    ModelData model;
    model.keyCount = KeyCount(motion);
    for (const auto& part : rig) {
        model.parts.push_back({part.mesh, part.parent, {}});
    }
    for (int k = 0; k < model.keyCount; ++k) {
        const float p = model.keyCount > 1 ? static_cast<float>(k) / (model.keyCount - 1) : 0;
        const Pose q = PoseAt(s, motion, p, 0);
        for (std::size_t i = 0; i < rig.size(); ++i) {
            model.parts[i].keys.push_back(PartKey(rig[i], s, q));
        }
    }
    return model;
}

std::map<std::string, MeshData> PropMeshes(const std::string& modelName) {
    std::map<std::string, MeshData> out;
    if (modelName.rfind("Core\\", 0) == 0) {
        out["Core\\Crystal.x"] = PropMesh("Crystal");
        out["Core\\Ring.x"] = PropMesh("Ring");
        return out;
    }
    const std::string stem = StemOf(modelName);
    out["Object\\" + stem + ".x"] = PropMesh(stem);
    return out;
}

ModelData PropAnimation(const std::string& modelName) {
    ModelData model;
    if (modelName.rfind("Core\\", 0) == 0) { // a crystal in a ring: spins, bobs, fades
        const Motion m = Classify(StemOf(modelName));
        model.keyCount = KeyCount(m);
        model.parts = {{"Nothing", -1, {}}, {"Core\\Crystal.x", 0, {}}, {"Core\\Ring.x", 0, {}}};
        for (int k = 0; k < model.keyCount; ++k) {
            const float p = model.keyCount > 1 ? static_cast<float>(k) / (model.keyCount - 1) : 0;
            Key root, crystal, ring;
            root.t[1] = 0.7f;
            crystal.r[0] = 360 * p;
            ring.r[0] = -360 * p;
            ring.r[1] = 15;
            if (m.kind == Kind::Wait) {
                root.t[1] += 0.08f * std::sin(2 * kPi * p);
            } else if (m.kind == Kind::Damage || m.kind == Kind::Damage3) {
                root.t[0] = 0.08f * std::sin(p * 8 * kPi) * (1 - p);
                crystal.r[0] = 90 * p;
                ring.r[0] = -90 * p;
            } else if (m.kind == Kind::Dead1 || m.kind == Kind::Dead2) {
                const float a = m.kind == Kind::Dead1 ? Smooth(p) : 1.0f;
                root.t[1] = 0.7f - 0.55f * a;
                for (float& v : crystal.s) {
                    v = 1 - 0.7f * a;
                }
                ring.r[2] = 70 * a;
            }
            model.parts[0].keys.push_back(root);
            model.parts[1].keys.push_back(crystal);
            model.parts[2].keys.push_back(ring);
        }
        return model;
    }
    const std::string stem = StemOf(modelName);
    const std::string mesh = "Object\\" + stem + ".x";
    if (stem == "Tree") { // sways in the wind
        model.keyCount = 121;
        model.parts = {{mesh, -1, {}}};
        for (int k = 0; k < model.keyCount; ++k) {
            Key key;
            key.r[2] = 2.5f * std::sin(2 * kPi * k / 120.0f);
            model.parts[0].keys.push_back(key);
        }
        return model;
    }
    model.keyCount = 1;
    model.parts = {{mesh, -1, {Key{}}}};
    return model;
}

MeshData SceneryMesh(const std::string& name) {
    MeshData m;
    const std::string stem = StemOf(name);
    unsigned seed = 2166136261U;
    for (unsigned char c : name) {
        seed = (seed ^ c) * 16777619U;
    }
    auto next = [&seed]() {
        seed = seed * 1664525U + 1013904223U;
        return static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f;
    };
    if (name.rfind("Menu\\MenuMap", 0) == 0) { // a block of the city as a table map
        const int block = std::max(1, std::atoi(stem.c_str() + 7));
        m.materials = {Mat(1, 1, 1, "Map.bmp"), Mat(1, 1, 1, "Building.bmp"),
                       Mat(1, 0.7f, 0.3f, "", 0.8f, 0.5f, 0.1f)};
        m.Box(-5, -0.3f, -5, 5, 0, 5, 0, 0.1f);
        for (int i = 0; i < 10 + block * 4; ++i) {
            const float x = -4.4f + next() * 8.2f, z = -4.4f + next() * 8.2f;
            const float h = 0.3f + next() * (0.4f + block * 0.5f);
            m.Box(x, 0, z, x + 0.5f + next() * 0.4f, h, z + 0.5f + next() * 0.4f, 1, 0.5f);
        }
        m.Box(-0.25f, 0, -0.25f, 0.25f, 1.5f + block * 0.8f, 0.25f, 2); // the way on
        return m;
    }
    // Scenery around a floor: a wide ground and buildings in a ring beyond it.
    float radius = 30;
    int style = 0;
    if (stem == "BlockB") {
        radius = 42;
        style = 1;
    } else if (stem == "BlockC") {
        radius = 54;
        style = 2;
    } else if (stem == "BlockD") {
        radius = 62;
        style = 3;
    } else if (stem == "Final") {
        radius = 70;
        style = 4;
    }
    m.materials = {Mat(1, 1, 1, "Ground.bmp"),
                   Mat(1, 1, 1, style == 1 ? "Container.bmp" : "Building.bmp"),
                   Mat(0.4f, 0.9f, 1, "Glow.bmp", 0.3f, 0.7f, 0.8f)};
    const float g = radius + 40;
    m.Box(-g, -0.6f, -g, g, -0.2f, g, 0, 0.05f);
    const int count = 28 + style * 6;
    for (int i = 0; i < count; ++i) {
        const float a = 2 * kPi * (i + next() * 0.5f) / count;
        const float r = radius + 4 + next() * 18;
        const float w = 3 + next() * 5, d = 3 + next() * 5;
        float h = 3 + next() * 8;
        if (style == 3 || style == 4) {
            h += 10 + next() * 25;
        }
        if (style == 1) {
            h = 2.5f * (1 + static_cast<int>(next() * 3));
        }
        const float x = std::cos(a) * r, z = std::sin(a) * r;
        m.Box(x - w / 2, -0.2f, z - d / 2, x + w / 2, h, z + d / 2, 1, 0.25f);
        if (style >= 2 && i % 4 == 0) {
            m.Box(x - 0.4f, h, z - 0.4f, x + 0.4f, h + 3, z + 0.4f,
                  2); // stacks and masts with lights
        }
    }
    if (style == 4) { // the core chamber: glowing pylons close around the floor
        for (int i = 0; i < 8; ++i) {
            const float a = 2 * kPi * i / 8;
            const float x = std::cos(a) * (radius - 2), z = std::sin(a) * (radius - 2);
            m.Box(x - 1, -0.2f, z - 1, x + 1, 30, z + 1, 2, 0.2f);
        }
    }
    return m;
}

std::set<std::string> MeshTextureNames() {
    std::set<std::string> names = {"Joint.bmp",     "Rock.bmp",     "Bark.bmp",  "Leaf.bmp",
                                   "Crate.bmp",     "Concrete.bmp", "Metal.bmp", "Rust.bmp",
                                   "Tank.bmp",      "Core.bmp",     "Map.bmp",   "Building.bmp",
                                   "Container.bmp", "Ground.bmp",   "Glow.bmp"};
    std::set<std::string> out;
    for (const auto& n : names) {
        out.insert("XFile\\" + n);
    }
    return out;
}

} // namespace quolis::mkcontent
