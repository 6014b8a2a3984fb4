// Storage benchmark: adds MsgNmbr records with all seven keys in
// transactions of 400 writes (--batch), then positions on random key values
// and reads the next 50 records, for an ascending, a descending and a mixed
// key. Besides the average it prints the rate of the last 100,000 adds: the
// first ones are far faster while the keys still fit in few pages.
//
//   build/bench/storage_bench [--records N] [--seeks N] [--batch N] [--dir DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "storage/table.h"
#include "tables/records/message_tables.h"

using namespace pm;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string name(std::mt19937& rng) {
    static const char* syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "we", "zo", "an", "el"};
    std::string s;
    int n = 2 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) s += syllables[rng() % 12];
    s[0] = static_cast<char>(s[0] - 32);
    return s;
}

double medianMicros(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2] * 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    long records = 1000000, seeks = 10000, batch = 400;
    std::string dir = (std::filesystem::temp_directory_path() / "pm-storage-bench").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--records") records = std::atol(argv[i + 1]);
        else if (a == "--seeks") seeks = std::atol(argv[i + 1]);
        else if (a == "--batch") batch = std::max(1L, std::atol(argv[i + 1]));
        else if (a == "--dir") dir = argv[i + 1];
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "/F1");
    MsgNmbr.setFileName(dir + "/F1/IDX003.TPS");
    if (MsgNmbr.create() != StorageStatus::Ok || MsgNmbr.open() != StorageStatus::Ok) {
        std::fprintf(stderr, "cannot create %s: %s\n", MsgNmbr.fileName().c_str(), MsgNmbr.lastError().text.c_str());
        return 1;
    }

    std::mt19937 rng(42);
    std::vector<std::string> people, threads;
    for (int i = 0; i < 2000; ++i) people.push_back(name(rng));
    for (int i = 0; i < 20000; ++i) threads.push_back(name(rng));

    const long tail = std::min(records, 100000L);
    auto start = Clock::now();
    auto tailStart = start;
    beginTransaction({&MsgNmbr});
    for (long i = 0; i < records; ++i) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = static_cast<ULONG>(250000 + i);
        MSG.SECSYSID = static_cast<ULONG>(1 + rng() % 20);
        std::size_t t = rng() % threads.size();
        MSG.THREADNUMBER = static_cast<ULONG>(t + 1);
        MSG.THREADALPHA = threads[t];
        std::size_t f = rng() % people.size(), to = rng() % people.size();
        MSG.FROMID = static_cast<ULONG>(f + 1);
        MSG.FROMALPHA = people[f];
        MSG.TOID = static_cast<ULONG>(to + 1);
        MSG.TOALPHA = people[to];
        MSG.DATE = static_cast<LONG>(70000 + rng() % 10000);
        if (MsgNmbr.add() != StorageStatus::Ok) {
            std::fprintf(stderr, "add failed: %s\n", MsgNmbr.lastError().text.c_str());
            return 1;
        }
        if ((i + 1) % batch == 0) {
            if (commitTransaction() != StorageStatus::Ok) {
                std::fprintf(stderr, "commit failed\n");
                return 1;
            }
            beginTransaction({&MsgNmbr});
        }
        if (i + 1 == records - tail) tailStart = Clock::now();
    }
    if (commitTransaction() != StorageStatus::Ok) {
        std::fprintf(stderr, "commit failed\n");
        return 1;
    }
    double addSeconds = seconds(Clock::now() - start);
    std::printf("added %ld records in %.1f s: %.0f adds/s\n", records, addSeconds, records / addSeconds);
    std::printf("the last %ld adds: %.0f adds/s\n", tail, tail / seconds(Clock::now() - tailStart));

    struct KeyCase {
        const char* label;
        const KeyDef& key;
    } cases[] = {{"MSG:FromKey (asc, asc, desc)", MSG_FromKey},
                 {"MSG:IdKey (desc)", MSG_IdKey},
                 {"MSG:DateKey (desc, desc)", MSG_DateKey},
                 {"MSG:Threadkey (asc, asc, asc)", MSG_Threadkey}};
    for (const KeyCase& c : cases) {
        std::vector<double> times;
        for (long s = 0; s < seeks; ++s) {
            MsgNmbr.clear();
            std::size_t f = rng() % people.size();
            MSG.FROMALPHA = people[f];
            MSG.FROMID = static_cast<ULONG>(f + 1);
            MSG.MSGNUMBER = static_cast<ULONG>(250000 + rng() % records);
            MSG.DATE = static_cast<LONG>(70000 + rng() % 10000);
            std::size_t t = rng() % threads.size();
            MSG.THREADALPHA = threads[t];
            MSG.THREADNUMBER = static_cast<ULONG>(t + 1);
            auto t0 = Clock::now();
            MsgNmbr.setAt(c.key);
            for (int k = 0; k < 50 && MsgNmbr.next() == StorageStatus::Ok; ++k) {
            }
            times.push_back(seconds(Clock::now() - t0));
        }
        std::printf("%-32s median %.0f us per position-and-read-50\n", c.label, medianMicros(times));
    }
    closeStorage();
    std::filesystem::remove_all(dir);
    return 0;
}
