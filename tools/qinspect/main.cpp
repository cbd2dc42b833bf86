// qinspect COMMAND ARGS...: prints the game's data as JSON (UTF-8).
#include "Inspect.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace quolis::inspect;

namespace quolis::inspect {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"chara", "chara GAMEDATA TYPE", RunChara},
        {"stage", "stage GAMEDATA FILE", RunStage},
        {"save", "save FILE [GAMEDATA]", RunSave},
        {"reach", "reach GAMEDATA STAGE X Y POINTS MASK [RISEP]", RunReach},
        {"enemy-turn", "enemy-turn GAMEDATA STAGE [--squad SAVEFILE] [--time T]", RunEnemyTurn},
    };
    return commands;
}

} // namespace quolis::inspect

namespace {
void Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : Commands()) {
        std::fprintf(stderr, "  qinspect %s\n", c.usage);
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return 2;
    }
    for (const Command& c : Commands()) {
        if (std::strcmp(argv[1], c.name) != 0) {
            continue;
        }
        Args args(argv + 2, argv + argc);
        JsonWriter json;
        std::string error;
        const int rc = c.run(args, json, error);
        if (rc != 0) {
            std::fprintf(stderr, "qinspect %s: %s\n", c.name, error.c_str());
            if (error.rfind("usage", 0) == 0) {
                Usage();
            }
            return rc;
        }
        std::fwrite(json.Text().data(), 1, json.Text().size(), stdout);
        return 0;
    }
    Usage();
    return 2;
}
