// Builds an installation for the browse benchmark: a forum database and a
// mail database of N messages each, stored through the message store as an
// import stores them (transactions committed after more than 400 writes,
// counts written back). The forum has 8 sections, a pool of 3,000 senders
// (some with accented names), a new thread every fifth message with
// replies to earlier messages of their thread, and one thread ("Big
// thread") that every 1,000th message joins, for the thread tree. Texts
// are short (about 300 bytes): the benchmark reads headers.
//
//   build/bench/browse_corpus --dir DIR [--messages N]      (default 1,000,000)
//
// Then: build/bench/browse_bench --dir DIR
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/globals.h"
#include "import/addresses/mailbox_addresses.h"
#include "tables/catalog/mail_database.h"
#include "import/store/message_store.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/config/installation.h"
#include "tables/records/all_tables.h"

using namespace pm;
using WallClock = std::chrono::steady_clock;

namespace {

double seconds(WallClock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string word(std::mt19937& rng) {
    static const char* syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "we", "zo", "an", "el", "ü", "é"};
    std::string s;
    const int n = 2 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) s += syllables[rng() % 14];
    return s;
}

std::string capitalised(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 32);
    return s;
}

struct Sender {
    std::string name, address;
};

std::vector<Sender> senderPool(std::mt19937& rng, bool mail) {
    std::vector<Sender> pool;
    for (int i = 0; i < 3000; ++i) {
        const std::string first = capitalised(word(rng)), last = capitalised(word(rng));
        pool.push_back({first + ' ' + last, mail ? first + "." + std::to_string(i) + "@example.org"
                                                 : std::to_string(70000 + i) + "," + std::to_string(100 + i % 900)});
    }
    return pool;
}

std::string shortText(std::mt19937& rng) {
    std::string text;
    while (text.size() < 300) {
        std::string line;
        while (line.size() < 60) line += word(rng) + ' ';
        text += line + "\r\n";
    }
    return text;
}

// Commits when more than 400 writes wait; false when a commit fails.
bool commitWhenDue(MessageStore& store, BYTE type) {
    if (store.writes() <= 400) return true;
    if (commitTransaction() != StorageStatus::Ok || !MessageStore::beginTransactionFor(type)) return false;
    store.resetWrites();
    return true;
}

bool finish(MessageStore& store, BYTE type) {
    if (commitTransaction() != StorageStatus::Ok) return false;
    bool failed = false;
    if (!MessageStore::beginTransactionFor(type)) return false;
    while (!store.writeCarbonCopies(500, failed)) {
    }
    while (!store.writePersonCounts(500, failed)) {
    }
    while (!store.writeThreadCounts(500, failed)) {
    }
    while (!store.writeSectionCounts(500, failed)) {
    }
    if (failed || commitTransaction() != StorageStatus::Ok) return false;
    return store.writeDatabaseCount();
}

bool fillForum(ULONG database, long messages, std::mt19937& rng) {
    const std::vector<Sender> senders = senderPool(rng, false);
    std::vector<std::string> texts;
    for (int i = 0; i < 32; ++i) texts.push_back(shortText(rng));
    struct Thread {
        std::string subject;
        ULONG section;
        std::vector<ULONG> messages;
    };
    std::vector<Thread> threads;
    Thread big{"Big thread about everything", 1, {}};

    MessageStore store;
    const TableScope tables(MessageStore::tablesFor(TypeForum));
    store.beginDatabase(TypeForum, false, 0, 73500, 0);
    store.resetWrites();
    if (!MessageStore::beginTransactionFor(TypeForum)) return false;
    WorkRecord record;
    for (long n = 1; n <= messages; ++n) {
        record.clear();
        record.INTERNAL = database;
        record.MSGNUMBER = static_cast<ULONG>(100000 + n);
        if (threads.empty() || n % 5 == 0)
            threads.push_back({capitalised(word(rng)) + ' ' + word(rng) + ' ' + word(rng) + " #" + std::to_string(n),
                               static_cast<ULONG>(1 + rng() % 8), {}});
        Thread& thread = n % 1000 == 0 ? big : threads[threads.size() - 1 - rng() % std::min<std::size_t>(threads.size(), 50)];
        const bool reply = !thread.messages.empty();
        record.REFNUMBER = reply ? thread.messages[rng() % thread.messages.size()] : 0;
        record.SECTIONNUMBER = thread.section;
        record.SEC_DESCRIPTION = "Section " + std::to_string(thread.section);
        record.HEADING = (reply ? "Re: " : "") + thread.subject;
        const Sender& sender = senders[rng() % senders.size()];
        record.S_NAME = sender.name;
        record.S_CISADRESS = sender.address;
        const Sender& receiver = senders[rng() % senders.size()];
        const bool all = rng() % 3 == 0;
        record.R_NAME = all ? std::string("All") : receiver.name;
        record.R_CISADRESS = all ? std::string() : receiver.address;
        record.DATE = 70000 + static_cast<LONG>(n / 300);
        record.MSGTEXT = texts[static_cast<std::size_t>(n) % texts.size()];
        if (store.store(record).result == StoreFatal) return false;
        thread.messages.push_back(static_cast<ULONG>(100000 + n));
        if (!commitWhenDue(store, TypeForum)) return false;
        if (n % 100000 == 0) std::fprintf(stderr, "forum: %ld\n", n);
    }
    return finish(store, TypeForum);
}

bool fillMail(ULONG database, long messages, std::mt19937& rng) {
    const std::vector<Sender> partners = senderPool(rng, true);
    std::vector<std::string> texts;
    for (int i = 0; i < 32; ++i) texts.push_back(shortText(rng));
    MessageStore store;
    const TableScope tables(MessageStore::tablesFor(TypeMail));
    store.beginDatabase(TypeMail, false, 0, 73500, 0);
    store.resetWrites();
    if (!MessageStore::beginTransactionFor(TypeMail)) return false;
    WorkRecord record;
    for (long n = 1; n <= messages; ++n) {
        record.clear();
        record.INTERNAL = database;
        record.REFNUMBER = static_cast<ULONG>(500000 + n);  // the mail's number
        const Sender& partner = partners[rng() % partners.size()];
        const bool received = rng() % 4 != 0;
        record.MAILTYPE = received ? MailReceived : MailSent;
        record.S_NAME = received ? partner.name : std::string("Mary Owner");
        record.S_CISADRESS = received ? partner.address : std::string("owner@example.org");
        record.R_NAME = received ? std::string("Mary Owner") : partner.name;
        record.R_CISADRESS = received ? std::string("owner@example.org") : partner.address;
        record.HEADING = (rng() % 3 == 0 ? "Re: " : "") + capitalised(word(rng)) + ' ' + word(rng) + ' ' + word(rng);
        record.DATE = 70000 + static_cast<LONG>(n / 300);
        record.TIME = static_cast<LONG>(rng() % 8640000);
        record.MSGTEXT = texts[static_cast<std::size_t>(n) % texts.size()];
        if (store.store(record).result == StoreFatal) return false;
        if (!commitWhenDue(store, TypeMail)) return false;
        if (n % 100000 == 0) std::fprintf(stderr, "mail: %ld\n", n);
    }
    return finish(store, TypeMail);
}

}  // namespace

int main(int argc, char** argv) {
    long messages = 1000000;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--messages" && i + 1 < argc) messages = std::atol(argv[++i]);
        else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
    }
    if (dir.empty()) {
        std::fprintf(stderr, "usage: browse_corpus --dir DIR [--messages N]\n");
        return 2;
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) {
        std::fprintf(stderr, "cannot set up an installation in %s\n", dir.c_str());
        return 1;
    }
    std::mt19937 rng(11);
    const auto start = WallClock::now();
    OP_CLOSE(OpenShared, {Forums.number(), Control.number()});
    const ULONG forum = createDatabase(TypeForum, "Big Forum");
    OP_CLOSE(ReleaseTable, {Forums.number(), Control.number()});
    if (forum == 0 || !activateDatabase(forum) || !fillForum(forum, messages, rng)) {
        std::fprintf(stderr, "filling the forum failed\n");
        return 1;
    }
    closeAllTables();
    const auto forumDone = WallClock::now();
    const ULONG mail = createMailDatabase("Big Mail", "owner@example.org", {});
    if (mail == 0 || !activateDatabase(mail) || !fillMail(mail, messages, rng)) {
        std::fprintf(stderr, "filling the mail database failed\n");
        return 1;
    }
    closeAllTables();
    closeStorage();
    std::printf("forum \"Big Forum\":  %ld messages in %.1f s\n", messages, seconds(forumDone - start));
    std::printf("mail \"Big Mail\":    %ld mails in %.1f s\n", messages, seconds(WallClock::now() - forumDone));
    return 0;
}
