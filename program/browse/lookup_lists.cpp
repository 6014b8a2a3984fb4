#include "browse/lookup_lists.h"

#include <cstdio>

#include "browse/browse_context.h"
#include "browse/browse_rows.h"
#include "tables/records/message_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

LookupList lookupList(LookupKind kind) {
    LookupList l;
    switch (kind) {
        case LookupKind::Threads:
            Threads.clear();
            l.range = KeyRange::fromBuffer(Threads, THR_AlphaKey, 0);
            l.headings = {"Thread", "Messages"};
            l.reader = [](ListRow& row) {
                row.id = THR.THREADNUMBER;
                row.status = THR.DUMMY;
                row.cells = {threadHeading(THR), std::to_string(THR.MSGCOUNT)};
            };
            break;
        case LookupKind::Sections:
            Sections.clear();
            l.range = KeyRange::fromBuffer(Sections, SEC_SectionKey, 0);
            l.headings = {"Section", "Description", "Messages"};
            l.reader = [](ListRow& row) {
                char number[16];
                std::snprintf(number, sizeof number, "%02u", SEC.SECTIONNUMBER);
                row.id = SEC.SECSYSID;
                row.status = SEC.DUMMY;
                row.cells = {number, SEC.DESCRIPTION.str(), std::to_string(SEC.MSGCOUNT)};
            };
            break;
        case LookupKind::Persons:
        case LookupKind::PersonsByAddress:
            Person.clear();
            l.range = KeyRange::fromBuffer(Person, kind == LookupKind::Persons ? PER_NameKey : PER_AddressKey, 0);
            l.headings = {"Last name", "First name", "Address", "Sent", "Received"};
            l.reader = [](ListRow& row) {
                row.id = PER.PERSONID;
                row.status = PER.DUMMY;
                row.cells = {PER.LASTNAME.str(), PER.FIRSTNAME.str(), PER.ADDRESS.str(),
                             std::to_string(PER.FROMCOUNT), std::to_string(PER.TOCOUNT)};
            };
            break;
        case LookupKind::Words:
            WordList.clear();
            l.range = KeyRange::fromBuffer(WordList, WOR_by_theWord, 0);
            l.headings = {"Word", "Indexes"};
            l.reader = [](ListRow& row) {
                row.id = static_cast<ULONG>(WOR.WORDID);
                row.cells = {WOR.THEWORD.str(), std::to_string(WOR.WORDCOUNT)};
            };
            break;
        case LookupKind::Topics:
            Codes.clear();
            COD.TYPE = CodeTypeTopic;
            l.range = KeyRange::fromBuffer(Codes, COD_ClassKey, 1);
            l.headings = {"Topic", "Messages"};
            l.reader = [](ListRow& row) {
                row.id = COD.ID;
                row.cells = {COD.INDEX.str(), std::to_string(COD.COUNT)};
            };
            break;
    }
    return l;
}

std::string personsListTitle(BYTE databaseType, std::int64_t count) {
    const char* title = databaseType == TypeMail        ? " Mail Partners ["
                        : databaseType == TypeNewsgroup ? " Newsgroup Participants ["
                                                        : " Forum Members [";
    return title + std::to_string(count) + "]";
}

bool readLookupChoice(LookupKind kind, ULONG id) {
    switch (kind) {
        case LookupKind::Threads:
            Threads.clear();
            THR.THREADNUMBER = id;
            return Threads.get(THR_ThreadKey) == StorageStatus::Ok;
        case LookupKind::Sections:
            Sections.clear();
            SEC.SECSYSID = id;
            return Sections.get(SEC_SysIdKey) == StorageStatus::Ok;
        case LookupKind::Persons:
        case LookupKind::PersonsByAddress:
            Person.clear();
            PER.PERSONID = id;
            return Person.get(PER_PersonKey) == StorageStatus::Ok;
        case LookupKind::Words:
            WordList.clear();
            WOR.WORDID = static_cast<LONG>(id);
            return WordList.get(WOR_by_WordId) == StorageStatus::Ok;
        case LookupKind::Topics: {
            Codes.clear();
            COD.TYPE = CodeTypeTopic;
            Codes.setAt(COD_ClassKey);
            while (Codes.next() == StorageStatus::Ok && COD.TYPE == CodeTypeTopic)
                if (COD.ID == id) return true;
            return false;
        }
    }
    return false;
}

}  // namespace pm
