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

BrowseTables::BrowseTables(BYTE type) {
    numbers_ = {Forums.number(), MsgText.number(), Person.number(), Codes.number(), SIndex.number(),
                Search.number()};
    if (type == TypeMail) {
        numbers_.push_back(Mail.number());
    } else {
        numbers_.push_back(MsgNmbr.number());
        numbers_.push_back(Sections.number());
        numbers_.push_back(Threads.number());
    }
    wordIndex_ = present(WordList) && present(MasIdx);
    if (wordIndex_) {
        numbers_.push_back(WordList.number());
        numbers_.push_back(MasIdx.number());
    }
    for (int n : numbers_) OP_CLOSE(OpenShared, {n});
}

BrowseTables::~BrowseTables() {
    for (int n : numbers_) OP_CLOSE(ReleaseTable, {n});
}

}  // namespace pm
