#include "tables/access/open_close.h"

#include <array>

#include "common/globals.h"
#include "common/user_interface.h"
#include "tables/access/fatal_messages.h"
#include "tables/access/file_functions.h"
#include "tables/records/all_tables.h"
#include "tables/records/registry.h"
#include "tables/records/table_path.h"

namespace pm {

namespace {

constexpr int kHighestTableNumber = 42;
std::array<int, kHighestTableNumber + 1> useCounts{};

Table& tableOrFail(int number) {
    Table* table = tableByNumber(number);
    if (!table) fatalUnknownTable(number);
    return *table;
}

// Builds the file name of `number`, stores it in FileName and names the table.
Table& nameTable(int number) {
    Table& table = tableOrFail(number);
    std::string name = tableFileName(number);
    FileName = name;
    if (name.empty()) fatalBlankFileName(table.label());
    table.setFileName(name);
    return table;
}

void reportBadKeys(const std::string& name) {
    message("File Open Error - Bad keys", "The file " + name + " cannot be opened" + "\r\n" +
                                              "due to corrupted indices." + "\r\n" +
                                              "Automatic rebuild will take place.");
}

}  // namespace

bool discardableWhenLayoutDiffers(Table& table) {
    if (&table == &Search) return true;  // results of the last search only
    // These hold nothing worth keeping while they are empty.
    for (const Table* emptyOnly :
         {&Codes, &SIndex, &IMPFile, &FLIFile, &TIMFile, &REFFile, &TASFile, &PURFile, &BATFile})
        if (&table == emptyOnly) return table.storedRecords() == 0;  // -1: unreadable, so not known to be empty
    return false;
}

void openWithRecovery(Table& table, ShareMode mode) {
    // Messages name the table as the person finds it; a missing path is
    // named by its directory. The name is made only for a message: most
    // opens need none.
    const auto name = [&table] { return table.displayName(); };
    // Each repair is followed by a fresh attempt; every path either opens,
    // repairs or ends the program, so the loop ends.
    for (int attempt = 0;; ++attempt) {
        StorageStatus st = table.open(mode);
        switch (st) {
            case StorageStatus::Ok:
                return;
            case StorageStatus::FileNotFound:
                if (attempt > 3) fatalFileCannotBeCreated(name());
                if (table.create() != StorageStatus::Ok) fatalFileCannotBeCreated(name(), table.lastError().text);
                break;
            case StorageStatus::PathNotFound:
                fatalPathNotFound(table.fileName());
            case StorageStatus::AccessDenied:
                fatalAccessDenied(name());
            case StorageStatus::InvalidName:
                fatalInvalidFileName(name());
            case StorageStatus::BadKeys:
                reportBadKeys(name());
                if (attempt > 3 || table.buildKeys() != StorageStatus::Ok) fatalRebuildFailed(name());
                break;
            case StorageStatus::LayoutDiffers:
                // A table that gained fields at its end keeps its records.
                if (attempt <= 3 && table.extendLayout() == StorageStatus::Ok) break;
                if (attempt > 3 || !discardableWhenLayoutDiffers(table)) fatalInvalidDeclaration(name());
                useCounts[static_cast<std::size_t>(table.number())] = 0;
                table.close();
                if (table.remove() != StorageStatus::Ok) fatalInvalidDeclaration(name());
                break;
            default:
                fatalOpenError(name(), table.lastError().number(), table.lastError().text);
        }
    }
}

namespace {

// One table of an OP_CLOSE call; false only when a delete failed.
bool applyMode(int mode, int number) {
    bool ok = true;
    if (number < 0 || number > kHighestTableNumber || !tableByNumber(number)) fatalUnknownTable(number);
    int& count = useCounts[static_cast<std::size_t>(number)];
    switch (mode) {
        case ReleaseTable: {
            Table& table = tableOrFail(number);
            if (--count <= 0) {
                count = 0;
                table.close();
            }
            break;
        }
        case ForceClose:
            tableOrFail(number).close();
            count = 0;
            break;
        case OpenShared:
        case OpenExclusive: {
            if (count <= 0) {
                Table& table = nameTable(number);
                ShareMode share = mode == OpenExclusive ? ShareMode::Exclusive : ShareMode::Shared;
                // HRE and DOS are other programs' files: only ever read.
                const bool foreign = &table == &HREFile || &table == &DOSFile;
                if (mode == OpenShared && foreign) share = ShareMode::SharedReadOnly;
                // A read-only installation is read as it is; its run store in
                // a private temporary directory stays writable.
                if (mode == OpenShared && Mem.ReadOnly && table.def().location != Location::Tmp)
                    share = ShareMode::SharedReadOnly;
                openWithRecovery(table, share);
                count = 0;
            }
            ++count;
            break;
        }
        case EmptyTable:
        case PackTable: {
            Table& table = nameTable(number);
            table.close();
            openWithRecovery(table, ShareMode::DenyWrite);
            StorageStatus st = mode == EmptyTable ? table.empty() : table.pack();
            if (st != StorageStatus::Ok && mode == EmptyTable) fatalCannotEmpty(table.displayName());
            table.close();
            count = 0;
            break;
        }
        case DeleteTableFile: {
            count = 0;
            Table& table = tableOrFail(number);
            table.close();
            std::string name = tableFileName(number);
            FileName = name;
            if (!name.empty() && !DOSFunc(DeleteOneFile, name)) ok = false;
            break;
        }
        case CheckTable: {
            Table& table = nameTable(number);
            table.close();
            // A stored layout that differs is what the check reports; it
            // is not repaired here.
            if (table.checkLayout() == StorageStatus::LayoutDiffers && table.extendLayout() != StorageStatus::Ok) {
                IndexingInProgress = 1;
            } else {
                openWithRecovery(table, ShareMode::DenyWrite);
                table.close();
            }
            count = 0;
            break;
        }
        default:
            break;  // modes 8 and above do nothing
    }
    return ok;
}

}  // namespace

bool OP_CLOSE(int mode, std::initializer_list<int> tables) {
    bool ok = true;
    for (int number : tables) ok = applyMode(mode, number) && ok;
    return ok;
}

bool OP_CLOSE(int mode, const TableList& tables) {
    bool ok = true;
    for (Table* table : tables) {
        // Only the registry's own tables have use counts and file names.
        if (!table || tableByNumber(table->number()) != table) fatalUnknownTable(table ? table->number() : 0);
        ok = applyMode(mode, table->number()) && ok;
    }
    return ok;
}

TableScope::TableScope(TableList tables, int mode) { open(std::move(tables), mode); }

TableScope::~TableScope() { release(); }

TableScope::TableScope(TableScope&& other) noexcept : tables_(std::move(other.tables_)) { other.tables_.clear(); }

TableScope& TableScope::operator=(TableScope&& other) noexcept {
    if (this != &other) {
        release();
        tables_ = std::move(other.tables_);
        other.tables_.clear();
    }
    return *this;
}

void TableScope::open(TableList tables, int mode) {
    release();
    OP_CLOSE(mode, tables);
    tables_ = std::move(tables);
}

void TableScope::release() {
    if (tables_.empty()) return;
    const TableList tables = std::move(tables_);
    tables_.clear();
    OP_CLOSE(ReleaseTable, tables);
}

int useCount(int tableNumber) {
    if (tableNumber < 0 || tableNumber > kHighestTableNumber) return 0;
    return useCounts[static_cast<std::size_t>(tableNumber)];
}

int useCount(const Table& table) { return useCount(table.number()); }

void closeAllTables() {
    for (int n = 0; n <= kHighestTableNumber; ++n) {
        if (Table* t = tableByNumber(n)) t->close();
        useCounts[static_cast<std::size_t>(n)] = 0;
    }
}

}  // namespace pm
