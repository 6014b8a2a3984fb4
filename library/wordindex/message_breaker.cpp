#include "wordindex/message_breaker.h"

#include "wordindex/text_regions.h"
#include "wordindex/word_case.h"

namespace pm {

MessageBreaker::MessageBreaker(BYTE databaseType, BYTE indexFooters)
    : databaseType_(databaseType),
      indexFooters_(indexFooters),
      tables_(currentWordDefinition()),
      breaker_(WordBreakOptions{&tables_.startWord, &tables_.inWord, &tables_.endWord}) {}

void MessageBreaker::breakMessage(const MessageToBreak& m, const WordDefinition& tables, BrokenMessage& out) {
    if (!(tables == tables_)) tables_ = tables;
    out.number = m.number;
    out.bytes.clear();
    out.ends.clear();
    out.hashes.clear();
    out.bytes.reserve(m.text.size() / 2);
    out.ends.reserve(m.text.size() / 8);
    out.hashes.reserve(m.text.size() / 8);
    const IndexRegions regions =
        messageIndexRegions(static_cast<DatabaseType>(databaseType_), m.heading, m.text, indexFooters_, tables_.startWord);
    seen_.reset();
    seenCounts_.clear();
    const auto visit = [&](const BrokenWord& w) {
        const std::string_view word = cutToStoredWord(w.text);
        bool added = false;
        const std::uint64_t hash = indexWordHash(word);
        const std::uint32_t place = seen_.insert(word, hash, added);
        if (added) seenCounts_.push_back(0);
        // A third and later occurrence in one message changes nothing the
        // second did not (the indexer counts a word once a message; the
        // second meeting may make it a stop word, after which it is passed
        // over): those are left out.
        if (seenCounts_[place] == 2) return;
        ++seenCounts_[place];
        out.bytes += word;
        out.ends.push_back(static_cast<std::uint32_t>(out.bytes.size()));
        out.hashes.push_back(hash);
    };
    // Heading and text are broken apart, so no word spans the two.
    breaker_.breakText(regions.heading, visit);
    breaker_.breakText(regions.text, visit);
}

void MessageBreaker::breakMessageToFit(const MessageToBreak& m, const WordDefinition& tables, BrokenMessage& scratch,
                                       BrokenMessage& out) {
    breakMessage(m, tables, scratch);
    out.number = scratch.number;
    out.bytes.assign(scratch.bytes);
    out.ends.assign(scratch.ends.begin(), scratch.ends.end());
    out.hashes.assign(scratch.hashes.begin(), scratch.hashes.end());
}

}  // namespace pm
