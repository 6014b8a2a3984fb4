#include "store_fixture.h"

#include "common/globals.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/mail_database.h"
#include "tables/persons/person_store.h"
#include "tables/records/all_tables.h"

namespace pm::test {

void StoreTest::TearDown() {
    if (inTransaction()) rollbackTransaction();
    storeTables.release();
    InstallationTest::TearDown();
}

ULONG StoreTest::openDatabase(BYTE t, const std::string& name, bool allowReimport) {
    type = t;
    reimport = allowReimport;
    database = makeDatabase(t, name);
    storeTables.open(MessageStore::tablesFor(type));
    ms.beginDatabase(type, reimport, topic, ImportDate, ImportTime);
    EXPECT_TRUE(MessageStore::beginTransactionFor(type));
    return database;
}

ULONG StoreTest::openMailDatabase(const std::string& name, const std::string& address,
                                  const std::vector<std::string>& alternatives, ULONG mailTopic) {
    type = TypeMail;
    topic = mailTopic;
    database = createMailDatabase(name, address, alternatives);
    EXPECT_NE(database, 0u);
    EXPECT_TRUE(activateDatabase(database));
    storeTables.open(MessageStore::tablesFor(type));
    ms.beginDatabase(type, false, topic, ImportDate, ImportTime);
    EXPECT_TRUE(MessageStore::beginTransactionFor(type));
    return database;
}

void StoreTest::newRun(bool allowReimport) {
    commit();
    reimport = allowReimport;
    ms.beginDatabase(type, reimport, topic, ImportDate, ImportTime);
    EXPECT_TRUE(MessageStore::beginTransactionFor(type));
}

MessageBuilder StoreTest::message() const {
    MessageBuilder m(database);
    if (type == TypeNewsgroup) m.section(database, Mem.Description);
    return m;
}

StoreOutcome StoreTest::store(const MessageBuilder& m) {
    stored = m.record();
    return ms.store(stored);
}

void StoreTest::commit() {
    if (inTransaction()) {
        EXPECT_EQ(commitTransaction(), StorageStatus::Ok);
    }
}

void StoreTest::finishDatabase() {
    commit();
    bool failed = false;
    auto run = [&](auto step) {
        EXPECT_TRUE(MessageStore::beginTransactionFor(type));
        int guard = 0;
        while (!(ms.*step)(2, failed) && ++guard < 10000) {
        }
        EXPECT_FALSE(failed);
        commit();
    };
    run(&MessageStore::writeCarbonCopies);
    run(&MessageStore::writePersonCounts);
    run(&MessageStore::writeThreadCounts);
    run(&MessageStore::writeSectionCounts);
    EXPECT_TRUE(ms.writeDatabaseCount());
}

bool StoreTest::header(ULONG number) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok;
}

bool StoreTest::mail(ULONG number) {
    Mail.clear();
    MAI.MAILID = number;
    return Mail.get(MAI_IdKey) == StorageStatus::Ok;
}

bool StoreTest::person(ULONG id) {
    Person.clear();
    PER.PERSONID = id;
    return Person.get(PER_PersonKey) == StorageStatus::Ok;
}

bool StoreTest::thread(ULONG number) {
    Threads.clear();
    THR.THREADNUMBER = number;
    return Threads.get(THR_ThreadKey) == StorageStatus::Ok;
}

std::string StoreTest::storedText(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) != StorageStatus::Ok) return "<none>";
    return TXT.MsgText;
}

ULONG StoreTest::personIdOf(const std::string& name, const std::string& address) {
    Person.clear();
    PER.PERSONSTRING = personString(name, address);
    return Person.get(PER_StringKey) == StorageStatus::Ok ? PER.PERSONID : 0;
}

}  // namespace pm::test
