#pragma once
// ImportMeny: the import wizard. Four steps fill an import request: the
// type of message file (the format list of the format table), the kinds of
// messages with their mailbox and target database, the source (method,
// path, masks or files, chosen through the file selection dialog; for
// Outlook Mail the folder file and its folders), and the options (message
// filter, reimport, mail topic, save as definition). Start completes the
// request, stores it as an import definition when asked, opens the import
// progress window "ImportIt" through the launcher and closes the wizard.
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "common/windows/job_launcher.h"
#include "import/driver/import_request.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace pm {

class DatabaseChoiceField;
class JobProgressWindow;

class ImportWizard : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "ImportMeny";
    static constexpr const char* ProgressWindowName = "ImportIt";

    enum Page { FormatPage, KindsPage, SourcePage, OptionsPage, PageCount };

    // Stores a wizard run as an import definition (with its inactive task);
    // false when the write failed (it has reported why).
    using DefinitionSaver = std::function<bool(const ImportRequest& request)>;

    // Starts on the default format (setting 12) and import path (setting
    // 14) and the default mailbox (setting 19). Without a saver the
    // save-as-definition switch is disabled.
    explicit ImportWizard(JobLauncher launch, DefinitionSaver saveDefinition = {}, QWidget* parent = nullptr);

    int page() const;
    void showPage(int page);

    // Chooses format `number` (its default masks, kinds and targets follow);
    // false when the list does not offer it.
    bool chooseFormat(int number);
    int format() const;
    // Chooses the selection method (SelectionMethod).
    void chooseMethod(BYTE method);
    BYTE method() const;
    // Sets the import path and the masks or files, as the file selection
    // dialog would.
    void setSource(const std::string& path, const std::string& masks, const std::vector<std::string>& files);

    // The request the fields describe (not yet completed).
    ImportRequest request() const;
    // Shows `request`'s choices in the fields (format, source, kinds,
    // mailbox, target, options).
    void setRequest(const ImportRequest& request);

    // The wizard as the body of the definition editor: no Start, no Cancel
    // and no save switch; `readOnly` shows the choices without changing them.
    void useAsEditor(bool readOnly);

    // Checks the choices, saves the definition when asked and starts the
    // import; false when it was refused (the person was told why).
    bool start();

    // Opens the file selection dialog for the current method (Outlook
    // Mail: the folder dialog); the choice is taken when it is saved.
    void openFileSelection();

    QListWidget* formatList() const { return formats_; }
    QCheckBox* mailBox() const { return mail_; }
    QCheckBox* forumBox() const { return forum_; }
    QCheckBox* newsgroupBox() const { return newsgroup_; }
    DatabaseChoiceField* mailbox() const { return mailbox_; }
    DatabaseChoiceField* target() const { return target_; }
    QLineEdit* pathEntry() const { return path_; }
    QLineEdit* masksEntry() const { return masks_; }
    QListWidget* fileList() const { return files_; }
    QLabel* pathPrompt() const { return pathPrompt_; }
    QLabel* masksPrompt() const { return masksPrompt_; }
    QCheckBox* filterBox() const { return filter_; }
    QCheckBox* reimportBox() const { return reimport_; }
    QComboBox* mailTopic() const { return topic_; }
    QCheckBox* saveDefinitionBox() const { return saveDefinition_; }
    QPushButton* selectButton() const { return select_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    // The import's progress window opened (the wizard closes next).
    void importStarted(pm::JobProgressWindow* window);

private:
    QWidget* makeFormatPage();
    QWidget* makeKindsPage();
    QWidget* makeSourcePage();
    QWidget* makeOptionsPage();
    void formatChanged();
    void methodChanged();
    void loadTopics();
    void updateButtons();
    bool checkChoices();

    JobLauncher launch_;
    DefinitionSaver saveDefinitionTo_;
    QStackedWidget* pages_ = nullptr;
    QListWidget* formats_ = nullptr;
    QGroupBox* kindsPane_ = nullptr;
    QCheckBox* mail_ = nullptr;
    QCheckBox* forum_ = nullptr;
    QCheckBox* newsgroup_ = nullptr;
    QLabel* targetLabel_ = nullptr;
    DatabaseChoiceField* mailbox_ = nullptr;
    DatabaseChoiceField* target_ = nullptr;
    QButtonGroup* methods_ = nullptr;
    QGroupBox* methodBox_ = nullptr;
    QLabel* pathPrompt_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLabel* masksPrompt_ = nullptr;
    QLineEdit* masks_ = nullptr;
    QListWidget* files_ = nullptr;
    QPushButton* select_ = nullptr;
    QCheckBox* filter_ = nullptr;
    QCheckBox* reimport_ = nullptr;
    QComboBox* topic_ = nullptr;
    QCheckBox* saveDefinition_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pm
