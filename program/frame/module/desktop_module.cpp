// The desktop program as a module of its own. Command mode never loads it,
// so a command starts without the windowing libraries.
#include <string>

#include "frame/desktop.h"

extern "C" __attribute__((visibility("default"))) int pmoor32RunDesktop(int argc, char** argv, const char* root) {
    return pm::frame::runDesktop(argc, argv, root ? std::string(root) : std::string("."));
}
