#include "app/Program.h"
#include "app/StudioBuild.h"

#include <cstring>

int main(int argc, char** argv) {
    // The studio's builds run in a copy of this program, started by the studio alone.
    if (argc >= 2 && std::strcmp(argv[1], StudioBuild::childCommand) == 0) return StudioBuild::childMain(argc, argv);
    return runProgram(std::vector<std::string>(argv + 1, argv + argc));
}
