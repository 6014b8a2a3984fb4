// Word index benchmark: a database of synthetic ~2 KB messages over a
// Zipf-distributed vocabulary, a full indexing run, and the search kinds.
//
//   index_bench create ROOT N [--seed S] [--words W] [--mbox FILE]
//       a new installation at ROOT with one forum database "Bench" of N
//       messages (threads of five, a signature after an empty line); prints
//       the size an mbox of the same messages takes (and writes it with --mbox)
//   index_bench index ROOT [--batch B] [--buffer MB]
//       a full indexing run; time, messages a second, peak memory, store growth
//   index_bench search ROOT [--repeat R]
//       in-process times of the five search kinds, with words picked from the
//       index: a rare word, a phrase of two adjacent mid-frequency words, two
//       mid-frequency words, a prefix with several words, and a word in about
//       a fifth of the messages (every block gathered)
//
// Each subcommand is its own process, so the peak memory is the run's own.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/active_database.h"
#include "tables/catalog/database_creation.h"
#include "tables/config/installation.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/all_tables.h"
#include "wordindex/index_run.h"
#include "wordindex/word_breaker.h"
#include "wordindex/word_query.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

std::uintmax_t fileSize(const std::string& path) {
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    return ec ? 0 : n;
}

// A vocabulary of distinct pseudo-words, shorter ones first (the frequent
// words of a language are short), sampled with Zipf weights 1/rank.
class Vocabulary {
public:
    Vocabulary(std::size_t size, std::mt19937& random) {
        static const char* onsets[] = {"b", "c", "d", "f", "g", "h", "k", "l", "m", "n", "p", "r", "s", "t", "v",
                                       "w", "st", "tr", "br", "ch", "sh", "th", "pl", "gr", "cl", ""};
        static const char* vowels[] = {"a", "e", "i", "o", "u", "ea", "ou", "ai", "io", "y"};
        static const char* codas[] = {"", "", "", "n", "r", "s", "t", "l", "nd", "ng", "st", "ck", "m"};
        std::set<std::string> seen;
        std::geometric_distribution<int> syllables(0.45);
        while (words_.size() < size) {
            std::string w;
            const int n = 1 + std::min(syllables(random), 4);
            for (int s = 0; s < n; ++s) {
                w += onsets[random() % std::size(onsets)];
                w += vowels[random() % std::size(vowels)];
                w += codas[random() % std::size(codas)];
            }
            if (seen.insert(w).second) words_.push_back(w);
        }
        std::stable_sort(words_.begin(), words_.end(),
                         [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        double sum = 0;
        for (std::size_t rank = 1; rank <= size; ++rank) {
            sum += 1.0 / static_cast<double>(rank);
            cumulative_.push_back(sum);
        }
    }

    const std::string& sample(std::mt19937& random) const {
        std::uniform_real_distribution<double> u(0.0, cumulative_.back());
        const auto at = std::upper_bound(cumulative_.begin(), cumulative_.end(), u(random)) - cumulative_.begin();
        return words_[std::min<std::size_t>(static_cast<std::size_t>(at), words_.size() - 1)];
    }

private:
    std::vector<std::string> words_;
    std::vector<double> cumulative_;
};

std::string messageText(const Vocabulary& vocabulary, std::mt19937& random) {
    std::string text;
    std::size_t line = 0;
    bool sentenceStart = true;
    while (text.size() < 1950) {
        std::string w = vocabulary.sample(random);
        if (sentenceStart) w[0] = static_cast<char>(w[0] - 32);
        sentenceStart = random() % 12 == 0;
        if (line + w.size() > 70) {
            text += "\r\n";
            line = 0;
        } else if (line > 0) {
            text += ' ';
            ++line;
        }
        text += w;
        line += w.size();
        if (sentenceStart) {
            text += '.';
            ++line;
        } else if (random() % 15 == 0) {
            text += ',';
            ++line;
        }
    }
    text += "\r\n\r\n-- " + vocabulary.sample(random) + " " + vocabulary.sample(random);
    return text;
}

int usage() {
    std::fprintf(stderr,
                 "usage: index_bench create ROOT N [--seed S] [--words W] [--mbox FILE]\n"
                 "       index_bench index ROOT [--batch B] [--buffer MB]\n"
                 "       index_bench search ROOT [--repeat R]\n");
    return 2;
}

std::string option(std::vector<std::string>& args, const std::string& name, const std::string& fallback) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) {
            std::string v = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return v;
        }
    return fallback;
}

bool openBench(const std::string& root) {
    if (pm::runStartupSettings(root, nullptr) == pm::StartupOutcome::Aborted) return false;
    pm::OP_CLOSE(pm::OpenShared, {&pm::Forums});
    pm::Forums.set(pm::FOR_DirKey);
    const bool found = pm::Forums.next() == pm::StorageStatus::Ok;
    const pm::ULONG id = pm::FOR.ID;
    pm::OP_CLOSE(pm::ReleaseTable, {&pm::Forums});
    return found && pm::activateDatabase(id);
}

int create(const std::string& root, long count, std::vector<std::string>& args) {
    const unsigned seed = static_cast<unsigned>(std::stoul(option(args, "--seed", "1")));
    const std::size_t vocabularySize = std::stoul(option(args, "--words", "50000"));
    const std::string mboxPath = option(args, "--mbox", "");
    std::filesystem::create_directories(root);
    if (pm::runStartupSettings(root, nullptr) == pm::StartupOutcome::Aborted) return 1;
    pm::OP_CLOSE(pm::OpenShared, {&pm::Forums, &pm::Control});
    const pm::ULONG id = pm::createDatabase(pm::TypeForum, "Bench");
    pm::OP_CLOSE(pm::ReleaseTable, {&pm::Forums, &pm::Control});
    if (id == 0 || !pm::activateDatabase(id)) return 1;

    std::mt19937 random(seed);
    const Vocabulary vocabulary(vocabularySize, random);
    std::ofstream mbox;
    if (!mboxPath.empty()) mbox.open(mboxPath, std::ios::binary);
    std::uintmax_t mboxBytes = 0, textBytes = 0;
    const auto started = Clock::now();
    pm::OP_CLOSE(pm::OpenShared, {&pm::MsgNmbr, &pm::MsgText, &pm::Threads, &pm::Control});
    std::string heading;
    pm::ULONG thread = 0;
    for (long i = 0; i < count; ++i) {
        if (i % 5000 == 0) {
            if (i) pm::commitTransaction();
            pm::beginTransaction({&pm::MsgText, &pm::MsgNmbr, &pm::Threads, &pm::Control});
        }
        if (i % 5 == 0) {
            heading.clear();
            for (int w = 0; w < 4; ++w) heading += (w ? " " : "") + vocabulary.sample(random);
            thread = pm::NextNr();
            pm::Threads.clear();
            pm::THR.THREADNUMBER = thread;
            pm::THR.HEADING = heading;
            pm::Threads.add();
        }
        const std::string text = messageText(vocabulary, random);
        const pm::ULONG number = pm::NextNr();
        pm::MsgText.clear();
        pm::TXT.MSGNUMBER = number;
        pm::TXT.MsgText = text;
        pm::MsgText.add();
        pm::MsgNmbr.clear();
        pm::MSG.MSGNUMBER = number;
        pm::MSG.THREADNUMBER = thread;
        pm::MsgNmbr.add();

        // The message as an mbox would hold it.
        std::string body = text;
        body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
        const std::string entry = "From bench@example.com Sat Jan  6 10:00:00 2001\nFrom: Bench Writer <bench@example.com>\n"
                                  "Newsgroups: bench.words\nSubject: " + std::string(i % 5 ? "Re: " : "") + heading +
                                  "\nDate: Sat, 6 Jan 2001 10:00:00 +0000\nMessage-ID: <" + std::to_string(number) +
                                  "@example.com>\n\n" + body + "\n\n";
        mboxBytes += entry.size();
        textBytes += text.size();
        if (mbox) mbox << entry;
    }
    pm::commitTransaction();
    pm::OP_CLOSE(pm::ReleaseTable, {&pm::MsgNmbr, &pm::MsgText, &pm::Threads, &pm::Control});
    std::printf("created %ld messages in %.1f s: texts %.1f MB, mbox %.1f MB (%.0f bytes a message)\n", count,
                seconds(started), static_cast<double>(textBytes) / 1e6, static_cast<double>(mboxBytes) / 1e6,
                static_cast<double>(mboxBytes) / static_cast<double>(count));
    std::printf("mbox_bytes=%ju\n", mboxBytes);
    return 0;
}

int index(const std::string& root, std::vector<std::string>& args) {
    if (!openBench(root)) return 1;
    const std::string store = pm::activeWordIndexDirectory() + "/" + pm::kStoreFileName;
    const std::uintmax_t before = fileSize(store);
    pm::IndexRunOptions options;
    options.indexType = 1;
    options.batchSize = std::stoi(option(args, "--batch", "2000"));
    options.bufferBytes = std::stoul(option(args, "--buffer", "48")) << 20;
    pm::Mem.DoTask = 2;  // unattended: no question before replacing an index
    const auto started = Clock::now();
    pm::IndexRun run(pm::Mem.ForumNumber, pm::Mem.ForumType, options);
    runToEnd(run);
    const double elapsed = seconds(started);
    const pm::IndexRunSummary& s = run.summary();
    pm::closeAllTables();
    pm::closeStorage();
    const std::uintmax_t after = fileSize(store);
    std::printf("indexed %lld messages in %.2f s = %.0f messages/s (result %d, %d flushes)\n", s.messagesIndexed,
                elapsed, static_cast<double>(s.messagesIndexed) / elapsed, run.result(), s.flushes);
    std::printf("occurrences %lld (%.1f a message), new words %lld, automatic stop words %lld\n", s.occurrences,
                static_cast<double>(s.occurrences) / static_cast<double>(std::max(1LL, s.messagesIndexed)),
                s.newWords, s.stopWordsMoved);
    std::printf("store grew by %.1f MB (%.0f bytes a message); peak memory %ld MB\n",
                static_cast<double>(after - before) / 1e6,
                static_cast<double>(after - before) / static_cast<double>(std::max(1LL, s.messagesIndexed)),
                peakMegabytes());
    return run.result() == 1 ? 0 : 1;
}

// Answers every pause question with "go on", as `search --all` does.
class ContinuingInterface final : public pm::UserInterface {
public:
    pm::Button message(const pm::MessageRequest& request) override {
        return request.buttons & pm::ButtonYes ? pm::ButtonYes : pm::ButtonOk;
    }
    void beep() override {}
};

struct PickedWords {
    std::string rare, first, second, prefix, fifth, phraseA, phraseB;
};

// Words of the index for each search kind, by their counts.
PickedWords pickWords() {
    PickedWords p;
    const long long messages = pm::MsgText.records();
    long rareGap = 1L << 30, fifthGap = 1L << 30;
    std::vector<std::string> middle;
    std::map<std::string, long> counts;
    pm::WordList.setPhysical();
    while (pm::WordList.next() == pm::StorageStatus::Ok) {
        const std::string w = pm::WOR.THEWORD.str();
        const long c = pm::WOR.WORDCOUNT;
        counts[w] = c;
        if (std::labs(c - 40) < rareGap) rareGap = std::labs(c - 40), p.rare = w;
        if (std::labs(c - messages / 5) < fifthGap) fifthGap = std::labs(c - messages / 5), p.fifth = w;
        if (c >= 1500 && c <= 3000 && middle.size() < 2) middle.push_back(w);
    }
    if (middle.size() == 2) p.first = middle[0], p.second = middle[1];
    // The three-letter start shared by most words.
    std::map<std::string, int> starts;
    for (const auto& [w, c] : counts)
        if (w.size() > 3) ++starts[w.substr(0, 3)];
    int best = 0;
    for (const auto& [s, n] : starts)
        if (n > best && n < 60) best = n, p.prefix = s + "*";
    // Two adjacent words of a message text, both of middling frequency.
    pm::MsgText.set(pm::TXT_IdKey);
    while (p.phraseA.empty() && pm::MsgText.next() == pm::StorageStatus::Ok) {
        std::string previous;
        pm::breakWords(pm::TXT.MsgText).swap(middle);
        for (const std::string& w : middle) {
            const auto a = counts.find(previous), b = counts.find(w);
            if (a != counts.end() && b != counts.end() && a->second >= 300 && a->second <= 5000 && b->second >= 300 &&
                b->second <= 5000) {
                p.phraseA = previous, p.phraseB = w;
                break;
            }
            previous = w;
        }
    }
    return p;
}

int searchBench(int repeat) {
    pm::OP_CLOSE(pm::OpenShared, {&pm::MsgText, &pm::WordList});
    const PickedWords w = pickWords();
    pm::OP_CLOSE(pm::ReleaseTable, {&pm::MsgText, &pm::WordList});
    ContinuingInterface continuing;
    pm::ScopedUserInterface scope(continuing);
    struct Kind {
        const char* name;
        pm::WordQuery query;
    };
    std::vector<Kind> kinds(5);
    kinds[0] = {"rare word", {}};
    kinds[0].query.words = {w.rare};
    kinds[1] = {"phrase", {}};
    kinds[1].query.words = {w.phraseA, w.phraseB};
    kinds[1].query.options.phrase = true;
    kinds[2] = {"two-word AND", {}};
    kinds[2].query.words = {w.first, w.second};
    kinds[3] = {"prefix", {}};
    kinds[3].query.words = {w.prefix};
    kinds[4] = {"a fifth of all", {}};
    kinds[4].query.words = {w.fifth};
    for (Kind& k : kinds) {
        std::vector<double> times;
        std::size_t hits = 0;
        for (int i = 0; i < repeat; ++i) {
            const auto started = Clock::now();
            const pm::WordQueryResult r = pm::runWordQuery(k.query, pm::Mem.ForumType);
            times.push_back(seconds(started) * 1000);
            hits = r.messages.size();
        }
        std::sort(times.begin(), times.end());
        std::string words;
        for (const std::string& x : k.query.words) words += " " + x;
        std::printf("%-15s%-40s hits %6zu  median %7.2f ms  min %7.2f ms\n", k.name, words.c_str(), hits,
                    times[times.size() / 2], times.front());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return usage();
    const std::string command = args[0], root = args[1];
    args.erase(args.begin(), args.begin() + 2);
    if (command == "create") {
        if (args.empty()) return usage();
        const long count = std::stol(args[0]);
        args.erase(args.begin());
        return create(root, count, args);
    }
    if (command == "index") return index(root, args);
    if (command == "search") {
        if (!openBench(root)) return 1;
        return searchBench(std::max(1, std::stoi(option(args, "--repeat", "20"))));
    }
    return usage();
}
