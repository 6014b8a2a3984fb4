#pragma once
// SetIndex: whether the active database is word indexed, and a button that
// switches its automatic indexing in the task manager on or off.
#include <QWidget>

class QLabel;
class QPushButton;

namespace pm::frame {

class SetIndexWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetIndexWindow(QWidget* parent = nullptr);

    QString indexedLine() const;
    QString autoLine() const;
    QPushButton* toggleButton() const { return toggle_; }

    // Shows the state of the active database.
    void refresh();
    // Flips the database's automatic indexing and shows the new state.
    void toggle();

private:
    QLabel* indexed_;
    QLabel* auto_;
    QPushButton* toggle_;
};

}  // namespace pm::frame
