#pragma once
// About: the program's name and version.
#include <QWidget>

namespace pm::frame {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace pm::frame
