#include "browse/windows/lookup_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "browse/windows/paged_list_model.h"
#include "browse/windows/paged_table_view.h"
#include "common/globals.h"
#include "common/text.h"
#include "tables/config/browse_columns.h"
#include "tables/records/all_tables.h"
#include "tables/windows/column_memory.h"

namespace pm {

namespace {

QString titleOf(LookupKind kind, std::int64_t count) {
    const QString n = QString::number(count);
    switch (kind) {
        case LookupKind::Threads: return QStringLiteral(" Threads [%1]").arg(n);
        case LookupKind::Sections:
            return Mem.ForumType == TypeNewsgroup ? QStringLiteral(" Newsgroups [%1]").arg(n)
                                                  : QStringLiteral(" Sections [%1]").arg(n);
        case LookupKind::Persons:
        case LookupKind::PersonsByAddress: return QString::fromStdString(personsListTitle(Mem.ForumType, count));
        case LookupKind::Words: return QString::fromUtf8(WordsListTitle);
        case LookupKind::Topics: return QStringLiteral(" Topics [%1]").arg(n);
    }
    return {};
}

int columnSlot(LookupKind kind) {
    switch (kind) {
        case LookupKind::Threads: return BrowseLookupThreads;
        case LookupKind::Sections: return BrowseLookupSections;
        case LookupKind::Persons:
        case LookupKind::PersonsByAddress: return BrowseLookupPersons;
        case LookupKind::Words: return BrowseLookupWords;
        case LookupKind::Topics: return BrowseLookupTopics;
    }
    return BrowseLookupThreads;
}

}  // namespace

LookupDialog::LookupDialog(LookupKind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    model_ = new PagedListModel(this);
    auto* view = new PagedTableView;
    view_ = view;
    view_->setModel(model_);
    view->setLocator([this](const QString& typed) { locate(typed); });
    view_->installEventFilter(this);
    connect(view_, &QTableView::doubleClicked, this, [this] { accept(); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    if (kind == LookupKind::Persons || kind == LookupKind::PersonsByAddress) {
        byAddress_ = new QCheckBox(QStringLiteral("Sort by Address"));
        byAddress_->setChecked(kind == LookupKind::PersonsByAddress);
        connect(byAddress_, &QCheckBox::toggled, this, [this](bool on) {
            const ULONG id = currentId();
            load(on ? LookupKind::PersonsByAddress : LookupKind::Persons);
            highlight(id);
        });
        layout->addWidget(byAddress_);
    }
    layout->addWidget(buttons);
    resize(620, 420);
    load(kind);
}

LookupDialog::~LookupDialog() = default;

void LookupDialog::load(LookupKind kind) {
    kind_ = kind;
    lookup_ = lookupList(kind);
    auto list = std::make_unique<PagedList>(lookup_.range, lookup_.reader);
    list->reload();
    std::vector<PagedListModel::Column> columns;
    for (std::size_t i = 0; i < lookup_.headings.size(); ++i) {
        const bool count = lookup_.headings[i] == "Messages" || lookup_.headings[i] == "Indexes" ||
                           lookup_.headings[i] == "Sent" || lookup_.headings[i] == "Received";
        columns.push_back(PagedListModel::column(lookup_.headings[i].c_str(), i, count ? 8 : 30, count, {}, i == 0));
    }
    model_->setList(list.get(), columns);
    list_ = std::move(list);
    ColumnMemory::applyWidths(view_->horizontalHeader(), columnSlot(kind),
                              [&] { PagedListModel::applyWidths(view_, columns); });
    setWindowTitle(titleOf(kind, list_->size()));
    if (list_->size() > 0) static_cast<PagedTableView*>(view_)->goToRow(0);
}

ULONG LookupDialog::currentId() const {
    const ListRow* r = model_->rowAt(view_->currentIndex().row());
    return r ? r->id : 0;
}

void LookupDialog::highlight(ULONG id) {
    if (id == 0 || !list_) return;
    const KeyRange& range = list_->range();
    if (!readLookupChoice(kind_, id)) return;
    const std::int64_t row = list_->ordinalOf(range.table->position());
    if (row >= 0) static_cast<PagedTableView*>(view_)->goToRow(static_cast<int>(row));
}

void LookupDialog::locate(const QString& typed) {
    if (!list_) return;
    const std::string text = typed.toStdString();
    std::function<void()> prime;
    switch (kind_) {
        case LookupKind::Threads: prime = [&] { THR.ALPHA = text; }; break;
        case LookupKind::Sections: {
            bool ok = false;
            const ULONG n = typed.toUInt(&ok);
            if (!ok) return;
            prime = [n] { SEC.SECTIONNUMBER = n; };
            break;
        }
        case LookupKind::Persons: prime = [&] { PER.LASTNAME = text, PER.FIRSTNAME = ""; }; break;
        case LookupKind::PersonsByAddress: prime = [&] { PER.ADDRESS = text; }; break;
        case LookupKind::Words: prime = [&] { WOR.THEWORD = toUpper(text); }; break;
        case LookupKind::Topics: prime = [&] { COD.INDEX = text; }; break;
    }
    const std::int64_t row = list_->locate(prime);
    if (row >= 0) static_cast<PagedTableView*>(view_)->goToRow(static_cast<int>(row));
}

bool LookupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

ULONG LookupDialog::choose(LookupKind kind, QWidget* parent) {
    LookupDialog dialog(kind, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.currentId() : 0;
}

}  // namespace pm
