// The battle's camera and cursor: the camera keys, the cursor keys relative
// to the camera preset, the light that follows the view, and the unit panels
// that follow the cursor.
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

// The camera's glide ends on the cell's corner, where LookAtCell puts it.
constexpr float kCameraGlideShift = -0.3f;

} // namespace

void BattleScene::ApplyCamera(CGameApp& app, bool light) {
    BattleData& d = *data_;
    const Vec3 eye = d.view.EyeOffset();
    CCamera::InitCells(kCameraGlideShift, &d.floor.Floor(), eye);
    units_.SetEyeOffset(eye);
    CCamera& camera = app.Camera();
    camera.LookAtCell(camera.CellColumn(), camera.CellRow());
    if (light && app.Env().device != nullptr) {
        Vec3 cursor{0, 0, 0};
        d.floor.Floor().FindQuad(d.cursor.CellX(), d.cursor.CellY(), "", &cursor);
        Light l;
        l.direction = Normalize(cursor - camera.Eye());
        l.diffuse = {1.6f, 1.6f, 1.6f, 0};
        l.specular = {1.0f, 1.0f, 1.0f, 0};
        l.ambient = {0.2f, 0.2f, 0.2f, 0};
        app.Env().device->SetLight(0, l);
        app.Env().device->EnableLight(0, true);
    }
}

void BattleScene::CameraKeys(CGameApp& app) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    if (t[kInputViewDistance] != 0) {
        app.PlayCue(SJ("視点変更キー"));
        d.view.NextDistance();
        ApplyCamera(app, false);
    }
    if (t[kInputRotateRight] != 0) {
        app.PlayCue(SJ("視点変更キー"));
        d.view.RotateRight();
        ApplyCamera(app, true);
    }
    if (t[kInputRotateLeft] != 0) {
        app.PlayCue(SJ("視点変更キー"));
        d.view.RotateLeft();
        ApplyCamera(app, true);
    }
}

bool BattleScene::MoveCursor(CGameApp& app) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    bool moved = false;
    for (const CursorAction& k : kCursorActions) {
        if (t[k.action] == 0) {
            continue;
        }
        const Cell step = CursorStep(d.view.Angle(), k.key);
        const Cell to{d.cursor.CellX() + step.x, d.cursor.CellY() + step.y};
        if (to.x < 0 || to.y < 0 || to.x >= d.stage.floorWidth || to.y >= d.stage.floorDepth) {
            continue;
        }
        d.cursor.SetCell(to.x, to.y);
        app.Camera().LookAtCell(to.x, to.y);
        moved = true;
    }
    if (moved) {
        app.PlayCue(SJ("方向キー２"));
        RefreshPanels();
    }
    return moved;
}

void BattleScene::CursorTo(CGameApp& app, Cell c) {
    data_->cursor.SetCell(c.x, c.y);
    app.Camera().LookAtCell(c.x, c.y);
    RefreshPanels();
}

void BattleScene::RefreshPanels() {
    BattleData& d = *data_;
    const int x = d.cursor.CellX(), y = d.cursor.CellY();
    d.panels.ShowUnits(UnitAt(d.stage.PlayerUnits, x, y), UnitAt(d.stage.EnemyUnits, x, y),
                       UnitAt(d.stage.FieldCores, x, y));
}

} // namespace quolis
