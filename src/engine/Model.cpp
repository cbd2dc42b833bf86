#include "engine/Model.h"

#include <iterator>
#include <map>

namespace quolis {
namespace {

struct ModelSettings {
    std::string directory = "GameData\\mdl\\";
    CDatArchive* archive = nullptr;
    float frameStep = 0;
    bool keep = false;
    struct Kept {
        MdlData model;
        bool used = false; // loaded since the keeping last began
    };
    std::map<std::string, Kept, std::less<>> kept;
};

ModelSettings& Settings() {
    static ModelSettings s;
    return s;
}

} // namespace

void CMdl::Init(std::string directory, CDatArchive* archive, float frameStep) {
    ModelSettings& s = Settings();
    if (archive != s.archive || directory != s.directory)
        s.kept.clear();
    s.directory = std::move(directory);
    s.archive = archive;
    s.frameStep = frameStep;
}

float CMdl::FrameStep() {
    return Settings().frameStep;
}

void CMdl::KeepParsedModels(bool on) {
    ModelSettings& s = Settings();
    s.keep = on;
    if (on)
        for (auto& entry : s.kept)
            entry.second.used = false;
}

void CMdl::ForgetUnusedModels() {
    ModelSettings& s = Settings();
    for (auto it = s.kept.begin(); it != s.kept.end();)
        it = it->second.used ? std::next(it) : s.kept.erase(it);
}

std::size_t CMdl::KeptModelCount() {
    return Settings().kept.size();
}

HRESULT CMdl::Load(const std::string& name) {
    ModelSettings& s = Settings();
    if (s.keep) {
        const auto it = s.kept.find(name);
        if (it != s.kept.end()) {
            it->second.used = true;
            model_ = std::make_unique<MdlData>(it->second.model);
            SetFrame(0);
            return S_OK;
        }
    }
    model_ = std::make_unique<MdlData>();
    HRESULT hr = E_FAIL;
    if (s.archive) {
        const std::string member = s.archive->Archived() ? name : s.directory + name;
        TokenList tokens;
        if (Succeeded(s.archive->ReadTokens(kArchivePath, member, tokens)) &&
            model_->Parse(tokens)) {
            hr = S_OK;
            for (const MdlPart& part : model_->parts)
                if (part.name != "Nothing")
                    CMesh::Preload(part.name); // a failed mesh draws as nothing
            if (s.keep)
                s.kept.emplace(name, ModelSettings::Kept{*model_, true}); // not posed yet
        }
    }
    SetFrame(0);
    return hr;
}

int CMdl::Play() {
    if (!model_)
        return 0;
    SetFrame(0);
    playing_ = 1;
    return 1;
}

void CMdl::SetFrame(float position) {
    if (!model_)
        return;
    keyPosition_ = model_->Pose(position);
}

void CMdl::Update() {
    if (!model_ || !playing_)
        return;
    SetFrame(keyPosition_ + Settings().frameStep);
    if (float(model_->keyCount - 1) <= keyPosition_)
        playing_ = 0;
}

HRESULT CMdl::Draw() {
    if (!model_ || !IsEnabled())
        return S_OK;
    for (std::size_t i = 0; i < model_->parts.size(); ++i) {
        SetLocalMatrix(model_->PartWorld(i));
        SetMesh(model_->parts[i].name);
        CMesh::Draw();
    }
    return S_OK;
}

HRESULT CMdl::Release() {
    model_.reset();
    return CMesh::Release();
}

} // namespace quolis
