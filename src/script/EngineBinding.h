#pragma once
// The message box and the script's texture statements on the 2-D engine:
// pictures through one CPolygon, the message and menu texts through two
// CTextObjects, texture variables through the scene's texture cache.
#include "engine/Polygon.h"
#include "engine/TextObject.h"
#include "script/MessageBox.h"
#include "script/ScriptPorts.h"

#include <string>

namespace quolis {

class CEngineMsgCanvas final : public MsgCanvas {
public:
    // A picture whose file cannot be loaded is not drawn (no blank quad).
    void DrawPicture(const MsgDrawable& d) override;
    // White text, grey for disabled menu items, with the level as alpha.
    void DrawText(const MsgDrawable& d, std::string_view text, float x, float y, int level,
                  bool enabled) override;
    // Releases the fonts (leaving a scene).
    void Release();

private:
    struct Font {
        std::string face;
        int size = 0;
        bool bold = false;
    };
    void Prepare(CTextObject& t, Font& have, const MsgDrawable& d);

    CPolygon poly_;
    CTextObject serifu_;
    CTextObject menu_;
    Font serifuFont_;
    Font menuFont_;
};

class CEngineScriptTextures final : public ScriptTextures {
public:
    void Load(std::string_view file) override { CPolygon::LoadTexture(file); }
    void Drop(std::string_view file) override { CPolygon::UnloadTexture(file); }
};

} // namespace quolis
