#pragma once
// Breaking one message into the words an indexing run files: its heading
// and the regions of its text that are indexed, each word cut to its stored
// form and hashed. Runs on the indexing worker and on the run's own thread
// (index_worker.h), one breaker each: it only reads the texts and the copy
// of the word definition it is given, never the process-wide tables (the
// settings may change them meanwhile) nor storage.
#include <cstdint>
#include <string>
#include <vector>

#include "common/types.h"
#include "common/word_definition.h"
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

    // Bytes it holds.
    std::size_t bytesHeld() const {
        return bytes.capacity() + ends.capacity() * sizeof(std::uint32_t) + hashes.capacity() * sizeof(std::uint64_t);
    }
};

class MessageBreaker {
public:
    // `databaseType` and `indexFooters` decide the regions of a message that
    // are broken (text_regions.h).
    MessageBreaker(BYTE databaseType, BYTE indexFooters);
    // The breaker reads its own copy of the tables.
    MessageBreaker(const MessageBreaker&) = delete;
    MessageBreaker& operator=(const MessageBreaker&) = delete;

    // The words of `m` under the word definition `tables` into `out` (its
    // earlier contents replaced).
    void breakMessage(const MessageToBreak& m, const WordDefinition& tables, BrokenMessage& out);
    // The same into `out` sized to fit (for results kept a while): `scratch`
    // holds the words meanwhile.
    void breakMessageToFit(const MessageToBreak& m, const WordDefinition& tables, BrokenMessage& scratch,
                           BrokenMessage& out);

private:
    BYTE databaseType_;
    BYTE indexFooters_;
    WordDefinition tables_;  // the tables last used; breaker_ reads them
    WordBreaker breaker_;
    FlatWordTable seen_;                   // the words of the message being broken
    std::vector<std::uint8_t> seenCounts_;  // how often each was met (up to 2)
};

}  // namespace pm
