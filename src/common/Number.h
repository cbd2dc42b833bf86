#pragma once
// Numbers read from the game's text files.
#include <charconv>

namespace quolis {

// std::from_chars for a float in the general format: the same value, the
// same end and the same error for every input. The short decimals that fill
// the models and tables (a sign, at most ten places after the point, and
// digits that read as a whole number of at most 2^24) are read directly;
// any other form goes to std::from_chars.
std::from_chars_result FloatFromChars(const char* first, const char* last, float& out);

} // namespace quolis
