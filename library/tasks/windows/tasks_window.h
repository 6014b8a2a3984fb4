#pragma once
// BrowseTasks: the scheduled tasks ("Scheduled Tasks ["), with the buttons
// that add, update and delete them through the task editor, and the
// installation's "Deactivate all tasks" switch.
#include "common/windows/record_list_window.h"

class QCheckBox;

namespace pm {

class TaskEditor;

class TasksWindow : public RecordListWindow {
    Q_OBJECT
public:
    static constexpr const char* WindowName = "BrowseTasks";

    explicit TasksWindow(QWidget* parent = nullptr);

    // Opens the editor for `request` (InsertRecord, ChangeRecord,
    // DeleteRecord) on the highlighted task; nullptr when there is none.
    TaskEditor* openEditor(LONG request);

    QCheckBox* deactivateAll() const { return deactivateAll_; }

protected:
    void fill() override;
    void edit(LONG request) override { openEditor(request); }

private:
    QCheckBox* deactivateAll_ = nullptr;
};

}  // namespace pm
