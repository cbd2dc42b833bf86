#include "data/DatArchive.h"

namespace quolis {
namespace {
std::string& KeyStorage() {
    static std::string key = "pelomu4716";
    return key;
}

int Shift(std::size_t i) {
    const std::string& key = KeyStorage();
    if (key.empty()) {
        return 0;
    }
    return static_cast<unsigned char>(key[i % key.size()]) & 3;
}
} // namespace

void DataCodec::SetKey(std::string key) {
    KeyStorage() = std::move(key);
}

const std::string& DataCodec::Key() {
    return KeyStorage();
}

void DataCodec::Decode(std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<char>(static_cast<unsigned char>(s[i]) + Shift(i));
    }
}

void DataCodec::Encode(std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] = static_cast<char>(static_cast<unsigned char>(s[i]) - Shift(i));
    }
}

void DataCodec::Decode(TokenList& tokens) {
    for (auto& t : tokens) {
        Decode(t);
    }
}

void DataCodec::Encode(TokenList& tokens) {
    for (auto& t : tokens) {
        Encode(t);
    }
}

std::string ApplyEName(std::string_view name) {
    auto dot = name.find('.');
    if (dot == std::string_view::npos) {
        return std::string(name);
    }
    std::string out;
    out.reserve(name.size() + 1);
    out.append(name.substr(0, dot));
    out.push_back('E');
    out.append(name.substr(dot));
    return out;
}

} // namespace quolis
