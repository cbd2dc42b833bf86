#pragma once
// Font files are found through fontconfig by family name.
#include <string>

namespace quolis {

// The file of the best installed match for a family ("IPAPGothic",
// "Liberation Sans"); empty when fontconfig finds nothing at all.
std::string FindFontFile(const std::string& family);

} // namespace quolis
