// The desktop program as a module of its own. Command mode never loads it,
// so a command starts without the windowing libraries.
#include <string>

#include "frame/desktop.h"

extern "C" __attribute__((visibility("default"))) int pmoor32RunDesktop(int argc, char** argv, const char* root) {
    return pm::frame::runDesktop(argc, argv, root ? std::string(root) : std::string("."));
}

// A PDF printer for command mode's print. Printing needs a GUI application;
// without a display it runs on the offscreen platform.
#include <QGuiApplication>
#include <cstdlib>

#include "sets/windows/page_printer.h"

extern "C" __attribute__((visibility("default"))) pm::MessagePrinter* pmoor32MakePdfPrinter(const char* path) {
    if (!QCoreApplication::instance()) {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (!std::getenv("QT_QPA_PLATFORM") && !(display && *display) && !(wayland && *wayland))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "pmoor32";
        static char* argv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    return new pm::PagePrinter(QString::fromUtf8(path));
}
