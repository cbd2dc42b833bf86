// qcheck: checks a built GameData for missing and inconsistent content.
//
//   qcheck check DIR [--loose]   DIR holds GameData; exit 1 when a problem is found
//   qcheck list DIR [--loose]    every binary file the content needs, one per
//                                line: kind TAB name TAB first user (UTF-8)
//   qcheck loose CONTENT OUT     writes the UTF-8 sources of CONTENT as CP932
//                                loose files under OUT (a GameData folder)
#include "Checker.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace quolis::qcheck;
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "check" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "--loose"))) {
        CheckOptions options;
        options.root = argv[2];
        options.loose = argc == 4;
        const Report report = CheckGameData(options);
        for (const auto& line : report.notes) {
            std::printf("checked: %s\n", line.c_str());
        }
        for (const auto& line : report.pending) {
            std::printf("pending: %s\n", line.c_str());
        }
        for (const auto& line : report.problems) {
            std::printf("problem: %s\n", line.c_str());
        }
        std::printf("%zu problems, %zu pending\n", report.problems.size(), report.pending.size());
        return report.Ok() ? 0 : 1;
    }
    if (command == "list" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "--loose"))) {
        CheckOptions options;
        options.root = argv[2];
        options.loose = argc == 4;
        for (const auto& f : CheckGameData(options).required) {
            std::printf("%s\t%s\t%s\n", f.kind.c_str(), f.name.c_str(), f.usedBy.c_str());
        }
        return 0;
    }
    if (command == "loose" && argc == 4) {
        std::string error;
        if (!WriteLooseTree(argv[2], argv[3], error)) {
            std::fprintf(stderr, "qcheck: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "usage: qcheck check DIR [--loose] | qcheck list DIR [--loose] | "
                         "qcheck loose CONTENT OUT\n");
    return 1;
}
