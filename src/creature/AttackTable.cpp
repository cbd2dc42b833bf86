#include "creature/AttackTable.h"

#include "common/Text.h"
#include "creature/Cues.h"

#include <map>

namespace quolis {

namespace {

using K = EffectKind;

// --- building blocks of the table -------------------------------------------

HitLook Look(K kind, float size = 160, float red = 255, float green = 255, float blue = 255) {
    HitLook h;
    h.kind = kind;
    h.width = size;
    h.height = size;
    h.red = red;
    h.green = green;
    h.blue = blue;
    return h;
}
HitLook At(HitLook h, float x, float y) {
    h.offsetX = x;
    h.offsetY = y;
    return h;
}
HitLook Quiet(HitLook h) {
    h.reaction = Reaction::None;
    return h;
}
HitLook Later(HitLook h) {
    h.reaction = Reaction::Later;
    return h;
}

AttackAction Op(AttackOp op) {
    AttackAction a;
    a.op = op;
    return a;
}
AttackAction P(std::string anim) {
    AttackAction a = Op(AttackOp::Play);
    a.name = std::move(anim);
    return a;
}
AttackAction W() {
    return Op(AttackOp::WaitAnim);
}
AttackAction H(const HitLook& look) {
    AttackAction a = Op(AttackOp::Hit);
    a.hit = look;
    return a;
}
AttackAction Self(const HitLook& look) {
    AttackAction a = Op(AttackOp::SelfHit);
    a.hit = look;
    return a;
}
AttackAction React(const char* anim) {
    AttackAction a = Op(AttackOp::React);
    a.name = anim;
    return a;
}
AttackAction D() {
    return Op(AttackOp::Damage);
}
AttackAction Cue(int cue) {
    AttackAction a = Op(AttackOp::Cue);
    a.cue = cue;
    return a;
}
AttackAction ToTarget() {
    return Op(AttackOp::GlideTarget);
}
AttackAction ToAttacker() {
    return Op(AttackOp::GlideAttacker);
}
AttackAction Rise(float factor, bool closeUp = false) {
    AttackAction a = Op(AttackOp::Rise);
    a.value = factor;
    a.closeUp = closeUp;
    return a;
}
AttackAction Rapid(const HitLook& look) {
    AttackAction a = Op(AttackOp::Rapid);
    a.hit = Later(look);
    return a;
}
AttackAction Scatter(const HitLook& look, std::vector<ScreenOffset> offsets) {
    AttackAction a = Op(AttackOp::Scatter);
    a.hit = look;
    a.offsets = std::move(offsets);
    return a;
}
AttackAction Frames(float n) {
    AttackAction a = Op(AttackOp::Frames);
    a.value = n;
    return a;
}
AttackAction Alpha(int alpha) {
    AttackAction a = Op(AttackOp::Alpha);
    a.value = float(alpha);
    return a;
}

using Actions = std::vector<AttackAction>;

Actions operator+(Actions a, const Actions& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// stem + from .. stem + to, each starting when the previous ends; with
// `hit`, one hit as each starts. The first starts when the one before it ends.
Actions Run(const char* stem, int from, int to, const HitLook* hit = nullptr) {
    Actions out;
    for (int i = from; i <= to; ++i) {
        out.push_back(W());
        out.push_back(P(std::string(stem) + std::to_string(i)));
        if (hit)
            out.push_back(H(*hit));
    }
    return out;
}

// The usual two-animation attack: the hit and the damage moment as the
// second starts, then the camera goes to the target.
Actions Simple(const char* first, const char* second, const HitLook& hit) {
    return {P(first), W(), P(second), H(hit), D(), ToTarget()};
}

// A press or needle: the camera rises while the first animation plays.
Actions Rising(const char* first, const char* second, float factor, const HitLook& hit) {
    return {P(first), Rise(factor), W(), H(hit), P(second), D(), ToTarget()};
}

// A cannon: fire (cue) as the second animation starts, rest, camera to the
// target, then the hit.
Actions Cannon(const HitLook& hit) {
    return {P("Cannon1"), W(),        Cue(kCueCannon), P("Cannon2"), W(),
            P("wait"),    ToTarget(), H(hit),          D()};
}

// A sonic: the effect alone on arrival, the target reacts after it.
Actions Sonic(const HitLook& hit) {
    return {P("Sonic1"),
            W(),
            P("Sonic2"),
            ToTarget(),
            H(Quiet(hit)),
            Op(AttackOp::WaitEffects),
            P("Sonic3"),
            React("Damage1"),
            D()};
}

struct Row {
    const char* name; // UTF-8
    bool special;
    float openingRaise;
    Actions actions;
};

std::vector<Row> Rows() {
    std::vector<Row> r;
    const HitLook crush = Look(K::Crush);
    const HitLook slush = Look(K::Slush);
    const HitLook burn = Look(K::Burn, 220);
    const HitLook pierce = Look(K::Condensation, 200, 200, 0, 0);

    r.push_back({"体当たり", false, 0, Simple("dash1", "dash2", crush)});
    r.push_back({"必殺体当たり",
                 false,
                 0,
                 {P("HDash1"), W(), H(crush), P("HDash2"), W(), H(crush), P("HDash3"), W(),
                  H(crush), D(), P("HDash4")}});
    r.push_back({"真撃体当たり",
                 false,
                 0,
                 {P("SDash1"), W(), H(crush), P("SDash2"), Rapid(crush), P("SDash3"), W(),
                  P("wait"), ToTarget(), D()}});
    r.push_back({"バーストラン", true, 0,
                 Actions{P("BRun1"), W(), Self(Quiet(burn)), Op(AttackOp::WaitSelfEffects),
                         P("BRun2"), W(), P("BRun3"), H(burn)} +
                     [&] {
                         Actions a;
                         for (int i = 0; i < 9; ++i)
                             a = a + Actions{W(), P("BRun3"), H(burn)};
                         return a;
                     }() +
                     Actions{W(), P("BRun4"), D(), ToTarget()}});
    r.push_back({"パワープレス", false, 0, Rising("PPress1", "PPress2", 1.2f, crush)});
    r.push_back({"ギガプレス", false, 0, Rising("GPress1", "GPress2", 1.4f, crush)});
    r.push_back({"オメガプレス", false, 0, Rising("OPress1", "OPress2", 1.8f, crush)});
    r.push_back({"２０ｍｍキャノン", false, 0, Cannon(Look(K::Explosion1))});
    r.push_back({"４０ｍｍキャノン", false, 0, Cannon(Look(K::Explosion2, 260))});
    r.push_back({"グラビティキャノン", false, 0, Cannon(Look(K::Gravity, 240))});
    r.push_back({"アトミックキャノン", false, 0, Cannon(Look(K::Flare, 250))});
    {
        const HitLook gravity = Look(K::Gravity, 250);
        Actions a{P("FGravity1")};
        for (int i = 0; i < 5; ++i)
            a = a + Actions{W(), Cue(kCueCannon), P("FGravity2")};
        a = a + Actions{ToTarget(),
                        W(),
                        H(At(gravity, 10, -10)),
                        Scatter(Later(gravity), {{-70, -60}, {-60, 90}, {50, 80}, {70, -60}}),
                        ToAttacker(),
                        P("OPress1"),
                        Rise(1.8f),
                        W(),
                        H(crush),
                        Frames(5),
                        H(crush),
                        P("OPress2"),
                        Frames(5),
                        H(crush),
                        Frames(5),
                        H(crush),
                        Frames(5),
                        H(crush),
                        W(),
                        D()};
        r.push_back({"ファイナルグラビティ", true, 0, a});
    }
    r.push_back(
        {"ニードル", false, 0, Rising("Needle1", "Needle2", 1.5f, Look(K::Condensation, 120))});
    r.push_back({"バルカン砲", false, 0, {P("Balkan"), W(), H(Look(K::Beating)), D(), ToTarget()}});
    r.push_back({"キラーニードル", false, 0,
                 Rising("Needle1", "Needle2", 1.5f, Look(K::Condensation, 160, 250, 250, 125))});
    r.push_back({"デスニードル", false, 0,
                 Rising("Needle1", "Needle2", 1.5f, Look(K::Condensation, 200, 200, 0, 0))});
    r.push_back({"サウザンドピアース",
                 true,
                 0,
                 {P("TPierce1"), Rise(1.5f), W(), P("TPierce1"), H(pierce), W(), P("TPierce2"),
                  H(pierce), W(), P("TPierce3"), H(pierce), W(), P("TPierce4"), H(pierce), W(),
                  P("TPierce6"), H(pierce), D(), ToTarget()}});
    r.push_back({"パワースラッシュ", false, 0, Simple("PSlush1", "PSlush2", slush)});
    r.push_back(
        {"ギガスラッシュ",
         false,
         0,
         {P("GSlush1"), W(), H(slush), P("GSlush2"), W(), P("GSlush3"), W(), H(slush), P("GSlush4"),
          W(), P("GSlush5"), W(), H(slush), P("GSlush6"), W(), P("wait"), D(), ToTarget()}});
    r.push_back({"オメガスラッシュ", false, 0, {P("OSlush1"), W(),      H(slush),     P("OSlush2"),
                                                W(),          H(slush), P("OSlush3"), W(),
                                                P("OSlush4"), W(),      H(slush),     P("OSlush5"),
                                                W(),          H(slush), P("OSlush6"), W(),
                                                P("OSlush7"), W(),      H(slush),     P("OSlush8"),
                                                Rapid(slush), H(slush), P("OSlush9"), W(),
                                                P("wait"),    D(),      ToTarget()}});
    r.push_back(
        {"ストリームスラッシュ", true, 0,
         Actions{Cue(kCueMecha), P("SSlush1"), Rise(2.0f, true), W(), H(slush), Op(AttackOp::Yield),
                 P("SSlush2"), H(slush)} +
             Run("SSlush", 3, 4, &slush) +
             Actions{W(), ToAttacker(), Cue(kCueVoice), P("SSlush5"), W(), P("SSlush6"), H(slush)} +
             Run("SSlush", 7, 9, &slush) + Actions{W(), D(), ToTarget()}});
    r.push_back({"ブレード", false, 0, Simple("Blade1", "Blade2", slush)});
    r.push_back({"ダブルブレード",
                 false,
                 0,
                 {P("DblBlade1"), W(), H(slush), P("DblBlade2"), W(), P("DblBlade3"), W(), H(slush),
                  D(), P("DblBlade4"), ToTarget()}});
    r.push_back({"超振動クロー", false, 0, Simple("CSClaw1", "CSClaw2", Look(K::CS))});
    r.push_back(
        {"トリプルブレード",
         false,
         0,
         {P("TriBlade1"), W(), H(slush), P("TriBlade2"), W(), P("TriBlade3"), W(), H(slush),
          P("TriBlade4"), W(), P("TriBlade5"), W(), H(slush), D(), P("TriBlade6"), ToTarget()}});
    r.push_back({"バーティカルブレード",
                 false,
                 0,
                 {P("VBlade1"), W(), H(slush), P("VBlade2"), W(), H(slush), D(), P("VBlade3"),
                  ToTarget()}});
    r.push_back({"ステルスブレード", true, 0,
                 Actions{Alpha(80), ToTarget(), P("SBlade1"), W(), P("SBlade2"), H(slush)} +
                     Run("SBlade", 3, 9, &slush) + Actions{W(), Alpha(255), D()}});
    r.push_back({"アシッドミスト", false, 0,
                 Simple("AMist1", "AMist2", Look(K::Mist, 220, 134, 143, 230))});
    r.push_back(
        {"ポイズンミスト", false, 0, Simple("PMist1", "PMist2", Look(K::Mist, 260, 255, 20, 255))});
    r.push_back(
        {"ブラッドミスト", false, 0, Simple("BMist1", "BMist2", Look(K::Mist, 300, 230, 0, 0))});
    r.push_back({"テール", false, 0, Simple("Tail1", "Tail2", crush)});
    r.push_back({"スパイラルテール", false, 0,
                 Simple("STail1", "STail2", Look(K::Condensation, 220, 230, 10, 10))});
    r.push_back({"マッドテール", true, 0,
                 Actions{Cue(kCueVoice), P("MTail1"), W(), P("MTail2"), H(crush)} +
                     Run("MTail", 3, 9, &crush) +
                     Actions{W(), P("MTail10"), H(Quiet(Look(K::Condensation, 260, 230, 10, 10))),
                             D(), ToTarget()}});
    r.push_back(
        {"ダークブレス", false, 0, Simple("Breath1", "Breath2", Look(K::Mist, 220, 10, 10, 10))});
    r.push_back(
        {"マッドブレス", false, 0, Simple("Breath1", "Breath2", Look(K::Mist, 280, 235, 237, 67))});
    r.push_back(
        {"デスブレス", true, 0, Simple("Breath1", "Breath2", Look(K::Mist, 350, 186, 48, 71))});
    r.push_back({"ミサイル",
                 false,
                 0,
                 {P("Cannon1"), W(), Cue(kCueCannon), P("Cannon2"), ToTarget(),
                  H(Look(K::Explosion1)), D()}});
    {
        const HitLook e = Look(K::Explosion2, 200);
        r.push_back({"ダブルミサイル",
                     false,
                     0,
                     {P("Cannon1"), W(), Cue(kCueCannon), P("Cannon1"), W(), Cue(kCueCannon),
                      P("Cannon2"), ToTarget(), H(At(e, -30, 30)), Op(AttackOp::WaitTargetAnim),
                      H(At(e, 30, -40)), D()}});
    }
    {
        const HitLook e = Look(K::Explosion2, 250);
        r.push_back({"トリプルミサイル",
                     false,
                     0,
                     {P("Cannon1"), W(), Cue(kCueCannon), P("Cannon1"), W(), Cue(kCueCannon),
                      P("Cannon1"), W(), Cue(kCueCannon), P("Cannon2"), ToTarget(),
                      H(At(e, -30, 30)), Op(AttackOp::WaitTargetAnim), H(At(e, 30, -40)),
                      Op(AttackOp::WaitTargetAnim), H(At(e, 20, 10)), D()}});
    }
    r.push_back({"アタック", false, 0, Simple("Attack1", "Attack2", crush)});
    r.push_back({"パワーアタック",
                 false,
                 0,
                 {P("PAttack1"), W(), H(crush), P("PAttack2"), W(), H(crush), P("PAttack3"), W(),
                  P("wait"), React("Damage2"), D(), ToTarget()}});
    r.push_back({"シャークアタック",
                 false,
                 0,
                 {P("SAttack1"), W(), H(crush), P("SAttack2"), W(), H(crush), P("SAttack3"), W(),
                  H(crush), P("SAttack4"), W(), H(crush), P("SAttack5"), W(), P("wait"),
                  React("Damage2"), D(), ToTarget()}});
    r.push_back({"レーザー", false, 0, Simple("Laser1", "Laser2", Look(K::Laser, 220))});
    r.push_back({"パワーレーザー", false, 0,
                 Simple("PLaser1", "PLaser2", Look(K::Laser, 260, 255, 128, 128))});
    r.push_back({"シャークアサルト", true, 2.0f,
                 Actions{P("SAssault1"), W(), P("SAssault2"), H(crush)} +
                     Run("SAssault", 3, 10, &crush) + Actions{W(), D(), ToTarget()}});
    r.push_back({"ソニック", false, 0, Sonic(Look(K::Sonic))});
    r.push_back({"ソニックウェーブ",
                 false,
                 0,
                 {P("SonicW1"), Scatter(Quiet(Look(K::Sonic)), std::vector<ScreenOffset>(6)), W(),
                  P("SonicW2"), React("Damage1"), D(), ToTarget()}});
    r.push_back({"イリーガルソニック", false, 0, Sonic(Look(K::ISonic, 260))});
    r.push_back({"プラズマ", false, 0, Simple("Plasma1", "Plasma2", Look(K::Plasma, 300))});
    r.push_back({"レイプラズマ", true, 0,
                 Simple("Plasma1", "Plasma2", Look(K::Plasma, 300, 255, 128, 128))});
    return r;
}

std::vector<AttackScript> Build() {
    std::vector<AttackScript> scripts;
    for (Row& row : Rows()) {
        AttackScript s;
        s.name = Utf8ToCp932(row.name);
        s.special = row.special;
        s.actions.push_back(Op(AttackOp::Face));
        if (row.special) {
            s.actions.push_back(Op(AttackOp::DarkOn));
            s.actions.push_back(Op(AttackOp::DarkDown));
        }
        AttackAction opening = Op(AttackOp::GlideOpening);
        opening.value = row.openingRaise;
        s.actions.push_back(opening);
        s.actions.insert(s.actions.end(), row.actions.begin(), row.actions.end());
        scripts.push_back(std::move(s));
    }
    return scripts;
}

} // namespace

const std::vector<AttackScript>& AttackScripts() {
    static const std::vector<AttackScript> scripts = Build();
    return scripts;
}

int FindAttackScript(const std::string& name) {
    static const std::map<std::string, int, std::less<>> byName = [] {
        std::map<std::string, int, std::less<>> m;
        const auto& s = AttackScripts();
        for (std::size_t i = 0; i < s.size(); ++i)
            m.emplace(s[i].name, int(i));
        return m;
    }();
    const auto it = byName.find(name);
    return it == byName.end() ? -1 : it->second;
}

} // namespace quolis
