#include "wordindex/word_matching.h"

#include <algorithm>

#include "common/utf8.h"
#include "wordindex/word_case.h"

namespace pm {
namespace {

constexpr char32_t kAnyOne = U'?';
constexpr char32_t kAnyRun = U'*';

// Decodes `text` into `out`, one code point per character.
void decodeInto(std::string_view text, std::u32string& out) {
    out.clear();
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = decodeUtf8At(text, at);
        out.push_back(c.codePoint);
        at += c.length;
    }
}

std::u32string decode(std::string_view text) {
    std::u32string out;
    decodeInto(text, out);
    return out;
}

bool isLetterAZ(char c) { return c >= 'A' && c <= 'Z'; }

// Soundex digits of A..Z; '0' letters are never written.
constexpr char kSoundexDigit[27] = "01230120022455012623010202";

bool endsWordAt(const std::u32string& word, std::size_t end) { return end == word.size() || word[end] == U' '; }

}  // namespace

// ---- Soundex ----

void soundexCodeInto(std::string_view word, std::string& out) {
    out.clear();
    if (word.empty() || !isLetterAZ(word[0])) return;
    out.push_back(word[0]);
    char last = 0;
    for (std::size_t i = 1; i < word.size() && out.size() < kMaxSoundexLength; ++i) {
        if (!isLetterAZ(word[i])) continue;
        const char digit = kSoundexDigit[word[i] - 'A'];
        if (digit == '0' || digit == last) continue;
        out.push_back(digit);
        last = digit;
    }
}

std::string soundexCode(std::string_view word) {
    std::string out;
    soundexCodeInto(word, out);
    return out;
}

SoundexWordCheck checkSoundexWord(std::string_view searchWord) {
    if (utf8Length(searchWord) < 2) return SoundexWordCheck::TooFewLetters;
    if (!std::all_of(searchWord.begin(), searchWord.end(), isLetterAZ)) return SoundexWordCheck::NotOnlyLetters;
    if (soundexCode(searchWord).size() < 2) return SoundexWordCheck::NoSoundexCode;
    return SoundexWordCheck::Ok;
}

bool tooShortForApproximateMatch(std::string_view searchWord) { return utf8Length(searchWord) < 2; }

// ---- Plain ----

PlainMatcher::PlainMatcher(std::string_view searchWord, bool startsWith, bool wholeWord)
    : pattern_(decode(searchWord)), startsWith_(startsWith), wholeWord_(wholeWord) {
    const std::size_t m = pattern_.size();
    shift_.fill(std::max<std::size_t>(m, 1));
    // Horspool shifts by the last character of the window. Code points share
    // a slot by their low 8 bits; the smallest shift of a slot keeps every
    // occurrence in reach, and "?" limits the shift of every slot.
    for (std::size_t i = 0; i + 1 < m; ++i) {
        const std::size_t s = m - 1 - i;
        if (pattern_[i] == kAnyOne) {
            for (auto& slot : shift_) slot = std::min(slot, s);
        } else {
            auto& slot = shift_[pattern_[i] & 0xFF];
            slot = std::min(slot, s);
        }
    }
}

bool PlainMatcher::matchesAt(std::size_t at) const {
    for (std::size_t j = pattern_.size(); j-- > 0;) {
        if (pattern_[j] != kAnyOne && pattern_[j] != word_[at + j]) return false;
    }
    return true;
}

bool PlainMatcher::endsWord(std::size_t end) const { return !wholeWord_ || endsWordAt(word_, end); }

bool PlainMatcher::matches(std::string_view indexWord) {
    decodeInto(indexWord, word_);
    const std::size_t m = pattern_.size();
    const std::size_t n = word_.size();
    if (m > n) return false;
    if (startsWith_) return matchesAt(0) && endsWord(m);
    if (m == 0) return !wholeWord_ || n == 0 || endsWord(0);
    for (std::size_t at = 0; at + m <= n; at += shift_[word_[at + m - 1] & 0xFF]) {
        if (matchesAt(at) && endsWord(at + m)) return true;
    }
    return false;
}

// ---- Wildcards ----

WildcardMatcher::WildcardMatcher(std::string_view searchWord, bool wholeWord) {
    const std::u32string pattern = decode(searchWord);
    std::u32string piece;
    bool cutShort = false;
    for (char32_t c : pattern) {
        if (c != kAnyRun) {
            piece.push_back(c);
            continue;
        }
        if (!piece.empty()) {
            if (pieces_.size() == kMaxPieces) {
                cutShort = true;
                break;
            }
            pieces_.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty() && !cutShort) {
        if (pieces_.size() == kMaxPieces)
            cutShort = true;
        else
            pieces_.push_back(piece);
    }
    anchoredStart_ = !pattern.empty() && pattern.front() != kAnyRun;
    anchoredEnd_ = wholeWord && !cutShort && !pattern.empty() && pattern.back() != kAnyRun;
}

bool WildcardMatcher::pieceAt(const std::u32string& piece, std::size_t at) const {
    if (at + piece.size() > word_.size()) return false;
    for (std::size_t j = 0; j < piece.size(); ++j) {
        if (piece[j] != kAnyOne && piece[j] != word_[at + j]) return false;
    }
    return true;
}

bool WildcardMatcher::matches(std::string_view indexWord) {
    decodeInto(indexWord, word_);
    const std::size_t n = word_.size();
    std::size_t from = 0;  // the next piece may not start before this
    for (std::size_t k = 0; k < pieces_.size(); ++k) {
        const std::u32string& piece = pieces_[k];
        const bool first = k == 0;
        const bool last = k + 1 == pieces_.size();
        if (last && anchoredEnd_) {
            // Any placement after the pieces before that ends the word will do.
            const std::size_t lowest = (first && anchoredStart_) ? 0 : from;
            const std::size_t highest = (first && anchoredStart_) ? 0 : n;
            for (std::size_t at = lowest; at <= highest && at + piece.size() <= n; ++at) {
                if (pieceAt(piece, at) && endsWordAt(word_, at + piece.size())) return true;
            }
            return false;
        }
        if (first && anchoredStart_) {
            if (!pieceAt(piece, 0)) return false;
            from = piece.size();
            continue;
        }
        // The leftmost placement leaves the most room for the pieces after it.
        std::size_t at = from;
        while (at + piece.size() <= n && !pieceAt(piece, at)) ++at;
        if (at + piece.size() > n) return false;
        from = at + piece.size();
    }
    return true;
}

// ---- Approximate ----

ApproximateMatcher::ApproximateMatcher(std::string_view searchWord, int degree, bool wholeWord)
    : pattern_(decode(searchWord)), degree_(degree), wholeWord_(wholeWord) {
    column_.resize(pattern_.size() + 1);
}

bool ApproximateMatcher::matches(std::string_view indexWord) {
    decodeInto(indexWord, word_);
    const std::size_t m = pattern_.size();
    const std::size_t n = word_.size();
    // column_[i]: the fewest edits turning the first i pattern characters into
    // some stretch of the word ending at the current position. Row 0 is 0 at
    // every position, so a stretch may start anywhere.
    for (std::size_t i = 0; i <= m; ++i) column_[i] = static_cast<int>(i);
    auto endsHere = [&](std::size_t end) { return column_[m] <= degree_ && (!wholeWord_ || endsWordAt(word_, end)); };
    if (endsHere(0)) return true;
    for (std::size_t j = 1; j <= n; ++j) {
        int diagonal = column_[0];
        column_[0] = 0;
        for (std::size_t i = 1; i <= m; ++i) {
            const int above = column_[i];
            const int replace = diagonal + (pattern_[i - 1] == word_[j - 1] ? 0 : 1);
            column_[i] = std::min({above + 1, column_[i - 1] + 1, replace});
            diagonal = above;
        }
        if (endsHere(j)) return true;
    }
    return false;
}

// ---- Word finding ----

WordMatcher::WordMatcher(std::string_view searchWord, MatchType type, bool wholeWord, int degree) : type_(type) {
    switch (type) {
        case MatchType::Soundex:
            soundex_ = soundexCode(searchWord);
            break;
        case MatchType::Approximate:
            approximate_.emplace(searchWord, degree, wholeWord);
            break;
        case MatchType::Plain:
        case MatchType::StartsWith:
            if (searchWord.find('*') != std::string_view::npos)
                wildcard_.emplace(searchWord, wholeWord);
            else
                plain_.emplace(searchWord, type == MatchType::StartsWith, wholeWord);
            break;
    }
}

bool WordMatcher::matches(std::string_view indexWord) {
    switch (type_) {
        case MatchType::Soundex:
            // A search word without a code matches nothing.
            if (soundex_.size() < 2) return false;
            soundexCodeInto(indexWord, soundexBuffer_);
            return soundexBuffer_ == soundex_;
        case MatchType::Approximate:
            return approximate_->matches(indexWord);
        case MatchType::Plain:
        case MatchType::StartsWith:
            return wildcard_ ? wildcard_->matches(indexWord) : plain_->matches(indexWord);
    }
    return false;
}

}  // namespace pm
