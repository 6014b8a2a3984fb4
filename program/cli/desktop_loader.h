#pragma once
// Starts the desktop program from its module, which lies beside the
// executable, so that command mode never loads the windowing libraries.
#include <memory>
#include <string>

#include "sets/message_printer.h"

namespace pm::cli {

// True when Qt has a display to open windows on: DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM is set, or argv names a platform (-platform NAME).
bool desktopCanStart(int argc, char** argv);

// What pmoor32 says when it cannot: that there is no display, the command
// line again under xvfb-run (argv quoted for the shell), and command mode.
std::string noDisplayAdvice(int argc, char** argv);

// Runs the desktop; reports on stderr and returns 1 when there is no display
// (noDisplayAdvice) or the module cannot be loaded.
int runDesktopModule(int argc, char** argv, const std::string& root);

// A printer that writes a PDF file at `path`, made by the desktop module
// (printing needs the windowing libraries; without a display they run on
// the offscreen platform). nullptr with `error` set when the module cannot
// be loaded or the file not begun.
std::unique_ptr<MessagePrinter> loadPdfPrinter(const std::string& path, std::string& error);

}  // namespace pm::cli
