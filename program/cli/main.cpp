#include "cli/command_line.h"
#include "cli/desktop_loader.h"

int main(int argc, char** argv) {
    pm::cli::setDesktopRunner(&pm::cli::runDesktopModule);
    return pm::cli::runMain(argc, argv);
}
