#pragma once
// The catalog as a list model for the database windows: one row per
// database in the order of a catalog key, the columns each window asks
// for, rows coloured by the database's status, and locating by typed text.
#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <vector>

#include "tables/catalog/catalog_list.h"

namespace pm {

enum class CatalogColumn {
    Name,            // FOR:DESCRIPTION
    Type,            // "Forum", "Mail", "Newsgroup"
    Directory,       // "F" + FOR:DIRNUMBER
    DirectoryNumber, // FOR:DIRNUMBER
    MessageCount,    // FOR:MSGCOUNT
    CountValid,      // "Yes" when FOR:COUNTFLAG is 0, else "No"
    ImportAllowed,   // "Yes" when FOR:NOIMPORT is 0, else "No"
    MailAddress,     // FOR:MAILADDRESS
    Owner,           // FOR:PERSONID
};

class CatalogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CatalogModel(std::vector<CatalogColumn> columns, QObject* parent = nullptr);

    // Reads the catalog again in `order` (only databases of `type` when not 0).
    void reload(CatalogOrder order, BYTE type = 0);
    CatalogOrder order() const { return order_; }
    // Puts the rows read in the order of `column` (numbers by value, texts
    // without regard to case; equal rows keep their order). Sorting by name
    // or directory makes typed text locate by that, as the tabs do.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    CatalogColumn column(int section) const { return columns_.at(static_cast<std::size_t>(section)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const CatalogEntry& entry(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    // The row of database `id`; -1 when it is not listed.
    int rowOf(ULONG id) const;

    // The row typed text leads to. By name: the first name that begins
    // with `typed` (without regard to case), else the first that sorts
    // after it. By directory: a leading "F" or "f" is skipped and the rest
    // read as a directory number; the first row at or above it. -1 when the
    // list is empty; the last row when everything sorts before `typed`.
    int locate(const QString& typed) const;

    // Text colours of rows whose database is marked Keep or Delete.
    void setStatusColours(QColor keep, QColor del);

private:
    std::vector<CatalogColumn> columns_;
    std::vector<CatalogEntry> rows_;
    CatalogOrder order_ = CatalogOrder::ByName;
    QColor keep_{0, 0, 128};
    QColor delete_{255, 0, 0};
};

// Draws a row's text colour also when the row is selected, so a status
// colour stays visible under the highlight.
class StatusColourDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// A colour from a stored RGB value (red in the lowest byte).
QColor colourFromRgbValue(long value);

}  // namespace pm
