// Runs the test classes of the merge and redirection windows.
#include "support/qt/window_test.h"

int main(int argc, char** argv) { return pm::test::runWindowTests(argc, argv); }
