#include "engine/TextObject.h"

#include "common/Text.h"

#include <cstring>
#include <vector>

namespace quolis {
namespace {

// A font shared by every text object asking for the same face, height and
// style.
struct SharedFont {
    std::string face; // UTF-8
    int pixelHeight = 0;
    unsigned style = 0;
    FontHandle handle = 0;
    int users = 0;
};

// One rasterised text.
struct TextRun {
    int font = -1;
    std::uint64_t hash = 0;
    std::string text; // CP932, as drawn
    TextureId texture = 0;
    int width = 0;
    int height = 0;
    std::uint64_t lastUse = 0;
    std::uint64_t lastFrame = 0; // the last frame that drew it
};

// At most this many rasterised texts, holding at most about a megabyte of
// texels between them: in a long battle the numbers and messages shown once
// would otherwise fill all 256 places. Texts drawn in the current frame are
// never let go for another, so a screen with more text than that still draws
// each once per change, not once per frame.
constexpr std::size_t kMaxRuns = 256;
constexpr std::size_t kMaxRunBytes = 1u << 20;

struct TextWorld {
    Device* device = nullptr;
    FontRasterizer* fonts = nullptr;
    std::vector<SharedFont> fontTable;
    std::vector<TextRun> runs;
    std::uint64_t useCounter = 0;
    std::uint64_t frame = 1;
    std::size_t bytes = 0; // texels of the cached runs
    std::size_t rasterised = 0;
    TextBitmap bitmap;               // reused between rasterisations
    std::vector<std::uint8_t> alpha; // the bitmap's alpha, as the texture keeps it
};

TextWorld& World() {
    static TextWorld w;
    return w;
}

std::uint64_t HashText(int font, std::string_view text) {
    std::uint64_t h = 1469598103934665603ull ^ static_cast<std::uint64_t>(font + 1);
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::size_t RunBytes(const TextRun& r) {
    return r.texture != 0 ? static_cast<std::size_t>(r.width) * r.height : 0;
}

void ReleaseRun(TextRun& r) {
    TextWorld& w = World();
    if (r.texture != 0 && w.device != nullptr) {
        w.device->ReleaseTexture(r.texture);
    }
    w.bytes -= RunBytes(r);
    r = TextRun{};
}

// The least recently used run that the current frame has not drawn, or -1.
int OldestRun() {
    TextWorld& w = World();
    int oldest = -1;
    for (std::size_t i = 0; i < w.runs.size(); ++i) {
        const TextRun& r = w.runs[i];
        if (r.font >= 0 && r.lastFrame != w.frame &&
            (oldest < 0 || r.lastUse < w.runs[static_cast<std::size_t>(oldest)].lastUse)) {
            oldest = static_cast<int>(i);
        }
    }
    return oldest;
}

void FlushRuns() {
    for (TextRun& r : World().runs) {
        ReleaseRun(r);
    }
    World().runs.clear();
}

// The cache slot holding `text` in `font`, rasterising it when absent; -1
// when it cannot be made.
int FindOrMakeRun(int font, std::string_view text, int hint) {
    TextWorld& w = World();
    const std::uint64_t hash = HashText(font, text);
    auto matches = [&](const TextRun& r) {
        return r.font == font && r.hash == hash && r.text == text;
    };
    if (hint >= 0 && static_cast<std::size_t>(hint) < w.runs.size() && matches(w.runs[hint])) {
        w.runs[hint].lastUse = ++w.useCounter;
        w.runs[hint].lastFrame = w.frame;
        return hint;
    }
    for (std::size_t i = 0; i < w.runs.size(); ++i) {
        if (matches(w.runs[i])) {
            w.runs[i].lastUse = ++w.useCounter;
            w.runs[i].lastFrame = w.frame;
            return static_cast<int>(i);
        }
    }
    if (w.fonts == nullptr || w.device == nullptr) {
        return -1;
    }
    // Rasterise: CP932 becomes UTF-8 here and only here.
    std::string utf8 = Cp932ToUtf8(text);
    ++w.rasterised;
    // A text that gives no pixels (only line feeds, say) is kept as an empty
    // run, so that it is not tried again every frame.
    TextureId tex = 0;
    if (w.fonts->RenderText(w.fontTable[static_cast<std::size_t>(font)].handle, utf8, w.bitmap) &&
        w.bitmap.width > 0 && w.bitmap.height > 0) {
        // The pixels are white; only their alpha (the coverage) is kept.
        w.alpha.resize(w.bitmap.pixels.size());
        for (std::size_t i = 0; i < w.alpha.size(); ++i) {
            w.alpha[i] = static_cast<std::uint8_t>(w.bitmap.pixels[i] >> 24);
        }
        tex = w.device->CreateAlphaTexture(w.bitmap.width, w.bitmap.height, w.alpha.data());
        if (tex == 0) {
            return -1; // out of memory: try again later
        }
    } else {
        w.bitmap.Clear();
    }
    // Room within the texel budget, from the texts used longest ago.
    const std::size_t bytes =
        tex != 0 ? static_cast<std::size_t>(w.bitmap.width) * w.bitmap.height : 0;
    while (w.bytes + bytes > kMaxRunBytes) {
        const int oldest = OldestRun();
        if (oldest < 0) {
            break;
        }
        ReleaseRun(w.runs[static_cast<std::size_t>(oldest)]);
    }
    // A free place, a new one, or the one used longest ago.
    std::size_t slot = w.runs.size();
    for (std::size_t i = 0; i < w.runs.size() && slot == w.runs.size(); ++i) {
        if (w.runs[i].font < 0) {
            slot = i;
        }
    }
    if (slot == w.runs.size() && w.runs.size() >= kMaxRuns) {
        slot = 0;
        for (std::size_t i = 1; i < w.runs.size(); ++i) {
            if (w.runs[i].lastUse < w.runs[slot].lastUse) {
                slot = i;
            }
        }
        ReleaseRun(w.runs[slot]);
    } else if (slot == w.runs.size()) {
        w.runs.emplace_back();
    }
    w.bytes += bytes;
    TextRun& r = w.runs[slot];
    r.font = font;
    r.hash = hash;
    r.text.assign(text);
    r.texture = tex;
    r.width = w.bitmap.width;
    r.height = w.bitmap.height;
    r.lastUse = ++w.useCounter;
    r.lastFrame = w.frame;
    return static_cast<int>(slot);
}

void DropFontRuns(int font) {
    for (TextRun& r : World().runs) {
        if (r.font == font) {
            ReleaseRun(r); // the slot stays, empty, for the next text
        }
    }
}

} // namespace

void CTextObject::SetTextDevice(Device* device) {
    TextWorld& w = World();
    if (w.device != device) {
        FlushRuns();
    }
    w.device = device;
}

void CTextObject::SetFontRasterizer(FontRasterizer* fonts) {
    TextWorld& w = World();
    if (w.fonts != fonts) {
        FlushRuns();
        if (w.fonts != nullptr) {
            for (SharedFont& f : w.fontTable) {
                if (f.handle != 0) {
                    w.fonts->CloseFont(f.handle);
                }
                f.handle = 0;
            }
        }
        w.fonts = fonts;
        // Fonts in use are opened again on the new rasteriser.
        for (SharedFont& f : w.fontTable) {
            if (f.users > 0 && fonts != nullptr) {
                f.handle =
                    fonts->OpenFont(f.face, f.pixelHeight, (f.style & 1) != 0, (f.style & 2) != 0);
            }
        }
    }
}

Device* CTextObject::TextDevice() {
    return World().device;
}

void CTextObject::ReleaseTextCache() {
    FlushRuns();
}

std::size_t CTextObject::CachedTextCount() {
    std::size_t n = 0;
    for (const TextRun& r : World().runs) {
        n += r.texture != 0 ? 1 : 0;
    }
    return n;
}

std::size_t CTextObject::CachedTextBytes() {
    return World().bytes;
}

void CTextObject::NextFrame() {
    ++World().frame;
}

std::size_t CTextObject::RasterisedCount() {
    return World().rasterised;
}

CTextObject::CTextObject() {
    SetColour(0, 255, 255, 255);
}

CTextObject::~CTextObject() {
    ReleaseFont();
}

HRESULT CTextObject::SetFont(std::string_view face, int points, unsigned style) {
    ReleaseFont();
    std::string_view kept = SjisPrefix(face, kFaceNameSize - 1);
    std::memset(faceName_, 0, sizeof faceName_);
    std::memcpy(faceName_, kept.data(), kept.size());
    pointSize_ = points;
    style_ = style;
    scale_ = 1.0f;
    TextWorld& w = World();
    std::string utf8 = Cp932ToUtf8(kept);
    const int px = FontPixelHeight(points);
    for (std::size_t i = 0; i < w.fontTable.size(); ++i) {
        SharedFont& f = w.fontTable[i];
        if (f.users > 0 && f.face == utf8 && f.pixelHeight == px && f.style == (style & 3)) {
            ++f.users;
            fontSlot_ = static_cast<int>(i);
            return S_OK;
        }
    }
    FontHandle h =
        w.fonts != nullptr ? w.fonts->OpenFont(utf8, px, (style & 1) != 0, (style & 2) != 0) : 0;
    if (h == 0) {
        return S_OK; // not reported; the object then draws nothing
    }
    std::size_t slot = w.fontTable.size();
    for (std::size_t i = 0; i < w.fontTable.size(); ++i) {
        if (w.fontTable[i].users == 0) {
            slot = i;
            break;
        }
    }
    if (slot == w.fontTable.size()) {
        w.fontTable.emplace_back();
    }
    SharedFont& f = w.fontTable[slot];
    f.face = std::move(utf8);
    f.pixelHeight = px;
    f.style = style & 3;
    f.handle = h;
    f.users = 1;
    fontSlot_ = static_cast<int>(slot);
    return S_OK;
}

void CTextObject::ReleaseFont() {
    if (fontSlot_ < 0) {
        return;
    }
    TextWorld& w = World();
    SharedFont& f = w.fontTable[static_cast<std::size_t>(fontSlot_)];
    if (--f.users == 0) {
        DropFontRuns(fontSlot_);
        if (w.fonts != nullptr && f.handle != 0) {
            w.fonts->CloseFont(f.handle);
        }
        f.handle = 0;
    }
    fontSlot_ = -1;
    lastRun_ = -1;
}

HRESULT CTextObject::Draw(const TextRect* rect) {
    if (!enabled_ || text_.empty() || fontSlot_ < 0) {
        return S_OK;
    }
    // A fully transparent text leaves no mark; skip the work.
    if ((GetPacked() >> 24) == 0) {
        return S_OK;
    }
    TextWorld& w = World();
    if (w.device == nullptr || w.fontTable[static_cast<std::size_t>(fontSlot_)].handle == 0) {
        return S_OK;
    }
    int run = FindOrMakeRun(fontSlot_, text_, lastRun_);
    lastRun_ = run;
    if (run < 0) {
        return S_OK;
    }
    const TextRun& r = w.runs[static_cast<std::size_t>(run)];
    if (r.texture == 0) {
        return S_OK;
    }
    const float x = rect != nullptr ? static_cast<float>(rect->left)
                                    : static_cast<float>(static_cast<int>(position.x));
    const float y = rect != nullptr ? static_cast<float>(rect->top)
                                    : static_cast<float>(static_cast<int>(position.y));
    const float x1 = x + static_cast<float>(r.width);
    const float y1 = y + static_cast<float>(r.height);
    const Argb c = GetPacked();
    const VertexScreen v[4] = {
        {x, y, 0.f, 1.f, c, 0.f, 0.f},
        {x1, y, 0.f, 1.f, c, 1.f, 0.f},
        {x1, y1, 0.f, 1.f, c, 1.f, 1.f},
        {x, y1, 0.f, 1.f, c, 0.f, 1.f},
    };
    static const std::uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    Device& d = *w.device;
    d.SetDepthTest(false);
    d.SetTexture(r.texture);
    d.DrawIndexedUP(VertexFormat::Screen, v, 4, kIndices, 6);
    d.SetTexture(0);
    d.SetDepthTest(true);
    return S_OK;
}

int CTextObject::GlideTo(float x, float y, float z, float step) {
    return GlideStep(glides_, 0, &position, {x, y, z}, step);
}

} // namespace quolis
