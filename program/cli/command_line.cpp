#include "cli/command_line.h"

#include <cstdio>

namespace pm::cli {

int runMain(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::fprintf(stderr, "pmoor32: no commands yet\n");
    return ExitUsage;
}

}  // namespace pm::cli
