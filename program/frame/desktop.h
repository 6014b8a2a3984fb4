#pragma once
// The desktop program: start-up, the frame and its event loop.
#include <string>

namespace pm::frame {

// Runs the desktop program on the installation at `root`; returns the exit code.
int runDesktop(int argc, char** argv, const std::string& root);

}  // namespace pm::frame
