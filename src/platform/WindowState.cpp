#include "platform/WindowState.h"

#include <charconv>
#include <sstream>

namespace quolis {

namespace {

bool ParseInt(std::string_view s, long long lo, long long hi, int* out) {
    long long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || v < lo || v > hi) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

bool ParseFlag(std::string_view s, bool* out) {
    if (s == "0" || s == "1") {
        *out = s == "1";
        return true;
    }
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

WindowState ParseWindowState(std::string_view text) {
    WindowState s;
    int x = 0, y = 0;
    bool haveX = false, haveY = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && IsBlank(line.front())) {
            line.remove_prefix(1);
        }
        while (!line.empty() && IsBlank(line.back())) {
            line.remove_suffix(1);
        }
        std::size_t gap = 0;
        while (gap < line.size() && !IsBlank(line[gap])) {
            ++gap;
        }
        std::string_view key = line.substr(0, gap);
        std::string_view value = line.substr(gap);
        while (!value.empty() && IsBlank(value.front())) {
            value.remove_prefix(1);
        }
        if (key == "Width") {
            ParseInt(value, WindowState::kMinWidth, WindowState::kMaxSize, &s.width);
        } else if (key == "Height") {
            ParseInt(value, WindowState::kMinHeight, WindowState::kMaxSize, &s.height);
        } else if (key == "X") {
            haveX = ParseInt(value, -WindowState::kMaxPosition, WindowState::kMaxPosition, &x);
        } else if (key == "Y") {
            haveY = ParseInt(value, -WindowState::kMaxPosition, WindowState::kMaxPosition, &y);
        } else if (key == "Maximized") {
            ParseFlag(value, &s.maximized);
        } else if (key == "FullScreen") {
            ParseFlag(value, &s.fullScreen);
        } else if (key == "Stretch") {
            ParseFlag(value, &s.stretch);
        } else if (key == "Smooth") {
            ParseFlag(value, &s.smooth);
        }
    }
    // A position needs both coordinates.
    if (haveX && haveY) {
        s.positioned = true;
        s.x = x;
        s.y = y;
    }
    return s;
}

std::string FormatWindowState(const WindowState& s) {
    std::ostringstream out;
    out << "Width " << s.width << "\n"
        << "Height " << s.height << "\n";
    if (s.positioned) {
        out << "X " << s.x << "\n"
            << "Y " << s.y << "\n";
    }
    out << "Maximized " << (s.maximized ? 1 : 0) << "\n"
        << "FullScreen " << (s.fullScreen ? 1 : 0) << "\n"
        << "Stretch " << (s.stretch ? 1 : 0) << "\n"
        << "Smooth " << (s.smooth ? 1 : 0) << "\n";
    return out.str();
}

} // namespace quolis
