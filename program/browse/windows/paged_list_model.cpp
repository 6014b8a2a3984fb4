#include "browse/windows/paged_list_model.h"

#include <QHeaderView>
#include <QTableView>
#include <climits>

#include "common/types.h"

namespace pm {

PagedListModel::PagedListModel(QObject* parent) : QAbstractTableModel(parent) {}

PagedListModel::Column PagedListModel::column(const char* heading, std::size_t cell, int widthChars, bool number,
                                              const QString& sample, bool stretch) {
    Column c;
    c.heading = QString::fromUtf8(heading);
    c.cell = cell;
    c.widthChars = widthChars;
    c.number = number;
    c.sample = sample;
    c.stretch = stretch;
    return c;
}

void PagedListModel::applyWidths(QTableView* view, const std::vector<Column>& columns) {
    const QFontMetrics metrics = view->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth();
    QHeaderView* header = view->horizontalHeader();
    bool stretching = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        int width = c.sample.isEmpty() ? c.widthChars * metrics.averageCharWidth()
                                       : metrics.horizontalAdvance(c.sample) + padding;
        width = std::max(width, metrics.horizontalAdvance(c.heading) + padding);
        view->setColumnWidth(static_cast<int>(i), width);
        header->setSectionResizeMode(static_cast<int>(i), c.stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
        stretching = stretching || c.stretch;
    }
    header->setStretchLastSection(!stretching);
}

void PagedListModel::setList(PagedList* list, std::vector<Column> columns) {
    beginResetModel();
    list_ = list;
    columns_ = std::move(columns);
    rows_ = list_ ? static_cast<int>(std::min<std::int64_t>(list_->size(), INT_MAX)) : 0;
    endResetModel();
}

void PagedListModel::refresh() {
    const int rows = list_ ? static_cast<int>(std::min<std::int64_t>(list_->size(), INT_MAX)) : 0;
    if (rows != rows_) {
        setList(list_, columns_);
        return;
    }
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

const ListRow* PagedListModel::rowAt(int row) const {
    if (!list_ || row < 0 || row >= rows_) return nullptr;
    return list_->row(row);
}

void PagedListModel::setStatusColours(QColor keep, QColor del) {
    keep_ = keep;
    delete_ = del;
    refresh();
}

int PagedListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PagedListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PagedListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) return {};
    const Column& column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole: {
            const ListRow* r = rowAt(index.row());
            if (!r || column.cell >= r->cells.size()) return QString();
            return QString::fromStdString(r->cells[column.cell]);
        }
        case Qt::ForegroundRole: {
            const ListRow* r = rowAt(index.row());
            if (!r) return {};
            if (r->status == StatusDelete) return delete_;
            if (r->status == StatusKeep) return keep_;
            return {};
        }
        case Qt::TextAlignmentRole:
            return column.number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant PagedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return columns_[static_cast<std::size_t>(section)].heading;
}

}  // namespace pm
