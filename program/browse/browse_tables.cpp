#include "browse/browse_tables.h"

#include "tables/access/open_close.h"
#include "tables/records/all_tables.h"
#include "tables/records/table_path.h"

namespace pm {

namespace {

// Whether the word-index table exists, without creating it.
bool present(Table& table) {
    if (table.isOpen()) return true;
    table.setFileName(tableFileName(table.number()));
    return table.exists();
}

}  // namespace

BrowseTables::BrowseTables(BYTE type, Scope scope) {
    std::vector<Table*> tables = {&Forums, &Person};
    if (type == TypeMail) tables.push_back(&Mail);
    else tables.insert(tables.end(), {&MsgNmbr, &Sections, &Threads});
    if (scope == Scope::Browse) tables.insert(tables.end(), {&MsgText, &Codes, &SIndex, &Search});
    // The Internet identifiers of newsgroup messages, for their copies.
    if (scope == Scope::Browse && type == TypeNewsgroup) tables.push_back(&MsgString);
    for (Table* t : tables) add(*t);
    if (scope == Scope::Browse) addWordIndex();
}

void BrowseTables::add(Table& table) {
    OP_CLOSE(OpenShared, {table.number()});
    numbers_.push_back(table.number());
}

bool BrowseTables::addWordIndex() {
    if (wordIndex_) return true;
    wordIndex_ = present(WordList) && present(MasIdx);
    if (wordIndex_) {
        add(WordList);
        add(MasIdx);
    }
    return wordIndex_;
}

BrowseTables::~BrowseTables() {
    for (int n : numbers_) OP_CLOSE(ReleaseTable, {n});
}

bool readMessageHeader(BYTE type, ULONG number) {
    if (type == TypeMail) {
        Mail.clear();
        MAI.MAILID = number;
        return Mail.get(MAI_IdKey) == StorageStatus::Ok;
    }
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
}

}  // namespace pm
