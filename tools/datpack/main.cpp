// datpack: the archive tool. See DatPack.h for the commands.
#include "DatPack.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return quolis::datpack::Run(args, std::cout, std::cerr);
}
