#include "data/DatArchive.h"

namespace quolis {
namespace {
std::string& KeyStorage() {
    static std::string key = "pelomu4716";
    return key;
}

// Adds (or with `sign` -1 takes away) the key's shifts, the key starting
// again at the first byte of every token. The key is looked up once per
// token: a model is tens of thousands of them.
void Shift(std::string& s, int sign) {
    const std::string& key = KeyStorage();
    if (key.empty()) {
        return;
    }
    std::size_t k = 0;
    for (char& c : s) {
        const int shift = static_cast<unsigned char>(key[k]) & 3;
        c = static_cast<char>(static_cast<unsigned char>(c) + sign * shift);
        if (++k == key.size()) {
            k = 0;
        }
    }
}
} // namespace

void DataCodec::SetKey(std::string key) {
    KeyStorage() = std::move(key);
}

const std::string& DataCodec::Key() {
    return KeyStorage();
}

void DataCodec::Decode(std::string& s) {
    Shift(s, 1);
}

void DataCodec::Encode(std::string& s) {
    Shift(s, -1);
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
