#pragma once
// Font files are found through fontconfig by family name.
#include <string>

namespace quolis {

// The file of the best installed match for a family ("IPAPGothic",
// "Liberation Sans"); empty when fontconfig finds nothing at all. The
// configuration is loaded once per process and each family is looked up
// once: loading it reads every configuration file and font cache, which
// costs far more than a match, and the fonts are opened again and again.
std::string FindFontFile(const std::string& family);

// How often the fontconfig configuration has been loaded (at most once).
int FontConfigLoads();

} // namespace quolis
