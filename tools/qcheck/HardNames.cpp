#include "HardNames.h"

#include "common/Text.h"
#include "creature/AttackTable.h"

#include <algorithm>

namespace quolis::qcheck {

const char* KindWord(AssetKind kind) {
    switch (kind) {
    case AssetKind::Texture:
        return "texture";
    case AssetKind::Mesh:
        return "mesh";
    case AssetKind::Model:
        return "model";
    case AssetKind::Sound:
        return "sound";
    case AssetKind::Music:
        return "music";
    }
    return "file";
}

const std::vector<HardName>& HardCodedNames() {
    using K = AssetKind;
    static const std::vector<HardName> names = {
        // Logo and title scenes.
        {K::Texture, "Logo\\Logo.bmp", "logo scene"},
        {K::Texture, "Title\\TitleBack.bmp", "title scene, background"},
        {K::Texture, "Title\\Title.bmp", "title scene, title"},
        {K::Texture, "Title\\TitleLogo.bmp", "title scene, logo"},
        {K::Texture, "Button\\Title\\Continue.bmp", "title button つづきから"},
        {K::Texture, "Button\\Title\\Start.bmp", "title button はじめから"},
        {K::Texture, "Button\\Title\\KeyConfig.bmp", "title button キーコンフィグ"},
        // Ending.
        {K::Texture, "Menu\\BG.bmp", "ending, staff roll background"},
        // Menu hub.
        {K::Texture, "Button\\Menu\\NextBattle.bmp", "menu hub button 次の戦闘へ"},
        {K::Texture, "Button\\Menu\\Status.bmp", "menu hub button ステータス"},
        {K::Texture, "Button\\Menu\\LvUp.bmp", "menu hub button レベルアップ"},
        {K::Texture, "Button\\Menu\\Gousei.bmp", "menu hub button 合成"},
        {K::Texture, "Button\\Menu\\Saisei.bmp", "menu hub button 再生"},
        {K::Texture, "Button\\Menu\\Haiki.bmp", "menu hub button 廃棄"},
        {K::Texture, "Button\\Menu\\Save.bmp", "menu hub button セーブ"},
        {K::Texture, "Button\\Menu\\Load.bmp", "menu hub button ロード"},
        {K::Mesh, "Menu\\MenuMap1.x", "menu hub map of ブロックＡ"},
        {K::Mesh, "Menu\\MenuMap2.x", "menu hub map of ブロックＢ"},
        {K::Mesh, "Menu\\MenuMap3.x", "menu hub map of ブロックＣ"},
        {K::Mesh, "Menu\\MenuMap4.x", "menu hub map of ブロックＤ"},
        // Status and fusion scenes.
        {K::Texture, "Status\\Frame.bmp", "status scene frame"},
        {K::Texture, "Gousei\\Frame.bmp", "fusion scene frame"},
        // Battle display.
        {K::Texture, "Battle\\PlayerTurn.bmp", "battle, player turn banner"},
        {K::Texture, "Battle\\EnemyTurn.bmp", "battle, enemy turn banner"},
        {K::Texture, "Button\\Battle\\TurnEnd.bmp", "battle button ターン終了"},
        {K::Texture, "Button\\Battle\\Move.bmp", "battle button 移動"},
        {K::Texture, "Button\\Battle\\Attack.bmp", "battle button 攻撃"},
        {K::Texture, "Battle\\ScrBoard.bmp", "battle, darkening backdrop"},
        {K::Texture, "Battle\\Cursor.bmp", "battle, cell cursor"},
        {K::Texture, "Number\\Number.bmp", "number sprites (damage, results)"},
        {K::Texture, "Floor\\Black.bmp", "floor, holes (height 0)"},
        {K::Texture, "Wall\\Wall.bmp", "floor, walls"},
        // Effect sheets of the attack presentation.
        {K::Texture, "Effect\\Explosion.bmp", "effect Explosion"},
        {K::Texture, "Effect\\Gravity.bmp", "effect Gravity"},
        {K::Texture, "Effect\\Flare.bmp", "effect Flare"},
        {K::Texture, "Effect\\Crush.bmp", "effect Crush"},
        {K::Texture, "Effect\\Slush.bmp", "effect Slush"},
        {K::Texture, "Effect\\CS.bmp", "effect CS"},
        {K::Texture, "Effect\\Sonic.bmp", "effect Sonic"},
        {K::Texture, "Effect\\Beating.bmp", "effect Beating"},
        {K::Texture, "Effect\\Condensation.bmp", "effect Condensation"},
        {K::Texture, "Effect\\Mist.bmp", "effect Mist"},
        {K::Texture, "Effect\\ISonic.bmp", "effect ISonic"},
        {K::Texture, "Effect\\Plasma.bmp", "effect Plasma"},
        {K::Texture, "Effect\\Burn.bmp", "effect Burn"},
        {K::Texture, "Effect\\Laser.bmp", "effect Laser"},
        // Message box of the script engine.
        {K::Texture, "MsgBox\\CharaPicFrame.bmp", "message box, portrait frame"},
        {K::Texture, "MsgBox\\MsgBox.bmp", "message box, frame"},
        {K::Texture, "MsgBox\\Cursor.bmp", "message box, continue cursor"},
        // Cores on the field and in the menus.
        {K::Model, "Core\\wait.mdl", "cores"},
        // Key cues registered by every scene.
        {K::Sound, "Key\\DirKey.wav", "cue 方向キー"},
        {K::Sound, "Key\\DecideKey.wav", "cue 決定キー"},
        {K::Sound, "Key\\CancelKey.wav", "cue キャンセルキー"},
        {K::Sound, "Key\\MsgForwardKey.wav", "cue メッセージ送りキー"},
        {K::Sound, "Key\\TurnMapKey.wav", "cue ターンマップキー"},
        // Battle cues registered by the battle scene.
        {K::Sound, "Key\\StartKey.wav", "battle cue スタートキー"},
        {K::Sound, "Key\\DirKey2.wav", "battle cue 方向キー２"},
        {K::Sound, "Key\\SlantChangeKey.wav", "battle cue 視点変更キー"},
        {K::Sound, "Battle\\PreDC.wav", "battle cue 暗転前"},
        {K::Sound, "Battle\\QLMove1.wav", "battle cue ＱＬ移動"},
        // Cues of the creature object (attacks and effects).
        {K::Sound, "Battle\\Cannon.wav", "creature cue キャノン発射"},
        {K::Sound, "Battle\\Balkan.wav", "creature cue バルカン発射"},
        {K::Sound, "Battle\\Explosion.wav", "creature cue 爆発音１"},
        {K::Sound, "Battle\\Explosion2.wav", "creature cue 爆発音２"},
        {K::Sound, "Battle\\Crush.wav", "creature cue 衝突音１"},
        {K::Sound, "Battle\\Needle.wav", "creature cue ニードル"},
        {K::Sound, "Battle\\Slush.wav", "creature cue スラッシュ"},
        {K::Sound, "Battle\\Gravity.wav", "creature cue グラビティ"},
        {K::Sound, "Battle\\Atomic.wav", "creature cue アトミック"},
        {K::Sound, "Battle\\CS.wav", "creature cue 超振動"},
        {K::Sound, "Battle\\Sonic.wav", "creature cue ソニック"},
        {K::Sound, "Battle\\ISonic.wav", "creature cue イリーガルソニック"},
        {K::Sound, "Battle\\Breath.wav", "creature cue ブレス"},
        {K::Sound, "Battle\\Laser.wav", "creature cue レーザー"},
        {K::Sound, "Battle\\Plasma.wav", "creature cue プラズマ"},
        {K::Sound, "Battle\\Burn.wav", "creature cue バーン"},
        {K::Sound, "Battle\\QLVoice1.wav", "creature cue ＱＬ叫び"},
        {K::Sound, "Battle\\Destoroyed.wav", "creature cue ＱＬ破壊"},
        {K::Sound, "Battle\\Mecha1.wav", "creature cue メカ１"},
        // Menu cues of the script engine (registered without a folder).
        {K::Sound, "DirKey.wav", "script menu cue 方向キー音"},
        {K::Sound, "DecideKey.wav", "script menu cue 決定キー音"},
        // Music the scenes play.
        {K::Music, "Title.mid", "title scene"},
        {K::Music, "Menu.mid", "menu hub"},
        {K::Music, "Lvup.mid", "level up scene"},
        {K::Music, "Gousei.mid", "fusion scene"},
        {K::Music, "Saisei.mid", "regeneration scene"},
        {K::Music, "Haiki.mid", "discard scene"},
        {K::Music, "Ending.mid", "ending, staff roll"},
        {K::Music, "BattleLoss1.mid", "battle, defeat"},
    };
    return names;
}

const std::vector<AttackAnimations>& AttackTable() {
    // The animations the game's own attack scripts start, so that the check
    // and the presentations can never disagree.
    static const std::vector<AttackAnimations> table = [] {
        std::vector<AttackAnimations> out;
        for (const AttackScript& script : AttackScripts()) {
            AttackAnimations row{script.name, {}};
            for (const AttackAction& a : script.actions) {
                if (a.op == AttackOp::Play &&
                    std::find(row.animations.begin(), row.animations.end(), a.name) ==
                        row.animations.end()) {
                    row.animations.push_back(a.name);
                }
            }
            out.push_back(std::move(row));
        }
        return out;
    }();
    return table;
}

const std::vector<std::string>& BaseAnimations() {
    static const std::vector<std::string> names = {"wait",    "Damage1", "Damage2",
                                                   "Damage3", "Dead1",   "Dead2"};
    return names;
}

std::string BattleButtonName(const std::string& metalArms) {
    return "Button\\Battle\\" + metalArms + ".bmp";
}

const std::vector<std::string>& EngineCues() {
    static const std::vector<std::string> cues = [] {
        std::vector<std::string> out;
        for (const char* cue : {"方向キー", "決定キー", "キャンセルキー", "メッセージ送りキー",
                                "ターンマップキー", "方向キー音", "決定キー音"}) {
            out.push_back(Utf8ToCp932(cue));
        }
        return out;
    }();
    return cues;
}

} // namespace quolis::qcheck
