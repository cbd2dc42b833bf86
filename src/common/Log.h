#pragma once
// A small log for the developer: the game itself shows no failures, but loaders
// that reject data say why here. Lines go to stderr unless a sink is set.
#include <functional>
#include <string>
#include <string_view>

namespace quolis {

// Writes one line (UTF-8). CP932 text must be converted by the caller.
void LogLine(std::string_view line);

// Replaces the destination of log lines (tests capture them); an empty
// function restores stderr. Returns the previous sink.
using LogSink = std::function<void(std::string_view)>;
LogSink SetLogSink(LogSink sink);

} // namespace quolis
