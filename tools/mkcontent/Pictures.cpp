// The pictures of the demo campaign. One palette (gunmetal panels, cyan
// light, amber highlights, crimson for the enemy) and one style: bevelled
// metal plates with chamfered corners, soft glows on black.
#include "Mkcontent.h"

#include "common/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quolis::mkcontent {
namespace {

constexpr float kPi = 3.14159265f;

const Rgb kSteelDark{20, 26, 38};
const Rgb kSteel{52, 64, 86};
const Rgb kSteelLight{120, 140, 170};
const Rgb kCyan{70, 210, 235};
const Rgb kAmber{245, 176, 64};
const Rgb kCrimson{214, 54, 64};
const Rgb kWhite{236, 242, 250};
const Rgb kInk{8, 10, 16};

const char* kGothicP = "ＭＳ Ｐゴシック";

std::uint32_t Seed(const std::string& s) {
    std::uint32_t h = 2166136261U;
    for (unsigned char c : s) {
        h = (h ^ c) * 16777619U;
    }
    return h;
}

// Deterministic pseudo-random numbers in 0..1 from a running state.
struct Dice {
    std::uint32_t s;
    float Next() {
        s = s * 1664525U + 1013904223U;
        return static_cast<float>((s >> 8) & 0xFFFF) / 65535.0f;
    }
};

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}

std::string Folder(const std::string& name) {
    const auto at = name.rfind('\\');
    return at == std::string::npos ? std::string() : name.substr(0, at);
}
std::string Stem(const std::string& name) {
    const auto at = name.rfind('\\');
    std::string file = at == std::string::npos ? name : name.substr(at + 1);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

// Cuts the four corners of a plate back to the transparent key.
void Chamfer(Canvas& c, int size) {
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size - y; ++x) {
            c.Set(x, y, Rgb{});
            c.Set(c.Width() - 1 - x, y, Rgb{});
            c.Set(x, c.Height() - 1 - y, Rgb{});
            c.Set(c.Width() - 1 - x, c.Height() - 1 - y, Rgb{});
        }
    }
}

void DrawText(Canvas& c, TextPainter& text, const std::string& utf8, int px, Rgb colour, int cx,
              int cy, bool shadow = true, const char* face = kGothicP) {
    const TextMask m = text.Render(face, px, true, utf8);
    if (m.width == 0) {
        return;
    }
    const int x = cx - m.width / 2, y = cy - m.height / 2;
    if (shadow) {
        c.Stamp(m.alpha, m.width, m.height, x + 2, y + 2, kInk, 0.85f);
    }
    c.Stamp(m.alpha, m.width, m.height, x, y, colour);
}

// Dark backdrop with a fine hexagon-ish grid and a glow: menus and stories.
Canvas Backdrop(int w, int h, Rgb tint, std::uint32_t seed) {
    Canvas c(w, h);
    c.VerticalGradient(Mix(kSteelDark, tint, 0.35f), Scale(kSteelDark, 0.5f));
    for (int x = 0; x < w; x += 32) {
        c.FillRect(x, 0, 1, h, kSteelLight, 0.10f);
    }
    for (int y = 0; y < h; y += 32) {
        c.FillRect(0, y, w, 1, kSteelLight, 0.10f);
    }
    c.Disc(w * 0.72f, h * 0.3f, h * 0.45f, tint, 0.10f, h * 0.4f, true);
    c.Grain(5, seed);
    return c;
}

// A backdrop that repeats without a seam, for a picture that scrolls with
// wrap-around (the staff roll moves "Menu\BG.bmp" under its credits): the
// shading rises to the middle and falls back so the last row meets the
// first, the grid's pitch divides both sides, and no glow sits off-centre.
Canvas TilingBackdrop(int w, int h, Rgb tint, std::uint32_t seed) {
    Canvas c(w, h);
    const Rgb edge = Scale(kSteelDark, 0.5f);
    const Rgb middle = Mix(kSteelDark, tint, 0.35f);
    for (int y = 0; y < h; ++y) {
        const float t = 0.5f - 0.5f * std::cos(2 * kPi * static_cast<float>(y) / h);
        c.FillRect(0, y, w, 1, Mix(edge, middle, t));
    }
    for (int x = 0; x < w; x += 32) {
        c.FillRect(x, 0, 1, h, kSteelLight, 0.10f);
    }
    for (int y = 0; y < h; y += 32) {
        c.FillRect(0, y, w, 1, kSteelLight, 0.10f);
    }
    c.Grain(5, seed);
    return c;
}

Canvas Button(TextPainter& text, const std::string& label, Rgb accent) {
    Canvas c(256, 64);
    c.Panel(0, 0, 256, 64, kSteel, 4);
    for (int y = 4; y < 60; ++y) {
        c.FillRect(4, y, 248, 1, kSteelLight, 0.10f * (1.0f - (y - 4) / 56.0f));
    }
    c.FillRect(10, 12, 6, 40, accent);
    c.FillRect(240, 12, 6, 40, accent, 0.5f);
    DrawText(c, text, label, label.size() > 24 ? 22 : 26, kWhite, 132, 32);
    Chamfer(c, 8);
    c.LiftBlack(true);
    return c;
}

std::string ButtonLabel(const std::string& name) {
    static const std::pair<const char*, const char*> labels[] = {
        {"Title\\Continue", "つづきから"},
        {"Title\\Start", "はじめから"},
        {"Title\\KeyConfig", "キーコンフィグ"},
        {"Menu\\NextBattle", "次の戦闘へ"},
        {"Menu\\Status", "ステータス"},
        {"Menu\\LvUp", "レベルアップ"},
        {"Menu\\Gousei", "合成"},
        {"Menu\\Saisei", "再生"},
        {"Menu\\Haiki", "廃棄"},
        {"Menu\\Save", "セーブ"},
        {"Menu\\Load", "ロード"},
        {"Battle\\TurnEnd", "ターン終了"},
        {"Battle\\Move", "移動"},
        {"Battle\\Attack", "攻撃"},
        {"Script\\Finish", "おわる"},
        {"Script\\Record", "記録を見る"},
    };
    const std::string key = name.substr(7, name.size() - 11); // "Button\" ... ".bmp"
    for (const auto& [k, v] : labels) {
        if (key == k) {
            return v;
        }
    }
    return Cp932ToUtf8(Stem(name)); // Metal Arms: the attack's own name
}

// ---- effect sheets ----------------------------------------------------

using CellFn = void (*)(Canvas&, float cx, float cy, float s, float p, Dice&);

void Explosion(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const float r = s * (0.1f + 0.26f * std::sqrt(p));
    const float heat = 1.0f - p;
    const float fade = 1.0f - 0.85f * p;
    c.Disc(cx, cy, r, Mix(Rgb{90, 40, 20}, kAmber, heat), 0.9f * fade, r * 0.3f + 1, true);
    c.Disc(cx, cy, r * 0.6f * heat, Rgb{255, 245, 200}, heat, r * 0.25f + 1, true);
    for (int i = 0; i < 10; ++i) {
        const float a = d.Next() * 2 * kPi, q = r * (0.5f + 0.4f * d.Next());
        c.Disc(cx + std::cos(a) * q, cy + std::sin(a) * q, s * 0.06f * (0.4f + p),
               Mix(kAmber, Rgb{70, 60, 60}, p), 0.6f * fade, 2, true);
    }
}
void Gravity(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float spin = p * 4 * kPi;
    for (int arm = 0; arm < 5; ++arm) {
        for (int k = 0; k < 18; ++k) {
            const float t = k / 18.0f;
            const float a = spin + arm * 2 * kPi / 5 + t * 3;
            const float rr = s * 0.45f * (1 - t) * (0.4f + 0.6f * std::sin(p * kPi));
            c.Disc(cx + std::cos(a) * rr, cy + std::sin(a) * rr, 2 + 3 * t,
                   Mix(Rgb{120, 60, 220}, Rgb{220, 180, 255}, t), 0.7f, 2, true);
        }
    }
    c.Disc(cx, cy, s * 0.10f * std::sin(p * kPi) + 1, Rgb{250, 230, 255}, 0.9f, 3, true);
}
void Flare(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float r = s * 0.45f * std::sin(std::min(p * 1.3f, 1.0f) * kPi * 0.5f + 0.1f);
    const float fade = p < 0.7f ? 1.0f : (1 - p) / 0.3f;
    c.Disc(cx, cy, r, Rgb{255, 250, 210}, 0.9f * fade, r * 0.6f + 1, true);
    for (int i = 0; i < 12; ++i) {
        const float a = i * kPi / 6 + p;
        c.Line(cx, cy, cx + std::cos(a) * r * 1.2f, cy + std::sin(a) * r * 1.2f, 1.5f,
               Rgb{255, 200, 120}, 0.7f * fade, true);
    }
}
void Crush(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float fade = 1 - p;
    const int spikes = 9;
    for (int i = 0; i < spikes; ++i) {
        const float a = i * 2 * kPi / spikes + 0.3f;
        const float len = s * (0.15f + 0.3f * std::sqrt(p));
        c.Line(cx + std::cos(a) * len * 0.4f, cy + std::sin(a) * len * 0.4f, cx + std::cos(a) * len,
               cy + std::sin(a) * len, 3 * fade + 1, kWhite, fade, true);
    }
    c.Ring(cx, cy, s * 0.45f * p, 2 + 3 * fade, Rgb{200, 220, 255}, fade, true);
    c.Disc(cx, cy, s * 0.12f * fade, Rgb{255, 255, 230}, fade, 3, true);
}
void Slush(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float fade = p < 0.6f ? 1.0f : (1 - p) / 0.4f;
    const float head = -2.6f + p * 4.2f;
    for (int k = 0; k < 48; ++k) {
        const float t = k / 48.0f;
        const float a = head - t * 2.2f;
        const float r = s * 0.38f;
        c.Disc(cx + std::cos(a) * r, cy + std::sin(a) * r * 0.75f, (1 - t) * s * 0.07f + 0.5f,
               Mix(kWhite, kCyan, t), fade * (1 - t), 1.5f, true);
    }
}
void Cs(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const float fade = p < 0.5f ? 1.0f : (1 - p) * 2;
    for (int line = -1; line <= 1; ++line) {
        float x = cx - s * 0.35f + line * s * 0.1f, y = cy - s * 0.35f - line * s * 0.1f;
        const float reach = std::min(1.0f, p * 2.5f);
        for (int k = 0; k < 10; ++k) {
            const float nx = x + s * 0.07f * reach, ny = y + s * 0.07f * reach;
            const float j = (d.Next() - 0.5f) * s * 0.06f;
            c.Line(x, y, nx + j, ny - j, 2, Rgb{190, 255, 240}, fade, true);
            x = nx + j;
            y = ny - j;
        }
    }
}
void Sonic(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    for (int i = 0; i < 3; ++i) {
        const float q = p - i * 0.15f + 0.04f;
        if (q > 0) {
            c.Ring(cx, cy, s * 0.44f * q + 3, 3 * (1 - q) + 1, Rgb{170, 230, 255}, 1 - q, true);
        }
    }
}
void Beating(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const int hits = 3 + static_cast<int>(p * 5);
    for (int i = 0; i < hits; ++i) {
        const float x = cx + (d.Next() - 0.5f) * s * 0.7f, y = cy + (d.Next() - 0.5f) * s * 0.7f;
        c.Disc(x, y, s * 0.05f, kAmber, 0.9f, 2, true);
        c.Line(x - s * 0.08f, y, x + s * 0.08f, y, 1, Rgb{255, 240, 200}, 0.8f, true);
        c.Line(x, y - s * 0.08f, x, y + s * 0.08f, 1, Rgb{255, 240, 200}, 0.8f, true);
    }
}
void Condensation(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float inward = 1 - p;
    for (int i = 0; i < 12; ++i) {
        const float a = i * kPi / 6;
        const float r0 = s * (0.08f + 0.38f * inward), r1 = r0 + s * 0.12f;
        c.Line(cx + std::cos(a) * r0, cy + std::sin(a) * r0, cx + std::cos(a) * r1,
               cy + std::sin(a) * r1, 2, Rgb{225, 235, 255}, 0.9f, true);
    }
    c.Disc(cx, cy, s * 0.2f * p, kWhite, p, 4, true);
}
void Mist(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const float fade = p < 0.6f ? 0.8f : 0.8f * (1 - p) / 0.4f;
    for (int i = 0; i < 9; ++i) {
        const float a = d.Next() * 2 * kPi, q = s * 0.25f * (0.3f + p) * d.Next();
        c.Disc(cx + std::cos(a) * q, cy + std::sin(a) * q - p * s * 0.05f, s * (0.1f + 0.18f * p),
               Rgb{210, 210, 210}, fade * 0.6f, s * 0.12f, true);
    }
}
void ISonic(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    for (int i = 0; i < 4; ++i) {
        const float q = p - i * 0.12f + 0.04f;
        if (q <= 0) {
            continue;
        }
        for (int k = 0; k < 48; ++k) {
            const float a = k * kPi / 24;
            const float r = s * 0.45f * q * (1 + 0.12f * std::sin(a * 5 + p * 12));
            c.Disc(cx + std::cos(a) * r, cy + std::sin(a) * r, 1.5f, Rgb{255, 120, 220}, 1 - q, 1,
                   true);
        }
    }
}
void Plasma(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const float glow = std::sin(p * kPi);
    c.Disc(cx, cy, s * 0.18f * glow + 2, Rgb{160, 200, 255}, 0.9f, s * 0.1f, true);
    for (int arc = 0; arc < 6; ++arc) {
        float a = d.Next() * 2 * kPi, x = cx, y = cy;
        for (int k = 0; k < 6; ++k) {
            a += (d.Next() - 0.5f) * 1.2f;
            const float nx = x + std::cos(a) * s * 0.07f * glow,
                        ny = y + std::sin(a) * s * 0.07f * glow;
            c.Line(x, y, nx, ny, 1.5f, Rgb{210, 230, 255}, glow, true);
            x = nx;
            y = ny;
        }
    }
}
void Burn(Canvas& c, float cx, float cy, float s, float p, Dice& d) {
    const float fade = p < 0.7f ? 1.0f : (1 - p) / 0.3f;
    for (int i = 0; i < 14; ++i) {
        const float x = cx + (d.Next() - 0.5f) * s * 0.6f;
        const float rise = std::fmod(d.Next() + p * 1.5f, 1.0f);
        const float y = cy + s * 0.35f - rise * s * 0.7f;
        c.Disc(x, y, s * 0.08f * (1 - rise) + 1, Mix(Rgb{255, 220, 120}, kCrimson, rise),
               fade * 0.8f, 4, true);
    }
}
void Laser(Canvas& c, float cx, float cy, float s, float p, Dice&) {
    const float width = s * 0.2f * std::sin(std::pow(p, 0.7f) * kPi) + 1;
    for (int y = static_cast<int>(cy - width); y <= static_cast<int>(cy + width); ++y) {
        const float t = 1 - std::fabs(y - cy) / width;
        for (int x = static_cast<int>(cx - s / 2); x < static_cast<int>(cx + s / 2); ++x) {
            c.Add(x, y, Mix(Rgb{255, 80, 80}, Rgb{255, 255, 255}, t * t), t);
        }
    }
}

struct SheetDef {
    EffectSheet sheet;
    CellFn draw;
};
const SheetDef kSheets[] = {
    {{"Effect\\Explosion.bmp", 10, 3}, Explosion},
    {{"Effect\\Gravity.bmp", 10, 2}, Gravity},
    {{"Effect\\Flare.bmp", 10, 3}, Flare},
    {{"Effect\\Crush.bmp", 10, 2}, Crush},
    {{"Effect\\Slush.bmp", 10, 2}, Slush},
    {{"Effect\\CS.bmp", 10, 3}, Cs},
    {{"Effect\\Sonic.bmp", 5, 3}, Sonic},
    {{"Effect\\Beating.bmp", 10, 2}, Beating},
    {{"Effect\\Condensation.bmp", 10, 2}, Condensation},
    {{"Effect\\Mist.bmp", 10, 3}, Mist},
    {{"Effect\\ISonic.bmp", 10, 2}, ISonic},
    {{"Effect\\Plasma.bmp", 10, 4}, Plasma},
    {{"Effect\\Burn.bmp", 10, 3}, Burn},
    {{"Effect\\Laser.bmp", 10, 2}, Laser},
};

Canvas EffectPicture(const SheetDef& def) {
    constexpr int kCell = 64;
    const int cols = def.sheet.columns, rows = def.sheet.rows;
    Canvas c(cols * kCell, rows * kCell);
    const int cells = cols * rows;
    Dice d{Seed(def.sheet.name)};
    for (int k = 0; k < cells; ++k) {
        // The last cell is never shown (the effect stops as it would appear),
        // so the shown cells run from p = 0 to just before the end.
        const float p = cells > 1 ? static_cast<float>(k) / (cells - 1) : 0;
        Canvas cell(kCell, kCell);
        Dice cellDice{d.s + static_cast<std::uint32_t>(k) * 7919U};
        def.draw(cell, kCell / 2.0f, kCell / 2.0f, kCell, std::min(p, 1.0f), cellDice);
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                c.Set((k % cols) * kCell + x, (k / cols) * kCell + y, cell.Get(x, y));
            }
        }
    }
    c.LiftBlack(true);
    return c;
}

// ---- floors -----------------------------------------------------------

Canvas FloorTile(const std::string& stem, std::uint32_t seed) {
    Canvas c(64, 64);
    Dice d{seed};
    if (stem == "Black") {
        c = Canvas(64, 64, Rgb{6, 6, 9});
        c.Grain(2, seed);
        return c;
    }
    struct Look {
        const char* stem;
        Rgb base;
        float grain;
    };
    static const Look looks[] = {
        {"Grass", {60, 110, 52}, 14}, {"Soil", {104, 78, 52}, 12},   {"Stone", {118, 116, 110}, 10},
        {"Metal", {92, 104, 120}, 5}, {"Tile", {168, 160, 140}, 4},  {"Sand", {196, 176, 124}, 9},
        {"Water", {40, 86, 138}, 5},  {"Asphalt", {58, 60, 64}, 10}, {"Panel", {70, 84, 104}, 4},
    };
    Rgb base{90, 96, 108};
    float grain = 8;
    for (const auto& l : looks) {
        if (stem == l.stem) {
            base = l.base;
            grain = l.grain;
        }
    }
    c = Canvas(64, 64, base);
    if (stem == "Grass") {
        for (int i = 0; i < 90; ++i) {
            const float x = d.Next() * 64, y = d.Next() * 64;
            c.Line(x, y, x + (d.Next() - 0.5f) * 3, y - 3 - d.Next() * 3, 1, Rgb{90, 150, 70},
                   0.7f);
        }
    } else if (stem == "Stone") {
        for (int i = 0; i < 4; ++i) {
            c.FillRect(0, i * 16, 64, 1, kSteelDark, 0.5f);
            c.FillRect((i % 2) * 16 + 8, i * 16, 1, 16, kSteelDark, 0.5f);
            c.FillRect((i % 2) * 16 + 40, i * 16, 1, 16, kSteelDark, 0.5f);
        }
    } else if (stem == "Metal" || stem == "Panel") {
        c.Panel(0, 0, 64, 64, base, 3);
        for (float x : {8.0f, 56.0f}) {
            for (float y : {8.0f, 56.0f}) {
                c.Disc(x, y, 2.2f, kSteelLight, 0.8f);
            }
        }
        if (stem == "Panel") {
            c.FillRect(14, 30, 36, 4, kCyan, 0.45f);
        } else {
            for (int k = 0; k < 64; k += 8) {
                c.Line(static_cast<float>(k), 16, static_cast<float>(k) + 6, 22, 1, kSteelLight,
                       0.25f);
            }
        }
    } else if (stem == "Tile") {
        c.FillRect(0, 0, 64, 2, kSteel, 0.6f);
        c.FillRect(0, 31, 64, 2, kSteel, 0.6f);
        c.FillRect(0, 0, 2, 64, kSteel, 0.6f);
        c.FillRect(31, 0, 2, 64, kSteel, 0.6f);
    } else if (stem == "Water") {
        for (int i = 0; i < 6; ++i) {
            const float y = 6 + i * 10.5f;
            for (int x = 0; x < 64; x += 2) {
                c.Disc(static_cast<float>(x), y + 2 * std::sin(x * 0.2f + i), 0.8f,
                       Rgb{120, 170, 220}, 0.5f);
            }
        }
    } else if (stem == "Asphalt") {
        c.FillRect(0, 30, 64, 4, Rgb{210, 190, 90}, 0.35f);
    }
    c.Grain(grain, seed);
    c.Ring(32, 32, 300, 1, kInk, 0); // keeps the style call order identical
    c.FillRect(0, 0, 64, 1, kInk, 0.25f);
    c.FillRect(0, 0, 1, 64, kInk, 0.25f);
    c.LiftBlack(false);
    return c;
}

// ---- people -----------------------------------------------------------

struct Person {
    const char* stem;
    Rgb hair, suit, eyes;
    bool longHair;
};
const Person kPeople[] = {
    {"Mina", {60, 40, 34}, {48, 92, 150}, {90, 150, 210}, true},
    {"MinaComm", {60, 40, 34}, {48, 92, 150}, {90, 150, 210}, true},
    {"Kai", {34, 34, 44}, {150, 120, 60}, {80, 70, 60}, false},
    {"Hart", {200, 200, 206}, {220, 222, 228}, {70, 100, 90}, false},
    {"Varga", {140, 30, 36}, {36, 30, 34}, {230, 60, 50}, false},
};

const Person* FindPerson(const std::string& stem) {
    for (const auto& p : kPeople) {
        if (stem == p.stem) {
            return &p;
        }
    }
    return nullptr;
}

void DrawFigure(Canvas& c, const Person& p, float cx, float top, float scale, bool fullBody) {
    const Rgb skin{236, 200, 172};
    const float head = 34 * scale;
    // Body and shoulders.
    c.Disc(cx, top + head * 2.9f, head * 1.5f, p.suit, 1, 2);
    if (fullBody) {
        c.FillRect(static_cast<int>(cx - head * 1.3f), static_cast<int>(top + head * 2.9f),
                   static_cast<int>(head * 2.6f), static_cast<int>(head * 4.5f), p.suit);
        c.FillRect(static_cast<int>(cx - head * 0.9f), static_cast<int>(top + head * 7.4f),
                   static_cast<int>(head * 0.7f), static_cast<int>(head * 4.4f),
                   Scale(p.suit, 0.7f));
        c.FillRect(static_cast<int>(cx + head * 0.2f), static_cast<int>(top + head * 7.4f),
                   static_cast<int>(head * 0.7f), static_cast<int>(head * 4.4f),
                   Scale(p.suit, 0.7f));
        c.FillRect(static_cast<int>(cx - head * 1.3f), static_cast<int>(top + head * 4.2f),
                   static_cast<int>(head * 2.6f), static_cast<int>(head * 0.25f), kAmber, 0.8f);
    }
    c.FillRect(static_cast<int>(cx - head * 0.3f), static_cast<int>(top + head * 1.6f),
               static_cast<int>(head * 0.6f), static_cast<int>(head * 0.7f), Scale(skin, 0.9f));
    // Hair behind, face, hair in front.
    if (p.longHair) {
        c.Disc(cx, top + head * 1.4f, head * 1.15f, p.hair, 1, 2);
    }
    c.Disc(cx, top + head, head, skin, 1, 2);
    c.Disc(cx, top + head * 0.55f, head * 0.95f, p.hair, 1, 2);
    c.FillRect(static_cast<int>(cx - head), static_cast<int>(top + head * 0.75f),
               static_cast<int>(head * 2), static_cast<int>(head * 0.25f), skin, 0);
    c.Disc(cx, top + head * 1.15f, head * 0.8f, skin, 1, 1.5f);
    c.Disc(cx, top + head * 0.35f, head * 0.85f, p.hair, 1, 1.5f);
    for (float side : {-1.0f, 1.0f}) {
        c.Disc(cx + side * head * 0.35f, top + head * 1.1f, head * 0.14f, kWhite, 1, 1);
        c.Disc(cx + side * head * 0.35f, top + head * 1.12f, head * 0.09f, p.eyes, 1, 1);
    }
    c.Line(cx - head * 0.18f, top + head * 1.55f, cx + head * 0.18f, top + head * 1.55f,
           1.5f * scale, Rgb{170, 90, 90});
}

Canvas Portrait(const std::string& stem) {
    Canvas c(128, 128);
    const Person* p = FindPerson(stem);
    if (p == nullptr) {
        return c; // "Nothing": an empty (transparent) frame content
    }
    c.VerticalGradient(Mix(kSteel, p->suit, 0.3f), kSteelDark);
    c.Disc(64, 40, 70, p->eyes, 0.12f, 60, true);
    DrawFigure(c, *p, 64, 14, 1.0f, false);
    if (stem == "MinaComm") { // over the communicator: scan lines
        for (int y = 0; y < 128; y += 3) {
            c.FillRect(0, y, 128, 1, kCyan, 0.12f);
        }
    }
    c.Grain(3, Seed(stem));
    c.LiftBlack(false);
    return c;
}

Canvas Standing(const std::string& stem) {
    Canvas c(256, 512);
    const Person* p = FindPerson(stem);
    if (p != nullptr) {
        DrawFigure(c, *p, 128, 40, 1.2f, true);
    }
    c.LiftBlack(true);
    return c;
}

Canvas Scene(const std::string& stem, int w, int h) {
    struct Look {
        const char* stem;
        Rgb sky, ground;
        int kind; // 0 city, 1 indoor, 2 water, 3 industrial
    };
    static const Look looks[] = {
        {"Canal", {40, 60, 90}, {30, 50, 70}, 2},    {"City", {60, 70, 110}, {40, 42, 50}, 0},
        {"Core", {30, 20, 50}, {24, 18, 36}, 1},     {"Dawn", {230, 150, 110}, {50, 50, 70}, 0},
        {"Highway", {70, 90, 130}, {50, 50, 56}, 0}, {"Institute", {70, 80, 90}, {40, 44, 50}, 1},
        {"Lab", {40, 60, 70}, {26, 34, 40}, 1},      {"OldTown", {120, 100, 90}, {60, 50, 44}, 0},
        {"Plant", {80, 70, 60}, {44, 40, 36}, 3},    {"Tower", {30, 30, 60}, {20, 20, 34}, 0},
        {"Yard", {90, 100, 110}, {60, 58, 54}, 3},   {"CityMap", {20, 40, 60}, {20, 40, 60}, 4},
    };
    Look look{"", {60, 70, 100}, {36, 40, 50}, 0};
    for (const auto& l : looks) {
        if (stem == l.stem) {
            look = l;
        }
    }
    Canvas c(w, h);
    Dice d{Seed(stem)};
    c.VerticalGradient(look.sky, look.ground);
    const float horizon = h * 0.62f;
    if (look.kind == 4) { // a map: grid, roads and blocks
        for (int i = 0; i < 40; ++i) {
            c.Panel(static_cast<int>(d.Next() * w), static_cast<int>(d.Next() * h),
                    20 + static_cast<int>(d.Next() * 50), 16 + static_cast<int>(d.Next() * 40),
                    Mix(kSteel, kCyan, 0.15f), 2);
        }
        for (int x = 0; x < w; x += 64) {
            c.FillRect(x, 0, 3, h, kCyan, 0.3f);
        }
        for (int y = 0; y < h; y += 64) {
            c.FillRect(0, y, w, 3, kCyan, 0.3f);
        }
        c.Ring(w * 0.6f, h * 0.45f, 18, 3, kCrimson);
    } else if (look.kind == 1) { // rooms: wall panels, consoles and lights
        for (int x = 0; x < w; x += 64) {
            c.Panel(x + 2, 20, 60, static_cast<int>(horizon) - 20, Mix(look.sky, kSteel, 0.5f), 3);
        }
        for (int x = 16; x < w; x += 96) {
            c.FillRect(x, static_cast<int>(horizon) - 60, 56, 40, kSteelDark);
            c.FillRect(x + 6, static_cast<int>(horizon) - 54, 44, 20, kCyan, 0.5f);
        }
        c.FillRect(0, static_cast<int>(horizon), w, h, look.ground);
        if (stem == "Core") {
            c.Disc(w / 2.0f, horizon - 70, 50, Rgb{120, 220, 255}, 0.7f, 40, true);
        }
    } else { // skylines
        for (int layer = 0; layer < 2; ++layer) {
            const Rgb shade = Mix(look.sky, kInk, 0.55f + layer * 0.25f);
            for (float x = -10; x < w;) {
                const float bw = 24 + d.Next() * 50;
                const float bh = (0.15f + d.Next() * 0.35f) * h * (layer ? 0.8f : 1.0f);
                c.FillRect(static_cast<int>(x), static_cast<int>(horizon - bh),
                           static_cast<int>(bw), static_cast<int>(bh) + 1, shade);
                for (int k = 0; k < 6; ++k) {
                    c.FillRect(static_cast<int>(x + 4 + d.Next() * (bw - 8)),
                               static_cast<int>(horizon - bh + 6 + d.Next() * (bh - 12)), 3, 3,
                               kAmber, 0.3f + 0.4f * layer);
                }
                x += bw + 2;
            }
        }
        c.FillRect(0, static_cast<int>(horizon), w, h, look.ground);
        if (look.kind == 2) {
            for (int y = static_cast<int>(horizon) + 6; y < h; y += 7) {
                c.FillRect(static_cast<int>(d.Next() * w * 0.8f), y,
                           40 + static_cast<int>(d.Next() * 80), 1, Rgb{140, 180, 220}, 0.4f);
            }
        } else if (look.kind == 3) {
            for (int i = 0; i < 5; ++i) {
                const int x = static_cast<int>(30 + i * w / 5.0f);
                c.FillRect(x, static_cast<int>(horizon - h * 0.45f), 14,
                           static_cast<int>(h * 0.45f), Mix(kInk, look.sky, 0.3f));
                c.Disc(x + 7.0f, horizon - h * 0.47f, 12, Rgb{200, 200, 200}, 0.2f, 10);
            }
        } else {
            c.FillRect(0, static_cast<int>(horizon) + 24, w, 3, kAmber, 0.25f);
        }
        if (stem == "Dawn") {
            c.Disc(w * 0.3f, horizon, h * 0.12f, Rgb{255, 220, 160}, 0.9f, 12, true);
        }
    }
    c.Grain(4, Seed(stem));
    c.LiftBlack(false);
    return c;
}

// A creature of the ＱＬ for pictures: a segmented body on jointed legs,
// a wedge head with a glowing eye, a tail of shrinking rings; lit from the
// upper left with a cyan rim.
void Creature(Canvas& c, float cx, float cy, float s, Rgb body) {
    const Rgb dark = Scale(body, 0.55f), light = Mix(body, kWhite, 0.35f);
    // Far legs first, darker.
    for (int pass = 0; pass < 2; ++pass) {
        const Rgb leg = pass == 0 ? Scale(dark, 0.7f) : dark;
        const float shift = pass == 0 ? s * 0.05f : 0;
        for (int i = 0; i < 2; ++i) {
            const float hx = cx - s * 0.18f + i * s * 0.36f + shift, hy = cy + s * 0.05f;
            const float kx = hx + s * (i == 0 ? -0.08f : 0.1f), ky = hy + s * 0.2f;
            const float fx = kx - s * 0.03f, fy = cy + s * 0.42f;
            c.Line(hx, hy, kx, ky, s * 0.07f, leg);
            c.Line(kx, ky, fx, fy, s * 0.05f, leg);
            c.Disc(kx, ky, s * 0.04f, Scale(leg, 1.3f), 1, 1.5f);
            c.Line(fx - s * 0.04f, fy, fx + s * 0.05f, fy, s * 0.025f, leg);
        }
    }
    // Tail: rings shrinking back and up.
    for (int i = 0; i < 7; ++i) {
        const float t = i / 6.0f;
        c.Disc(cx - s * (0.3f + 0.3f * t), cy - s * (0.02f + 0.18f * t * t),
               s * (0.08f - 0.05f * t), i % 2 ? dark : body, 1, 1.5f);
    }
    // Body: three armoured segments.
    for (int i = 0; i < 3; ++i) {
        const float x = cx - s * 0.2f + i * s * 0.2f;
        c.Disc(x, cy, s * 0.14f, body, 1, 1.5f);
        c.Disc(x - s * 0.03f, cy - s * 0.04f, s * 0.1f, light, 0.35f, s * 0.05f);
        c.FillRect(static_cast<int>(x - s * 0.05f), static_cast<int>(cy - s * 0.17f),
                   static_cast<int>(s * 0.1f), static_cast<int>(s * 0.05f), dark);
        c.Line(x + s * 0.12f, cy - s * 0.1f, x + s * 0.12f, cy + s * 0.1f, s * 0.012f, kInk, 0.6f);
    }
    // Head: a wedge with a jaw and one eye.
    const float hx = cx + s * 0.36f, hy = cy - s * 0.06f;
    c.Disc(hx, hy, s * 0.1f, body, 1, 1.5f);
    c.Line(hx, hy, hx + s * 0.2f, hy + s * 0.03f, s * 0.1f, body);
    c.Line(hx + s * 0.02f, hy + s * 0.07f, hx + s * 0.18f, hy + s * 0.1f, s * 0.04f, dark);
    c.Disc(hx + s * 0.1f, hy - s * 0.02f, s * 0.025f, kCyan, 1, 1);
    c.Disc(hx + s * 0.1f, hy - s * 0.02f, s * 0.08f, kCyan, 0.35f, s * 0.06f, true);
    // Rim light along the back.
    c.Line(cx - s * 0.32f, cy - s * 0.12f, cx + s * 0.3f, cy - s * 0.13f, s * 0.01f, kCyan, 0.5f,
           true);
}

Canvas Emblem(int size) {
    Canvas c(size, size);
    const float m = size / 2.0f;
    c.Disc(m, m, m * 0.9f, kSteel, 1, 2);
    c.Ring(m, m, m * 0.82f, m * 0.08f, kAmber);
    c.Ring(m, m, m * 0.6f, m * 0.04f, kCyan);
    for (int i = 0; i < 6; ++i) {
        const float a = i * kPi / 3;
        c.Line(m, m, m + std::cos(a) * m * 0.55f, m + std::sin(a) * m * 0.55f, m * 0.06f,
               kSteelLight);
    }
    c.Disc(m, m, m * 0.18f, kCyan, 1, 3);
    c.LiftBlack(true);
    return c;
}

Canvas Banner(TextPainter& text, const char* label, Rgb accent) {
    Canvas c(512, 96);
    for (int y = 10; y < 86; ++y) {
        const float t = 1 - std::fabs(y - 48) / 38.0f;
        c.FillRect(0, y, 512, 1, Mix(kSteelDark, accent, 0.35f * t), 0.9f);
    }
    c.FillRect(0, 10, 512, 3, accent);
    c.FillRect(0, 83, 512, 3, accent);
    DrawText(c, text, label, 44, kWhite, 256, 48, true, "Arial");
    c.LiftBlack(true);
    return c;
}

} // namespace

Canvas EmblemPicture(int size) {
    return Emblem(size);
}

const std::vector<EffectSheet>& EffectSheets() {
    static const std::vector<EffectSheet> sheets = [] {
        std::vector<EffectSheet> out;
        for (const auto& s : kSheets) {
            out.push_back(s.sheet);
        }
        return out;
    }();
    return sheets;
}

Canvas MakePicture(const std::string& name, TextPainter& text) {
    const std::string folder = Folder(name);
    const std::string stem = Stem(name);
    const std::uint32_t seed = Seed(name);
    for (const auto& s : kSheets) {
        if (name == s.sheet.name) {
            return EffectPicture(s);
        }
    }
    if (name.rfind("Button\\", 0) == 0) {
        const bool battle = folder == "Button\\Battle";
        const bool arms = battle && stem != "TurnEnd" && stem != "Move" && stem != "Attack";
        return Button(text, ButtonLabel(name), arms ? kCrimson : battle ? kAmber : kCyan);
    }
    if (folder == "Floor") {
        return FloorTile(stem, seed);
    }
    if (name == "Wall\\Wall.bmp" || folder == "Wall") {
        Canvas c(64, 64, Rgb{66, 72, 84});
        for (int y = 0; y < 64; y += 16) {
            c.FillRect(0, y, 64, 2, kSteelDark, 0.7f);
        }
        c.FillRect(0, 0, 64, 4, kAmber, 0.35f);
        c.Grain(7, seed);
        c.LiftBlack(false);
        return c;
    }
    if (folder == "Face") {
        return Portrait(stem);
    }
    if (folder == "Stand") {
        return Standing(stem);
    }
    if (folder == "Back") {
        return Scene(stem, 512, 256); // drawn 620 x 290 by the story scripts
    }
    if (name == "Wide\\QL.bmp") {
        Canvas c = Backdrop(512, 512, kCyan, seed);
        Creature(c, 256, 280, 360, Rgb{96, 116, 140});
        c.LiftBlack(false);
        return c;
    }
    if (folder == "Wide") {
        return Scene(stem, 512, 512);
    }
    if (name == "Story\\Emblem.bmp") {
        return Emblem(256);
    }
    if (name == "Logo\\Logo.bmp") {
        Canvas c(512, 256);
        c.Disc(256, 128, 110, kCyan, 0.25f, 90, true);
        DrawText(c, text, "QUOLIS WORKS", 48, kWhite, 256, 112, false, "Arial");
        c.FillRect(136, 150, 240, 3, kAmber);
        DrawText(c, text, "presents", 20, kSteelLight, 256, 176, false, "Arial");
        c.LiftBlack(true);
        return c;
    }
    if (name == "Title\\TitleBack.bmp") {
        Canvas c = Scene("Tower", 512, 384);
        c.FillRect(0, 0, 512, 384, kInk, 0.35f);
        Creature(c, 270, 236, 250, Rgb{70, 84, 104});
        c.LiftBlack(false);
        return c;
    }
    if (name == "Title\\Title.bmp") {
        Canvas c(512, 128);
        DrawText(c, text, "クオーリス", 84, kWhite, 256, 60);
        c.FillRect(60, 108, 392, 4, kCyan);
        c.LiftBlack(true);
        return c;
    }
    if (name == "Title\\TitleLogo.bmp") {
        Canvas c(256, 64);
        DrawText(c, text, "QUOLIS  Ver1.00", 24, kAmber, 128, 32, true, "Arial");
        c.LiftBlack(true);
        return c;
    }
    if (name == "Battle\\PlayerTurn.bmp") {
        return Banner(text, "PLAYER TURN", kCyan);
    }
    if (name == "Battle\\EnemyTurn.bmp") {
        return Banner(text, "ENEMY TURN", kCrimson);
    }
    if (name == "Battle\\ScrBoard.bmp") {
        Canvas c(256, 256, Rgb{10, 12, 20});
        for (int y = 0; y < 256; y += 4) {
            c.FillRect(0, y, 256, 1, kSteel, 0.25f);
        }
        c.Grain(3, seed);
        c.LiftBlack(false);
        return c;
    }
    if (name == "Battle\\Cursor.bmp") { // a bracketed diamond lying on the cell
        Canvas c(64, 64);
        c.Line(32, 3, 61, 32, 3, kCyan);
        c.Line(61, 32, 32, 61, 3, kCyan);
        c.Line(32, 61, 3, 32, 3, kCyan);
        c.Line(3, 32, 32, 3, 3, kCyan);
        c.Disc(32, 32, 6, kAmber, 0.8f, 3, true);
        c.LiftBlack(true);
        return c;
    }
    if (name == "Number\\Number.bmp") {
        Canvas c(320, 32);
        for (int digit = 0; digit < 10; ++digit) {
            const std::string s(1, static_cast<char>('0' + digit));
            const TextMask m = text.Render("Arial", 30, true, s);
            const int x = digit * 32 + 16 - m.width / 2, y = 16 - m.height / 2;
            for (int ox = -2; ox <= 2; ++ox) {
                for (int oy = -2; oy <= 2; ++oy) {
                    c.Stamp(m.alpha, m.width, m.height, x + ox, y + oy, Rgb{60, 20, 10});
                }
            }
            c.Stamp(m.alpha, m.width, m.height, x, y, Rgb{255, 214, 120});
        }
        c.LiftBlack(true);
        return c;
    }
    if (name == "MsgBox\\MsgBox.bmp") {
        Canvas c(512, 136, Rgb{12, 18, 30});
        c.Panel(0, 0, 512, 136, Rgb{18, 26, 42}, 3);
        c.FillRect(8, 8, 496, 2, kCyan, 0.6f);
        c.FillRect(8, 126, 496, 2, kCyan, 0.3f);
        c.Grain(3, seed);
        Chamfer(c, 10);
        c.LiftBlack(true);
        return c;
    }
    if (name == "MsgBox\\CharaPicFrame.bmp") { // a ring frame, open (transparent) inside
        Canvas c(136, 136);
        c.Panel(0, 0, 136, 136, kSteel, 4);
        c.FillRect(8, 8, 120, 120, Rgb{});
        c.FillRect(6, 6, 124, 2, kCyan);
        Chamfer(c, 8);
        c.LiftBlack(false);
        for (int y = 8; y < 128; ++y) {
            for (int x = 8; x < 128; ++x) {
                c.Set(x, y, Rgb{});
            }
        }
        Chamfer(c, 8);
        return c;
    }
    if (name == "MsgBox\\Cursor.bmp") { // four frames: a chevron that bobs and glows
        Canvas c(96, 32);
        for (int k = 0; k < 4; ++k) {
            const float dy = std::sin(k * kPi / 2) * 4;
            const float cx = k * 24 + 12.0f;
            c.Line(cx - 7, 10 + dy, cx, 18 + dy, 3, kAmber);
            c.Line(cx, 18 + dy, cx + 7, 10 + dy, 3, kAmber);
            c.Disc(cx, 14 + dy, 6, kAmber, 0.2f + 0.1f * k, 5, true);
        }
        c.LiftBlack(true);
        return c;
    }
    if (name == "Menu\\BG.bmp") {
        Canvas c = TilingBackdrop(512, 384, kCyan, seed);
        c.LiftBlack(false);
        return c;
    }
    if (name == "Status\\Frame.bmp" || name == "Gousei\\Frame.bmp") {
        const bool fusion = folder == "Gousei";
        Canvas c = Backdrop(512, 384, fusion ? kAmber : kCyan, seed);
        c.Panel(16, 16, 480, 352, Rgb{26, 34, 50}, 3);
        c.FillRect(24, 24, 464, 336, Rgb{14, 18, 28}, 0.7f);
        c.FillRect(24, 56, 464, 2, fusion ? kAmber : kCyan, 0.7f);
        if (fusion) {
            c.Ring(256, 210, 90, 3, kAmber, 0.6f);
            c.Ring(256, 210, 60, 2, kCyan, 0.5f);
        }
        c.LiftBlack(false);
        return c;
    }
    // Mesh textures: metal plates tinted by their name.
    if (folder == "XFile") {
        return Canvas(1, 1); // replaced by the mesh texture generator
    }
    // Anything else a story names: a backdrop in the house style.
    Canvas c = Backdrop(512, 384, kSteelLight, seed);
    c.LiftBlack(false);
    return c;
}

} // namespace quolis::mkcontent
