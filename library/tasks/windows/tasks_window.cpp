#include "tasks/windows/tasks_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/globals.h"
#include "common/windows/host_window.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_editor.h"
#include "tasks/windows/task_texts.h"

namespace pm {

namespace {

enum Column { DescriptionColumn, NextColumn, LastColumn, RepeatColumn, ActiveColumn, ResultColumn };

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

TasksWindow::TasksWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Scheduled Tasks"));
    setProperty("helpTopic", QStringLiteral("~Scheduled_Tasks"));

    list_ = new QTreeWidget;
    list_->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Next run"), QStringLiteral("Last run"),
                            QStringLiteral("Repeats"), QStringLiteral("Active"), QStringLiteral("Result")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setColumnWidth(DescriptionColumn, 240);
    list_->setColumnWidth(NextColumn, 130);
    list_->setColumnWidth(LastColumn, 130);
    box_ = new QGroupBox;
    auto* boxLayout = new QVBoxLayout(box_);
    boxLayout->addWidget(list_);

    deactivateAll_ = new QCheckBox(QStringLiteral("Deactivate all tasks"));
    deactivateAll_->setChecked(tasksDeactivated());
    connect(deactivateAll_, &QCheckBox::toggled, this, [](bool on) { setTasksDeactivated(on); });
    add_ = new QPushButton(QStringLiteral("&Add"));
    add_->setToolTip(QStringLiteral("Add a new task"));
    update_ = new QPushButton(QStringLiteral("&Update"));
    update_->setToolTip(QStringLiteral("Update highlighted task"));
    delete_ = new QPushButton(QStringLiteral("&Delete"));
    delete_->setToolTip(QStringLiteral("Delete highlighted task"));
    close_ = new QPushButton(QStringLiteral("&Close"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add_, update_, delete_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(deactivateAll_);
    buttons->addWidget(close_);
    connect(add_, &QPushButton::clicked, this, [this] { openEditor(InsertRecord); });
    connect(update_, &QPushButton::clicked, this, [this] { openEditor(ChangeRecord); });
    connect(delete_, &QPushButton::clicked, this, [this] { openEditor(DeleteRecord); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { openEditor(ChangeRecord); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box_, 1);
    layout->addLayout(buttons);
    resize(760, 360);
    setFocusProxy(list_);
    refresh();
}

void TasksWindow::refresh() {
    const ULONG keep = highlighted();
    list_->clear();
    const std::vector<TASRecord> tasks = listTasks();
    for (const TASRecord& t : tasks) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(DescriptionColumn, QString::fromStdString(t.DESCRIPTION.str()));
        item->setText(NextColumn, runNowRequested(t) ? QStringLiteral("now")
                                                     : QString::fromStdString(taskMomentText(t.RUNNEXTDATE, t.RUNNEXTTIME)));
        item->setText(LastColumn, QString::fromStdString(taskMomentText(t.LASTRUNDATE, t.LASTRUNTIME)));
        item->setText(RepeatColumn, repeatText(t));
        item->setText(ActiveColumn, t.ACTIVE ? QStringLiteral("Yes") : QStringLiteral("No"));
        item->setText(ResultColumn, QString::fromStdString(taskResultText(t.RESULTCODE)));
        item->setData(0, Qt::UserRole, static_cast<uint>(t.ID));
    }
    box_->setTitle(QStringLiteral("Scheduled Tasks [%1]").arg(tasks.size()));
    if (!highlight(keep) && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    deactivateAll_->setChecked(tasksDeactivated());
    updateButtons();
}

ULONG TasksWindow::highlighted() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, Qt::UserRole).toUInt() : 0;
}

bool TasksWindow::highlight(ULONG id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->data(0, Qt::UserRole).toUInt() != id) continue;
        list_->setCurrentItem(list_->topLevelItem(i));
        return true;
    }
    return false;
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
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::accepted, this, [this, editor] {
        refresh();
        highlight(editor->saved().record.ID);
    });
    editor->open();
    return editor;
}

void TasksWindow::updateButtons() {
    const bool any = highlighted() != 0;
    update_->setEnabled(any);
    delete_->setEnabled(any);
}

}  // namespace pm
