// Message store benchmark: a fresh installation with one forum (or
// newsgroup) database; N messages of about 2 KB are stored through
// MessageStore as the import driver does it (transactions committed after
// more than 400 writes), with persons, threads and sections created as they
// come: a pool of 3,000 senders, a new thread every fifth message, replies
// to earlier messages of the thread. Newsgroup messages carry Message-IDs
// in TempID as a parser leaves them. Then the counts are written back.
// Prints messages/second.
//
//   build/bench/store_bench [--messages N] [--newsgroup] [--dir DIR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/dates.h"
#include "common/globals.h"
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
    static const char* syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "we", "zo", "an", "el"};
    std::string s;
    const int n = 2 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) s += syllables[rng() % 12];
    return s;
}

std::string capitalised(std::string s) {
    s[0] = static_cast<char>(s[0] - 32);
    return s;
}

std::string textOfAbout2K(std::mt19937& rng) {
    std::string text;
    while (text.size() < 2000) {
        std::string line;
        while (line.size() < 70) line += word(rng) + ' ';
        text += line + "\r\n";
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    long messages = 50000;
    std::string dir = (std::filesystem::temp_directory_path() / "pm-store-bench").string();
    BYTE type = TypeForum;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--newsgroup") type = TypeNewsgroup;
        else if (a == "--messages" && i + 1 < argc) messages = std::atol(argv[++i]);
        else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) {
        std::fprintf(stderr, "cannot set up an installation in %s\n", dir.c_str());
        return 1;
    }
    OP_CLOSE(OpenShared, {&Forums, &Control});
    const ULONG database = createDatabase(type, "Benchmark Database");
    OP_CLOSE(ReleaseTable, {&Forums, &Control});
    if (database == 0 || !activateDatabase(database)) {
        std::fprintf(stderr, "cannot create the forum database\n");
        return 1;
    }

    std::mt19937 rng(7);
    std::vector<std::pair<std::string, std::string>> senders;
    for (int i = 0; i < 3000; ++i)
        senders.push_back({capitalised(word(rng)) + ' ' + capitalised(word(rng)),
                           std::to_string(70000 + i) + "," + std::to_string(100 + i % 900)});
    std::vector<std::string> texts;
    for (int i = 0; i < 64; ++i) texts.push_back(textOfAbout2K(rng));
    struct Thread {
        std::string subject;
        ULONG section;
        std::vector<ULONG> messages;
    };
    std::vector<Thread> threads;

    MessageStore store;
    TableScope storeTables(MessageStore::tablesFor(type));
    if (type == TypeNewsgroup) {
        // The parser's Message-ID pairs: message n is <n@bench>, numbered 2n;
        // its reference gets a number of its own, 2n + 1.
        OP_CLOSE(EmptyTable, {&TempID});
        OP_CLOSE(OpenShared, {&TempID});
    }
    store.beginDatabase(type, false, 0, today(), 0);
    store.resetWrites();
    if (!MessageStore::beginTransactionFor(type)) return 1;
    const auto start = WallClock::now();
    long stored = 0, commits = 0;
    for (long n = 1; n <= messages; ++n) {
        WorkRecord record;
        record.INTERNAL = database;
        record.MSGNUMBER = static_cast<ULONG>(100000 + n);
        const ULONG messageNumber = record.MSGNUMBER;
        if (threads.empty() || n % 5 == 0) {
            threads.push_back({capitalised(word(rng)) + ' ' + word(rng) + ' ' + word(rng) + " #" + std::to_string(n),
                               static_cast<ULONG>(1 + rng() % 8), {}});
        }
        Thread& thread = threads[rng() % threads.size()];
        const bool reply = !thread.messages.empty();
        record.REFNUMBER = reply ? thread.messages[rng() % thread.messages.size()] : 0;
        record.SECTIONNUMBER = thread.section;
        record.SEC_DESCRIPTION = "Section " + std::to_string(thread.section);
        if (type == TypeNewsgroup) {
            const ULONG parent = record.REFNUMBER;
            record.MSGNUMBER = static_cast<ULONG>(2 * n);
            record.SECTIONNUMBER = database;
            record.SEC_DESCRIPTION = "Benchmark Database";
            TempID.clear();
            TID.MSGNUMBER = record.MSGNUMBER;
            TID.IDSTRING = "<" + std::to_string(messageNumber) + "@bench>";
            TempID.add();
            record.REFNUMBER = 0;
            if (parent != 0) {
                TempID.clear();
                TID.MSGNUMBER = static_cast<ULONG>(2 * n + 1);
                TID.IDSTRING = "<" + std::to_string(parent) + "@bench>";
                TempID.add();
                record.REFNUMBER = TID.MSGNUMBER;
            }
        }
        record.HEADING = (reply ? "Re: " : "") + thread.subject;
        const auto& sender = senders[rng() % senders.size()];
        record.S_NAME = sender.first;
        record.S_CISADRESS = sender.second;
        const auto& receiver = senders[rng() % senders.size()];
        record.R_NAME = rng() % 3 == 0 ? std::string("All") : receiver.first;
        record.R_CISADRESS = record.R_NAME == "All" ? std::string() : receiver.second;
        record.DATE = 73000 + static_cast<LONG>(n / 500);
        record.MSGTEXT = texts[static_cast<std::size_t>(n) % texts.size()];
        const StoreOutcome out = store.store(record);
        if (out.result == StoreFatal) {
            std::fprintf(stderr, "store failed at message %ld\n", n);
            return 1;
        }
        if (out.result == StoreStored) ++stored;
        thread.messages.push_back(messageNumber);
        if (store.writes() > 400) {
            if (commitTransaction() != StorageStatus::Ok || !MessageStore::beginTransactionFor(type)) return 1;
            store.resetWrites();
            ++commits;
        }
    }
    if (commitTransaction() != StorageStatus::Ok) return 1;
    const auto storedAt = WallClock::now();

    bool failed = false;
    if (!MessageStore::beginTransactionFor(type)) return 1;
    while (!store.writePersonCounts(500, failed)) {
    }
    while (!store.writeThreadCounts(500, failed)) {
    }
    while (!store.writeSectionCounts(500, failed)) {
    }
    commitTransaction();
    store.writeDatabaseCount();
    if (type == TypeForum) IMPFile.buildKeys();
    const auto end = WallClock::now();

    const double storeSeconds = seconds(storedAt - start);
    std::printf("messages stored:    %ld (%ld commits)\n", stored, commits);
    std::printf("persons:            %lld\n", static_cast<long long>(Person.records()));
    std::printf("threads:            %lld\n", static_cast<long long>(Threads.records()));
    std::printf("store time:         %.2f s\n", storeSeconds);
    std::printf("messages/second:    %.0f\n", stored / storeSeconds);
    std::printf("count write-back:   %.2f s (with the register's key)\n", seconds(end - storedAt));
    storeTables.release();
    closeAllTables();
    closeStorage();
    std::filesystem::remove_all(dir);
    return failed ? 1 : 0;
}
