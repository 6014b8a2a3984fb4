#pragma once
// The list of databases shown by the database windows: whole-row
// selection, status colours also under the highlight, locating by typed
// text (reset after the locator delay), Enter or a double click to choose.
// A click on a column heading sorts by that column (again: the other way);
// columns are never narrower than what they show.
#include <QElapsedTimer>
#include <QTableView>

#include "tables/windows/catalog_model.h"

namespace pm {

class CatalogView : public QTableView {
    Q_OBJECT
public:
    explicit CatalogView(CatalogModel* model, QWidget* parent = nullptr);

    CatalogModel* catalog() const { return model_; }
    // The highlighted row; -1 when none.
    int currentRow() const;
    // Highlights `row` (clamped to the list) and scrolls to it.
    void highlightRow(int row);
    // Highlights database `id` when listed, else the first row.
    void highlightDatabase(ULONG id);
    // The entry of the highlighted row; nullptr when none.
    const CatalogEntry* currentEntry() const;

    // Milliseconds after which typed text starts afresh.
    void setLocatorDelay(int milliseconds) { locatorDelay_ = milliseconds; }
    QString typedText() const { return typed_; }

    // Reads the catalog again in key order (no column sort) and highlights
    // the same database.
    void reload(CatalogOrder order, BYTE type = 0);

    // Column widths from and to the stored settings (up to five columns);
    // a stored width narrower than the column's contents gives way to them.
    void applyColumnWidths(const std::array<std::int16_t, 5>& widths);
    // Widens every column to its heading and contents (a name column at
    // most to kWidestNameColumn) and makes the list wide enough to show
    // them all.
    void fitColumnsToContents();
    static constexpr int kWidestNameColumn = 320;
    std::array<std::int16_t, 5> columnWidths() const;

signals:
    // Enter or a double click on `row`.
    void chosen(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CatalogModel* model_;
    QString typed_;
    QElapsedTimer lastKey_;
    int locatorDelay_ = 1500;
};

}  // namespace pm
