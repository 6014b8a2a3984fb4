#pragma once
// Breaking one message into the words an indexing run files: its heading
// and the regions of its text that are indexed, each word cut to its stored
// form and hashed. Runs on the indexing worker (index_worker.h); it only
// reads the texts it is given and the word definition tables (which no one
// changes during a run), never storage.
#include <cstdint>
#include <string>
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
// hashes[i]. A word's third and later occurrences are left out: filing
// them changes nothing.
struct BrokenMessage {
    ULONG number = 0;
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint64_t> hashes;
};

class MessageBreaker {
public:
    // `databaseType` and `indexFooters` decide the regions of a message that
    // are broken (text_regions.h).
    MessageBreaker(BYTE databaseType, BYTE indexFooters) : databaseType_(databaseType), indexFooters_(indexFooters) {}

    // The words of `m` into `out` (its earlier contents replaced).
    void breakMessage(const MessageToBreak& m, BrokenMessage& out);

private:
    BYTE databaseType_;
    BYTE indexFooters_;
    WordBreaker breaker_;
    FlatWordTable seen_;                   // the words of the message being broken
    std::vector<std::uint8_t> seenCounts_;  // how often each was met (up to 2)
};

}  // namespace pm
