#include "tasks/windows/tasks_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>

#include "common/globals.h"
#include "tables/config/browse_columns.h"
#include "tables/windows/column_memory.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_editor.h"
#include "tasks/windows/task_texts.h"

namespace pm {

namespace {

QString repeatText(const TASRecord& t) {
    static const char* const days[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    QStringList parts;
    for (int d = 0; d < 7; ++d)
        if (t.DAYS[d]) parts << QString::fromLatin1(days[d]);
    for (int i = 0; i < 5; ++i)
        if (t.MONTHDAYS[i]) parts << QString::number(t.MONTHDAYS[i]) + ".";
    return parts.isEmpty() ? QStringLiteral("once") : parts.join(QLatin1Char(' '));
}

}  // namespace

TasksWindow::TasksWindow(QWidget* parent)
    : RecordListWindow(QStringLiteral("Scheduled Tasks"), QStringLiteral("task"),
                       {QStringLiteral("Description"), QStringLiteral("Next run"), QStringLiteral("Last run"),
                        QStringLiteral("Repeats"), QStringLiteral("Active"), QStringLiteral("Result")},
                       parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Scheduled Tasks"));
    setProperty("helpTopic", QStringLiteral("~Scheduled_Tasks"));
    list()->setColumnWidth(0, 240);
    list()->setColumnWidth(1, 130);
    list()->setColumnWidth(2, 130);
    ColumnMemory::attach(list()->header(), BrowseTasks);
    deactivateAll_ = new QCheckBox(QStringLiteral("Deactivate all tasks"));
    connect(deactivateAll_, &QCheckBox::toggled, this, [](bool on) {
        if (on != tasksDeactivated()) setTasksDeactivated(on);
    });
    buttonRow()->insertWidget(buttonRow()->count() - 1, deactivateAll_);
    resize(760, 360);
    refresh();
}

void TasksWindow::fill() {
    for (const TASRecord& t : listTasks()) {
        addRow(t.ID, {QString::fromStdString(t.DESCRIPTION.str()),
                      runNowRequested(t) ? QStringLiteral("now")
                                         : QString::fromStdString(taskMomentText(t.RUNNEXTDATE, t.RUNNEXTTIME)),
                      QString::fromStdString(taskMomentText(t.LASTRUNDATE, t.LASTRUNTIME)), repeatText(t),
                      t.ACTIVE ? QStringLiteral("Yes") : QStringLiteral("No"),
                      QString::fromStdString(taskResultText(t.RESULTCODE))});
    }
    if (deactivateAll_) deactivateAll_->setChecked(tasksDeactivated());
}

TaskEditor* TasksWindow::openEditor(LONG request) {
    TaskDefinition task;
    if (request != InsertRecord) {
        std::optional<TaskDefinition> read = readTask(highlighted());
        if (!read) {
            refresh();
            return nullptr;
        }
        task = *read;
    }
    auto* editor = new TaskEditor(request, task, this);
    follow(editor, [editor] { return editor->saved().record.ID; });
    return editor;
}

}  // namespace pm
