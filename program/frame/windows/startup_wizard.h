#pragma once
// The StartUp wizard, shown after the frame on the very first start and on
// request: a welcome, the default import file type and path, the mail
// database, and the way to the first import. Start stores the defaults
// (items 12 and 14), saves the general settings and asks the frame to start
// the import wizard (EventOpenImportWizard).
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace pm::frame {

class FrameSettings;

// An import file type the wizard offers: its format number and name.
struct FileTypeChoice {
    int number;
    std::string name;
};
using FileTypeSource = std::function<std::vector<FileTypeChoice>()>;

class StartUpWizard : public QWidget {
    Q_OBJECT
public:
    enum Page { WelcomePage, ImportDefaultsPage, MailDatabasePage, FirstImportPage, PageCount };

    StartUpWizard(FrameSettings& settings, const FileTypeSource& fileTypes, std::function<void()> openMailSetup,
                  QWidget* parent = nullptr);

    int page() const;
    void showPage(int page);
    QString heading() const;
    QString paneTitle() const;
    QString paneText() const;

    QComboBox* fileTypes() const { return fileTypes_; }
    QLineEdit* importPath() const { return importPath_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* mailSetupButton() const { return mailSetup_; }

    // Stores the defaults, asks for the import wizard and closes.
    void start();

private:
    QWidget* makePage(const char* heading, const char* paneTitle, const std::string& paneText, QWidget* fields);
    void updateButtons();

    FrameSettings& settings_;
    std::function<void()> openMailSetup_;
    QStackedWidget* pages_;
    QComboBox* fileTypes_;
    QLineEdit* importPath_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* start_;
    QPushButton* cancel_;
    QPushButton* mailSetup_;
};

}  // namespace pm::frame
