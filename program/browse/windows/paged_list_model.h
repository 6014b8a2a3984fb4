#pragma once
// A Qt list model over a PagedList: the row count is the list's, and a row
// is read (with its block) only when the view asks for it, so a list of a
// million messages opens as fast as one of ten. Rows coloured by status.
#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <vector>

#include "browse/paged_list.h"

class QTableView;

namespace pm {

class PagedListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString heading;
        std::size_t cell = 0;  // index into ListRow::cells
        int widthChars = 10;   // initial width in average characters
        bool number = false;   // right-aligned
        QString sample;        // when given, the initial width fits this text instead
        bool stretch = false;  // takes the width the other columns leave
    };

    static Column column(const char* heading, std::size_t cell, int widthChars, bool number = false,
                         const QString& sample = {}, bool stretch = false);
    // Sets the initial widths of `view`'s columns from `columns`.
    static void applyWidths(QTableView* view, const std::vector<Column>& columns);

    explicit PagedListModel(QObject* parent = nullptr);

    // Shows `list` (not owned; nullptr for none) with `columns`.
    void setList(PagedList* list, std::vector<Column> columns);
    // Shows the same list again after its rows were forgotten or it was
    // reloaded with the same columns.
    void refresh();
    const std::vector<Column>& columns() const { return columns_; }
    PagedList* list() const { return list_; }
    // The row at `row`; nullptr outside the list.
    const ListRow* rowAt(int row) const;

    // Text colours of rows whose status is Keep or Delete.
    void setStatusColours(QColor keep, QColor del);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    PagedList* list_ = nullptr;
    std::vector<Column> columns_;
    int rows_ = 0;
    QColor keep_{0, 0, 128};
    QColor delete_{255, 0, 0};
};

}  // namespace pm
