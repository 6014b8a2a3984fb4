// Reading messages into the buffers of an indexing run.
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

void IndexRun::Impl::indexSome() {
    if (cancelRequested) {
        stopping = true;
        beginFlush(State::Finishing);
        return;
    }
    {
        ReadScope reads;  // the batch only reads; the flush below writes
        for (int i = 0; i < options.batchSize; ++i) {
            const StorageStatus st = MsgText.next();
            if (st == StorageStatus::NotFound) {
                textsExhausted = true;
                break;
            }
            if (st != StorageStatus::Ok) {
                message(MsgText.displayName(), "Record read error!|" + MsgText.lastError().text, Icon::Hand);
                end(State::Failed, 2);
                return;
            }
            if (skipStart) {
                skipStart = false;
                if (TXT.MSGNUMBER == lastPosition) continue;  // indexed before
            }
            lastRead = TXT.MSGNUMBER;
            ++total;
            if (!indexMessage()) return;
            updatePercent();
        }
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

// Indexes the message in the TXT buffer. False after a failure that ended the run.
bool IndexRun::Impl::indexMessage() {
    const ULONG msg = TXT.MSGNUMBER;
    if (msg <= highestIndexedAtStart) {
        MasIdx.clear();
        MAS.SYSID = msg;
        MasIdx.setAt(MAS_by_SysID);
        if (MasIdx.next() == StorageStatus::Ok && MAS.SYSID == msg) {
            ++summary.alreadyIndexed;
            return true;
        }
    }

    std::string_view heading;
    if (databaseType == TypeMail) {
        MAI.MAILID = msg;
        if (Mail.get(MAI_IdKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return true;
        }
        heading = MAI.SUBJECT.raw();
    } else {
        MSG.MSGNUMBER = msg;
        if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return true;
        }
        THR.THREADNUMBER = MSG.THREADNUMBER;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) {
            ++summary.withoutHeader;
            return true;
        }
        heading = THR.HEADING.raw();
    }

    const IndexRegions regions = messageIndexRegions(static_cast<DatabaseType>(databaseType), heading,
                                                     TXT.MsgText, indexFooters);
    currentMessage = msg;
    bool ok = true;
    const auto visit = [&](const BrokenWord& w) {
        ok = handleWord(cutToStoredWord(w.text));
        return ok;
    };
    // Heading and text are broken apart, so no word spans the two.
    if (!breaker.breakText(regions.heading, visit) || !breaker.breakText(regions.text, visit)) return false;
    ++summary.messagesIndexed;
    return ok;
}

// One word of the current message. False after a failure that ended the run.
bool IndexRun::Impl::handleWord(std::string_view word) {
    if (word.empty() || stops.contains(word)) return true;
    BufferedWord* entry = words.find(word);
    if (!entry && wordListHasRecords) {
        WordList.clear();
        WOR.THEWORD = word;
        const StorageStatus st = WordList.get(WOR_by_theWord);
        if (st == StorageStatus::Ok) {
            BufferedWord found;
            found.id = WOR.WORDID;
            found.count = WOR.WORDCOUNT;
            found.storedCount = WOR.WORDCOUNT;
            found.action = BufferedWord::Update;
            entry = &words.insert(word, found);
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
        words.insert(word, fresh);
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
        words.erase(word);
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
