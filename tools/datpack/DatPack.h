#pragma once
// datpack: lists, reads, packs and unpacks the game's archives and scrambles
// or unscrambles its plain token files (saves, User.ini, InputSetting.ini).
#include <ostream>
#include <string>
#include <vector>

namespace quolis::datpack {

// Runs one command (args without the program name). Normal output goes to
// `out`, a one-line error to `err`. Returns the exit status: 0 on success,
// 1 on any error.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text.
std::string Usage();

} // namespace quolis::datpack
