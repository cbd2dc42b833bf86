#include "platform/SoundFontSubset.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quolis {
namespace {

// Record sizes of the preset tables.
constexpr std::size_t kPhdr = 38; // name[20], program, bank, first zone, library, genre, morphology
constexpr std::size_t kBag = 4;   // first generator, first modulator
constexpr std::size_t kMod = 10;
constexpr std::size_t kGen = 4;   // operator, amount
constexpr std::size_t kInst = 22; // name[20], first zone
constexpr std::size_t kShdr = 46; // name[20], start, end, loop start, loop end, rate, pitch,
                                  // correction, link, type

constexpr std::size_t kPresetProgram = 20;
constexpr std::size_t kPresetBank = 22;
constexpr std::size_t kPresetZone = 24;
constexpr std::size_t kInstZone = 20;
constexpr std::size_t kSampleLink = 42;
constexpr std::size_t kSampleType = 44;

constexpr std::uint16_t kGenInstrument = 41;
constexpr std::uint16_t kGenSample = 53;
// Sample types that name a partner in wSampleLink: right, left, linked.
constexpr std::uint16_t kLinkedTypes = 2 | 4 | 8;
constexpr int kDrumBank = 128;

// Limits on what is read into memory: far more than any real bank's INFO list
// and tables, so that a garbage size cannot ask for gigabytes.
constexpr std::uint64_t kMaxInfo = 1u << 20;
constexpr std::uint64_t kMaxTables = 64u << 20;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void PutU16(std::uint8_t* p, std::size_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint64_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void AppendId(std::vector<std::uint8_t>& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

// One level of the tables: the presets (or instruments), their zones, the
// zones' modulators and generators. Header record i's zones are
// [zone(i), zone(i + 1)); zone z's generators are [gen(z), gen(z + 1)).
struct Level {
    const std::vector<std::uint8_t>& hdr;
    std::size_t hdrSize;
    std::size_t zoneField;
    const std::vector<std::uint8_t>& bag;
    const std::vector<std::uint8_t>& mod;
    const std::vector<std::uint8_t>& gen;
    std::uint16_t refOperator; // the generator that names the next level

    std::size_t Headers() const { return hdr.size() / hdrSize; }
    std::size_t Zones() const { return bag.size() / kBag; }
    std::size_t Gens() const { return gen.size() / kGen; }
    std::size_t Mods() const { return mod.size() / kMod; }
    std::size_t Zone(std::size_t i) const { return U16(&hdr[i * hdrSize + zoneField]); }
    std::size_t ZoneGen(std::size_t z) const { return U16(&bag[z * kBag]); }
    std::size_t ZoneMod(std::size_t z) const { return U16(&bag[z * kBag + 2]); }
    std::uint16_t GenOperator(std::size_t g) const { return U16(&gen[g * kGen]); }
    std::uint16_t GenAmount(std::size_t g) const { return U16(&gen[g * kGen + 2]); }

    // Zone indices rise, and the closing header names the closing zone or
    // one before it; the same for the zones' generators and modulators.
    bool Ordered() const {
        for (std::size_t i = 0; i + 1 < Headers(); ++i) {
            if (Zone(i) > Zone(i + 1)) {
                return false;
            }
        }
        if (Zone(Headers() - 1) >= Zones()) {
            return false;
        }
        for (std::size_t z = 0; z + 1 < Zones(); ++z) {
            if (ZoneGen(z) > ZoneGen(z + 1) || ZoneMod(z) > ZoneMod(z + 1)) {
                return false;
            }
        }
        return ZoneGen(Zones() - 1) < Gens() && ZoneMod(Zones() - 1) < Mods();
    }

    // Every reference to the next level names one of its records (not the
    // closing one).
    bool RefsBelow(std::size_t limit) const {
        for (std::size_t g = 0; g + 1 < Gens(); ++g) {
            if (GenOperator(g) == refOperator && GenAmount(g) >= limit) {
                return false;
            }
        }
        return true;
    }

    // Calls f(amount) for each reference of header i to the next level.
    template <typename F> void ForEachRef(std::size_t i, F&& f) const {
        for (std::size_t z = Zone(i); z < Zone(i + 1); ++z) {
            for (std::size_t g = ZoneGen(z); g < ZoneGen(z + 1); ++g) {
                if (GenOperator(g) == refOperator) {
                    f(GenAmount(g));
                }
            }
        }
    }
};

struct LevelOut {
    std::vector<std::uint8_t> hdr, bag, mod, gen;
};

// Copies header i with its zones, renumbering the zones, generators and
// modulators and the references to the next level through `map`.
void CopyHeader(const Level& in, std::size_t i, const std::vector<int>& map, LevelOut& out) {
    const std::size_t first = out.bag.size() / kBag;
    std::size_t at = out.hdr.size();
    out.hdr.insert(out.hdr.end(), in.hdr.begin() + i * in.hdrSize,
                   in.hdr.begin() + (i + 1) * in.hdrSize);
    PutU16(&out.hdr[at + in.zoneField], first);
    for (std::size_t z = in.Zone(i); z < in.Zone(i + 1); ++z) {
        at = out.bag.size();
        out.bag.resize(at + kBag);
        PutU16(&out.bag[at], out.gen.size() / kGen);
        PutU16(&out.bag[at + 2], out.mod.size() / kMod);
        for (std::size_t g = in.ZoneGen(z); g < in.ZoneGen(z + 1); ++g) {
            at = out.gen.size();
            out.gen.insert(out.gen.end(), in.gen.begin() + g * kGen,
                           in.gen.begin() + (g + 1) * kGen);
            if (in.GenOperator(g) == in.refOperator) {
                PutU16(&out.gen[at + 2], static_cast<std::size_t>(map[in.GenAmount(g)]));
            }
        }
        out.mod.insert(out.mod.end(), in.mod.begin() + in.ZoneMod(z) * kMod,
                       in.mod.begin() + in.ZoneMod(z + 1) * kMod);
    }
}

// The closing records: the last header, zone, generator and modulator of the
// original, the header and zone renumbered to the ends of the copies.
void CloseLevel(const Level& in, LevelOut& out) {
    std::size_t at = out.hdr.size();
    out.hdr.insert(out.hdr.end(), in.hdr.end() - static_cast<std::ptrdiff_t>(in.hdrSize),
                   in.hdr.end());
    PutU16(&out.hdr[at + in.zoneField], out.bag.size() / kBag);
    at = out.bag.size();
    out.bag.resize(at + kBag);
    PutU16(&out.bag[at], out.gen.size() / kGen);
    PutU16(&out.bag[at + 2], out.mod.size() / kMod);
    out.gen.insert(out.gen.end(), in.gen.end() - kGen, in.gen.end());
    out.mod.insert(out.mod.end(), in.mod.end() - kMod, in.mod.end());
}

// Numbers the marked entries of `map` (any value >= 0) 0, 1, 2, … in order.
void Number(std::vector<int>& map) {
    int next = 0;
    for (int& m : map) {
        if (m >= 0) {
            m = next++;
        }
    }
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* id,
                 const std::vector<std::uint8_t>& bytes) {
    AppendId(out, id);
    AppendU32(out, bytes.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
}

} // namespace

bool SoundFontImage::Read(std::uint64_t at, std::size_t size, std::uint8_t* out,
                          const SoundFontFileBytes& file) const {
    if (at > Size() || size > Size() - at) {
        return false;
    }
    const std::uint64_t samplesEnd = head.size() + sampleSize;
    while (size > 0) {
        std::size_t n = 0;
        if (at < head.size()) {
            n = static_cast<std::size_t>(std::min<std::uint64_t>(size, head.size() - at));
            std::memcpy(out, head.data() + at, n);
        } else if (at < samplesEnd) {
            const std::uint64_t offset = at - head.size();
            n = static_cast<std::size_t>(std::min<std::uint64_t>(size, sampleSize - offset));
            if (!file || !file(sampleOffset + offset, n, out)) {
                return false;
            }
        } else {
            const std::uint64_t offset = at - samplesEnd;
            n = static_cast<std::size_t>(std::min<std::uint64_t>(size, tail.size() - offset));
            std::memcpy(out, tail.data() + offset, n);
        }
        at += n;
        out += n;
        size -= n;
    }
    return true;
}

void SoundFontTables::Clear() {
    info_.clear();
    sampleOffset_ = sampleSize_ = 0;
    for (Bytes* b : {&phdr_, &pbag_, &pmod_, &pgen_, &inst_, &ibag_, &imod_, &igen_, &shdr_}) {
        b->clear();
        b->shrink_to_fit();
    }
}

bool SoundFontTables::Read(std::uint64_t fileSize, const SoundFontFileBytes& file) {
    Clear();
    Bytes pdta;
    if (!file || !ReadLists(fileSize, file, pdta) || !TakeTables(pdta) || !Valid()) {
        Clear();
        return false;
    }
    return true;
}

// The three lists of the "sfbk" form, each once: INFO (kept whole), sdta
// (only where it is) and pdta (its contents into `pdta`).
bool SoundFontTables::ReadLists(std::uint64_t fileSize, const SoundFontFileBytes& file,
                                Bytes& pdta) {
    std::uint8_t h[12];
    if (fileSize < 12 || !file(0, 12, h) || std::memcmp(h, "RIFF", 4) != 0 ||
        std::memcmp(h + 8, "sfbk", 4) != 0) {
        return false;
    }
    const std::uint64_t end = std::min<std::uint64_t>(fileSize, 8 + std::uint64_t(U32(h + 4)));
    bool info = false, samples = false, tables = false;
    std::uint64_t at = 12;
    while (at < end && end - at >= 8) {
        std::uint8_t c[12];
        if (!file(at, 8, c)) {
            return false;
        }
        const std::uint64_t size = U32(c + 4);
        if (size > end - at - 8) {
            return false; // runs past the end of the form or the file
        }
        if (std::memcmp(c, "LIST", 4) == 0 && size >= 4) {
            if (!file(at + 8, 4, c + 8)) {
                return false;
            }
            if (std::memcmp(c + 8, "INFO", 4) == 0) {
                if (info || size > kMaxInfo) {
                    return false;
                }
                info_.resize(static_cast<std::size_t>(8 + size));
                if (!file(at, info_.size(), info_.data())) {
                    return false;
                }
                if (size & 1) {
                    info_.push_back(0); // the pad byte after an odd chunk
                }
                info = true;
            } else if (std::memcmp(c + 8, "sdta", 4) == 0) {
                if (samples) {
                    return false;
                }
                sampleOffset_ = at;
                sampleSize_ = 8 + size;
                samples = true;
            } else if (std::memcmp(c + 8, "pdta", 4) == 0) {
                if (tables || size > kMaxTables) {
                    return false;
                }
                pdta.resize(static_cast<std::size_t>(size - 4));
                if (!file(at + 12, pdta.size(), pdta.data())) {
                    return false;
                }
                tables = true;
            }
        }
        at += 8 + size + (size & 1);
    }
    return info && samples && tables;
}

// The nine tables, in the order the format sets and nothing else.
bool SoundFontTables::TakeTables(const Bytes& pdta) {
    static const char* const kIds[] = {"phdr", "pbag", "pmod", "pgen", "inst",
                                       "ibag", "imod", "igen", "shdr"};
    static constexpr std::size_t kSizes[] = {kPhdr, kBag, kMod, kGen, kInst,
                                             kBag,  kMod, kGen, kShdr};
    Bytes* const tables[] = {&phdr_, &pbag_, &pmod_, &pgen_, &inst_,
                             &ibag_, &imod_, &igen_, &shdr_};
    std::size_t at = 0;
    for (std::size_t t = 0; t < 9; ++t) {
        if (pdta.size() - at < 8 || std::memcmp(&pdta[at], kIds[t], 4) != 0) {
            return false;
        }
        const std::size_t size = U32(&pdta[at + 4]);
        if (size > pdta.size() - at - 8 || size == 0 || size % kSizes[t] != 0) {
            return false;
        }
        tables[t]->assign(pdta.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          pdta.begin() + static_cast<std::ptrdiff_t>(at + 8 + size));
        at += 8 + size;
    }
    return at == pdta.size();
}

bool SoundFontTables::Valid() const {
    const Level presets{phdr_, kPhdr, kPresetZone, pbag_, pmod_, pgen_, kGenInstrument};
    const Level instruments{inst_, kInst, kInstZone, ibag_, imod_, igen_, kGenSample};
    const std::size_t samples = shdr_.size() / kShdr;
    // Each level ends with its closing record (a small bank may hold no
    // instrument but that); zone, generator and modulator numbers are 16 bits
    // wide.
    for (const Level* l : {&presets, &instruments}) {
        if (l->Headers() < 1 || l->Zones() > 65536 || l->Gens() > 65536 || l->Mods() > 65536) {
            return false;
        }
    }
    return presets.Ordered() && instruments.Ordered() &&
           presets.RefsBelow(instruments.Headers() - 1) && instruments.RefsBelow(samples - 1);
}

std::size_t SoundFontTables::PresetCount() const {
    return phdr_.empty() ? 0 : phdr_.size() / kPhdr - 1;
}

std::vector<std::size_t>
SoundFontTables::Reachable(const std::vector<MidiProgram>& programs) const {
    std::array<bool, 128> melodic{}, kits{};
    melodic[0] = kits[0] = true;
    for (const MidiProgram& p : programs) {
        if (p.program >= 0 && p.program < 128) {
            (p.bank == kDrumBank ? kits : melodic)[static_cast<std::size_t>(p.program)] = true;
        }
    }
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < PresetCount(); ++i) {
        const std::uint16_t program = U16(&phdr_[i * kPhdr + kPresetProgram]);
        const std::uint16_t bank = U16(&phdr_[i * kPhdr + kPresetBank]);
        if (program < 128 && (bank == kDrumBank ? kits : melodic)[program]) {
            out.push_back(i);
        }
    }
    return out;
}

SoundFontImage SoundFontTables::Subset(const std::vector<std::size_t>& presets) const {
    SoundFontImage image;
    if (Empty()) {
        return image;
    }
    const Level presetLevel{phdr_, kPhdr, kPresetZone, pbag_, pmod_, pgen_, kGenInstrument};
    const Level instLevel{inst_, kInst, kInstZone, ibag_, imod_, igen_, kGenSample};
    const std::size_t sampleCount = shdr_.size() / kShdr - 1;

    std::vector<std::size_t> kept;
    for (std::size_t p : presets) {
        if (p < PresetCount()) {
            kept.push_back(p);
        }
    }
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());

    // What the kept presets use, then what those instruments use.
    std::vector<int> instMap(instLevel.Headers() - 1, -1);
    for (std::size_t p : kept) {
        presetLevel.ForEachRef(p, [&](std::uint16_t i) { instMap[i] = 0; });
    }
    std::vector<int> sampleMap(sampleCount, -1);
    for (std::size_t i = 0; i < instMap.size(); ++i) {
        if (instMap[i] >= 0) {
            instLevel.ForEachRef(i, [&](std::uint16_t s) { sampleMap[s] = 0; });
        }
    }
    // Stereo partners come along, so that every link names a kept sample.
    std::vector<std::size_t> work;
    for (std::size_t s = 0; s < sampleCount; ++s) {
        if (sampleMap[s] >= 0) {
            work.push_back(s);
        }
    }
    while (!work.empty()) {
        const std::size_t s = work.back();
        work.pop_back();
        const std::uint8_t* rec = &shdr_[s * kShdr];
        const std::size_t link = U16(rec + kSampleLink);
        if ((U16(rec + kSampleType) & kLinkedTypes) != 0 && link < sampleCount &&
            sampleMap[link] < 0) {
            sampleMap[link] = 0;
            work.push_back(link);
        }
    }
    Number(instMap);
    Number(sampleMap);

    LevelOut p, i;
    for (std::size_t k : kept) {
        CopyHeader(presetLevel, k, instMap, p);
    }
    CloseLevel(presetLevel, p);
    for (std::size_t k = 0; k < instMap.size(); ++k) {
        if (instMap[k] >= 0) {
            CopyHeader(instLevel, k, sampleMap, i);
        }
    }
    CloseLevel(instLevel, i);
    Bytes shdr;
    for (std::size_t s = 0; s < sampleCount; ++s) {
        if (sampleMap[s] < 0) {
            continue;
        }
        const std::size_t at = shdr.size();
        shdr.insert(shdr.end(), shdr_.begin() + static_cast<std::ptrdiff_t>(s * kShdr),
                    shdr_.begin() + static_cast<std::ptrdiff_t>((s + 1) * kShdr));
        const std::size_t link = U16(&shdr[at + kSampleLink]);
        const bool linked = (U16(&shdr[at + kSampleType]) & kLinkedTypes) != 0;
        PutU16(&shdr[at + kSampleLink], linked && link < sampleCount ? sampleMap[link] : 0);
    }
    shdr.insert(shdr.end(), shdr_.end() - kShdr, shdr_.end());

    Bytes body;
    AppendId(body, "pdta");
    AppendChunk(body, "phdr", p.hdr);
    AppendChunk(body, "pbag", p.bag);
    AppendChunk(body, "pmod", p.mod);
    AppendChunk(body, "pgen", p.gen);
    AppendChunk(body, "inst", i.hdr);
    AppendChunk(body, "ibag", i.bag);
    AppendChunk(body, "imod", i.mod);
    AppendChunk(body, "igen", i.gen);
    AppendChunk(body, "shdr", shdr);

    // An odd sample list is followed by its pad byte.
    if (sampleSize_ & 1) {
        image.tail.push_back(0);
    }
    AppendId(image.tail, "LIST");
    AppendU32(image.tail, body.size());
    image.tail.insert(image.tail.end(), body.begin(), body.end());

    AppendId(image.head, "RIFF");
    AppendU32(image.head, 4 + info_.size() + sampleSize_ + image.tail.size());
    AppendId(image.head, "sfbk");
    image.head.insert(image.head.end(), info_.begin(), info_.end());
    image.sampleOffset = sampleOffset_;
    image.sampleSize = sampleSize_;
    return image;
}

} // namespace quolis
