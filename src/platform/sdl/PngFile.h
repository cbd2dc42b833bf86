#pragma once
// Screenshots: the back buffer as a PNG file.
#include "platform/Device.h"

#include <string>
#include <vector>

namespace quolis {

// Writes 0xAARRGGBB pixels (rows top to bottom) as an opaque RGB PNG, as the
// back buffer has no alpha channel. False with a reason on failure.
bool WritePng(const std::string& hostPath, int width, int height, const std::vector<Argb>& pixels,
              std::string* error);

// The same with the alpha channel kept (icons).
bool WritePngWithAlpha(const std::string& hostPath, int width, int height,
                       const std::vector<Argb>& pixels, std::string* error);

} // namespace quolis
