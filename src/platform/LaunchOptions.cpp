#include "platform/LaunchOptions.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace quolis {

namespace {

bool ParseCount(std::string_view s, int* out) {
    if (s.empty()) {
        return false;
    }
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < 0) {
        return false;
    }
    *out = v;
    return true;
}

bool ParseSeconds(std::string_view s, std::int64_t* out) {
    std::int64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size() || v < 0) {
        return false;
    }
    *out = v;
    return true;
}

} // namespace

const char* LaunchUsage() {
    return "usage: quolis [--data DIR] [--user-dir DIR] [--headless] [--frames N] [--fixed-step] "
           "[--screenshot N:FILE.png]... [--trace] [--loose] [--seed N] [--soak SECONDS] "
           "[--autoplay]";
}

bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* out, std::string* error) {
    LaunchOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        auto value = [&](std::string_view* v) {
            if (i + 1 >= argc) {
                *error = std::string(a) + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        std::string_view v;
        if (a == "--headless") {
            o.headless = true;
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a == "--autoplay") {
            o.autoplay = true;
        } else if (a == "--loose") {
            o.loose = true;
        } else if (a == "--fixed-step") {
            o.fixedStep = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--frames") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseCount(v, &o.frames)) {
                *error = "--frames: not a frame count: " + std::string(v);
                return false;
            }
        } else if (a == "--seed") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseSeconds(v, &o.seed)) {
                *error = "--seed: not a number of seconds: " + std::string(v);
                return false;
            }
        } else if (a == "--soak") {
            if (!value(&v)) {
                return false;
            }
            if (!ParseCount(v, &o.soakSeconds)) {
                *error = "--soak: not a number of seconds: " + std::string(v);
                return false;
            }
        } else if (a == "--data") {
            if (!value(&v)) {
                return false;
            }
            if (v.empty()) {
                *error = "--data: empty folder name";
                return false;
            }
            o.dataDir = std::string(v);
        } else if (a == "--user-dir") {
            if (!value(&v)) {
                return false;
            }
            if (v.empty()) {
                *error = "--user-dir: empty folder name";
                return false;
            }
            o.userDir = std::string(v);
        } else if (a == "--screenshot") {
            if (!value(&v)) {
                return false;
            }
            std::size_t colon = v.find(':');
            ScreenshotRequest r;
            if (colon == std::string_view::npos || colon + 1 >= v.size() ||
                !ParseCount(v.substr(0, colon), &r.framePass)) {
                *error = "--screenshot: expected N:FILE.png, got " + std::string(v);
                return false;
            }
            r.file = std::string(v.substr(colon + 1));
            o.screenshots.push_back(std::move(r));
        } else {
            *error = "unknown option: " + std::string(a);
            return false;
        }
    }
    *out = std::move(o);
    return true;
}

} // namespace quolis
