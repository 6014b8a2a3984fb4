// Reading messages for the indexing worker, and answering its word-list
// look-ups: the run's thread touches storage, the worker files the words
// (index_worker.h).
#include <algorithm>

#include "common/user_interface.h"
#include "storage/table.h"
#include "tables/records/all_tables.h"
#include "wordindex/index_run_impl.h"

namespace pm {

namespace {

// Messages handed to the worker at once: small enough that the worker
// starts soon and a step's last chunk is filed quickly, large enough that
// handing over costs nothing.
std::size_t chunkSize(int batchSize) { return static_cast<std::size_t>(std::clamp(batchSize / 4, 1, 64)); }

}  // namespace

void IndexRun::Impl::startWorker() {
    IndexWorker::Setup setup;
    setup.databaseType = databaseType;
    setup.indexFooters = indexFooters;
    setup.filer.stops = stops;
    setup.filer.lastWordId = nextWordId;
    setup.filer.wordsComplete = !wordListHasRecords;
    setup.filer.autoStop = autoStop != 0;
    // Two batches live at once, the one flushed and the one filled: the
    // occurrences of each get half the room. The words kept from batch to
    // batch a quarter.
    setup.filer.keepWordBytes = options.bufferBytes / 4;
    setup.batchBytes = options.bufferBytes / 2;
    setup.breaking = options.breaking;
    setup.lastRead = lastPosition;
    setup.total = total;
    worker = std::make_unique<IndexWorker>(std::move(setup));
}

void IndexRun::Impl::indexSome() {
    if (!worker) startWorker();
    if (cancelRequested && !stopping) {
        // What the worker filed is flushed; messages read beyond it are
        // left for the next run, which reads on from the checkpoint.
        stopping = true;
        worker->finish();
        chunk = MessageChunk{};
        inputClosed = true;
    }
    if (!inputClosed) {
        ReadScope reads;  // the step only reads; the flushes write
        if (!readMessages(options.batchSize, true)) return;
    }
    if (!serveLookups()) return;
    // The step ends once the worker filed what it read (it filed one
    // chunk while this thread read the next), so a stop takes effect
    // after the messages the progress counted.
    while (!worker->batchReady() && !worker->waitFiled())
        if (!serveLookups()) return;
    takeCounts();
    if (std::unique_ptr<FlushBatch> batch = worker->takeBatch()) beginFlush(std::move(batch));
}

bool IndexRun::Impl::readMessages(int limit, bool block) {
    const std::size_t size = chunkSize(options.batchSize);
    for (int n = 0; n < limit && !textsExhausted;) {
        if (chunk.messages.size() >= size) {
            if (!worker->hasRoom()) {
                if (!block || worker->batchReady()) return true;  // the batch goes first
                worker->wait(true);
                if (!serveLookups()) return false;
                continue;
            }
            submitChunk(false, false);
        }
        const StorageStatus st = MsgText.next();
        ++n;
        if (st == StorageStatus::NotFound) {
            textsExhausted = true;
        } else if (st != StorageStatus::Ok) {
            message(MsgText.displayName(), "Record read error!|" + MsgText.lastError().text, Icon::Hand);
            end(State::Failed, 2);
            return false;
        } else if (skipStart && TXT.MSGNUMBER == lastPosition) {
            skipStart = false;  // indexed before
        } else {
            skipStart = false;
            lastRead = TXT.MSGNUMBER;
            ++read;
            MessageToBreak m;
            if (readMessage(m)) {
                chunk.messages.push_back(std::move(m));
                chunk.ordinals.push_back(read);
            }
        }
    }
    // A step hands over all it read: the last chunk of the run, or a
    // short one so that reading can pause here.
    if (textsExhausted) submitChunk(true, true);
    else if (!chunk.messages.empty() || chunk.lastRead != lastRead) submitChunk(false, true);
    return true;
}

void IndexRun::Impl::submitChunk(bool last, bool endsStep) {
    chunk.lastRead = lastRead;
    chunk.total = read;
    chunk.last = last;
    chunk.endsStep = endsStep;
    worker->submit(std::move(chunk));
    chunk = MessageChunk{};
    chunk.lastRead = lastRead;
    if (last) inputClosed = true;
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

bool IndexRun::Impl::serveLookups() {
    if (worker->serveLookups([this](std::vector<WordLookup>& words) { return lookUpWords(words); })) return true;
    end(State::Failed, 2);
    return false;
}

bool IndexRun::Impl::lookUpWords(std::vector<WordLookup>& words) {
    for (WordLookup& w : words) {
        WordList.clear();
        WOR.THEWORD = w.word;
        const StorageStatus st = WordList.get(WOR_by_theWord);
        if (st == StorageStatus::Ok) {
            w.found = true;
            w.id = WOR.WORDID;
            w.count = WOR.WORDCOUNT;
        } else if (st != StorageStatus::NotFound) {
            wordListLookupFailed(w.word);
            return false;
        }
    }
    return true;
}

void IndexRun::Impl::wordListLookupFailed(std::string_view word) {
    message("Unexpected Error", "Unexpected file error:Wordlist(Get)" + WordList.lastError().text + "|on Message#" +
                                    std::to_string(lastRead) + "|Word=" + std::string(word),
            Icon::Hand);
    message("Corrupt Data", "There is unwritten data in memory.|The data set is corrupt.|Please restore from a backup.",
            Icon::Hand);
}

// The worker's counts into the summary and the progress.
void IndexRun::Impl::takeCounts() {
    if (!worker) return;
    summary.messagesIndexed = filedBefore + worker->messagesFiled();
    summary.newWords = newWordsBefore + worker->newWords();
    summary.stopWordsMoved = stopsBefore + worker->stopWordsMoved();
    updatePercent();
}

}  // namespace pm
