#include "audio/SceneCues.h"

#include "audio/Sound.h"
#include "common/Text.h"

#include <string>
#include <vector>

namespace quolis {
namespace {

struct CueFile {
    std::string cue;
    const char* file;
};

const std::vector<CueFile>& KeyCues() {
    static const std::vector<CueFile> cues = {
        {SJ("方向キー"), "Key\\DirKey.wav"},
        {SJ("決定キー"), "Key\\DecideKey.wav"},
        {SJ("キャンセルキー"), "Key\\CancelKey.wav"},
        {SJ("メッセージ送りキー"), "Key\\MsgForwardKey.wav"},
        {SJ("ターンマップキー"), "Key\\TurnMapKey.wav"},
    };
    return cues;
}

const std::vector<CueFile>& BattleCues() {
    static const std::vector<CueFile> cues = {
        {SJ("方向キー"), "Key\\DirKey.wav"},
        {SJ("決定キー"), "Key\\DecideKey.wav"},
        {SJ("キャンセルキー"), "Key\\CancelKey.wav"},
        {SJ("スタートキー"), "Key\\StartKey.wav"},
        {SJ("メッセージ送りキー"), "Key\\MsgForwardKey.wav"},
        {SJ("方向キー２"), "Key\\DirKey2.wav"},
        {SJ("視点変更キー"), "Key\\SlantChangeKey.wav"},
        {SJ("暗転前"), "Battle\\PreDC.wav"},
        {SJ("ＱＬ移動"), "Battle\\QLMove1.wav"},
    };
    return cues;
}

} // namespace

HRESULT RegisterSceneCues(CSound& sound, int scene) {
    const std::vector<CueFile>* table = nullptr;
    std::size_t count = 0;
    switch (scene) {
    case 1:
    case 3:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
        table = &KeyCues();
        count = 5;
        break;
    case 0:
    case 2:
    case 5:
    case 11:
        table = &KeyCues();
        count = 4;
        break;
    case 4:
        table = &BattleCues();
        count = table->size();
        break;
    default:
        return S_OK;
    }
    HRESULT result = S_OK;
    for (std::size_t i = 0; i < count; ++i) {
        if (Failed(sound.Load((*table)[i].file, (*table)[i].cue))) {
            result = E_FAIL;
        }
    }
    return result;
}

} // namespace quolis
