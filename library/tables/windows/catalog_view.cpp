#include "tables/windows/catalog_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace pm {

namespace {
constexpr int kLongestTypedText = 10;
}

CatalogView::CatalogView(CatalogModel* model, QWidget* parent) : QTableView(parent), model_(model) {
    setModel(model);
    setItemDelegate(new StatusColourDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        QHeaderView* header = horizontalHeader();
        const Qt::SortOrder order = header->isSortIndicatorShown() && header->sortIndicatorSection() == section &&
                                            header->sortIndicatorOrder() == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        const CatalogEntry* current = currentEntry();
        const ULONG id = current ? current->id : 0;
        typed_.clear();
        model_->sort(section, order);
        header->setSortIndicator(section, order);
        header->setSortIndicatorShown(true);
        highlightDatabase(id);
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Rows read afresh come in key order, and may need wider columns.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        horizontalHeader()->setSortIndicatorShown(false);
        fitColumnsToContents();
    });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit chosen(index.row());
    });
}

int CatalogView::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void CatalogView::highlightRow(int row) {
    if (model_->rowCount() == 0) return;
    row = std::clamp(row, 0, model_->rowCount() - 1);
    const QModelIndex index = model_->index(row, 0);
    setCurrentIndex(index);
    selectRow(row);
    scrollTo(index);
}

void CatalogView::highlightDatabase(ULONG id) {
    const int row = model_->rowOf(id);
    highlightRow(row < 0 ? 0 : row);
}

const CatalogEntry* CatalogView::currentEntry() const {
    const int row = currentRow();
    return row < 0 ? nullptr : &model_->entry(row);
}

void CatalogView::reload(CatalogOrder order, BYTE type) {
    const CatalogEntry* current = currentEntry();
    const ULONG id = current ? current->id : 0;
    typed_.clear();  // a new order starts a new search
    model_->reload(order, type);
    highlightDatabase(id);
}

void CatalogView::fitColumnsToContents() {
    // Every row counts, not only those on screen (the window may not be
    // shown yet): the catalog is short.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int total = 0;
    const int last = model_->columnCount() - 1;
    for (int c = 0; c <= last; ++c) {
        int content = horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < model_->rowCount(); ++r)
            content = std::max(content, itemDelegate()->sizeHint(option, model_->index(r, c)).width());
        if (showGrid()) ++content;  // the grid line takes a pixel of the cell
        if (model_->column(c) == CatalogColumn::Name || model_->column(c) == CatalogColumn::MailAddress)
            content = std::min(content, kWidestNameColumn);
        if (columnWidth(c) < content) setColumnWidth(c, content);
        // The last column stretches over what is left; it needs only its contents.
        total += c == last ? content : columnWidth(c);
    }
    setMinimumWidth(total + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
}

void CatalogView::applyColumnWidths(const std::array<std::int16_t, 5>& widths) {
    for (int c = 0; c < std::min(5, model_->columnCount() - 1); ++c)
        if (widths[static_cast<std::size_t>(c)] > 0) setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    fitColumnsToContents();
}

std::array<std::int16_t, 5> CatalogView::columnWidths() const {
    std::array<std::int16_t, 5> widths{};
    for (int c = 0; c < std::min(5, model_->columnCount()); ++c)
        widths[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(columnWidth(c));
    return widths;
}

void CatalogView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit chosen(currentRow());
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (!lastKey_.isValid() || lastKey_.elapsed() > locatorDelay_) typed_.clear();
    lastKey_.restart();
    if (typed_.size() < kLongestTypedText) typed_ += text;
    const int row = model_->locate(typed_);
    if (row >= 0) highlightRow(row);
}

}  // namespace pm
