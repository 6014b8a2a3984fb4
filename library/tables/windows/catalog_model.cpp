#include "tables/windows/catalog_model.h"

#include <QFont>
#include <QLocale>
#include <algorithm>

#include "common/fixed_text.h"

namespace pm {

namespace {

QString yesNo(bool yes) { return yes ? QStringLiteral("Yes") : QStringLiteral("No"); }

const char* heading(CatalogColumn c) {
    switch (c) {
        case CatalogColumn::Name: return "Database name";
        case CatalogColumn::Type: return "Type";
        case CatalogColumn::Directory: return "Directory";
        case CatalogColumn::DirectoryNumber: return "Dir. no.";
        case CatalogColumn::MessageCount: return "Messages";
        case CatalogColumn::CountValid: return "Counted";
        case CatalogColumn::ImportAllowed: return "Import";
        case CatalogColumn::MailAddress: return "Default mail address";
        case CatalogColumn::Owner: return "Owner id";
    }
    return "";
}

}  // namespace

QColor colourFromRgbValue(long value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

CatalogModel::CatalogModel(std::vector<CatalogColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void CatalogModel::reload(CatalogOrder order, BYTE type) {
    beginResetModel();
    order_ = order;
    rows_ = readCatalog(order, type);
    endResetModel();
}

int CatalogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CatalogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CatalogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const CatalogEntry& e = entry(index.row());
    const CatalogColumn column = columns_.at(static_cast<std::size_t>(index.column()));
    switch (role) {
        case Qt::DisplayRole:
            switch (column) {
                case CatalogColumn::Name: return QString::fromStdString(e.name);
                case CatalogColumn::Type: return QString::fromStdString(databaseTypeName(e.type));
                case CatalogColumn::Directory: return QString::fromStdString(e.directoryName());
                case CatalogColumn::DirectoryNumber: return static_cast<qulonglong>(e.dirNumber);
                case CatalogColumn::MessageCount: return QLocale().toString(static_cast<qulonglong>(e.msgCount));
                case CatalogColumn::CountValid: return yesNo(e.countFlag == 0);
                case CatalogColumn::ImportAllowed: return yesNo(e.noImport == 0);
                case CatalogColumn::MailAddress: return QString::fromStdString(e.mailAddress);
                case CatalogColumn::Owner: return static_cast<qulonglong>(e.personId);
            }
            return {};
        case Qt::ForegroundRole:
            if (e.status == StatusDelete) return delete_;
            if (e.status == StatusKeep) return keep_;
            return {};
        case Qt::FontRole:
            // A database without a directory of its own (merged into another).
            if (e.noDir) {
                QFont f;
                f.setItalic(true);
                return f;
            }
            return {};
        case Qt::TextAlignmentRole:
            if (column == CatalogColumn::MessageCount || column == CatalogColumn::DirectoryNumber ||
                column == CatalogColumn::Owner)
                return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant CatalogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return QString(heading(columns_.at(static_cast<std::size_t>(section))));
}

void CatalogModel::sort(int section, Qt::SortOrder order) {
    if (section < 0 || section >= columnCount()) return;
    const CatalogColumn c = column(section);
    // A key per row: numbers compare as numbers, texts case-blind.
    auto number = [c](const CatalogEntry& e) -> qulonglong {
        switch (c) {
            case CatalogColumn::Directory:
            case CatalogColumn::DirectoryNumber: return e.dirNumber;
            case CatalogColumn::MessageCount: return e.msgCount;
            case CatalogColumn::Owner: return e.personId;
            case CatalogColumn::Type: return e.type;
            case CatalogColumn::CountValid: return e.countFlag;
            case CatalogColumn::ImportAllowed: return e.noImport;
            default: return 0;
        }
    };
    auto text = [c](const CatalogEntry& e) {
        return QString::fromStdString(c == CatalogColumn::MailAddress ? e.mailAddress : e.name);
    };
    const bool byText = c == CatalogColumn::Name || c == CatalogColumn::MailAddress;
    emit layoutAboutToBeChanged();
    std::stable_sort(rows_.begin(), rows_.end(), [&](const CatalogEntry& a, const CatalogEntry& b) {
        const CatalogEntry& x = order == Qt::AscendingOrder ? a : b;
        const CatalogEntry& y = order == Qt::AscendingOrder ? b : a;
        if (byText) return text(x).compare(text(y), Qt::CaseInsensitive) < 0;
        return number(x) < number(y);
    });
    if (order == Qt::AscendingOrder && c == CatalogColumn::Name) order_ = CatalogOrder::ByName;
    if (order == Qt::AscendingOrder && (c == CatalogColumn::Directory || c == CatalogColumn::DirectoryNumber))
        order_ = CatalogOrder::ByDirectory;
    emit layoutChanged();
}

int CatalogModel::rowOf(ULONG id) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id) return static_cast<int>(i);
    return -1;
}

int CatalogModel::locate(const QString& typedIn) const {
    if (rows_.empty()) return -1;
    QString typed = typedIn;
    if (order_ == CatalogOrder::ByDirectory) {
        if (typed.startsWith('F', Qt::CaseInsensitive)) typed.remove(0, 1);
        bool ok = false;
        const qulonglong number = typed.trimmed().toULongLong(&ok);
        if (!ok) return 0;
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].dirNumber >= number) return static_cast<int>(i);
        return static_cast<int>(rows_.size()) - 1;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (QString::fromStdString(rows_[i].name).startsWith(typed, Qt::CaseInsensitive)) return static_cast<int>(i);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (QString::fromStdString(rows_[i].name).compare(typed, Qt::CaseInsensitive) > 0) return static_cast<int>(i);
    return static_cast<int>(rows_.size()) - 1;
}

void CatalogModel::setStatusColours(QColor keep, QColor del) {
    keep_ = keep;
    delete_ = del;
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void StatusColourDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant colour = index.data(Qt::ForegroundRole);
    if (colour.canConvert<QColor>() && colour.value<QColor>().isValid())
        option->palette.setColor(QPalette::HighlightedText, colour.value<QColor>());
}

}  // namespace pm
