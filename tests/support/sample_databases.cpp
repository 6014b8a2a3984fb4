#include "support/sample_databases.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/globals.h"
#include "import/addresses/mailbox_addresses.h"
#include "tables/catalog/mail_database.h"
#include "import/store/message_store.h"
#include "storage/table.h"
#include "support/message_builder.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/records/all_tables.h"

namespace pm::test {

namespace {

constexpr LONG ImportDay = 73200;

// Stores `messages` into the active database of `type` and writes the
// counts back, as an import run finishes a database.
void storeAll(BYTE type, const std::vector<MessageBuilder>& messages, const std::vector<std::pair<ULONG, std::string>>& ids = {}) {
    MessageStore store;
    const TableScope tables(MessageStore::tablesFor(type));
    for (const auto& [number, id] : ids) addTempId(number, id);
    store.beginDatabase(type, false, 0, ImportDay, 0);
    ASSERT_TRUE(MessageStore::beginTransactionFor(type));
    for (const MessageBuilder& m : messages) {
        WorkRecord record = m.record();
        ASSERT_EQ(store.store(record).result, StoreStored) << m.record().MSGNUMBER;
    }
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    bool failed = false;
    ASSERT_TRUE(MessageStore::beginTransactionFor(type));
    while (!store.writeCarbonCopies(100, failed)) {
    }
    while (!store.writePersonCounts(100, failed)) {
    }
    while (!store.writeThreadCounts(100, failed)) {
    }
    while (!store.writeSectionCounts(100, failed)) {
    }
    ASSERT_FALSE(failed);
    ASSERT_EQ(commitTransaction(), StorageStatus::Ok);
    ASSERT_TRUE(store.writeDatabaseCount());
}

ULONG createAndActivate(BYTE type, const std::string& name) {
    OP_CLOSE(OpenShared, {Forums.number(), Control.number()});
    const ULONG id = createDatabase(type, name);
    OP_CLOSE(ReleaseTable, {Forums.number(), Control.number()});
    EXPECT_NE(id, 0u) << name;
    EXPECT_TRUE(activateDatabase(id));
    return id;
}

std::string longText() {
    std::string text;
    for (int line = 0; text.size() < 30000; ++line)
        text += "Line " + std::to_string(line) + " of a long message about power supplies and their ripple.\r\n";
    return text.substr(0, 30000);
}

}  // namespace

ULONG makeSampleForum(const std::string& name) {
    const ULONG id = createAndActivate(TypeForum, name);
    auto msg = [&](ULONG n, ULONG section, ULONG ref, const std::string& subject, const std::string& from,
                   const std::string& fromAddress, const std::string& to, const std::string& toAddress, LONG date) {
        return MessageBuilder(id).number(n).replyTo(ref).section(section, section == 1 ? "General" : "Hardware")
            .subject(subject).from(from, fromAddress).to(to, toAddress).date(date)
            .text("Text of message " + std::to_string(n) + ".\r\nSecond line.");
    };
    const std::string smith = "12345,678", muller = "22222,1", adams = "33333,3";
    std::vector<MessageBuilder> messages = {
        msg(100, 1, 0, "Hello", "John Smith", smith, "All", "", 73000),
        msg(101, 1, 100, "Re: Hello", "Ärger Müller", muller, "John Smith", smith, 73001),
        msg(102, 1, 101, "Re: Hello", "Zoë Adams", adams, "Ärger Müller", muller, 73002),
        msg(103, 1, 100, "Re: Hello", "John Smith", smith, "Zoë Adams", adams, 73002),
        msg(105, 1, 999, "Hello", "John Smith", smith, "All", "", 73003),
        msg(110, 2, 0, LongSubject, "Zoë Adams", adams, "All", "", 73005),
        msg(111, 2, 110, std::string("Re: ") + LongSubject, "Ärger Müller", muller, "Zoë Adams", adams, 73006),
        msg(120, 2, 0, "Power supply", "John Smith", smith, "Ärger Müller", muller, 72990).text(longText()),
    };
    storeAll(TypeForum, messages);
    return id;
}

ULONG makeSampleNewsgroup(const std::string& name) {
    const ULONG id = createAndActivate(TypeNewsgroup, name);
    auto msg = [&](ULONG n, ULONG ref, const std::string& subject, const std::string& from,
                   const std::string& address, LONG date) {
        return MessageBuilder(id).number(n).replyTo(ref).section(id, name).subject(subject).from(from, address)
            .to(name).date(date).text("Posting " + std::to_string(n) + "\r\n-- \r\nsig");
    };
    std::vector<MessageBuilder> messages = {
        msg(11, 0, "Parsing dates", "Hans Wüst", "hans@wuest.de", 73050),
        msg(12, 11, "Re: Parsing dates", "Ana Núñez", "ana@nunez.es", 73051),
        msg(13, 12, "Re: Parsing dates", "Hans Wüst", "hans@wuest.de", 73052),
        msg(14, 0, "Ünïcödé subjects", "Ana Núñez", "ana@nunez.es", 73053),
    };
    storeAll(TypeNewsgroup, messages,
             {{11, "<11@test>"}, {12, "<12@test>"}, {13, "<13@test>"}, {14, "<14@test>"}});
    return id;
}

ULONG makeSampleMail(const std::string& name) {
    const ULONG id = createMailDatabase(name, "me@home.org", {});
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(activateDatabase(id));
    auto mail = [&](ULONG n, BYTE type, const std::string& subject, const std::string& from,
                    const std::string& fromAddress, const std::string& to, const std::string& toAddress, LONG date,
                    LONG time) {
        return MessageBuilder(id).replyTo(n).mailType(type).subject(subject).from(from, fromAddress)
            .to(to, toAddress).date(date).time(time).text("Mail " + std::to_string(n) + "\r\nRegards");
    };
    std::vector<MessageBuilder> mails = {
        mail(1001, MailReceived, "Hello World", "Fred Foreign", "fred@else.org", "Mary Me", "me@home.org", 73100,
             10 * 360000 + 6000),
        mail(1002, MailSent, "Re: Hello World", "Mary Me", "me@home.org", "Fred Foreign", "fred@else.org", 73100,
             11 * 360000 + 30 * 6000),
        mail(1003, MailReceived, MailLongSubject, "Émile Zola", "emile@zola.fr", "Mary Me", "me@home.org", 73101,
             9 * 360000 + 15 * 6000),
        mail(1004, MailReceived, "Question", "", "bob@b.org", "Mary Me", "me@home.org", 73099, 23 * 360000 + 59 * 6000),
    };
    storeAll(TypeMail, mails);
    return id;
}

ULONG personNamed(const std::string& last) {
    Person.clear();
    Person.set(PER_PersonKey);
    while (Person.next() == StorageStatus::Ok)
        if (PER.LASTNAME.str() == last) return PER.PERSONID;
    return 0;
}

ULONG threadOf(ULONG message) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = message;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok ? MSG.THREADNUMBER : 0;
}

ULONG sectionOf(ULONG message) {
    MsgNmbr.clear();
    MSG.MSGNUMBER = message;
    return MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok ? MSG.SECSYSID : 0;
}

}  // namespace pm::test
