#include "frame/desktop.h"

#include <QApplication>
#include <QMainWindow>

namespace pm::frame {

int runDesktop(int argc, char** argv, const std::string& root) {
    (void)root;
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(" Postmoor Mail, Forum & Newsgroup Message Archiver [No Active Database]");
    window.resize(900, 600);
    window.show();
    return app.exec();
}

}  // namespace pm::frame
