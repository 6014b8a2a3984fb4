#include "import/store/text_digest.h"

#include <algorithm>

#include "import/store/dup_string.h"

namespace pm {

namespace {

// A polynomial hash over bytes (modulo 2^64). Equal hashes are only ever a
// reason to compare the texts themselves; different hashes mean different
// bytes.
constexpr std::uint64_t kBase = 0x100000001b3ULL;

std::uint64_t extend(std::uint64_t hash, char byte) {
    return hash * kBase + static_cast<unsigned char>(byte) + 1;
}

std::size_t tailStart(std::size_t trimmedBytes) {
    return trimmedBytes > TextDigest::kTail ? trimmedBytes - TextDigest::kTail : 0;
}

}  // namespace

TextPrefixes::TextPrefixes(std::string_view text) : raw_(dupRawText(text)), trimmed_(dupTrimmedText(raw_)) {
    hashes_.resize(trimmed_.size() + 1);
    for (std::size_t i = 0; i < trimmed_.size(); ++i) hashes_[i + 1] = extend(hashes_[i], trimmed_[i]);
}

TextDigest TextPrefixes::digest() const {
    TextDigest d;
    d.rawBytes = static_cast<std::uint32_t>(raw_.size());
    d.trimmedBytes = static_cast<std::uint32_t>(trimmed_.size());
    d.trimmedHash = prefixHash(trimmed_.size());
    const std::size_t start = tailStart(trimmed_.size());
    d.headHash = prefixHash(start);
    d.tail = std::string(trimmed_.substr(start));
    const std::size_t end = trimmed_.size();
    const std::size_t first = end > TextDigest::kMarkReach ? end - TextDigest::kMarkReach : 0;
    for (std::size_t at = first; at <= end; ++at)
        if (markPositionAtOrBelow(at) == at) d.marks.push_back(markKey(at, prefixHash(at)));
    return d;
}

std::uint64_t TextPrefixes::markOf() const {
    const std::size_t at = markPositionAtOrBelow(trimmed_.size());
    return markKey(at, prefixHash(at));
}

std::size_t TextPrefixes::markReachBeyond() const {
    // A stored text holds the mark at `at` when its trimmed end is at most
    // kMarkReach past it.
    const std::size_t at = markPositionAtOrBelow(trimmed_.size());
    return at + TextDigest::kMarkReach - trimmed_.size();
}

bool TextPrefixes::mayDuplicate(const TextDigest& stored) const {
    const std::size_t nt = trimmed_.size(), nr = raw_.size();
    const std::size_t ct = stored.trimmedBytes, cr = stored.rawBytes;
    // Equal trimmed lengths: the same text or not a duplicate.
    if (ct == nt) return prefixHash(nt) == stored.trimmedHash;
    if (ct < nt) {
        // The stored text must begin this one, which goes on past the stored
        // text's own trailing blanks by fewer than 20 characters.
        return nt < cr + kDupRemainderBytes && prefixHash(ct) == stored.trimmedHash;
    }
    // This text must begin the stored one, which goes on past this text's
    // trailing blanks by fewer than 20 characters.
    if (ct >= nr + kDupRemainderBytes) return false;
    const std::size_t start = tailStart(ct);
    // This text ends before the stored tail begins: only long trailing
    // blanks get here, and only the texts can tell.
    if (nt < start) return true;
    return prefixHash(start) == stored.headHash && trimmed_.substr(start) == std::string_view(stored.tail).substr(0, nt - start);
}

std::size_t markPositionAtOrBelow(std::size_t bytes) { return bytes < 32 ? bytes / 4 * 4 : bytes / 32 * 32; }

std::uint64_t markKey(std::size_t bytes, std::uint64_t hash) { return hash ^ (bytes * 0x9e3779b97f4a7c15ULL); }

TextDigest digestOf(std::string_view text) {
    // One pass over the bytes, keeping only the hashes the digest holds:
    // the same values as TextPrefixes(text).digest() without a hash per byte.
    const std::string_view raw = dupRawText(text);
    const std::string_view trimmed = dupTrimmedText(raw);
    const std::size_t end = trimmed.size();
    const std::size_t start = tailStart(end);
    const std::size_t firstMark = end > TextDigest::kMarkReach ? end - TextDigest::kMarkReach : 0;
    TextDigest d;
    d.rawBytes = static_cast<std::uint32_t>(raw.size());
    d.trimmedBytes = static_cast<std::uint32_t>(end);
    d.tail = std::string(trimmed.substr(start));
    std::uint64_t hash = 0;
    std::size_t at = 0;
    for (const std::size_t upTo = std::min(start, firstMark); at < upTo; ++at) hash = extend(hash, trimmed[at]);
    for (;; ++at) {
        if (at == start) d.headHash = hash;
        if (at >= firstMark && markPositionAtOrBelow(at) == at) d.marks.push_back(markKey(at, hash));
        if (at == end) break;
        hash = extend(hash, trimmed[at]);
    }
    d.trimmedHash = hash;
    return d;
}

void TextDigestIndex::add(std::uint32_t number, TextDigest digest) {
    const auto index = static_cast<std::uint32_t>(entries_.size());
    byText_.emplace(digest.trimmedHash, index);
    for (std::uint64_t mark : digest.marks) byMark_.emplace(mark, index);
    longestTrail_ = std::max<std::size_t>(longestTrail_, digest.rawBytes - digest.trimmedBytes);
    entries_.push_back({number, std::move(digest)});
}

bool TextDigestIndex::findDuplicate(const TextPrefixes& text, const std::function<bool(std::uint32_t)>& confirm) const {
    const std::size_t nt = text.trimmedBytes(), nr = text.rawBytes();
    auto offered = [&](std::uint32_t index) {
        const Entry& e = entries_[index];
        return text.mayDuplicate(e.digest) && confirm(e.number);
    };
    // Stored texts as long as this one or shorter: this text begins with
    // one of them, which (with its trailing blanks) ends fewer than 20
    // characters before this one's end.
    const std::size_t reach = kDupRemainderBytes + longestTrail_;
    for (std::size_t length = nt > reach ? nt - reach : 0; length <= nt; ++length) {
        const auto [from, to] = byText_.equal_range(text.prefixHash(length));
        for (auto it = from; it != to; ++it)
            if (entries_[it->second].digest.trimmedBytes == length && offered(it->second)) return true;
    }
    // Longer stored texts begin with this one and end fewer than 20
    // characters past this one's trailing blanks; the marks find those
    // within their reach, and only a text with long trailing blanks reaches
    // further (then every text is looked at).
    if (nr + kDupRemainderBytes > nt + text.markReachBeyond()) {
        for (std::uint32_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].digest.trimmedBytes > nt && offered(i)) return true;
        return false;
    }
    const auto [from, to] = byMark_.equal_range(text.markOf());
    for (auto it = from; it != to; ++it)
        if (entries_[it->second].digest.trimmedBytes > nt && offered(it->second)) return true;
    return false;
}

}  // namespace pm
