#include "tasks/windows/task_log_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>
#include <utility>

#include "common/windows/host_window.h"
#include "import/definitions/import_definitions.h"
#include "tables/config/browse_columns.h"
#include "tables/windows/column_memory.h"
#include "tasks/task_log.h"
#include "tasks/task_schedule.h"
#include "tasks/task_store.h"
#include "tasks/windows/task_texts.h"

namespace pm {

namespace {

const QColor ErrorColour(255, 224, 224);

QTreeWidget* table(const QStringList& headers) {
    auto* t = new QTreeWidget;
    t->setHeaderLabels(headers);
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    for (int c = 0; c < headers.size() - 1; ++c) t->setColumnWidth(c, 140);
    return t;
}

void markError(QTreeWidgetItem* item, BYTE result) {
    if (result != ResultNotCompleted) return;
    for (int c = 0; c < item->columnCount(); ++c) item->setBackground(c, ErrorColour);
}

}  // namespace

TaskLogWindow::TaskLogWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(WindowName));
    setWindowTitle(QStringLiteral(" Task Log"));
    setProperty("helpTopic", QStringLiteral("~Task_Log"));

    tasks_ = new QComboBox;
    runs_ = table({QStringLiteral("Task"), QStringLiteral("Started"), QStringLiteral("Finished"),
                   QStringLiteral("Duration"), QStringLiteral("Result")});
    items_ = table({QStringLiteral("Item"), QStringLiteral("Import procedure"), QStringLiteral("Started"),
                    QStringLiteral("Finished"), QStringLiteral("Result"), QStringLiteral("Message")});
    // Narrower columns leave the message, the widest, in view.
    for (const auto& [column, width] : {std::pair{0, 90}, {1, 150}, {2, 115}, {3, 115}, {4, 55}})
        items_->setColumnWidth(column, width);
    ColumnMemory::attach(runs_->header(), BrowseTaskRuns);
    ColumnMemory::attach(items_->header(), BrowseTaskItems);
    refresh_ = new QPushButton(QStringLiteral("&Refresh"));
    close_ = new QPushButton(QStringLiteral("&Close"));
    connect(tasks_, &QComboBox::currentIndexChanged, this, [this] { loadRuns(); });
    connect(runs_, &QTreeWidget::currentItemChanged, this, [this] { loadItems(); });
    connect(refresh_, &QPushButton::clicked, this, [this] { refresh(); });
    connect(close_, &QPushButton::clicked, this, [this] { closeHostWindow(this); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Task:"), tasks_);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(runs_);
    split->addWidget(items_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(760, 480);
    setFocusProxy(runs_);
    refresh();
}

void TaskLogWindow::refresh() {
    const uint keep = tasks_->currentData().toUInt();
    const QSignalBlocker quiet(tasks_);
    tasks_->clear();
    tasks_->addItem(QStringLiteral("(all tasks)"), 0U);
    for (const TASRecord& t : listTasks())
        tasks_->addItem(QString::fromStdString(t.DESCRIPTION.str()), static_cast<uint>(t.ID));
    const int at = tasks_->findData(keep);
    tasks_->setCurrentIndex(at >= 0 ? at : 0);
    loadRuns();
}

bool TaskLogWindow::showTask(ULONG taskId) {
    const int at = tasks_->findData(static_cast<uint>(taskId));
    if (at < 0) return false;
    tasks_->setCurrentIndex(at);
    loadRuns();
    return true;
}

void TaskLogWindow::loadRuns() {
    std::map<ULONG, QString> names;
    for (int i = 1; i < tasks_->count(); ++i) names[tasks_->itemData(i).toUInt()] = tasks_->itemText(i);
    runs_->clear();
    for (const TLORecord& run : readTaskLog(tasks_->currentData().toUInt())) {
        auto* item = new QTreeWidgetItem(runs_);
        const auto name = names.find(run.TASKID);
        item->setText(0, name != names.end() ? name->second : QString::number(run.TASKID));
        item->setText(1, QString::fromStdString(taskMomentText(run.DATESTARTED, run.TIMESTARTED)));
        item->setText(2, QString::fromStdString(taskMomentText(run.DATEFINISHED, run.TIMEFINISHED)));
        item->setText(3, QString::fromStdString(taskRunDuration(run)));
        item->setText(4, QString::fromStdString(taskResultText(run.RESULTCODE)));
        item->setData(0, Qt::UserRole, static_cast<uint>(run.TASKLOGID));
        markError(item, run.RESULTCODE);
    }
    // The latest run first in view.
    if (runs_->topLevelItemCount() > 0) runs_->setCurrentItem(runs_->topLevelItem(runs_->topLevelItemCount() - 1));
    loadItems();
}

void TaskLogWindow::loadItems() {
    items_->clear();
    const QTreeWidgetItem* run = runs_->currentItem();
    if (!run) return;
    std::map<ULONG, std::string> definitions;
    for (const BATRecord& d : listImportDefinitions()) definitions[d.ID] = d.DESCRIPTION.str();
    for (const TLIRecord& i : readTaskLogItems(run->data(0, Qt::UserRole).toUInt())) {
        auto* item = new QTreeWidgetItem(items_);
        item->setText(0, QString::fromStdString(taskLogItemName(i.TYPE)));
        if (i.TYPE == LogItemImport) {
            const auto d = definitions.find(i.BATCHID);
            item->setText(1, d != definitions.end() ? QString::fromStdString(d->second) : QString::number(i.BATCHID));
        }
        item->setText(2, QString::fromStdString(taskMomentText(i.DATESTARTED, i.TIMESTARTED)));
        item->setText(3, QString::fromStdString(taskMomentText(i.DATEFINISHED, i.TIMEFINISHED)));
        item->setText(4, QString::fromStdString(taskResultText(i.RESULTCODE)));
        item->setText(5, QString::fromStdString(i.MESSAGE.str()));
        item->setToolTip(5, item->text(5));
        markError(item, i.RESULTCODE);
    }
}

}  // namespace pm
