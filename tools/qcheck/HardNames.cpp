#include "HardNames.h"

#include "common/Text.h"

#include <cctype>
#include <sstream>

namespace quolis::qcheck {
namespace {

// "HDash1..HDash4" -> HDash1 HDash2 HDash3 HDash4; other words stay as they are.
std::vector<std::string> ExpandRuns(const char* list) {
    std::vector<std::string> out;
    std::istringstream words(list);
    std::string word;
    while (words >> word) {
        const auto dots = word.find("..");
        if (dots == std::string::npos) {
            out.push_back(word);
            continue;
        }
        const std::string first = word.substr(0, dots);
        const std::string last = word.substr(dots + 2);
        std::size_t digits = first.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(first[digits - 1]))) {
            --digits;
        }
        const std::string stem = first.substr(0, digits);
        const int from = std::stoi(first.substr(digits));
        const int to = std::stoi(last.substr(stem.size()));
        for (int n = from; n <= to; ++n) {
            out.push_back(stem + std::to_string(n));
        }
    }
    return out;
}

} // namespace

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
    static const std::vector<AttackAnimations> table = [] {
        const std::pair<const char*, const char*> rows[] = {
            {"体当たり", "dash1 dash2"},
            {"必殺体当たり", "HDash1..HDash4"},
            {"真撃体当たり", "SDash1 SDash2 SDash3 wait"},
            {"バーストラン", "BRun1 BRun2 BRun3 BRun4"},
            {"パワープレス", "PPress1 PPress2"},
            {"ギガプレス", "GPress1 GPress2"},
            {"オメガプレス", "OPress1 OPress2"},
            {"２０ｍｍキャノン", "Cannon1 Cannon2 wait"},
            {"４０ｍｍキャノン", "Cannon1 Cannon2 wait"},
            {"グラビティキャノン", "Cannon1 Cannon2 wait"},
            {"アトミックキャノン", "Cannon1 Cannon2 wait"},
            {"ファイナルグラビティ", "FGravity1 FGravity2 OPress1 OPress2"},
            {"ニードル", "Needle1 Needle2"},
            {"バルカン砲", "Balkan"},
            {"キラーニードル", "Needle1 Needle2"},
            {"デスニードル", "Needle1 Needle2"},
            {"サウザンドピアース", "TPierce1 TPierce2 TPierce3 TPierce4 TPierce6"},
            {"パワースラッシュ", "PSlush1 PSlush2 wait"},
            {"ギガスラッシュ", "GSlush1..GSlush6 wait"},
            {"オメガスラッシュ", "OSlush1..OSlush9 wait"},
            {"ストリームスラッシュ", "SSlush1..SSlush9"},
            {"ブレード", "Blade1 Blade2"},
            {"ダブルブレード", "DblBlade1..DblBlade4"},
            {"超振動クロー", "CSClaw1 CSClaw2"},
            {"トリプルブレード", "TriBlade1..TriBlade6"},
            {"バーティカルブレード", "VBlade1..VBlade3"},
            {"ステルスブレード", "SBlade1..SBlade9"},
            {"アシッドミスト", "AMist1 AMist2"},
            {"ポイズンミスト", "PMist1 PMist2"},
            {"ブラッドミスト", "BMist1 BMist2"},
            {"テール", "Tail1 Tail2"},
            {"スパイラルテール", "STail1 STail2"},
            {"マッドテール", "MTail1..MTail10"},
            {"ダークブレス", "Breath1 Breath2"},
            {"マッドブレス", "Breath1 Breath2"},
            {"デスブレス", "Breath1 Breath2"},
            {"ミサイル", "Cannon1 Cannon2"},
            {"ダブルミサイル", "Cannon1 Cannon2"},
            {"トリプルミサイル", "Cannon1 Cannon2"},
            {"アタック", "Attack1 Attack2"},
            {"パワーアタック", "PAttack1 PAttack2 PAttack3 wait"},
            {"シャークアタック", "SAttack1..SAttack5 wait"},
            {"レーザー", "Laser1 Laser2"},
            {"パワーレーザー", "PLaser1 PLaser2"},
            {"シャークアサルト", "SAssault1..SAssault10"},
            {"ソニック", "Sonic1 Sonic2 Sonic3"},
            {"ソニックウェーブ", "SonicW1 SonicW2"},
            {"イリーガルソニック", "Sonic1 Sonic2 Sonic3"},
            {"プラズマ", "Plasma1 Plasma2"},
            {"レイプラズマ", "Plasma1 Plasma2"},
        };
        std::vector<AttackAnimations> out;
        for (const auto& [name, list] : rows) {
            out.push_back({Utf8ToCp932(name), ExpandRuns(list)});
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
