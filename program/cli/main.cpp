#include "cli/command_line.h"

int main(int argc, char** argv) { return pm::cli::runMain(argc, argv); }
