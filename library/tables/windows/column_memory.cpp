#include "tables/windows/column_memory.h"

#include <QHeaderView>

#include "tables/config/browse_columns.h"

namespace pm {

ColumnMemory* ColumnMemory::attach(QHeaderView* header, int slot) {
    for (ColumnMemory* memory : header->findChildren<ColumnMemory*>(QString(), Qt::FindDirectChildrenOnly)) {
        memory->slot_ = slot;
        memory->restore();
        return memory;
    }
    return new ColumnMemory(header, slot);
}

void ColumnMemory::applyWidths(QHeaderView* header, int slot, const std::function<void()>& setWidths) {
    ColumnMemory* memory = attach(header, slot);
    memory->applyOwnWidths(setWidths);
}

ColumnMemory::ColumnMemory(QHeaderView* header, int slot) : QObject(header), header_(header), slot_(slot) {
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) { resized(column, width); });
    // A list that gets other columns (another model, a reset) gets its widths again.
    connect(header, &QHeaderView::sectionCountChanged, this, [this](int, int now) {
        if (now > 0) restore();
    });
    restore();
}

bool ColumnMemory::remembered(int column) const {
    if (column < 0 || column >= kBrowseColumns) return false;
    if (header_->stretchLastSection() && column == header_->count() - 1) return false;
    return header_->sectionResizeMode(column) == QHeaderView::Interactive;
}

void ColumnMemory::resized(int column, int width) {
    if (applying_ || !remembered(column) || header_->isSectionHidden(column)) return;
    storeBrowseColumnWidth(slot_, column, width);
}

void ColumnMemory::applyOwnWidths(const std::function<void()>& setWidths) {
    applying_ = true;
    setWidths();
    applying_ = false;
    restore();
}

void ColumnMemory::restore() {
    const BrowseColumnWidths widths = browseColumnWidths(slot_);
    applying_ = true;
    for (int c = 0; c < header_->count() && c < kBrowseColumns; ++c)
        if (widths[c] > 0 && remembered(c)) header_->resizeSection(c, widths[c]);
    applying_ = false;
}

}  // namespace pm
