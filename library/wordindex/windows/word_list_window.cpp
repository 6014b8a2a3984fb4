#include "wordindex/windows/word_list_window.h"

#include <QBrush>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/browse_columns.h"
#include "tables/records/wordindex_tables.h"
#include "tables/windows/column_memory.h"
#include "wordindex/word_list_edits.h"

namespace pm {

namespace {
const QColor kMarkColour(Qt::red);
}  // namespace

WordListModel::WordListModel(std::set<LONG>& marks, QObject* parent) : QAbstractTableModel(parent), marks_(marks) {}

void WordListModel::load(bool byCount) {
    beginResetModel();
    byCount_ = byCount;
    rows_.clear();
    {
        TableScope scope({&WordList});
        // The count key runs upward; the list shows the most frequent first.
        WordList.set(byCount ? WOR_by_WordCount : WOR_by_theWord);
        while ((byCount ? WordList.previous() : WordList.next()) == StorageStatus::Ok)
            rows_.push_back({WOR.WORDID, WOR.THEWORD.str(), WOR.WORDCOUNT});
    }
    endResetModel();
}

int WordListModel::locate(const QString& typed) const {
    if (typed.isEmpty()) return -1;
    if (byCount_) {
        bool ok = false;
        const LONG n = typed.toLong(&ok);
        if (!ok) return -1;
        // Descending counts: the first row whose count is at most n.
        auto it = std::find_if(rows_.begin(), rows_.end(), [n](const Row& r) { return r.count <= n; });
        return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
    }
    const std::string key = typed.toUpper().toStdString();
    auto it = std::lower_bound(rows_.begin(), rows_.end(), key, [](const Row& r, const std::string& k) { return r.word < k; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

void WordListModel::rowChanged(int i) { emit dataChanged(index(i, 0), index(i, 1)); }

int WordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int WordListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant WordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return index.column() == 0 ? QVariant(QString::fromStdString(r.word)) : QVariant(r.count);
    if (role == Qt::ForegroundRole && marks_.count(r.id) != 0) return QBrush(kMarkColour);
    return {};
}

QVariant WordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? QStringLiteral("Indexed Word") : QStringLiteral("Count");
}

WordListWindow::WordListWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral(" Word List [%1]").arg(QString::fromStdString(Mem.Description)));
    refreshWordCountOrder();
    marks_ = loadDeletionMarks();
    auto* layout = new QVBoxLayout(this);
    auto* order = new QHBoxLayout;
    byCount_ = new QRadioButton(QStringLiteral("Sort by number of related messages"), this);
    byWord_ = new QRadioButton(QStringLiteral("Sort alphabetically by word"), this);
    byCount_->setChecked(true);
    order->addWidget(byCount_);
    order->addWidget(byWord_);
    layout->addLayout(order);
    auto* locateRow = new QHBoxLayout;
    locateRow->addWidget(new QLabel(QStringLiteral("Locate:"), this));
    locate_ = new QLineEdit(this);
    locateRow->addWidget(locate_);
    layout->addLayout(locateRow);
    model_ = new WordListModel(marks_, this);
    list_ = new QTableView(this);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(0, 300);
    ColumnMemory::attach(list_->horizontalHeader(), BrowseWordList);
    layout->addWidget(list_);
    auto* mark = new QPushButton(QStringLiteral("Mark highlighted word for deletion"), this);
    layout->addWidget(mark);

    connect(byCount_, &QRadioButton::toggled, this, &WordListWindow::reorder);
    connect(mark, &QPushButton::clicked, this, &WordListWindow::toggleMark);
    connect(locate_, &QLineEdit::textChanged, this, [this](const QString& typed) {
        const int row = model_->locate(typed);
        if (row >= 0) list_->selectRow(row);
    });
    model_->load(true);
    if (model_->rowCount() > 0) list_->selectRow(0);
    resize(460, 520);
}

WordListWindow::~WordListWindow() {
    if (!saved_) saveMarks();
}

void WordListWindow::reorder() {
    model_->load(byCount_->isChecked());
    locate_->clear();
    if (model_->rowCount() > 0) list_->selectRow(0);
}

void WordListWindow::toggleMark() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return;
    const LONG id = model_->row(current.row()).id;
    if (!marks_.erase(id)) marks_.insert(id);
    saved_ = false;
    model_->rowChanged(current.row());
}

bool WordListWindow::saveMarks() {
    saved_ = saveDeletionMarks(marks_);
    return saved_;
}

void WordListWindow::closeEvent(QCloseEvent* event) {
    saveMarks();
    QWidget::closeEvent(event);
}

}  // namespace pm
