#include "script/EngineBinding.h"

namespace quolis {

void CEngineMsgCanvas::DrawPicture(const MsgDrawable& d) {
    if (d.texture.empty() || Failed(poly_.SetTextureName(d.texture))) {
        return;
    }
    poly_.Setup(d.x, d.y, d.z, d.w, d.h, 0, d.level, 0);
    poly_.SetUV(d.u0, d.v0, d.u1, d.v1);
    poly_.Draw();
}

void CEngineMsgCanvas::Prepare(CTextObject& t, Font& have, const MsgDrawable& d) {
    if (!t.HasFont() || have.face != d.font || have.size != d.fontSize || have.bold != d.bold) {
        t.SetFont(d.font, d.fontSize, d.bold ? 1u : 0u);
        have = Font{d.font, d.fontSize, d.bold};
    }
}

void CEngineMsgCanvas::DrawText(const MsgDrawable& d, std::string_view text, float x, float y,
                                int level, bool enabled) {
    CTextObject& t = d.part == MsgPart::MenuText ? menu_ : serifu_;
    Prepare(t, d.part == MsgPart::MenuText ? menuFont_ : serifuFont_, d);
    // The message box keeps its own brightness range: the scene-wide alpha
    // limits must not clamp it.
    t.ResetColour();
    const int c = enabled ? 255 : 128;
    t.SetColour(level, c, c, c);
    t.SetText(text);
    t.position = {x, y, d.z};
    t.Draw();
}

void CEngineMsgCanvas::Release() {
    serifu_.ReleaseFont();
    menu_.ReleaseFont();
    serifuFont_ = Font{};
    menuFont_ = Font{};
}

} // namespace quolis
