#pragma once
// BrowseTasks: the scheduled tasks ("Scheduled Tasks ["), with the buttons
// that add, update and delete them through the task editor, and the
// installation's "Deactivate all tasks" switch.
#include <QWidget>

#include "common/types.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTreeWidget;

namespace pm {

class TaskEditor;

class TasksWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "BrowseTasks";

    explicit TasksWindow(QWidget* parent = nullptr);

    // Reads the tasks again, keeping the highlighted one when it is there.
    void refresh();
    ULONG highlighted() const;
    bool highlight(ULONG id);
    // Opens the editor for `request` (InsertRecord, ChangeRecord,
    // DeleteRecord) on the highlighted task; nullptr when there is none.
    TaskEditor* openEditor(LONG request);

    QTreeWidget* list() const { return list_; }
    QCheckBox* deactivateAll() const { return deactivateAll_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* deleteButton() const { return delete_; }

private:
    void updateButtons();

    QGroupBox* box_;
    QTreeWidget* list_;
    QCheckBox* deactivateAll_;
    QPushButton* add_;
    QPushButton* update_;
    QPushButton* delete_;
    QPushButton* close_;
};

}  // namespace pm
