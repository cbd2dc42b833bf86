#pragma once
// CTextObject: one string in one font at a screen position, in the colour of
// its colour component. Text is CP932; it becomes UTF-8 only when it is
// rasterised. Rasterised strings are kept in a process-wide cache keyed by
// font and text, so an unchanged text is not rasterised again each frame and
// a widget that draws several texts with one object finds them all there.
#include "engine/SceneObject.h"
#include "platform/Fonts.h"

#include <string>
#include <string_view>

namespace quolis {

struct TextRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class CTextObject : public CColour {
public:
    static constexpr int kStopwatchCount = 10;
    static constexpr std::size_t kFaceNameSize = 80;

    // Class-wide: the device the text is drawn with and the rasteriser that
    // makes the glyphs. The application sets both before any font is set.
    // Changing either empties the rasterised-text cache. Set both back to
    // nullptr (or call ReleaseTextCache) before the device or the rasteriser
    // is destroyed.
    static void SetTextDevice(Device* device);
    static void SetFontRasterizer(FontRasterizer* fonts);
    static Device* TextDevice();
    // Releases every cached text texture and font (leaving a scene, exit).
    static void ReleaseTextCache();
    static std::size_t CachedTextCount();
    // Texels (bytes) of the cached texts.
    static std::size_t CachedTextBytes();
    // A new frame begins: the texts the last one drew may make room for new
    // ones. Without it, every cached text counts as drawn in this frame.
    static void NextFrame();
    // How many times text has been rasterised since start (tests, benchmark).
    static std::size_t RasterisedCount();

    // White with alpha 0: invisible until the owner gives it an alpha.
    CTextObject();
    ~CTextObject() override;

    // Face (CP932, e.g. "ＭＳ Ｐゴシック"), size in points, style flags (bit 0
    // bold, bit 1 italic). Returns 0 in every case.
    HRESULT SetFont(std::string_view face, int points, unsigned style);
    void ReleaseFont();
    void SetText(std::string_view text) { text_.assign(text); }
    const std::string& GetText() const { return text_; }
    void SetEnabled(int flag) { enabled_ = flag; }
    int IsEnabled() const { return enabled_; }
    // Draws the text with its top-left corner at the position (truncated to
    // whole pixels), or at the rectangle's top-left corner; no clipping.
    HRESULT Draw(const TextRect* rect = nullptr);
    // One step of a glide of the position (channel 0), as CSceneObject::GlideTo.
    int GlideTo(float x, float y, float z, float step);

    const char* FaceName() const { return faceName_; }
    int PointSize() const { return pointSize_; }
    unsigned StyleFlags() const { return style_; }
    int PixelHeight() const { return FontPixelHeight(pointSize_); }
    bool HasFont() const { return fontSlot_ >= 0; }
    CStopwatch& Stopwatch(int i) { return stopwatches_[i]; }
    GlideChannels& Glides() { return glides_; }

    // Written directly by the scenes; z is not used by drawing.
    Vec3 position{0, 0, 1};

private:
    int fontSlot_ = -1; // index into the shared font table
    int enabled_ = 1;
    char faceName_[kFaceNameSize] = {};
    int pointSize_ = 0;
    unsigned style_ = 0;
    float scale_ = 1.0f;
    std::string text_;
    CStopwatch stopwatches_[kStopwatchCount];
    GlideChannels glides_;
    int lastRun_ = -1; // cache slot of the last drawn text (a hint)
};

} // namespace quolis
