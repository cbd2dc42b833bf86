#include "common/Log.h"

#include <cstdio>

namespace quolis {
namespace {
LogSink& Sink() {
    static LogSink sink;
    return sink;
}
} // namespace

void LogLine(std::string_view line) {
    if (Sink()) {
        Sink()(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

LogSink SetLogSink(LogSink sink) {
    LogSink old = std::move(Sink());
    Sink() = std::move(sink);
    return old;
}

} // namespace quolis
