#pragma once
// Keeps the widths a person gives the columns of a list for the next time
// the list opens (browse_columns.h holds them).
//
// Attached to a list's header, it lays the stored widths over the list's
// own ones at once and whenever the columns come anew, and keeps every
// width the person sets from then on. Columns that stretch or fit their
// contents, and the last one when it fills the rest of the list, follow the
// window and are neither stored nor restored.
#include <QObject>
#include <functional>

class QHeaderView;

namespace pm {

class ColumnMemory : public QObject {
    Q_OBJECT
public:
    // Attaches to `header` (owned by it) for list slot `slot`; a header
    // that has its memory already keeps it, now for `slot`.
    static ColumnMemory* attach(QHeaderView* header, int slot);
    // Gives `header` the list's own widths through `setWidths`, then the
    // stored widths of `slot` over them (attaching when not yet attached).
    static void applyWidths(QHeaderView* header, int slot, const std::function<void()>& setWidths);

    // Runs `setWidths`, which gives the columns the list's own widths,
    // without taking those as the person's, then restores the stored ones.
    void applyOwnWidths(const std::function<void()>& setWidths);
    // Lays the stored widths over the columns.
    void restore();
    int slot() const { return slot_; }

private:
    ColumnMemory(QHeaderView* header, int slot);
    bool remembered(int column) const;
    void resized(int column, int width);

    QHeaderView* header_;
    int slot_;
    bool applying_ = false;
};

}  // namespace pm
