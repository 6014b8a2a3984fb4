#pragma once
// NewPath: asks for a top directory whose stored path no longer exists
// (kind 1 the database files, kind 2 the word-index files). The OK button
// (which saves the changes) is enabled only when the completed entry names
// an existing directory; Tab completes the entry and moves to it. "Browse"
// picks the directory in a file dialog. "Exit Postmoor" or Esc gives up
// (the program then ends).
#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;
class QLabel;
class QGroupBox;

namespace pm {

class NewPathWindow : public QDialog {
    Q_OBJECT
public:
    // Stores the accepted path; false keeps the window open (it reported why).
    using StorePath = std::function<bool(const std::string& path)>;

    NewPathWindow(int kind, const std::string& storedPath, StorePath store, QWidget* parent = nullptr);

    QLineEdit* pathEntry() const { return entry_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* exitButton() const { return exit_; }
    QPushButton* browseButton() const { return browse_; }

    // What Browse asks for a directory, starting at `start`; "" when the
    // person cancels. A file dialog unless set (tests set their own).
    using ChooseDirectory = std::function<QString(const QString& start)>;
    void setDirectoryChooser(ChooseDirectory choose) { choose_ = std::move(choose); }
    QString prompt() const;
    QString explanation() const;
    QString boxTitle() const;

    // Whether `path` names an existing directory (absolute paths only).
    static bool pathExists(const QString& path);

private:
    void entryCompleted();
    void saveChanges();
    void browseForDirectory();

    StorePath store_;
    ChooseDirectory choose_;
    QPushButton* browse_ = nullptr;
    QGroupBox* box_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* explanation_ = nullptr;
    QLineEdit* entry_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* exit_ = nullptr;
};

}  // namespace pm
