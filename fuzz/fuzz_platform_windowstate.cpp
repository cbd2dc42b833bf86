// Window.ini on arbitrary bytes: the state read back stays within its bounds,
// and what it writes reads back the same.
#include "platform/WindowState.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quolis::WindowState;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    WindowState s = quolis::ParseWindowState(text);
    if (s.width < WindowState::kMinWidth || s.width > WindowState::kMaxSize ||
        s.height < WindowState::kMinHeight || s.height > WindowState::kMaxSize) {
        std::abort();
    }
    WindowState back = quolis::ParseWindowState(quolis::FormatWindowState(s));
    if (back.width != s.width || back.height != s.height || back.positioned != s.positioned ||
        back.x != s.x || back.y != s.y || back.maximized != s.maximized ||
        back.fullScreen != s.fullScreen || back.stretch != s.stretch || back.smooth != s.smooth) {
        std::abort();
    }
    return 0;
}
