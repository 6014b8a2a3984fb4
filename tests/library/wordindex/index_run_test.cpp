// The indexing run end to end: messages written into the tables, indexed,
// and the word list and occurrences read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/globals.h"
#include "common/word_definition.h"
#include "index_test_support.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/settings.h"
#include "tables/records/all_tables.h"

namespace pm::test {
namespace {

using State = IndexRun::State;

IndexRunOptions batchOf(int batchSize) {
    IndexRunOptions options;
    options.batchSize = batchSize;
    return options;
}

std::string joined(const std::map<std::string, LONG>& counts) {
    std::string out;
    for (const auto& [word, count] : counts) out += (out.empty() ? "" : " ") + word + ":" + std::to_string(count);
    return out;
}

struct ReferenceIndex;

class IndexRunTest : public IndexTest {
protected:
    // Indexes the first `messages` messages of the corpus in one run, in a
    // database of its own (writeCorpus, below).
    ReferenceIndex referenceIndex(int messages);

    void SetUp() override {
        IndexTest::SetUp();
        buildDefaultWordDefinition();
    }
    void TearDown() override {
        buildDefaultWordDefinition();
        BYTE off = 0;
        WSVars(2, 51, nullptr, &off);
        IndexTest::TearDown();
    }
};

TEST_F(IndexRunTest, WordsOfTextAndHeadingReachTheIndexAsTheBreakerCutsThem) {
    struct Case {
        const char* heading;
        std::string text;
        std::string words;  // word:count, in word order
    };
    const std::string longWord(45, 'x');
    const Case cases[] = {
        {"", "I like Windows.", "I:1 LIKE:1 WINDOWS:1"},
        {"", "Edit WIN.INI and file_name, not _name", "AND:1 EDIT:1 FILE_NAME:1 NAME:1 NOT:1 WIN.INI:1"},
        {"", "wait...then abc..def abc. .INI", "ABC:1 DEF:1 INI:1 THEN:1 WAIT:1"},
        {"", "^caret counts, ^^double too", "CARET:1 COUNTS:1 DOUBLE:1 TOO:1"},
        {"", longWord + " " + longWord + "yy", std::string(40, 'X') + ":1"},
        {"", "echo echo ECHO Echo echo", "ECHO:1"},
        {"Thread Heading", "Body", "BODY:1 HEADING:1 THREAD:1"},
        {"", "!!! ... ---", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        useDatabase(TypeForum, std::string("db ") + std::to_string(&c - cases));
        {
            MessageWriter writer(type);
            writer.add(c.heading, c.text);
        }
        ASSERT_EQ(index(), State::Done);
        EXPECT_EQ(joined(wordCounts()), c.words);
    }
}

TEST_F(IndexRunTest, CountsAreMessagesNotOccurrencesAndMasIdxAgrees) {
    useDatabase(TypeForum);
    ULONG m1, m2, m3;
    {
        MessageWriter writer(type);
        m1 = writer.add("alpha", "apple banana apple");
        m2 = writer.add("alpha", "banana cherry");
        m3 = writer.add("beta", "cherry cherry");
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "ALPHA:2 APPLE:1 BANANA:2 BETA:1 CHERRY:2");
    const auto occurrences = wordMessages();
    EXPECT_EQ(occurrences.at("BANANA"), (std::set<ULONG>{m1, m2}));
    EXPECT_EQ(occurrences.at("CHERRY"), (std::set<ULONG>{m2, m3}));
    const CatalogIndexState state = catalogState(db);
    EXPECT_EQ(state.lastPosition, m3);
    EXPECT_EQ(state.indexedCount, 3u);
    EXPECT_EQ(state.needsUpdate, 0);
    EXPECT_EQ(IndexingInProgress, 0);
}

TEST_F(IndexRunTest, FootersAreLeftOutUnlessTheSettingIndexesThem) {
    const std::string withFooter = "Main text here\r\n\r\nSent from my tagline";
    const std::string without = "Main text here\r\nSent from my tagline";
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        writer.add("", withFooter);
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "HERE:1 MAIN:1 TEXT:1");

    useDatabase(TypeForum, "Whole");
    {
        MessageWriter writer(type);
        writer.add("", without);
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "FROM:1 HERE:1 MAIN:1 MY:1 SENT:1 TAGLINE:1 TEXT:1");

    BYTE on = 1;
    ASSERT_TRUE(WSVars(2, 51, nullptr, &on));
    useDatabase(TypeForum, "Footers on");
    {
        MessageWriter writer(type);
        writer.add("", withFooter);
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "FROM:1 HERE:1 MAIN:1 MY:1 SENT:1 TAGLINE:1 TEXT:1");
}

TEST_F(IndexRunTest, MailHeadersAndMimePartsLeaveOnlyWhatIsText) {
    useDatabase(TypeMail, "Mail");
    {
        MessageWriter writer(type);
        writer.add("Header only", "From: a@b.c\r\nTo: d@e.f\r\nMessage-ID: <1@b.c>\r\nnever indexed words");
        writer.add("Multipart",
                   "Content-Type: multipart/mixed; boundary=\"XyZ\"\r\nSubject: s\r\n\r\n--XyZ\r\n"
                   "Content-Type: text/html\r\n\r\n<p>html words</p>\r\n--XyZ--\r\n");
        writer.add("Plain", "Message-Id: <2@b.c>\r\n\r\nbody kept");
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "BODY:1 HEADER:1 KEPT:1 MULTIPART:1 ONLY:1 PLAIN:1");
}

TEST_F(IndexRunTest, MessagesWithoutHeaderAreSkipped) {
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        writer.addTextOnly("orphan text");
        writer.add("", "kept text");
    }
    IndexRunOptions options;
    options.indexType = 2;
    options.batchSize = 100;
    IndexRun run(db, type, options);
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(run.summary().withoutHeader, 1);
    EXPECT_EQ(joined(wordCounts()), "KEPT:1 TEXT:1");
    EXPECT_EQ(run.indexedCount(), 2u);  // both were handled
}

TEST_F(IndexRunTest, APartialRunIndexesOnlyTheNewMessages) {
    useDatabase(TypeNewsgroup, "News");
    {
        MessageWriter writer(type);
        writer.add("", "first old");
        writer.add("", "second old");
    }
    ASSERT_EQ(index(), State::Done);
    ULONG newer;
    {
        MessageWriter writer(type);
        newer = writer.add("", "third new old");
    }
    IndexRunOptions options;
    options.batchSize = 10;
    IndexRun run(db, type, options);
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(run.summary().messagesIndexed, 1);
    EXPECT_EQ(run.progress().planned, 1);
    EXPECT_EQ(joined(wordCounts()), "FIRST:1 NEW:1 OLD:3 SECOND:1 THIRD:1");
    EXPECT_EQ(catalogState(db).lastPosition, newer);
    EXPECT_EQ(catalogState(db).indexedCount, 3u);

    // Nothing new: the run ends as usual and changes nothing.
    IndexRun again(db, type, options);
    ASSERT_EQ(runToEnd(again), JobStatus::Done);
    EXPECT_EQ(again.progress().status, "Indexing finished!");
    EXPECT_EQ(again.summary().messagesIndexed, 0);
    EXPECT_EQ(joined(wordCounts()), "FIRST:1 NEW:1 OLD:3 SECOND:1 THIRD:1");
    EXPECT_EQ(catalogState(db).indexedCount, 3u);
}

// A corpus of 60 messages over a small vocabulary.
std::vector<ULONG> writeCorpus(BYTE type, int from, int to) {
    MessageWriter writer(type);
    std::vector<ULONG> numbers;
    for (int i = from; i < to; ++i) {
        std::string text;
        for (int w = 0; w < 12; ++w) text += "w" + std::to_string((i * 7 + w * w) % 37) + " ";
        numbers.push_back(writer.add("topic " + std::to_string(i % 5), text));
    }
    return numbers;
}

// The occurrences with each message named by its place among `numbers`, so
// that two databases holding the same messages compare equal.
std::map<std::string, std::set<ULONG>> occurrencesByPlace(const std::vector<ULONG>& numbers) {
    std::map<ULONG, ULONG> places;
    for (std::size_t i = 0; i < numbers.size(); ++i) places.emplace(numbers[i], static_cast<ULONG>(i));
    std::map<std::string, std::set<ULONG>> out;
    for (const auto& [word, messages] : wordMessages())
        for (ULONG m : messages) {
            const auto place = places.find(m);
            out[word].insert(place == places.end() ? static_cast<ULONG>(numbers.size()) : place->second);
        }
    return out;
}

// The index of the corpus's first `messages` messages, built in one run in a
// database of its own, for comparing other runs with.
struct ReferenceIndex {
    std::map<std::string, LONG> counts;
    std::map<std::string, std::set<ULONG>> messages;  // by place
};

ReferenceIndex IndexRunTest::referenceIndex(int messages) {
    useDatabase(TypeForum, "Reference " + std::to_string(messages));
    const std::vector<ULONG> numbers = writeCorpus(type, 0, messages);
    EXPECT_EQ(index(1), State::Done);
    return {wordCounts(), occurrencesByPlace(numbers)};
}

TEST_F(IndexRunTest, StoppedAndAbandonedRunsResumeToTheSameIndexAsOneUninterruptedRun) {
    const auto [referenceCounts, referenceMessages] = referenceIndex(60);

    useDatabase(TypeForum, "Interrupted");
    const std::vector<ULONG> numbers = writeCorpus(type, 0, 60);
    IndexRunOptions small;
    small.batchSize = 3;
    small.bufferBytes = 1;  // flush after every step
    {
        // Abandoned after a few steps, as if the program had ended.
        IndexRun run(db, type, small);
        for (int i = 0; i < 12; ++i) run.step();
        EXPECT_EQ(IndexingInProgress, 1);
    }
    EXPECT_EQ(IndexingInProgress, 0);
    const CatalogIndexState afterAbandon = catalogState(db);
    EXPECT_GT(afterAbandon.indexedCount, 0u);
    EXPECT_LT(afterAbandon.indexedCount, 60u);
    EXPECT_EQ(afterAbandon.needsUpdate, 1);
    {
        // Stopped by the user: it flushes first, then ends with result 2.
        IndexRun run(db, type, small);
        for (int i = 0; i < 5; ++i) run.step();
        run.requestStop(StopRequest::Ask);
        EXPECT_EQ(runToEnd(run), JobStatus::Stopped);
        EXPECT_EQ(run.state(), State::Stopped);
        EXPECT_EQ(run.result(), 2);
        EXPECT_GT(catalogState(db).indexedCount, afterAbandon.indexedCount);
        // Messages are left to do: the database stays marked for indexing.
        EXPECT_EQ(catalogState(db).needsUpdate, 1);
    }
    ASSERT_EQ(index(2, small), State::Done);
    EXPECT_EQ(catalogState(db).needsUpdate, 0);
    EXPECT_EQ(wordCounts(), referenceCounts);
    EXPECT_EQ(occurrencesByPlace(numbers), referenceMessages);
    EXPECT_EQ(catalogState(db).indexedCount, 60u);
}

// The worker reads and files ahead while a flush is written. A stop in the
// middle of a flush leaves exactly the messages up to the checkpoint in the
// index, and the next run adds the rest as one uninterrupted run would.
TEST_F(IndexRunTest, AStopDuringAFlushKeepsTheCheckpointExactAndTheNextRunCompletesTheIndex) {
    const auto [referenceCounts, referenceMessages] = referenceIndex(400);

    useDatabase(TypeForum, "Stopped in a flush");
    const std::vector<ULONG> numbers = writeCorpus(type, 0, 400);
    IndexRunOptions options = batchOf(40);
    options.bufferBytes = 1;  // a batch for every chunk the worker files
    {
        IndexRun run(db, type, options);
        int flushesBegun = 0;
        State before = run.state();
        while (flushesBegun < 3) {
            ASSERT_EQ(run.step(), JobStatus::Running);
            if (run.state() == State::Flushing && before != State::Flushing) ++flushesBegun;
            before = run.state();
        }
        ASSERT_EQ(run.state(), State::Flushing);
        run.requestStop(StopRequest::Ask);
        EXPECT_EQ(runToEnd(run), JobStatus::Stopped);
    }
    const CatalogIndexState stopped = catalogState(db);
    ASSERT_GT(stopped.indexedCount, 0u);
    ASSERT_LT(stopped.indexedCount, 400u);
    std::set<ULONG> indexed;
    for (const auto& [word, messages] : wordMessages()) indexed.insert(messages.begin(), messages.end());
    const auto checkpoint = std::find(numbers.begin(), numbers.end(), stopped.lastPosition);
    ASSERT_NE(checkpoint, numbers.end());
    EXPECT_EQ(indexed, std::set<ULONG>(numbers.begin(), checkpoint + 1));
    EXPECT_EQ(stopped.indexedCount, indexed.size());

    ASSERT_EQ(index(2, options), State::Done);
    EXPECT_EQ(wordCounts(), referenceCounts);
    EXPECT_EQ(occurrencesByPlace(numbers), referenceMessages);
}

// Messages whose words come and go: each word lives in a few messages in a
// row, so most cross from one batch into the next.
std::vector<ULONG> writeDriftingCorpus(BYTE type, int count) {
    MessageWriter writer(type);
    std::vector<ULONG> numbers;
    for (int i = 0; i < count; ++i)
        numbers.push_back(writer.add("drift", "common n" + std::to_string(i / 7) + " m" + std::to_string(i / 13) +
                                                   " w" + std::to_string(i % 11)));
    return numbers;
}

// With every batch the worker forgets its words and looks them up again. A
// word it filed into a batch that is not stored yet must not be looked up
// before that batch is: it would be taken for a new word and get a second id.
TEST_F(IndexRunTest, WordsLookedUpAgainWaitForTheBatchesNotYetStored) {
    useDatabase(TypeForum, "Drift in one batch");
    const std::vector<ULONG> referenceNumbers = writeDriftingCorpus(type, 300);
    ASSERT_EQ(index(1), State::Done);
    const auto referenceCounts = wordCounts();
    const auto referenceMessages = occurrencesByPlace(referenceNumbers);
    ASSERT_EQ(referenceCounts.at("COMMON"), 300);

    useDatabase(TypeForum, "Drift in many batches");
    const std::vector<ULONG> numbers = writeDriftingCorpus(type, 300);
    IndexRunOptions tiny = batchOf(8);
    tiny.bufferBytes = 1;  // a batch for every chunk, and no words kept after it
    IndexRun run(db, type, tiny);
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_GT(run.summary().flushes, 50);
    EXPECT_EQ(run.summary().newWords, static_cast<long long>(referenceCounts.size()));
    EXPECT_EQ(wordCounts(), referenceCounts);
    EXPECT_EQ(occurrencesByPlace(numbers), referenceMessages);
}

// A run keeps its words from flush to flush. What it writes must still be
// what one flush would write, and the counts another process changed
// between two flushes (a purge lowers a count, or removes a word that fell
// to zero) must be added to, not overwritten.
TEST_F(IndexRunTest, WordsKeptFromFlushToFlushAddToWhatOthersWrote) {
    const auto [referenceCounts, referenceMessages] = referenceIndex(150);
    ASSERT_EQ(referenceCounts.at("TOPIC"), 150);

    IndexRunOptions everyStep;
    everyStep.batchSize = 3;
    // More than one chunk of occurrences, far more than the few words: a
    // flush after every step (until the last 50 messages) that keeps the words.
    everyStep.bufferBytes = std::size_t{400} << 10;
    for (bool othersWrite : {false, true}) {
        SCOPED_TRACE(othersWrite ? "another process wrote between flushes" : "alone");
        useDatabase(TypeForum, othersWrite ? "Shared" : "Alone");
        const std::vector<ULONG> numbers = writeCorpus(type, 0, 150);
        IndexRun run(db, type, everyStep);
        while (run.summary().flushes < 3) ASSERT_EQ(run.step(), JobStatus::Running);
        LONG removedCount = 0;
        if (othersWrite) {
            WordList.clear();
            WOR.THEWORD = "TOPIC";
            ASSERT_EQ(WordList.get(WOR_by_theWord), StorageStatus::Ok);
            WOR.WORDCOUNT -= 5;
            ASSERT_EQ(WordList.put(), StorageStatus::Ok);
            WordList.clear();
            WOR.THEWORD = "W0";
            ASSERT_EQ(WordList.get(WOR_by_theWord), StorageStatus::Ok);
            removedCount = WOR.WORDCOUNT;
            ASSERT_GT(removedCount, 0);
            ASSERT_EQ(WordList.erase(), StorageStatus::Ok);
        }
        ASSERT_EQ(runToEnd(run), JobStatus::Done);
        EXPECT_GT(run.summary().flushes, 10);
        auto expected = referenceCounts;
        if (othersWrite) {
            expected["TOPIC"] -= 5;
            expected["W0"] -= removedCount;
        }
        EXPECT_EQ(wordCounts(), expected);
        EXPECT_EQ(occurrencesByPlace(numbers), referenceMessages);
        // One word, one record: a word written again keeps its id.
        std::set<LONG> ids;
        OP_CLOSE(OpenShared, {&WordList});
        WordList.set(WOR_by_WordId);
        while (WordList.next() == StorageStatus::Ok) EXPECT_TRUE(ids.insert(WOR.WORDID).second) << WOR.THEWORD.str();
        OP_CLOSE(ReleaseTable, {&WordList});
        EXPECT_EQ(ids.size(), referenceCounts.size());
    }
}

TEST_F(IndexRunTest, AlreadyIndexedMessagesAfterTheCheckpointAreSkipped) {
    useDatabase(TypeForum);
    writeCorpus(type, 0, 20);
    ASSERT_EQ(index(), State::Done);
    const auto counts = wordCounts();
    // A checkpoint that fell behind the index: the messages after it are
    // already in MasIdx and must not be counted twice.
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = db;
    ASSERT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    FOR.RECSLASTTIME = 10;
    FOR.LASTMSGID = 0;
    ASSERT_EQ(Forums.put(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {2});
    IndexRunOptions options;
    options.batchSize = 7;
    IndexRun run(db, type, options);
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(run.summary().alreadyIndexed, 20);
    EXPECT_EQ(wordCounts(), counts);
}

TEST_F(IndexRunTest, MarkedWordsAndNewStopWordsLeaveTheIndexAtTheNextRun) {
    // The stop words are shared by all databases: each round uses words of its own.
    for (bool large : {false, true}) {
        SCOPED_TRACE(large ? "purge by copy" : "entry by entry");
        const std::string rare = large ? "SCARCE" : "RARE", common = large ? "OFTEN" : "COMMON";
        useDatabase(TypeForum, large ? "Large share" : "Small share");
        {
            MessageWriter writer(type);
            for (int i = 0; i < 300; ++i)
                writer.add("", common + " w" + std::to_string(i) + " v" + std::to_string(i) + " u" +
                                   std::to_string(i) + (i < 2 ? " " + rare : ""));
        }
        ASSERT_EQ(index(), State::Done);
        // The rare word holds 2 of ~1200 entries (below half a percent), the common one a quarter.
        const std::string gone = large ? common : rare, kept = large ? rare : common;
        markForDeletion({gone});
        IndexRun run(db, type, batchOf(1000));
        ASSERT_EQ(runToEnd(run), JobStatus::Done);
        EXPECT_EQ(run.summary().wordsRemoved, 1);
        EXPECT_EQ(run.summary().purgesByCopy, large ? 1 : 0);
        const auto counts = wordCounts();
        const auto occurrences = wordMessages();
        EXPECT_FALSE(counts.count(gone));
        EXPECT_FALSE(occurrences.count(gone));
        ASSERT_TRUE(counts.count(kept));
        EXPECT_EQ(counts.at(kept), large ? 2 : 300);
        EXPECT_EQ(occurrences.at(kept).size(), large ? 2u : 300u);
        EXPECT_EQ(occurrences.at("W7"), occurrences.at("V7"));
        EXPECT_EQ(occurrences.size(), counts.size());
        EXPECT_TRUE(stopWords().count(gone));
    }
    // A stop word added by hand stays in the index; it is only skipped from then on.
    addStopWord("V1");
    {
        MessageWriter writer(type);
        writer.add("", "v1 fresh");
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(wordCounts().at("V1"), 1);
    EXPECT_EQ(wordCounts().at("FRESH"), 1);
}

TEST_F(IndexRunTest, APurgeBrokenOffWhileCopyingBackLeavesMasIdxWhole) {
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        for (int i = 0; i < 2000; ++i)
            writer.add("", "frequent a" + std::to_string(i) + " b" + std::to_string(i) + " c" + std::to_string(i));
    }
    ASSERT_EQ(index(), State::Done);
    const auto before = wordMessages();
    markForDeletion({"FREQUENT"});
    {
        IndexRun run(db, type, batchOf(1000));
        while (run.progress().status != "Rebuilding index file") ASSERT_EQ(run.step(), JobStatus::Running);
        run.step();  // MasIdx emptied and partly copied back
    }
    EXPECT_EQ(wordMessages(), before);
}

TEST_F(IndexRunTest, TheAutomaticStopWordRuleWaitsForTenThousandMessages) {
    for (int messages : {9000, 12000}) {
        SCOPED_TRACE(messages);
        useDatabase(TypeForum, "Auto " + std::to_string(messages));
        {
            // COMMON in 3001 messages early on, then once more at the end.
            MessageWriter writer(type);
            for (int i = 0; i < messages; ++i)
                writer.add("", i < 3001 ? "common x" : "y" + std::to_string(i % 50));
            writer.add("", "common last");
        }
        // A full run with flushes on the way: COMMON reaches MasIdx before it
        // becomes a stop word, and must leave no entries behind.
        IndexRunOptions options = batchOf(2000);
        options.indexType = 1;
        options.bufferBytes = 64 << 10;
        IndexRun run(db, type, options);
        ASSERT_EQ(runToEnd(run), JobStatus::Done);
        const auto counts = wordCounts();
        if (messages == 9000) {
            EXPECT_EQ(counts.at("COMMON"), 3002);
            EXPECT_FALSE(stopWords().count("COMMON"));
        } else {
            EXPECT_FALSE(counts.count("COMMON"));
            const auto occurrences = wordMessages();
            EXPECT_FALSE(occurrences.count("COMMON"));
            EXPECT_EQ(occurrences.size(), counts.size());  // no entries of words that are gone
            EXPECT_TRUE(stopWords().count("COMMON"));
            EXPECT_EQ(run.summary().stopWordsMoved, 1);
            // X, met only before the rule applies, stays.
            EXPECT_EQ(counts.at("X"), 3001);
        }
        removeStopWords({"COMMON"});
    }
}

// The worker files on while a batch that moved stop words is flushed and
// cleaned up. A word marked for deletion meanwhile leaves with that
// cleanup; what the worker filed of it by then is written as counted, so
// the word list and the index agree whenever the worker forgets its words.
TEST_F(IndexRunTest, AWordMarkedWhileTheRunGoesOnLeavesTheWordListAndTheIndexInAgreement) {
    useDatabase(TypeForum, "Marked on the way");
    {
        MessageWriter writer(type);
        for (int i = 0; i < 24000; ++i)
            writer.add("", std::string(i % 3 == 0 ? "frequent " : "") + (i % 300 == 0 ? "marked " : "") + "p" +
                               std::to_string(i / 30) + " q" + std::to_string(i % 97));
    }
    IndexRunOptions options = batchOf(100);
    options.indexType = 1;
    IndexRun run(db, type, options);
    // FREQUENT moves to the stop list past the 10000th message: its batch
    // is flushed, and the mark comes before the cleanup that follows.
    while (run.state() != State::Cleanup) ASSERT_EQ(run.step(), JobStatus::Running);
    markForDeletion({"MARKED"});
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_EQ(run.summary().wordsRemoved, 1);

    const auto counts = wordCounts();
    const auto occurrences = wordMessages();
    EXPECT_FALSE(counts.count("FREQUENT"));
    EXPECT_EQ(occurrences.size(), counts.size());  // no entries of a word that is gone
    for (const auto& [word, count] : counts) {
        ASSERT_TRUE(occurrences.count(word)) << word;
        EXPECT_EQ(occurrences.at(word).size(), static_cast<std::size_t>(count)) << word;
    }
    EXPECT_EQ(counts.at("Q5"), 248);
    removeStopWords({"FREQUENT", "MARKED"});
}

// Another process may write the word list between two flushes, as a purge
// removes a word whose count fell to zero. The next flush finds out and
// the worker forgets its words, but it files on during every flush: what
// it filed into the next batch by then is written as counted, so the word
// list and the index agree.
TEST_F(IndexRunTest, WordsAnotherProcessRemovesMidRunLeaveTheWordListAndTheIndexInAgreement) {
    useDatabase(TypeForum, "Written meanwhile");
    {
        MessageWriter writer(type);
        for (int i = 0; i < 20000; ++i)
            writer.add("", "p" + std::to_string(i / 30) + " q" + std::to_string(i % 97));
    }
    IndexRunOptions options = batchOf(20);
    // Batches of some thousands of messages: far more than the worker
    // files while one is flushed.
    options.bufferBytes = std::size_t{1100} << 10;
    IndexRun run(db, type, options);
    std::vector<std::string> removed;
    for (const char* word : {"P0", "P1", "P2"}) {
        // Right after a flush; the word's messages were in the first batch.
        const int flushes = run.summary().flushes;
        while (run.summary().flushes == flushes) ASSERT_EQ(run.step(), JobStatus::Running);
        WordList.clear();
        WOR.THEWORD = word;
        ASSERT_EQ(WordList.get(WOR_by_theWord), StorageStatus::Ok);
        ASSERT_EQ(WordList.erase(), StorageStatus::Ok);
        removed.emplace_back(word);
    }
    ASSERT_EQ(runToEnd(run), JobStatus::Done);
    EXPECT_GT(run.summary().flushes, 3);

    const auto counts = wordCounts();
    const auto occurrences = wordMessages();
    for (const std::string& word : removed) EXPECT_FALSE(counts.count(word)) << word;
    // Entries of no word but those removed lack their record.
    EXPECT_EQ(occurrences.size(), counts.size() + removed.size());
    for (const auto& [word, count] : counts) {
        ASSERT_TRUE(occurrences.count(word)) << word;
        EXPECT_EQ(occurrences.at(word).size(), static_cast<std::size_t>(count)) << word;
    }
    EXPECT_EQ(counts.at("Q5"), 207);
}

// Whichever thread breaks the messages, the run files the same words in the
// same order: the index is the same, across batches that moved stop words
// and across a stop in the middle followed by a second run.
TEST_F(IndexRunTest, TheIndexIsTheSameWhicheverThreadBreaksTheMessages) {
    struct Built {
        std::map<std::string, LONG> counts;
        std::map<std::string, LONG> ids;
        std::map<std::string, std::set<ULONG>> messages;  // by place
        bool stopped = false;
        bool common = false, often = false;  // became stop words
    };
    // COMMON, in a third of the messages, moves to the stop list once the
    // rule applies; OFTEN, in every message from the 8000th, a few batches
    // later. A stop comes between the two.
    const auto build = [&](MessageBreaking breaking, bool stopOnTheWay) {
        useDatabase(TypeForum, "Breaking " + std::to_string(static_cast<int>(breaking)) + (stopOnTheWay ? " stopped" : ""));
        std::vector<ULONG> numbers;
        {
            MessageWriter writer(type);
            for (int i = 0; i < 11200; ++i)
                numbers.push_back(writer.add("", std::string(i % 3 == 0 ? "common " : "") + (i >= 8000 ? "often " : "") +
                                                 "w" + std::to_string(i % 61) + " v" + std::to_string(i / 40) +
                                                 " u" + std::to_string(i % 13) + " w" + std::to_string(i % 61)));
        }
        IndexRunOptions options = batchOf(400);
        options.indexType = 1;
        options.bufferBytes = 96 << 10;
        options.breaking = breaking;
        Built built;
        {
            IndexRun run(db, type, options);
            if (stopOnTheWay) {
                // The stop comes while the batch that moved COMMON is
                // flushed: what the worker files beyond it (OFTEN may move
                // there) is left for the next run.
                while (run.summary().stopWordsMoved == 0 && run.step() == JobStatus::Running) {}
                run.requestStop(StopRequest::Ask);
            }
            const JobStatus end = runToEnd(run);
            built.stopped = end == JobStatus::Stopped;
            EXPECT_EQ(end, stopOnTheWay ? JobStatus::Stopped : JobStatus::Done);
        }
        if (stopOnTheWay) {
            options.indexType = 2;
            EXPECT_EQ(index(2, options), State::Done);
        }
        built.counts = wordCounts();
        built.ids = wordIds();
        built.messages = occurrencesByPlace(numbers);
        const std::set<std::string> stops = stopWords();
        built.common = stops.count("COMMON") > 0;
        built.often = stops.count("OFTEN") > 0;
        // The stop list is shared by the databases: each build starts without them.
        removeStopWords({"COMMON", "OFTEN"});
        return built;
    };
    const Built reference = build(MessageBreaking::WorkerOnly, false);
    ASSERT_TRUE(reference.common);
    ASSERT_TRUE(reference.often);
    EXPECT_FALSE(reference.counts.count("COMMON"));
    EXPECT_EQ(reference.counts.at("V0"), 40);
    // Every message broken ahead, with and without the stop; and shared as
    // it comes (some chunks in part), with the stop.
    const std::pair<MessageBreaking, bool> runs[] = {
        {MessageBreaking::RunThreadOnly, false}, {MessageBreaking::RunThreadOnly, true}, {MessageBreaking::Shared, true}};
    for (const auto& [breaking, stopOnTheWay] : runs) {
        SCOPED_TRACE(std::to_string(static_cast<int>(breaking)) + (stopOnTheWay ? " stopped" : ""));
        const Built built = build(breaking, stopOnTheWay);
        EXPECT_EQ(built.stopped, stopOnTheWay);
        EXPECT_TRUE(built.common);
        EXPECT_TRUE(built.often);
        EXPECT_EQ(built.counts, reference.counts);
        EXPECT_EQ(built.ids, reference.ids);
        EXPECT_EQ(built.messages, reference.messages);
    }
}

// A run breaks each message with the word definition as it was when the
// message was read: a change between two runs, or between two steps of
// one, holds for the messages read after it, whichever thread breaks them.
TEST_F(IndexRunTest, AChangedWordDefinitionHoldsForTheMessagesReadAfterIt) {
    const auto sevenSeparates = [] {
        WordDefinition d = currentWordDefinition();
        d.startWord['7'] = d.inWord['7'] = d.endWord['7'] = 1;
        setCurrentWordDefinition(d);
    };
    useDatabase(TypeForum, "Between runs");
    {
        MessageWriter writer(type);
        for (int i = 0; i < 3; ++i) writer.add("", "a7b");
    }
    ASSERT_EQ(index(), State::Done);
    sevenSeparates();
    {
        MessageWriter writer(type);
        for (int i = 0; i < 2; ++i) writer.add("", "a7b");
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "A:2 A7B:3 B:2");

    for (MessageBreaking breaking :
         {MessageBreaking::WorkerOnly, MessageBreaking::RunThreadOnly, MessageBreaking::Shared}) {
        SCOPED_TRACE(static_cast<int>(breaking));
        buildDefaultWordDefinition();
        useDatabase(TypeForum, "Within a run " + std::to_string(static_cast<int>(breaking)));
        {
            MessageWriter writer(type);
            for (int i = 0; i < 6; ++i) writer.add("", "c7d");
        }
        IndexRunOptions options = batchOf(2);
        options.breaking = breaking;
        IndexRun run(db, type, options);
        while (run.state() != State::Indexing) ASSERT_EQ(run.step(), JobStatus::Running);
        ASSERT_EQ(run.step(), JobStatus::Running);  // reads and files two messages
        sevenSeparates();
        ASSERT_EQ(runToEnd(run), JobStatus::Done);
        EXPECT_EQ(joined(wordCounts()), "C:4 C7D:2 D:4");
    }
}

TEST_F(IndexRunTest, AFailedWordWriteRestoresTheWordsThatExistedBefore) {
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        writer.add("", "kept apple");
        writer.add("", "kept banana");
    }
    ASSERT_EQ(index(), State::Done);
    const auto counts = wordCounts();
    const auto occurrences = wordMessages();
    const CatalogIndexState checkpoint = catalogState(db);
    {
        MessageWriter writer(type);
        writer.add("", "kept cherry apple");
    }
    for (int failAt = 0; failAt < 3; ++failAt) {
        SCOPED_TRACE(failAt);
        ui.clear();
        IndexRunOptions options = batchOf(1000);
        options.faults.wordWriteFailsAt = failAt;
        IndexRun run(db, type, options);
        EXPECT_EQ(runToEnd(run), JobStatus::Failed);
        EXPECT_EQ(run.result(), 2);
        EXPECT_TRUE(ui.sawText("Record update error!"));
        EXPECT_FALSE(ui.sawCaption("Corrupt Data"));
        EXPECT_EQ(wordCounts(), counts);  // KEPT:2 and APPLE:1 are still there
        EXPECT_EQ(wordMessages(), occurrences);
        EXPECT_EQ(catalogState(db).lastPosition, checkpoint.lastPosition);
        EXPECT_EQ(IndexingInProgress, 0);
    }
    ASSERT_EQ(index(), State::Done);
    EXPECT_EQ(joined(wordCounts()), "APPLE:2 BANANA:1 CHERRY:1 KEPT:3");
}

TEST_F(IndexRunTest, AFailedKeyBuildRollsBackAndSaysSo) {
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        writer.add("", "one two");
    }
    IndexRunOptions options = batchOf(1000);
    options.faults.keyBuildFails = true;
    EXPECT_EQ(index(2, options), State::Failed);
    ASSERT_GE(ui.shown().size(), 3u);
    EXPECT_NE(ui.shown()[0].text.find("Unexpected file error:MASIDX(Build)|on Message#"), std::string::npos);
    EXPECT_EQ(ui.shown()[1].caption, "Rollback");
    EXPECT_EQ(ui.shown()[2].text, "Rollback was sucessfull.");
    EXPECT_TRUE(wordCounts().empty());
    EXPECT_TRUE(wordMessages().empty());

    // When the undo can not be confirmed the checkpoint is cleared: the next
    // run must be full.
    ui.clear();
    options.faults.rollbackFails = true;
    EXPECT_EQ(index(2, options), State::Failed);
    EXPECT_TRUE(ui.sawText("Unexpected file error:MASIDX||on Message#"));
    EXPECT_TRUE(ui.sawText("Unable to rollback changes."));
    EXPECT_EQ(catalogState(db).lastPosition, 0u);
    EXPECT_EQ(catalogState(db).indexedCount, 0u);
}

// MasIdx's keys are built a slice at a time while the worker is fed: a
// slice that fails after others were written takes the whole flush back to
// the checkpoint, and a run whose builds take many slices builds the index
// that one uninterrupted run builds.
TEST_F(IndexRunTest, AKeyBuildFailingHalfwayRollsBackTheWholeFlush) {
    const auto [referenceCounts, referenceMessages] = referenceIndex(400);
    useDatabase(TypeForum, "Sliced");
    std::vector<ULONG> numbers = writeCorpus(type, 0, 200);
    ASSERT_EQ(index(), State::Done);
    const auto counts = wordCounts();
    const auto occurrences = wordMessages();
    const CatalogIndexState checkpoint = catalogState(db);
    const std::vector<ULONG> more = writeCorpus(type, 200, 400);
    numbers.insert(numbers.end(), more.begin(), more.end());

    IndexRunOptions options = batchOf(1);  // slices of 1000 pairs
    options.faults.keyBuildSliceFails = 3;
    ui.clear();
    EXPECT_EQ(index(2, options), State::Failed);
    EXPECT_TRUE(ui.sawText("Rollback was sucessfull."));
    EXPECT_EQ(wordCounts(), counts);
    EXPECT_EQ(wordMessages(), occurrences);
    EXPECT_EQ(catalogState(db).lastPosition, checkpoint.lastPosition);
    EXPECT_EQ(catalogState(db).indexedCount, 200u);

    options.faults.keyBuildSliceFails = -1;
    ASSERT_EQ(index(2, options), State::Done);
    EXPECT_EQ(wordCounts(), referenceCounts);
    EXPECT_EQ(occurrencesByPlace(numbers), referenceMessages);
}

TEST_F(IndexRunTest, AFullRunAsksBeforeReplacingAnIndexAndRebuildsIt) {
    useDatabase(TypeForum);
    {
        MessageWriter writer(type);
        writer.add("", "alpha beta");
    }
    ASSERT_EQ(index(), State::Done);
    ui.takeDefaults(false);
    ui.answer(ButtonNo);
    EXPECT_EQ(index(1), State::Skipped);
    EXPECT_TRUE(ui.sawCaption("Warning"));
    EXPECT_EQ(joined(wordCounts()), "ALPHA:1 BETA:1");

    {
        MessageWriter writer(type);
        writer.add("", "gamma");
    }
    ui.answer(ButtonYes);
    EXPECT_EQ(index(1), State::Done);
    EXPECT_EQ(joined(wordCounts()), "ALPHA:1 BETA:1 GAMMA:1");
    EXPECT_EQ(catalogState(db).indexedCount, 2u);

    // Unattended runs do not ask.
    ui.clear();
    Mem.DoTask = TaskRunning;
    EXPECT_EQ(index(1), State::Done);
    {
        // Broken off right after the old index was deleted: the catalog no
        // longer claims a checkpoint, so nothing resumes over an empty index.
        IndexRunOptions full = batchOf(1000);
        full.indexType = 1;
        IndexRun broken(db, type, full);
        while (broken.state() != State::Preparing) broken.step();
    }
    Mem.DoTask = TaskIdle;
    EXPECT_TRUE(ui.empty());
    EXPECT_EQ(catalogState(db).lastPosition, 0u);
    EXPECT_EQ(catalogState(db).indexedCount, 0u);
    EXPECT_TRUE(wordCounts().empty());
    EXPECT_EQ(index(2), State::Done);
    EXPECT_EQ(joined(wordCounts()), "ALPHA:1 BETA:1 GAMMA:1");
}

}  // namespace
}  // namespace pm::test
