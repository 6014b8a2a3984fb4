#include "cli/command_line.h"

#ifdef POSTMOOR_WITH_GUI
#include "frame/desktop.h"
#endif

int main(int argc, char** argv) {
#ifdef POSTMOOR_WITH_GUI
    pm::cli::setDesktopRunner(&pm::frame::runDesktop);
#endif
    return pm::cli::runMain(argc, argv);
}
