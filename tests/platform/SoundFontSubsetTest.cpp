#include "platform/SoundFontSubset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace quolis {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Gen {
    std::uint16_t op;
    std::uint16_t amount;
};
struct Zone {
    std::vector<Gen> gens;
    std::uint16_t modAmount = 0; // each zone carries one modulator marked with this
};
struct Header {
    std::string name;
    std::uint16_t program = 0; // presets only
    std::uint16_t bank = 0;
    std::vector<Zone> zones;
};
struct Sample {
    std::string name;
    std::uint32_t start = 0, end = 0;
    std::uint16_t link = 0, type = 1;
};
struct Font {
    std::vector<Header> presets, instruments;
    std::vector<Sample> samples;
    std::size_t sampleBytes = 64;
};

constexpr std::uint16_t kInstrument = 41;
constexpr std::uint16_t kSampleId = 53;
constexpr std::uint16_t kPan = 17;

void Put16(Bytes& b, std::size_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::size_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutName(Bytes& b, const std::string& name) {
    char n[20] = {};
    std::memcpy(n, name.data(), std::min<std::size_t>(name.size(), 19));
    b.insert(b.end(), n, n + 20);
}
void Chunk(Bytes& out, const char* id, const Bytes& body) {
    out.insert(out.end(), id, id + 4);
    Put32(out, body.size());
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) {
        out.push_back(0);
    }
}
void List(Bytes& out, const char* type, const Bytes& body) {
    Bytes b(type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    Chunk(out, "LIST", b);
}

// One level (presets or instruments): headers, zones, modulators, generators.
void Level(const std::vector<Header>& hs, bool presets, Bytes& hdr, Bytes& bag, Bytes& mod,
           Bytes& gen) {
    std::size_t zones = 0, gens = 0, mods = 0;
    for (const Header& h : hs) {
        PutName(hdr, h.name);
        if (presets) {
            Put16(hdr, h.program);
            Put16(hdr, h.bank);
        }
        Put16(hdr, zones);
        if (presets) {
            Put32(hdr, 0);
            Put32(hdr, 0);
            Put32(hdr, 0);
        }
        for (const Zone& z : h.zones) {
            Put16(bag, gens);
            Put16(bag, mods);
            for (const Gen& g : z.gens) {
                Put16(gen, g.op);
                Put16(gen, g.amount);
            }
            gens += z.gens.size();
            Put16(mod, 0x0502); // source: note-on velocity
            Put16(mod, 48);     // destination: initial attenuation
            Put16(mod, z.modAmount);
            Put16(mod, 0);
            Put16(mod, 0);
            ++mods;
            ++zones;
        }
    }
    PutName(hdr, presets ? "EOP" : "EOI");
    if (presets) {
        Put16(hdr, 0);
        Put16(hdr, 0);
    }
    Put16(hdr, zones);
    if (presets) {
        Put32(hdr, 0);
        Put32(hdr, 0);
        Put32(hdr, 0);
    }
    Put16(bag, gens);
    Put16(bag, mods);
    Put16(gen, 0);
    Put16(gen, 0);
    mod.insert(mod.end(), 10, 0);
}

Bytes Build(const Font& f) {
    Bytes info;
    Chunk(info, "ifil", {2, 0, 1, 0});
    Chunk(info, "INAM", {'t', 'e', 's', 't', 0}); // odd: padded
    Bytes samples;
    Bytes smpl(f.sampleBytes);
    for (std::size_t i = 0; i < smpl.size(); ++i) {
        smpl[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    Chunk(samples, "smpl", smpl);
    if (smpl.size() & 1) {
        samples.pop_back(); // no pad inside: the sample list itself is odd
    }
    Bytes phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
    Level(f.presets, true, phdr, pbag, pmod, pgen);
    Level(f.instruments, false, inst, ibag, imod, igen);
    for (const Sample& s : f.samples) {
        PutName(shdr, s.name);
        Put32(shdr, s.start);
        Put32(shdr, s.end);
        Put32(shdr, s.start + 1);
        Put32(shdr, s.end - 1);
        Put32(shdr, 22050);
        shdr.push_back(60);
        shdr.push_back(0);
        Put16(shdr, s.link);
        Put16(shdr, s.type);
    }
    PutName(shdr, "EOS");
    shdr.insert(shdr.end(), 26, 0);
    Bytes tables;
    for (auto [id, b] : {std::pair<const char*, Bytes*>{"phdr", &phdr},
                         {"pbag", &pbag},
                         {"pmod", &pmod},
                         {"pgen", &pgen},
                         {"inst", &inst},
                         {"ibag", &ibag},
                         {"imod", &imod},
                         {"igen", &igen},
                         {"shdr", &shdr}}) {
        Chunk(tables, id, *b);
    }
    Bytes form = {'s', 'f', 'b', 'k'};
    List(form, "INFO", info);
    List(form, "sdta", samples);
    List(form, "pdta", tables);
    Bytes file;
    Chunk(file, "RIFF", form);
    return file;
}

SoundFontFileBytes Reader(const Bytes& file) {
    return [&file](std::uint64_t offset, std::size_t n, std::uint8_t* out) {
        if (offset > file.size() || n > file.size() - offset) {
            return false;
        }
        std::memcpy(out, file.data() + offset, n);
        return true;
    };
}

// A bank read back from its bytes, independently of the code under test:
// each preset with its zones, the instruments named and each instrument zone
// with its sample named; any inconsistent size or index fails the test.
struct Resolved {
    struct Z {
        std::vector<std::pair<int, std::string>> gens; // operator, amount or the name referred to
        std::vector<Bytes> mods;
        bool operator==(const Z&) const = default;
    };
    struct H {
        std::string name;
        int program = 0, bank = 0;
        std::vector<Z> zones;
        bool operator==(const H&) const = default;
    };
    std::vector<H> presets;
    std::map<std::string, H> instruments; // those the presets use
    std::map<std::string, Bytes> samples; // header fields after the name (link resolved apart)
    std::map<std::string, std::string> links;
    std::size_t instrumentRecords = 0, sampleRecords = 0;
    Bytes sampleList; // the sdta list, header included
};

std::uint16_t Get16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return Get16(b, at) | (std::uint32_t(Get16(b, at + 2)) << 16);
}
std::string Name(const Bytes& b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(&b.at(at)));
}

Resolved Resolve(const Bytes& f) {
    Resolved r;
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(Get32(f, 4), f.size() - 8);
    std::map<std::string, Bytes> t;
    std::size_t at = 12;
    while (at + 8 <= f.size()) {
        const std::size_t size = Get32(f, at + 4);
        const std::string type(f.begin() + at + 8, f.begin() + at + 12);
        if (type == "sdta") {
            r.sampleList.assign(f.begin() + at, f.begin() + at + 8 + size);
        }
        if (type == "pdta") {
            for (std::size_t c = at + 12; c < at + 8 + size;) {
                const std::size_t n = Get32(f, c + 4);
                t[std::string(f.begin() + c, f.begin() + c + 4)].assign(f.begin() + c + 8,
                                                                        f.begin() + c + 8 + n);
                c += 8 + n;
            }
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_EQ(at, f.size());
    const std::size_t nInst = t["inst"].size() / 22;
    const std::size_t nShdr = t["shdr"].size() / 46;
    r.instrumentRecords = nInst - 1;
    r.sampleRecords = nShdr - 1;
    auto zones = [&](const Bytes& hdr, std::size_t rec, std::size_t field, std::size_t i,
                     const char* bag, const char* gen, const char* mod, int refOp,
                     const std::function<std::string(std::size_t)>& ref) {
        std::vector<Resolved::Z> out;
        for (std::size_t z = Get16(hdr, i * rec + field); z < Get16(hdr, (i + 1) * rec + field);
             ++z) {
            Resolved::Z zone;
            for (std::size_t g = Get16(t[bag], z * 4); g < Get16(t[bag], z * 4 + 4); ++g) {
                const int op = Get16(t[gen], g * 4);
                const std::size_t amount = Get16(t[gen], g * 4 + 2);
                zone.gens.push_back({op, op == refOp ? ref(amount) : std::to_string(amount)});
            }
            for (std::size_t m = Get16(t[bag], z * 4 + 2); m < Get16(t[bag], z * 4 + 6); ++m) {
                zone.mods.emplace_back(t[mod].begin() + m * 10, t[mod].begin() + m * 10 + 10);
            }
            out.push_back(zone);
        }
        return out;
    };
    auto sampleName = [&](std::size_t s) {
        EXPECT_LT(s, nShdr - 1);
        return Name(t["shdr"], s * 46);
    };
    auto instName = [&](std::size_t i) {
        EXPECT_LT(i, nInst - 1);
        Resolved::H h;
        h.name = Name(t["inst"], i * 22);
        h.zones = zones(t["inst"], 22, 20, i, "ibag", "igen", "imod", kSampleId, sampleName);
        r.instruments[h.name] = h;
        return h.name;
    };
    const Bytes& phdr = t["phdr"];
    for (std::size_t p = 0; p + 1 < phdr.size() / 38; ++p) {
        Resolved::H h;
        h.name = Name(phdr, p * 38);
        h.program = Get16(phdr, p * 38 + 20);
        h.bank = Get16(phdr, p * 38 + 22);
        h.zones = zones(phdr, 38, 24, p, "pbag", "pgen", "pmod", kInstrument, instName);
        r.presets.push_back(h);
    }
    const Bytes& shdr = t["shdr"];
    for (std::size_t s = 0; s + 1 < nShdr; ++s) {
        Bytes fields(shdr.begin() + s * 46 + 20, shdr.begin() + s * 46 + 42);
        fields.push_back(shdr[s * 46 + 44]);
        fields.push_back(shdr[s * 46 + 45]);
        r.samples[Name(shdr, s * 46)] = fields;
        if (Get16(shdr, s * 46 + 44) & 14) {
            r.links[Name(shdr, s * 46)] = sampleName(Get16(shdr, s * 46 + 42));
        }
    }
    return r;
}

Bytes Materialize(const SoundFontImage& image, const Bytes& file) {
    Bytes out(static_cast<std::size_t>(image.Size()));
    EXPECT_TRUE(image.Read(0, out.size(), out.data(), Reader(file)));
    return out;
}

Zone Z(std::vector<Gen> gens, std::uint16_t mark) {
    return Zone{std::move(gens), mark};
}

// A little General MIDI bank: pianos in banks 0 and 8, a guitar, strings
// that share the piano's instrument, two drum kits, and a stereo pair.
Font TestFont() {
    Font f;
    f.samples = {{"piano", 0, 8},        {"guitar", 8, 16}, {"strL", 16, 20, 3, 4},
                 {"strR", 20, 24, 2, 2}, {"kick", 24, 28},  {"snare", 28, 30},
                 {"unused", 30, 31}};
    f.instruments = {
        {"Piano", 0, 0, {Z({{kPan, 5}, {kSampleId, 0}}, 1)}},
        {"Guitar", 0, 0, {Z({{kSampleId, 1}}, 2)}},
        {"Strings", 0, 0, {Z({{kPan, 100}}, 3), Z({{kSampleId, 2}}, 4)}}, // global zone first
        {"Std Kit", 0, 0, {Z({{kSampleId, 4}}, 5), Z({{kSampleId, 5}}, 6)}},
        {"Power Kit", 0, 0, {Z({{kSampleId, 5}}, 7)}},
        {"Orphan", 0, 0, {Z({{kSampleId, 6}}, 8)}},
    };
    f.presets = {
        {"Grand", 0, 0, {Z({{kInstrument, 0}}, 10)}},
        {"Guitar", 24, 0, {Z({{kInstrument, 1}}, 11)}},
        {"Strings", 48, 0, {Z({{kPan, 3}}, 12), Z({{kInstrument, 2}}, 13)}},
        {"Bright", 0, 8, {Z({{kInstrument, 0}}, 14)}},
        {"Strings8", 48, 8, {Z({{kInstrument, 2}}, 15), Z({{kInstrument, 0}}, 16)}},
        {"Standard", 0, 128, {Z({{kInstrument, 3}}, 17)}},
        {"Power", 16, 128, {Z({{kInstrument, 4}}, 18)}},
    };
    return f;
}

std::vector<std::string> Names(const Resolved& r) {
    std::vector<std::string> out;
    for (const auto& h : r.presets) {
        out.push_back(h.name);
    }
    return out;
}

TEST(SoundFontSubset, ASmallBankHoldsThePresetsAsTheyWereAndTheSamplesWhereTheyWere) {
    const Bytes file = Build(TestFont());
    SoundFontTables tables;
    ASSERT_TRUE(tables.Read(file.size(), Reader(file)));
    EXPECT_EQ(tables.PresetCount(), 7u);
    const Resolved whole = Resolve(file);

    // Strings in bank 8: both string presets, both pianos and the standard kit.
    const std::vector<std::size_t> reach = tables.Reachable({{8, 48}});
    EXPECT_EQ(reach, (std::vector<std::size_t>{0, 2, 3, 4, 5}));
    const SoundFontImage image = tables.Subset(reach);
    const Bytes small = Materialize(image, file);
    const Resolved cut = Resolve(small);

    EXPECT_EQ(Names(cut),
              (std::vector<std::string>{"Grand", "Strings", "Bright", "Strings8", "Standard"}));
    for (const auto& h : cut.presets) {
        auto same = std::find_if(whole.presets.begin(), whole.presets.end(),
                                 [&](const Resolved::H& w) { return w.name == h.name; });
        ASSERT_NE(same, whole.presets.end());
        EXPECT_EQ(h, *same) << h.name; // zones, generators, modulators, instruments named
    }
    for (const auto& [name, inst] : cut.instruments) {
        EXPECT_EQ(inst, whole.instruments.at(name)) << name; // and the samples they name
    }
    // Only what the kept presets use: no guitar, no power kit, no orphan.
    EXPECT_EQ(cut.instrumentRecords, 3u);
    EXPECT_EQ(cut.sampleRecords, 5u);
    for (const auto& [name, fields] : cut.samples) {
        EXPECT_EQ(fields, whole.samples.at(name)) << name; // offsets unchanged
    }
    EXPECT_EQ(cut.links, (std::map<std::string, std::string>{{"strL", "strR"}, {"strR", "strL"}}));
    // The sample list is the original's, read from the file.
    EXPECT_EQ(cut.sampleList, whole.sampleList);
    EXPECT_EQ(
        Bytes(file.begin() + static_cast<std::ptrdiff_t>(image.sampleOffset),
              file.begin() + static_cast<std::ptrdiff_t>(image.sampleOffset + image.sampleSize)),
        whole.sampleList);
    EXPECT_LT(small.size(), file.size());
}

TEST(SoundFontSubset, ReachFollowsTheSynthesizersFallbacks) {
    const Bytes file = Build(TestFont());
    SoundFontTables tables;
    ASSERT_TRUE(tables.Read(file.size(), Reader(file)));
    auto names = [&](const std::vector<MidiProgram>& programs) {
        Resolved r = Resolve(Materialize(tables.Subset(tables.Reachable(programs)), file));
        return Names(r);
    };
    // Nothing selected: every channel's first program and kit.
    EXPECT_EQ(names({}), (std::vector<std::string>{"Grand", "Bright", "Standard"}));
    // A bank the font lacks for a program: the same program in every bank is
    // kept, bank 0's among them.
    EXPECT_EQ(names({{5, 24}}),
              (std::vector<std::string>{"Grand", "Guitar", "Bright", "Standard"}));
    // A kit is kept when selected; a melodic program of the same number is not.
    EXPECT_EQ(names({{128, 16}}),
              (std::vector<std::string>{"Grand", "Bright", "Standard", "Power"}));
    EXPECT_EQ(names({{0, 16}}), (std::vector<std::string>{"Grand", "Bright", "Standard"}));
    // Programs outside 0..127 select nothing.
    EXPECT_EQ(names({{0, 200}, {128, -1}}),
              (std::vector<std::string>{"Grand", "Bright", "Standard"}));
    // Indices past the bank are ignored, repeats are one.
    const Resolved r = Resolve(Materialize(tables.Subset({6, 6, 99, 1}), file));
    EXPECT_EQ(Names(r), (std::vector<std::string>{"Guitar", "Power"}));
}

TEST(SoundFontSubset, AnOddSampleListKeepsTheFollowingListAligned) {
    Font f = TestFont();
    f.sampleBytes = 63; // no 16-bit bank has this, but the layout must still hold
    const Bytes file = Build(f);
    SoundFontTables tables;
    ASSERT_TRUE(tables.Read(file.size(), Reader(file)));
    const SoundFontImage image = tables.Subset(tables.Reachable({}));
    EXPECT_EQ(image.sampleSize % 2, 1u);
    const Resolved r = Resolve(Materialize(image, file));
    EXPECT_EQ(Names(r), (std::vector<std::string>{"Grand", "Bright", "Standard"}));
}

TEST(SoundFontSubset, ImageReadsStopAtItsEndAndAtAFailingFile) {
    const Bytes file = Build(TestFont());
    SoundFontTables tables;
    ASSERT_TRUE(tables.Read(file.size(), Reader(file)));
    const SoundFontImage image = tables.Subset({0});
    const Bytes whole = Materialize(image, file);
    std::uint8_t b[16];
    // A read across the head, the samples and the tail gives the same bytes.
    const std::uint64_t mid = image.head.size() - 4;
    ASSERT_TRUE(image.Read(mid, sizeof b, b, Reader(file)));
    EXPECT_EQ(Bytes(b, b + sizeof b), Bytes(whole.begin() + mid, whole.begin() + mid + sizeof b));
    EXPECT_TRUE(image.Read(image.Size() - 4, 4, b, Reader(file)));
    EXPECT_FALSE(image.Read(image.Size() - 4, 5, b, Reader(file)));
    EXPECT_FALSE(image.Read(image.Size() + 1, 0, b, Reader(file)));
    const SoundFontFileBytes failing = [](std::uint64_t, std::size_t, std::uint8_t*) {
        return false;
    };
    EXPECT_TRUE(image.Read(0, 8, b, failing)); // the head needs no file
    EXPECT_FALSE(image.Read(image.head.size(), 8, b, failing));
}

// Byte offsets of the tables in a built file, to damage them.
std::size_t TableAt(const Bytes& f, const char* id) {
    for (std::size_t i = 0; i + 4 <= f.size(); ++i) {
        if (std::memcmp(&f[i], id, 4) == 0) {
            return i + 8;
        }
    }
    ADD_FAILURE() << id;
    return 0;
}

TEST(SoundFontSubset, BanksThatCannotBeCutSafelyAreRefused) {
    const Bytes good = Build(TestFont());
    SoundFontTables tables;
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + n);
        EXPECT_FALSE(tables.Read(cut.size(), Reader(cut))) << "cut at " << n;
        EXPECT_TRUE(tables.Empty());
    }
    auto refused = [&](const char* what, const std::function<void(Bytes&)>& damage) {
        Bytes b = good;
        damage(b);
        EXPECT_FALSE(tables.Read(b.size(), Reader(b))) << what;
        EXPECT_TRUE(tables.Empty()) << what;
        EXPECT_TRUE(tables.Subset({0}).Empty()) << what;
    };
    refused("not a soundfont", [](Bytes& b) { b[8] = 'x'; });
    refused("an instrument that is not there", [&](Bytes& b) {
        b[TableAt(b, "pgen") + 2] = 6; // the piano preset's instrument: 6 is the closing record
    });
    refused("a sample that is not there", [&](Bytes& b) { b[TableAt(b, "igen") + 6] = 7; });
    refused("zones out of order", [&](Bytes& b) { b[TableAt(b, "phdr") + 38 + 24] = 9; });
    refused("generators out of order", [&](Bytes& b) { b[TableAt(b, "ibag") + 4] = 40; });
    refused("a table of the wrong size", [&](Bytes& b) {
        const std::size_t size = TableAt(b, "shdr") - 4;
        b[size] = static_cast<std::uint8_t>(b[size] - 2);
    });
    refused("tables out of order",
            [&](Bytes& b) { std::memcpy(&b[TableAt(b, "pmod") - 8], "pgen", 4); });
    refused("no INFO list", [&](Bytes& b) { std::memcpy(&b[TableAt(b, "INFO") - 8], "JUNK", 4); });
    refused("a chunk past the end of the form", [](Bytes& b) { b[4] = 40; });

    // A file that fails to read, and the tables read again from a good one.
    EXPECT_FALSE(
        tables.Read(good.size(), [](std::uint64_t, std::size_t, std::uint8_t*) { return false; }));
    EXPECT_TRUE(tables.Read(good.size(), Reader(good)));
    EXPECT_EQ(tables.PresetCount(), 7u);
}

} // namespace
} // namespace quolis
