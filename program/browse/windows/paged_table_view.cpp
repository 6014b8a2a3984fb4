#include "browse/windows/paged_table_view.h"

#include <QHeaderView>

namespace pm {

PagedTableView::PagedTableView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    setAlternatingRowColors(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void PagedTableView::setLocator(std::function<void(const QString&)> locator, int resetMilliseconds) {
    locator_ = std::move(locator);
    resetMilliseconds_ = resetMilliseconds > 0 ? resetMilliseconds : 1500;
}

void PagedTableView::keyboardSearch(const QString& search) {
    if (!locator_ || search.isEmpty()) return;
    if (!sinceTyped_.isValid() || sinceTyped_.elapsed() > resetMilliseconds_) typed_.clear();
    sinceTyped_.start();
    typed_ += search;
    locator_(typed_);
}

void PagedTableView::goToRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    const QModelIndex index = model()->index(row, 0);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

int PagedTableView::visibleRows() const {
    const int h = verticalHeader()->defaultSectionSize();
    return h > 0 ? std::max(1, viewport()->height() / h) : 1;
}

}  // namespace pm

namespace pm {

QModelIndex PagedTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (!model() || model()->rowCount() == 0 || (action != MoveHome && action != MoveEnd))
        return QTableView::moveCursor(action, modifiers);
    const int column = std::max(0, currentIndex().column());
    return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
}

}  // namespace pm
