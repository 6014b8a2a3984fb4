// Reading messages into the buffers of an indexing run.
#include <algorithm>

#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/records/all_tables.h"
#include "wordindex/index_run_impl.h"
#include "wordindex/text_regions.h"
#include "wordindex/word_case.h"

namespace pm {

namespace {
// The automatic stop-word rule looks at words once this many messages are indexed.
constexpr long long kAutoStopAfter = 10000;
}  // namespace

namespace {

// Messages handed to the word-breaking thread at once: small enough that
// a step's first and last chunks (broken while nothing else runs) stay
// short, large enough that handing over costs nothing.
int chunkSize(int batchSize) { return std::clamp(batchSize / 4, 1, 64); }

}  // namespace

void IndexRun::Impl::indexSome() {
    if (cancelRequested) {
        stopping = true;
        beginFlush(State::Finishing);
        return;
    }
    if (!breakWorker) breakWorker = std::make_unique<WordBreakWorker>(databaseType, indexFooters);
    {
        ReadScope reads;  // the batch only reads; the flush below writes
        // Pipelined: while the worker breaks one chunk, this thread files
        // the words of the chunk before and reads the next. Every message
        // read in the step is filed before it ends, in the order read.
        const int chunk = chunkSize(options.batchSize);
        std::vector<MessageToBreak> reading;
        std::vector<long long> readOrdinals, brokenOrdinals;
        bool submitted = false;
        long long read = total;
        for (int i = 0; i <= options.batchSize; ++i) {
            const bool batchDone = i == options.batchSize || textsExhausted;
            if (!batchDone) {
                const StorageStatus st = MsgText.next();
                if (st == StorageStatus::NotFound) {
                    textsExhausted = true;
                } else if (st != StorageStatus::Ok) {
                    message(MsgText.displayName(), "Record read error!|" + MsgText.lastError().text, Icon::Hand);
                    end(State::Failed, 2);
                    return;
                } else if (skipStart && TXT.MSGNUMBER == lastPosition) {
                    skipStart = false;  // indexed before
                } else {
                    skipStart = false;
                    lastRead = TXT.MSGNUMBER;
                    ++read;
                    MessageToBreak m;
                    if (readMessage(m)) {
                        reading.push_back(std::move(m));
                        readOrdinals.push_back(read);
                    }
                }
            }
            const bool last = i == options.batchSize || textsExhausted;
            if (!last && static_cast<int>(reading.size()) < chunk) continue;
            // Hand over what was read, then file what was broken before.
            std::vector<BrokenMessage> broken;
            if (submitted) broken = breakWorker->take();
            submitted = !reading.empty();
            if (submitted) breakWorker->submit(std::move(reading));
            reading.clear();
            if (!fileWords(broken, brokenOrdinals)) return;
            brokenOrdinals = std::move(readOrdinals);
            readOrdinals.clear();
            if (last) {
                if (submitted && !fileWords(breakWorker->take(), brokenOrdinals)) return;
                break;
            }
        }
        total = read;
    }
    updatePercent();
    if (textsExhausted) {
        beginFlush(State::Finishing);
        return;
    }
    const bool full = occurrences.bytes() + words.bytes() > options.bufferBytes &&
                      progress.planned - progress.done > 50;
    if (full || !cleanupIds.empty()) beginFlush(State::Indexing);
}

// Takes the message in the TXT buffer for breaking into `out`; false when it
// is not to be indexed (indexed already, or without its header).
bool IndexRun::Impl::readMessage(MessageToBreak& out) {
    const ULONG msg = TXT.MSGNUMBER;
    if (msg <= highestIndexedAtStart) {
        MasIdx.clear();
        MAS.SYSID = msg;
        MasIdx.setAt(MAS_by_SysID);
        if (MasIdx.next() == StorageStatus::Ok && MAS.SYSID == msg) {
            ++summary.alreadyIndexed;
            return false;
        }
    }

    std::string_view heading;
    if (databaseType == TypeMail) {
        MAI.MAILID = msg;
        if (Mail.get(MAI_IdKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return false;
        }
        heading = MAI.SUBJECT.raw();
    } else {
        MSG.MSGNUMBER = msg;
        if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return false;
        }
        THR.THREADNUMBER = MSG.THREADNUMBER;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return false;
        }
        heading = THR.HEADING.raw();
    }
    out.number = msg;
    out.heading.assign(heading);
    out.text = std::move(TXT.MsgText);  // the next read fills the buffer again
    return true;
}

// Files the words of `messages` (broken by the worker) in order; message i
// is the `ordinals[i]`th of the run, which the stop-word rule counts by.
// False after a failure that ended the run.
bool IndexRun::Impl::fileWords(const std::vector<BrokenMessage>& messages, const std::vector<long long>& ordinals) {
    const long long read = total;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const BrokenMessage& m = messages[i];
        total = ordinals[i];
        currentMessage = m.number;
        // The word table is far larger than the cache: its slots for the
        // words a little ahead are loaded while this one is filed.
        constexpr std::size_t kAhead = 8;
        const std::size_t count = m.ends.size();
        for (std::size_t k = 0; k < std::min(kAhead, count); ++k) words.prefetch(m.hashes[k]);
        std::uint32_t begin = 0;
        for (std::size_t k = 0; k < count; ++k) {
            if (k + kAhead < count) words.prefetch(m.hashes[k + kAhead]);
            const std::uint32_t end = m.ends[k];
            if (!handleWord(std::string_view(m.bytes).substr(begin, end - begin), m.hashes[k])) return false;
            begin = end;
        }
        ++summary.messagesIndexed;
        updatePercent();
    }
    total = read;
    return true;
}

// One word of the current message. False after a failure that ended the run.
bool IndexRun::Impl::handleWord(std::string_view word, std::uint64_t hash) {
    if (word.empty()) return true;
    // The buffer never holds a stop word but as one (the run's stop list
    // only grows): one look-up serves the common case.
    BufferedWord* entry = words.find(word, hash);
    if (entry && entry->action == BufferedWord::Stop) return true;
    if (!entry && stops.contains(word, hash)) {
        BufferedWord stop;
        stop.action = BufferedWord::Stop;
        words.insert(word, hash, stop);
        return true;
    }
    if (!entry && wordListHasRecords && !wordsComplete) {
        WordList.clear();
        WOR.THEWORD = word;
        const StorageStatus st = WordList.get(WOR_by_theWord);
        if (st == StorageStatus::Ok) {
            BufferedWord found;
            found.id = WOR.WORDID;
            found.count = WOR.WORDCOUNT;
            found.storedCount = WOR.WORDCOUNT;
            found.action = BufferedWord::Update;
            entry = &words.insert(word, hash, found);
        } else if (st != StorageStatus::NotFound) {
            return wordListLookupFailed(word);
        }
    }
    if (!entry) {
        // A new word counts this message already.
        BufferedWord fresh;
        fresh.id = ++nextWordId;
        fresh.count = 1;
        fresh.action = BufferedWord::Add;
        fresh.lastMessage = currentMessage;
        words.insert(word, hash, fresh);
        occurrences.add(currentMessage, static_cast<ULONG>(fresh.id));
        ++summary.newWords;
        return true;
    }
    if (autoStop && total > kAutoStopAfter && entry->count > static_cast<LONG>(total / 4)) {
        // Too common to be worth indexing: from now on a stop word, and its
        // entries leave the index with the next cleanup (those still in the
        // buffer never reach it).
        setStatus("Moving Word to Stop List...");
        stops.add(word);
        newStopWords.emplace_back(word);
        cleanupIds.push_back(entry->id);
        cleanupSet.insert(entry->id);
        entry->action = BufferedWord::Stop;
        ++summary.stopWordsMoved;
        return true;
    }
    if (entry->lastMessage != currentMessage) {
        entry->lastMessage = currentMessage;
        occurrences.add(currentMessage, static_cast<ULONG>(entry->id));
        ++entry->count;
    }
    return true;
}

bool IndexRun::Impl::wordListLookupFailed(std::string_view word) {
    message("Unexpected Error", "Unexpected file error:Wordlist(Get)" + WordList.lastError().text + "|on Message#" +
                                    std::to_string(currentMessage) + "|Word=" + std::string(word),
            Icon::Hand);
    message("Corrupt Data", "There is unwritten data in memory.|The data set is corrupt.|Please restore from a backup.",
            Icon::Hand);
    end(State::Failed, 2);
    return false;
}

}  // namespace pm
