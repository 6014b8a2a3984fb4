#pragma once
// MergeMeny: the merge wizard. The source and the target are chosen through
// the database look-up ("Enter name of Source Forum", "Enter name of Target
// Forum"); a target of another kind is refused. Start runs the merge in the
// progress window "MergeIt"; its outcome is shown when it ends.
#include <QWidget>

#include "common/windows/job_launcher.h"

class QLabel;
class QPushButton;

namespace pm {

class DatabaseChoiceField;

class MergeWizard : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "MergeMeny";
    static constexpr const char* ProgressWindowName = "MergeIt";

    explicit MergeWizard(JobLauncher launch, QWidget* parent = nullptr);

    DatabaseChoiceField* source() const { return source_; }
    DatabaseChoiceField* target() const { return target_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* outcome() const { return outcome_; }

    // Checks the pair and starts the merge; false when it was refused.
    bool start();

signals:
    void mergeFinished(bool completed);

private:
    void updateButtons();

    JobLauncher launch_;
    DatabaseChoiceField* source_;
    DatabaseChoiceField* target_;
    QLabel* outcome_;
    QPushButton* start_;
    QPushButton* close_;
    bool running_ = false;
};

}  // namespace pm
