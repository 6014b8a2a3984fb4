#pragma once
// Word breaking on a thread of its own, beside the indexing run that reads
// the messages and files their words: while the run files the words of one
// chunk of messages and reads the next, the worker breaks the chunk read
// before. The run hands over one chunk at a time and takes its words back
// in message order, so the index is the same as when one thread does all.
//
// The worker only reads the texts it was given and the word definition
// tables (which no one changes during a run); it never touches storage.
// Signals are blocked on it, so an interrupt reaches the run's own thread.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/types.h"
#include "wordindex/index_buffers.h"
#include "wordindex/word_breaker.h"

namespace pm {

// One message to break: its heading (thread heading or subject) and text.
struct MessageToBreak {
    ULONG number = 0;
    std::string heading;
    std::string text;
};

// The words of one message, in text order (heading first), cut to their
// stored form: word i is bytes[ends[i-1], ends[i]), its indexWordHash()
// hashes[i] (worked out here, off the run's thread). A word's third and
// later occurrences are left out: filing them changes nothing.
struct BrokenMessage {
    ULONG number = 0;
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint64_t> hashes;
};

class WordBreakWorker {
public:
    // `databaseType` and `indexFooters` decide the regions of a message that
    // are broken (text_regions.h).
    WordBreakWorker(BYTE databaseType, BYTE indexFooters);
    ~WordBreakWorker();
    WordBreakWorker(const WordBreakWorker&) = delete;
    WordBreakWorker& operator=(const WordBreakWorker&) = delete;

    // Starts breaking `chunk`. The chunk handed over before must have been
    // taken back.
    void submit(std::vector<MessageToBreak> chunk);
    // Waits for the chunk submitted last and returns its messages' words,
    // in the order given.
    std::vector<BrokenMessage> take();

private:
    void run();
    void breakChunk();

    BYTE databaseType_;
    BYTE indexFooters_;
    WordBreaker breaker_;
    FlatWordTable seen_;                   // the words of the message being broken
    std::vector<std::uint8_t> seenCounts_;  // how often each was met (up to 2)
    std::mutex lock_;
    std::condition_variable wake_;
    std::vector<MessageToBreak> input_;
    std::vector<BrokenMessage> output_;
    bool pending_ = false;  // a chunk handed over and not yet broken
    bool quit_ = false;
    std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace pm
