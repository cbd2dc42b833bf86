// Sound effects (synthesised 16-bit PCM WAV) and music (composed standard
// MIDI files in General MIDI).
#include "Mkcontent.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace quolis::mkcontent {
namespace {

constexpr float kTwoPi = 6.2831853f;

std::uint32_t Seed(const std::string& s) {
    std::uint32_t h = 2166136261U;
    for (unsigned char c : s) {
        h = (h ^ c) * 16777619U;
    }
    return h;
}

struct Noise {
    std::uint32_t s;
    float Next() {
        s = s * 1664525U + 1013904223U;
        return static_cast<float>(static_cast<std::int32_t>(s)) / 2147483648.0f;
    }
};

// A one-pole low-pass filter; cutoff in hertz.
struct LowPass {
    float y = 0;
    float Step(float x, float cutoff, float rate) {
        const float a = 1 - std::exp(-kTwoPi * cutoff / rate);
        y += a * (x - y);
        return y;
    }
};

float Env(float t, float attack, float decay) {
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / decay);
}

float Square(float phase) {
    return std::fmod(phase, 1.0f) < 0.5f ? 1.0f : -1.0f;
}
float Saw(float phase) {
    return 2 * std::fmod(phase, 1.0f) - 1;
}

std::string StemOf(const std::string& name) {
    const auto slash = name.rfind('\\');
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

// Renders `seconds` of a generator that takes (time, sample index).
std::vector<float> Render(float seconds, int rate, const std::function<float(float)>& f) {
    const int n = std::max(1, static_cast<int>(seconds * rate));
    std::vector<float> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[static_cast<std::size_t>(i)] = f(static_cast<float>(i) / rate);
    }
    return out;
}

// A tone whose frequency follows `freq(t)`; the phase is integrated.
struct Osc {
    float phase = 0;
    float Step(float hz, float rate) {
        phase += hz / rate;
        if (phase > 1000) {
            phase -= 1000;
        }
        return phase;
    }
};

std::vector<float> Blip(int rate, float hz, float seconds, float hz2 = 0) {
    Osc o;
    return Render(seconds, rate, [&](float t) {
        const float f = hz2 > 0 && t > seconds / 2 ? hz2 : hz;
        const float p = o.Step(f, static_cast<float>(rate));
        return (std::sin(kTwoPi * p) * 0.8f + 0.2f * Square(p)) * Env(t, 0.003f, seconds / 3);
    });
}

std::vector<float> Boom(int rate, float seconds, float body, float noiseCut, std::uint32_t seed) {
    Noise n{seed};
    LowPass lp, lp2;
    Osc o;
    return Render(seconds, rate, [&](float t) {
        const float r = static_cast<float>(rate);
        const float thump = std::sin(kTwoPi * o.Step(body * (1 + 2 * std::exp(-t * 30)), r)) *
                            Env(t, 0.002f, 0.12f);
        const float rumble = lp.Step(n.Next(), noiseCut * (0.3f + std::exp(-t * 4)), r);
        const float crack = lp2.Step(n.Next(), 6000, r) * Env(t, 0.001f, 0.03f);
        return thump * 0.8f + rumble * 2.5f * Env(t, 0.005f, seconds / 3.5f) + crack * 0.6f;
    });
}

std::vector<float> Whoosh(int rate, float seconds, float from, float to, std::uint32_t seed) {
    Noise n{seed};
    LowPass a, b;
    return Render(seconds, rate, [&](float t) {
        const float p = t / seconds;
        const float cut = from + (to - from) * p;
        const float band = a.Step(n.Next(), cut, static_cast<float>(rate)) -
                           b.Step(n.Next() * 0.2f, cut * 0.3f, static_cast<float>(rate));
        return band * std::sin(3.14159f * p) * 2.2f;
    });
}

} // namespace

Bytes EncodeWav(const std::vector<float>& samples, int rate) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    Bytes out(44 + dataSize);
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    auto put16 = [&out](std::size_t at, std::uint16_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    std::memcpy(out.data(), "RIFF", 4);
    put32(4, 36 + dataSize);
    std::memcpy(out.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, static_cast<std::uint32_t>(rate));
    put32(28, static_cast<std::uint32_t>(rate) * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(out.data() + 36, "data", 4);
    put32(40, dataSize);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float v = std::clamp(samples[i], -1.0f, 1.0f);
        put16(44 + i * 2,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))));
    }
    return out;
}

std::vector<float> SynthesiseCue(const std::string& name, int rate) {
    const std::string stem = StemOf(name);
    const std::uint32_t seed = Seed(name);
    const float r = static_cast<float>(rate);
    std::vector<float> s;
    if (stem == "DirKey") {
        s = Blip(rate, 1320, 0.05f);
    } else if (stem == "DirKey2") {
        s = Blip(rate, 990, 0.05f);
    } else if (stem == "DecideKey") {
        s = Blip(rate, 880, 0.14f, 1320);
    } else if (stem == "CancelKey") {
        s = Blip(rate, 880, 0.14f, 587);
    } else if (stem == "MsgForwardKey") {
        s = Blip(rate, 1760, 0.035f);
    } else if (stem == "TurnMapKey" || stem == "SlantChangeKey") {
        s = Whoosh(rate, 0.22f, 400, 3000, seed);
    } else if (stem == "StartKey") { // a rising major arpeggio
        Osc o;
        s = Render(0.36f, rate, [&](float t) {
            const float notes[] = {523.3f, 659.3f, 784.0f, 1046.5f};
            const int k = std::min(3, static_cast<int>(t / 0.07f));
            return std::sin(kTwoPi * o.Step(notes[k], r)) *
                   Env(t - k * 0.07f, 0.003f, 0.08f + k * 0.04f);
        });
    } else if (stem == "PreDC") { // the field darkens: a falling, hollow sweep
        Osc o, o2;
        s = Render(0.9f, rate, [&](float t) {
            const float f = 520 * std::exp(-t * 2.2f);
            return (std::sin(kTwoPi * o.Step(f, r)) +
                    0.5f * std::sin(kTwoPi * o2.Step(f * 1.5f, r))) *
                   Env(t, 0.02f, 0.35f);
        });
    } else if (stem == "QLMove1") { // servo whine with footfalls
        Osc o;
        Noise n{seed};
        LowPass lp;
        s = Render(0.5f, rate, [&](float t) {
            const float whine = Saw(o.Step(220 + 80 * std::sin(t * 9), r)) * 0.25f;
            const float step = std::fmod(t, 0.25f);
            const float thud = lp.Step(n.Next(), 500, r) * 3 * Env(step, 0.002f, 0.04f);
            return (whine + thud) * Env(t, 0.02f, 0.3f);
        });
    } else if (stem == "Cannon") {
        s = Boom(rate, 0.7f, 70, 2400, seed);
    } else if (stem == "Balkan") { // a rattle of shots
        Noise n{seed};
        LowPass lp;
        s = Render(0.9f, rate, [&](float t) {
            const float shot = std::fmod(t, 0.06f);
            return lp.Step(n.Next(), 3500, r) * 2.5f * Env(shot, 0.001f, 0.015f) *
                   Env(t, 0.0f, 0.7f);
        });
    } else if (stem == "Explosion") {
        s = Boom(rate, 1.0f, 55, 1600, seed);
    } else if (stem == "Explosion2") {
        s = Boom(rate, 1.4f, 42, 1200, seed);
    } else if (stem == "Crush") {
        s = Boom(rate, 0.35f, 90, 900, seed);
    } else if (stem == "Needle") { // a bright zing
        Osc o;
        s = Render(0.3f, rate, [&](float t) {
            return std::sin(kTwoPi * o.Step(2400 + 3000 * t, r)) * Env(t, 0.002f, 0.07f);
        });
    } else if (stem == "Slush") {
        s = Whoosh(rate, 0.28f, 6000, 1200, seed);
    } else if (stem == "Gravity") { // a deep, wobbling pull
        Osc o, lfo;
        s = Render(1.1f, rate, [&](float t) {
            const float wob = std::sin(kTwoPi * lfo.Step(7, r));
            return std::sin(kTwoPi * o.Step(90 + 40 * wob - 30 * t, r)) * Env(t, 0.05f, 0.5f);
        });
    } else if (stem == "Atomic") { // a flash and a long rolling blast
        auto boom = Boom(rate, 1.8f, 38, 1000, seed);
        Osc o;
        s = Render(1.8f, rate, [&](float t) {
            return std::sin(kTwoPi * o.Step(300 + 1400 * t, r)) * 0.35f * Env(t, 0.01f, 0.25f);
        });
        for (std::size_t i = 0; i < s.size(); ++i) {
            s[i] += boom[i];
        }
    } else if (stem == "CS") { // high-frequency vibration
        Osc o, am;
        s = Render(0.6f, rate, [&](float t) {
            return Square(o.Step(180, r)) * (0.5f + 0.5f * std::sin(kTwoPi * am.Step(45, r))) *
                   Env(t, 0.01f, 0.25f) * 0.6f;
        });
    } else if (stem == "Sonic" ||
               stem == "ISonic") { // chirps that sweep up (warbling for the illegal one)
        Osc o, lfo;
        const bool wild = stem == "ISonic";
        s = Render(0.8f, rate, [&](float t) {
            const float chirp = std::fmod(t, 0.2f) / 0.2f;
            const float f =
                600 + 2600 * chirp + (wild ? 300 * std::sin(kTwoPi * lfo.Step(23, r)) : 0);
            return std::sin(kTwoPi * o.Step(f, r)) * Env(t, 0.01f, 0.4f) * (1 - chirp * 0.6f);
        });
    } else if (stem == "Breath") {
        Noise n{seed};
        LowPass lp;
        s = Render(1.0f, rate, [&](float t) {
            return lp.Step(n.Next(), 1500 + 800 * std::sin(t * 6), r) * 2.2f * Env(t, 0.12f, 0.45f);
        });
    } else if (stem == "Laser") { // a falling square zap
        Osc o;
        s = Render(0.45f, rate, [&](float t) {
            return Square(o.Step(1800 * std::exp(-t * 5) + 200, r)) * 0.5f * Env(t, 0.002f, 0.18f);
        });
    } else if (stem == "Plasma") { // crackling arcs over a hum
        Noise n{seed};
        Osc o;
        LowPass lp;
        s = Render(0.9f, rate, [&](float t) {
            const float crackle = (n.Next() > 0.96f ? 1.0f : 0.0f) * n.Next();
            return (lp.Step(crackle * 6, 5000, r) + 0.3f * Saw(o.Step(110, r))) *
                   Env(t, 0.02f, 0.4f);
        });
    } else if (stem == "Burn" || stem == "Furnace") { // roaring fire
        Noise n{seed};
        LowPass lp, lp2;
        const float len = stem == "Furnace" ? 2.0f : 1.0f;
        s = Render(len, rate, [&](float t) {
            const float roar = lp.Step(n.Next(), 500, r) * 3;
            const float pop = lp2.Step(n.Next() > 0.995f ? n.Next() * 8 : 0, 3000, r);
            return (roar + pop) * std::sin(3.14159f * t / len);
        });
    } else if (stem == "QLVoice1") { // a mechanical roar
        Osc o, lfo;
        LowPass lp;
        s = Render(0.9f, rate, [&](float t) {
            const float f = 140 + 60 * std::sin(t * 4) + 8 * std::sin(kTwoPi * lfo.Step(30, r));
            return lp.Step(Saw(o.Step(f, r)), 1400, r) * 1.6f * Env(t, 0.04f, 0.4f);
        });
    } else if (stem == "Destoroyed") { // a blast and a falling metal clang
        auto boom = Boom(rate, 1.3f, 50, 1400, seed);
        Osc a, b;
        s = Render(1.3f, rate, [&](float t) {
            return (std::sin(kTwoPi * a.Step(620, r)) + std::sin(kTwoPi * b.Step(931, r))) * 0.25f *
                   Env(t - 0.15f, 0.002f, 0.3f) * (t > 0.15f ? 1.0f : 0.0f);
        });
        for (std::size_t i = 0; i < s.size(); ++i) {
            s[i] += boom[i];
        }
    } else if (stem == "Mecha1" || stem == "Boot") { // a rising power-up
        Osc o, o2;
        const float len = stem == "Boot" ? 1.2f : 0.7f;
        s = Render(len, rate, [&](float t) {
            const float f = 120 + 900 * (t / len) * (t / len);
            return (Saw(o.Step(f, r)) * 0.3f + std::sin(kTwoPi * o2.Step(f * 2, r)) * 0.4f) *
                   Env(t, 0.02f, len * 0.6f);
        });
    } else if (stem == "PowerDown") {
        Osc o;
        s = Render(1.2f, rate, [&](float t) {
            return Saw(o.Step(900 * std::exp(-t * 2.5f) + 40, r)) * 0.45f * Env(t, 0.01f, 0.6f);
        });
    } else if (stem == "Alarm") { // two alternating tones
        Osc o;
        s = Render(1.6f, rate, [&](float t) {
            const float f = std::fmod(t, 0.4f) < 0.2f ? 880 : 660;
            return Square(o.Step(f, r)) * 0.35f * std::min(1.0f, (1.6f - t) * 10);
        });
    } else if (stem == "Beep") { // a call on the communicator
        Osc o;
        s = Render(0.6f, rate, [&](float t) {
            const float gate = std::fmod(t, 0.15f) < 0.08f ? 1.0f : 0.0f;
            return std::sin(kTwoPi * o.Step(1400, r)) * gate * 0.7f;
        });
    } else if (stem == "Noise") { // radio static
        Noise n{seed};
        LowPass lp;
        s = Render(1.0f, rate, [&](float t) {
            return lp.Step(n.Next(), 4000, r) * 1.5f * std::sin(3.14159f * t);
        });
    } else if (stem == "Water") { // drops and a running stream
        Noise n{seed};
        LowPass lp;
        Osc o;
        s = Render(1.5f, rate, [&](float t) {
            const float drop = std::fmod(t, 0.37f);
            const float plink =
                std::sin(kTwoPi * o.Step(700 + 900 * drop * 8, r)) * Env(drop, 0.002f, 0.05f);
            return lp.Step(n.Next(), 900, r) * 1.2f + plink * 0.5f;
        });
    } else { // any other cue: a short two-tone blip from its name
        const float base = 400 + static_cast<float>(seed % 800);
        s = Blip(rate, base, 0.2f, base * 1.5f);
    }
    // Peak at 0.85 of full scale, with 5 ms fades so nothing clicks.
    float peak = 0;
    for (float v : s) {
        peak = std::max(peak, std::fabs(v));
    }
    const float gain = peak > 0 ? 0.85f / peak : 0;
    const std::size_t fade =
        std::min<std::size_t>(s.size() / 2, static_cast<std::size_t>(rate / 200));
    for (std::size_t i = 0; i < s.size(); ++i) {
        float g = gain;
        if (i < fade) {
            g *= static_cast<float>(i) / fade;
        }
        if (i + fade >= s.size()) {
            g *= static_cast<float>(s.size() - 1 - i) / fade;
        }
        s[i] *= g;
    }
    return s;
}

// ---- music ----------------------------------------------------------------

namespace {

constexpr int kPpq = 480;

struct Style {
    const char* stem;
    int tempo; // beats per minute
    int root;  // MIDI note of the key's tonic (octave 4)
    bool minor;
    const char* progression; // scale degrees 1..7, one per bar, repeated
    int lead, pad, bass;     // GM programs
    int drums;               // 0 none, 1 soft, 2 rock, 3 march
    int arp;                 // GM program of an arpeggio voice, -1 for none
};

const Style kStyles[] = {
    {"Title", 96, 62, true, "1 6 3 7 1 6 4 5", 61, 48, 33, 3, 46},
    {"Menu", 100, 60, false, "1 5 6 4 1 5 4 5", 4, 89, 33, 1, -1},
    {"Lvup", 132, 65, false, "1 4 5 1 6 4 5 5", 80, 48, 38, 2, 81},
    {"Gousei", 84, 64, true, "1 6 7 1 4 6 5 5", 8, 88, 38, 1, 98},
    {"Saisei", 76, 67, false, "1 4 1 5 6 4 2 5", 73, 48, 32, 0, 46},
    {"Haiki", 66, 57, true, "1 4 7 3 6 4 5 5", 0, 49, 42, 0, -1},
    {"Ending", 88, 60, false, "1 5 6 3 4 1 4 5", 68, 48, 42, 1, 46},
    {"BattleLoss1", 70, 60, true, "1 6 4 5 1 4 5 1", 42, 52, 32, 0, -1},
    {"Battle1", 144, 64, true, "1 6 7 1 1 4 6 7", 29, 62, 34, 2, -1},
    {"Battle2", 150, 62, true, "1 7 6 7 1 4 5 5", 30, 62, 34, 2, 81},
    {"Battle3", 156, 69, true, "1 6 3 7 4 6 5 5", 29, 50, 34, 2, 81},
    {"Battle4", 160, 67, true, "1 1 6 7 4 4 5 5", 30, 62, 34, 2, 81},
    {"Enemy1", 148, 62, true, "1 2 1 7 1 6 5 5", 81, 45, 38, 2, -1},
    {"Enemy2", 152, 65, true, "1 6 1 7 1 4 5 5", 81, 45, 38, 2, 87},
    {"LastBattle", 164, 62, true, "1 6 7 5 1 4 7 5", 30, 48, 34, 3, 81},
    {"LastEnemy", 168, 59, true, "1 2 6 5 1 4 5 5", 87, 52, 38, 3, 81},
    {"Story1", 84, 62, false, "1 5 6 4 1 4 5 5", 73, 89, 32, 0, 46},
    {"Story2", 92, 64, true, "1 6 4 5 1 6 7 7", 71, 48, 33, 1, -1},
    {"Story3", 76, 57, true, "1 4 6 5 1 4 5 5", 42, 52, 32, 0, -1},
    {"Story4", 88, 60, false, "1 6 4 5 1 4 5 1", 68, 48, 42, 1, 46},
};

struct Track {
    std::vector<std::uint8_t> bytes;
    std::uint32_t lastTick = 0;
    void Delta(std::uint32_t tick) {
        std::uint32_t d = tick - lastTick;
        lastTick = tick;
        std::uint8_t buf[5];
        int n = 0;
        buf[n++] = d & 0x7F;
        while ((d >>= 7) != 0) {
            buf[n++] = static_cast<std::uint8_t>(0x80 | (d & 0x7F));
        }
        while (n > 0) {
            bytes.push_back(buf[--n]);
        }
    }
    void Event(std::uint32_t tick, std::initializer_list<std::uint8_t> data) {
        Delta(tick);
        bytes.insert(bytes.end(), data);
    }
};

struct Note {
    std::uint32_t on, off;
    std::uint8_t channel, key, velocity;
};

// Writes the notes of one channel as a track (ordered by time, offs first).
Track NotesTrack(std::vector<Note> notes, std::uint8_t channel, int program, std::uint8_t volume,
                 std::uint32_t end) {
    Track t;
    if (program >= 0) {
        t.Event(0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)});
    }
    t.Event(0, {static_cast<std::uint8_t>(0xB0 | channel), 7, volume});
    struct Ev {
        std::uint32_t tick;
        int order; // offs before ons at the same tick
        std::uint8_t key, velocity;
    };
    std::vector<Ev> evs;
    for (const auto& n : notes) {
        if (n.on >= end) {
            continue;
        }
        evs.push_back({n.on, 1, n.key, n.velocity});
        evs.push_back({std::min(n.off, end), 0, n.key, 0});
    }
    std::stable_sort(evs.begin(), evs.end(), [](const Ev& a, const Ev& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    for (const auto& e : evs) {
        t.Event(e.tick,
                {static_cast<std::uint8_t>((e.order ? 0x90 : 0x80) | channel), e.key, e.velocity});
    }
    t.Event(end, {0xFF, 0x2F, 0x00});
    return t;
}

int ScaleNote(const Style& s, int degree) { // degree 0 = tonic, may be negative or above 6
    static const int major[] = {0, 2, 4, 5, 7, 9, 11};
    static const int minor[] = {0, 2, 3, 5, 7, 8, 10};
    const int* steps = s.minor ? minor : major;
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    const int d = degree - octave * 7;
    return s.root + 12 * octave + steps[d];
}

} // namespace

Bytes ComposeMidi(const std::string& name) {
    const std::string stem = StemOf(name);
    Style style{"", 112, 62, true, "1 6 4 5 1 6 4 5", 81, 48, 33, 1, -1};
    for (const auto& s : kStyles) {
        if (stem == s.stem) {
            style = s;
        }
    }
    if (style.stem[0] == 0) { // an unknown piece: a key and tempo from its name
        const std::uint32_t h = Seed(stem);
        style.tempo = 80 + static_cast<int>(h % 70);
        style.root = 57 + static_cast<int>(h / 70 % 12);
    }
    std::vector<int> prog;
    for (const char* c = style.progression; *c != 0; ++c) {
        if (*c >= '1' && *c <= '7') {
            prog.push_back(*c - '1');
        }
    }
    // A whole number of eight-bar phrases, about a minute long.
    int bars = static_cast<int>(std::lround(style.tempo * 60.0 / 240.0 / 8.0)) * 8;
    bars = std::max(8, bars);
    while (bars * 240.0 / style.tempo > 90) {
        bars -= 8;
    }
    while (bars * 240.0 / style.tempo < 30) {
        bars += 8;
    }
    const std::uint32_t bar = 4 * kPpq;
    const std::uint32_t end = static_cast<std::uint32_t>(bars) * bar;
    Noise dice{Seed(stem) | 1};
    auto roll = [&dice]() { return 0.5f + 0.5f * dice.Next(); };

    // A two-bar motif (rhythm and contour) reused through the piece, shifted to each chord.
    struct MotifNote {
        std::uint32_t at, len;
        int step; // scale steps above the chord root
    };
    std::vector<MotifNote> motif;
    static const std::uint32_t rhythms[][8] = {{2, 1, 1, 2, 2, 4, 2, 2},
                                               {3, 1, 2, 2, 2, 2, 4, 0},
                                               {1, 1, 2, 4, 2, 2, 2, 2},
                                               {4, 2, 2, 3, 1, 4, 0, 0}};
    const auto& rhythm = rhythms[Seed(stem) % 4];
    std::uint32_t at = 0;
    int step = 2;
    for (std::uint32_t len : rhythm) {
        if (len == 0 || at >= 2 * bar) {
            break;
        }
        const std::uint32_t ticks = len * kPpq / 2;
        motif.push_back({at, std::min(ticks, 2 * bar - at), step});
        step += static_cast<int>(std::lround(dice.Next() * 2.4f));
        step = std::clamp(step, 0, 7);
        at += ticks;
    }

    std::vector<Note> lead, pad, bass, drums, arp;
    for (int b = 0; b < bars; ++b) {
        const int chord = prog[static_cast<std::size_t>(b) % prog.size()];
        const std::uint32_t t0 = static_cast<std::uint32_t>(b) * bar;
        // Pad: the triad held for the bar.
        for (int k : {0, 2, 4}) {
            pad.push_back(
                {t0, t0 + bar, 1, static_cast<std::uint8_t>(ScaleNote(style, chord + k)), 64});
        }
        // Bass: root on the beats (eighths in battle pieces).
        const int bassKey = ScaleNote(style, chord) - 24;
        const int per = style.drums == 2 ? 8 : 4;
        for (int i = 0; i < per; ++i) {
            const std::uint32_t on = t0 + static_cast<std::uint32_t>(i) * bar / per;
            const int key = (i % 4 == 3 && per == 8) ? bassKey + 12 : bassKey;
            bass.push_back({on, on + bar / per - 20, 2, static_cast<std::uint8_t>(key), 96});
        }
        // Lead: the motif on odd phrase halves, an answer (inverted contour) on the others;
        // the last two bars of every eight rest on the chord.
        const int inPhrase = b % 8;
        if (inPhrase < 6 && b % 2 == 0) {
            const bool answer = (b / 2) % 2 == 1;
            for (const auto& m : motif) {
                const int deg = chord + (answer ? 4 - m.step / 2 : m.step);
                lead.push_back({t0 + m.at, t0 + m.at + m.len - 10, 0,
                                static_cast<std::uint8_t>(ScaleNote(style, deg) + 12),
                                static_cast<std::uint8_t>(88 + 20 * roll() - 10)});
            }
        } else if (inPhrase == 6) {
            lead.push_back({t0, t0 + 2 * bar - 30, 0,
                            static_cast<std::uint8_t>(ScaleNote(style, chord + 4) + 12), 90});
        }
        // Arpeggio: chord tones in sixteenths or eighths.
        if (style.arp >= 0) {
            const int n = style.tempo > 120 ? 16 : 8;
            for (int i = 0; i < n; ++i) {
                static const int shape[] = {0, 2, 4, 7, 4, 2, 0, 2};
                const std::uint32_t on = t0 + static_cast<std::uint32_t>(i) * bar / n;
                arp.push_back({on, on + bar / n - 10, 3,
                               static_cast<std::uint8_t>(ScaleNote(style, chord + shape[i % 8])),
                               60});
            }
        }
        // Drums.
        if (style.drums > 0) {
            for (int i = 0; i < 8; ++i) {
                const std::uint32_t on = t0 + static_cast<std::uint32_t>(i) * kPpq / 2;
                auto hit = [&](int key, int vel) {
                    drums.push_back({on, on + 60, 9, static_cast<std::uint8_t>(key),
                                     static_cast<std::uint8_t>(vel)});
                };
                if (style.drums == 1) {
                    if (i == 0 || i == 4)
                        hit(36, 70);
                    if (i == 2 || i == 6)
                        hit(37, 60);
                    hit(42, 40);
                } else if (style.drums == 2) {
                    if (i == 0 || i == 3 || i == 5)
                        hit(36, 110);
                    if (i == 2 || i == 6)
                        hit(38, 105);
                    hit(42, 70);
                    if (inPhrase == 7 && i >= 4)
                        hit(45 + i, 100); // a fill into the next phrase
                    if (b % 8 == 0 && i == 0)
                        hit(49, 100);
                } else {
                    if (i % 2 == 0)
                        hit(36, 90);
                    hit(38, i % 2 == 0 ? 90 : 55);
                    if (b % 4 == 0 && i == 0)
                        hit(57, 90);
                }
            }
        }
    }

    Track conductor;
    const std::uint32_t usPerBeat = 60000000U / static_cast<std::uint32_t>(style.tempo);
    conductor.Event(0, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(usPerBeat >> 16),
                        static_cast<std::uint8_t>(usPerBeat >> 8),
                        static_cast<std::uint8_t>(usPerBeat)});
    conductor.Event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});
    conductor.Event(end, {0xFF, 0x2F, 0x00});
    std::vector<Track> tracks = {conductor, NotesTrack(lead, 0, style.lead, 110, end),
                                 NotesTrack(pad, 1, style.pad, 70, end),
                                 NotesTrack(bass, 2, style.bass, 100, end)};
    if (style.arp >= 0) {
        tracks.push_back(NotesTrack(arp, 3, style.arp, 64, end));
    }
    if (style.drums > 0) {
        tracks.push_back(NotesTrack(drums, 9, -1, 100, end));
    }
    Bytes out = {'M',
                 'T',
                 'h',
                 'd',
                 0,
                 0,
                 0,
                 6,
                 0,
                 1,
                 0,
                 static_cast<std::uint8_t>(tracks.size()),
                 static_cast<std::uint8_t>(kPpq >> 8),
                 static_cast<std::uint8_t>(kPpq & 0xFF)};
    for (const auto& t : tracks) {
        const auto n = static_cast<std::uint32_t>(t.bytes.size());
        out.insert(out.end(), {'M', 'T', 'r', 'k', static_cast<std::uint8_t>(n >> 24),
                               static_cast<std::uint8_t>(n >> 16),
                               static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
        out.insert(out.end(), t.bytes.begin(), t.bytes.end());
    }
    return out;
}

double MidiSeconds(const Bytes& smf) {
    // Reads back the header, the tempo and the longest track's end tick.
    auto be32 = [&smf](std::size_t at) {
        return static_cast<std::uint32_t>(smf[at]) << 24 |
               static_cast<std::uint32_t>(smf[at + 1]) << 16 |
               static_cast<std::uint32_t>(smf[at + 2]) << 8 | smf[at + 3];
    };
    if (smf.size() < 14 || std::memcmp(smf.data(), "MThd", 4) != 0) {
        return -1;
    }
    const unsigned ppq = static_cast<unsigned>(smf[12]) << 8 | smf[13];
    std::uint32_t usPerBeat = 500000, longest = 0;
    std::size_t at = 14;
    while (at + 8 <= smf.size() && std::memcmp(smf.data() + at, "MTrk", 4) == 0) {
        const std::size_t endAt = std::min(smf.size(), at + 8 + be32(at + 4));
        std::size_t p = at + 8;
        std::uint32_t tick = 0;
        std::uint8_t status = 0;
        while (p < endAt) {
            std::uint32_t d = 0;
            do {
                d = (d << 7) | (smf[p] & 0x7F);
            } while ((smf[p++] & 0x80) != 0 && p < endAt);
            tick += d;
            if (p >= endAt) {
                break;
            }
            if (smf[p] & 0x80) {
                status = smf[p++];
            }
            if (status == 0xFF) {
                if (p + 1 >= endAt) {
                    break;
                }
                const std::uint8_t type = smf[p];
                const std::uint8_t len = smf[p + 1];
                if (type == 0x51 && len == 3 && p + 4 < endAt) {
                    usPerBeat = static_cast<std::uint32_t>(smf[p + 2]) << 16 |
                                static_cast<std::uint32_t>(smf[p + 3]) << 8 | smf[p + 4];
                }
                p += 2 + len;
            } else {
                p += (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            }
        }
        longest = std::max(longest, tick);
        at = endAt;
    }
    return ppq == 0 ? -1 : static_cast<double>(longest) / ppq * usPerBeat / 1e6;
}

} // namespace quolis::mkcontent
