#include "maintenance/windows/person_browse_window.h"

#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/paged_list.h"
#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "common/globals.h"
#include "common/text.h"
#include "common/user_interface.h"
#include "common/windows/job_progress_window.h"
#include "maintenance/duplicate_run.h"
#include "maintenance/maintenance_tables.h"
#include "maintenance/person_edits.h"
#include "maintenance/windows/person_dialogs.h"
#include "tables/config/browse_columns.h"
#include "tables/records/all_tables.h"
#include "tables/windows/column_memory.h"

namespace pm {

namespace {

enum Column { ColumnName, ColumnAddress, ColumnSent, ColumnReceived, ColumnId, ColumnCount };

const char* listTitle(BYTE type) {
    switch (type) {
        case TypeMail: return " Mail Partners [";
        case TypeNewsgroup: return " Newsgroup Participants [";
        default: return " Forum Members [";
    }
}

QString text(std::string_view s) { return QString::fromStdString(std::string(trim(s))); }

bool readPerson(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    return Person.get(PER_PersonKey) == StorageStatus::Ok;
}

// The list hands the dragged person's id to a drag.
class PersonListModel : public PagedListModel {
public:
    using PagedListModel::PagedListModel;

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return PagedListModel::flags(index) | Qt::ItemIsDragEnabled;
    }
    QStringList mimeTypes() const override { return {QString::fromLatin1(PersonMimeType)}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override {
        QStringList ids;
        for (const QModelIndex& index : indexes) {
            const ListRow* row = rowAt(index.row());
            const QString id = row ? QString::number(row->id) : QString();
            if (row && !ids.contains(id)) ids << id;
        }
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(PersonMimeType), ids.join('\n').toUtf8());
        return data;
    }
};

std::vector<PagedListModel::Column> personColumns() {
    return {PagedListModel::column("Name", ColumnName, 32), PagedListModel::column("Address", ColumnAddress, 24),
            PagedListModel::column("Sent", ColumnSent, 6, true), PagedListModel::column("Received", ColumnReceived, 8, true),
            PagedListModel::column("Id", ColumnId, 9, true, {}, true)};
}

const QColor kKeepColour(0, 0, 128), kMergeColour(160, 0, 0);

}  // namespace

// --- the merge list ------------------------------------------------------------

MergeList::MergeList(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    setRootIsDecorated(false);
    setHeaderLabels({tr("Status"), tr("Name"), tr("Address"), tr("Id")});
}

bool MergeList::canTake(const QMimeData* data) { return data && data->hasFormat(QString::fromLatin1(PersonMimeType)); }

void MergeList::take(const QMimeData* data) {
    if (!canTake(data)) return;
    for (const QByteArray& id : data->data(QString::fromLatin1(PersonMimeType)).split('\n'))
        if (!id.isEmpty()) emit personDropped(id.toULong());
}

void MergeList::dragEnterEvent(QDragEnterEvent* event) {
    if (canTake(event->mimeData())) event->acceptProposedAction();
}

void MergeList::dragMoveEvent(QDragMoveEvent* event) {
    if (canTake(event->mimeData())) event->acceptProposedAction();
}

void MergeList::dropEvent(QDropEvent* event) {
    take(event->mimeData());
    event->acceptProposedAction();
}

MergePersonsWindow::MergePersonsWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr(" Merge Persons "));
    setProperty("helpTopic", QStringLiteral("~Browse_Persons"));
    auto* layout = new QVBoxLayout(this);
    list_ = new MergeList(this);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    keep_ = new QPushButton(tr("Keep highlighted person"), this);
    remove_ = new QPushButton(tr("Remove highlighted person fron merge"), this);
    merge_ = new QPushButton(tr("Merge selected persons"), this);
    buttons->addWidget(keep_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    buttons->addWidget(merge_);
    layout->addLayout(buttons);
    connect(list_, &MergeList::personDropped, this, &MergePersonsWindow::addPerson);
    connect(keep_, &QPushButton::clicked, this, &MergePersonsWindow::keepHighlighted);
    connect(remove_, &QPushButton::clicked, this, &MergePersonsWindow::removeHighlighted);
    connect(merge_, &QPushButton::clicked, this, &MergePersonsWindow::mergeSelected);
    paintRows();
    resize(560, 300);
}

void MergePersonsWindow::addPerson(ULONG id) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->text(3).toULong() == id) return;
    if (!readPerson(id)) return;
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, list_->topLevelItemCount() == 1 ? tr("Keep") : tr("Merge"));
    item->setText(1, QString::fromStdString(displayName(PER)).left(40));
    item->setText(2, text(PER.ADDRESS.view()));
    item->setText(3, QString::number(id));
    paintRows();
}

void MergePersonsWindow::keepHighlighted() {
    QTreeWidgetItem* chosen = list_->currentItem();
    if (!chosen) return;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        item->setText(0, item == chosen ? tr("Keep") : tr("Merge"));
    }
    paintRows();
}

void MergePersonsWindow::removeHighlighted() {
    QTreeWidgetItem* chosen = list_->currentItem();
    if (!chosen) return;
    const bool wasKept = chosen->text(0) == tr("Keep");
    delete chosen;
    if (wasKept && list_->topLevelItemCount() > 0) list_->topLevelItem(0)->setText(0, tr("Keep"));
    paintRows();
}

void MergePersonsWindow::paintRows() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const QColor colour = item->text(0) == tr("Keep") ? kKeepColour : kMergeColour;
        for (int c = 0; c < list_->columnCount(); ++c) item->setForeground(c, colour);
    }
    merge_->setEnabled(list_->topLevelItemCount() >= 2 && !(progress_ && progress_->running()));
    keep_->setEnabled(list_->topLevelItemCount() > 0);
    remove_->setEnabled(list_->topLevelItemCount() > 0);
}

void MergePersonsWindow::mergeSelected() {
    if (list_->topLevelItemCount() < 2 || (progress_ && progress_->running())) return;
    ULONG keep = 0;
    std::vector<ULONG> others;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->text(0) == tr("Keep")) keep = item->text(3).toULong();
        else others.push_back(item->text(3).toULong());
    }
    if (keep == 0) return;
    delete progress_;
    progress_ = new JobProgressWindow(std::make_unique<DuplicateRun>(keep, others), this);
    progress_->setWindowFlag(Qt::Window);
    progress_->setCloseWhenFinished(false);
    connect(progress_, &JobProgressWindow::finished, this, [this](bool) {
        list_->clear();
        paintRows();
        emit merged();
    });
    paintRows();
    progress_->show();
    progress_->start();
}

// --- the person list -------------------------------------------------------------

PersonBrowseWindow::PersonBrowseWindow(std::function<void(ULONG)> openMessages, QWidget* parent)
    : QWidget(parent), tables_(std::make_unique<MaintenanceTables>(Mem.ForumType)), showMessages_(std::move(openMessages)) {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    tabs_ = new QTabBar(this);
    tabs_->addTab(tr("Sort by lastname"));
    tabs_->addTab(tr("Sort by CIS adress"));
    bar->addWidget(tabs_);
    bar->addStretch();
    auto button = [&](QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setStatusTip(tip);
        bar->addWidget(b);
        return b;
    };
    alias_ = button(QStyle::SP_FileDialogDetailedView, tr("Show related alias addresses"));
    merge_ = button(QStyle::SP_DialogApplyButton, tr("Open merge duplicates window"));
    messages_ = button(QStyle::SP_FileDialogContentsView, tr("Show messages for this sender"));
    name_ = button(QStyle::SP_FileDialogInfoView, tr("Change first and last name"));
    layout->addLayout(bar);

    table_ = new PagedTableView(this);
    model_ = new PersonListModel(this);
    table_->setModel(model_);
    table_->setDragEnabled(true);
    table_->setDragDropMode(QAbstractItemView::DragOnly);
    layout->addWidget(table_);

    connect(tabs_, &QTabBar::currentChanged, this, &PersonBrowseWindow::reload);
    connect(alias_, &QToolButton::clicked, this, [this] { showAliases(); });
    connect(merge_, &QToolButton::clicked, this, [this] { openMerge(); });
    connect(messages_, &QToolButton::clicked, this, [this] { showMessages(); });
    connect(name_, &QToolButton::clicked, this, [this] { editName(); });
    connect(table_, &QTableView::doubleClicked, this, [this] { showMessages(); });
    reload();
    resize(640, 420);
}

PersonBrowseWindow::~PersonBrowseWindow() = default;

void PersonBrowseWindow::reload() {
    const ULONG keep = current();
    Person.clear();
    KeyRange range = KeyRange::fromBuffer(Person, tabs_->currentIndex() == 1 ? PER_AddressKey : PER_NameKey, 0);
    auto list = std::make_unique<PagedList>(range, [](ListRow& row) {
        row.id = PER.PERSONID;
        row.cells = {displayName(PER), std::string(trim(PER.ADDRESS.view())), std::to_string(PER.FROMCOUNT),
                     std::to_string(PER.TOCOUNT), std::to_string(PER.PERSONID)};
    });
    list->reload();
    const bool first = model_->columnCount() == 0;
    model_->setList(list.get(), personColumns());
    list_ = std::move(list);  // the model shows the new list before the old one goes
    if (first)
        ColumnMemory::applyWidths(table_->horizontalHeader(), BrowsePersons,
                                  [this] { PagedListModel::applyWidths(table_, model_->columns()); });
    setWindowTitle(QString::fromLatin1(listTitle(Mem.ForumType)) + QString::number(list_->size()) + "]");
    if (keep != 0) select(keep);
    if (!table_->currentIndex().isValid() && list_->size() > 0) table_->goToRow(0);
}

ULONG PersonBrowseWindow::current() const {
    const QModelIndex index = table_->currentIndex();
    const ListRow* row = index.isValid() ? model_->rowAt(index.row()) : nullptr;
    return row ? row->id : 0;
}

void PersonBrowseWindow::select(ULONG id) {
    if (!list_ || !readPerson(id)) return;
    const std::int64_t ordinal = list_->ordinalOf(Person.position());
    if (ordinal >= 0) table_->goToRow(static_cast<int>(ordinal));
}

QDialog* PersonBrowseWindow::editName(bool modal) {
    if (!readPerson(current())) return nullptr;
    auto* form = new PersonNameForm(PER, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(form, &QDialog::accepted, this, &PersonBrowseWindow::reload);
    if (modal) form->exec();
    else form->show();
    return form;
}

QDialog* PersonBrowseWindow::showAliases(bool modal) {
    if (!readPerson(current())) return nullptr;
    auto* aliases = new AliasWindow(PER, this);
    aliases->setAttribute(Qt::WA_DeleteOnClose);
    connect(aliases, &QDialog::finished, this, &PersonBrowseWindow::reload);
    if (modal) aliases->exec();
    else aliases->show();
    return aliases;
}

MergePersonsWindow* PersonBrowseWindow::openMerge() {
    if (!mergeWindow_) {
        mergeWindow_ = new MergePersonsWindow(this);
        connect(mergeWindow_, &MergePersonsWindow::merged, this, &PersonBrowseWindow::reload);
    }
    mergeWindow_->show();
    mergeWindow_->raise();
    return mergeWindow_;
}

bool PersonBrowseWindow::showMessages() {
    const ULONG id = current();
    if (!readPerson(id)) return false;
    const bool mail = Mem.ForumType == TypeMail;
    Table& headers = mail ? Mail : MsgNmbr;
    headers.clear();
    if (mail) {
        MAI.FROMALPHA = PER.LASTNAME.view();
        MAI.FROMID = id;
    } else {
        MSG.FROMALPHA = PER.LASTNAME.view();
        MSG.FROMID = id;
    }
    if (headers.rangeCount(mail ? MAI_FromKey : MSG_FromKey, 2) <= 0) {
        message("No messages from address", std::string(trim(PER.ADDRESS.view())), Icon::Information);
        return false;
    }
    if (showMessages_) showMessages_(id);
    return true;
}

}  // namespace pm
