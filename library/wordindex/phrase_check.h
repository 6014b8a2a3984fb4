#pragma once
// The phrase check of a search's candidates: which messages hold the phrase
// in their text or, where the text lacks it, in their thread heading
// (forum, newsgroup) or subject (mail). A message that can not be read
// does not hold it.
//
// Reading the texts is most of a phrase search, so a check of many
// candidates is shared with a helper thread that reads through a
// SideReader: both threads take the next unchecked candidate until none is
// left. Where the helper can not read (the stores busy, a failed read) the
// connection's thread checks what it left, so the result is the same as
// when one thread checks all.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/types.h"
#include "wordindex/phrase_match.h"

namespace pm {

class MessageTexts;                        // where a message's texts are read
enum class PhraseOutcome : unsigned char;  // what a check found of a candidate

// A check of at least this many candidates is shared with the helper.
inline constexpr std::size_t kPhraseShareFrom = 48;

class PhraseCheck {
public:
    // `phrase`: upper-case words as the search word input gives them.
    PhraseCheck(std::vector<std::string> phrase, BYTE databaseType);
    ~PhraseCheck();
    PhraseCheck(const PhraseCheck&) = delete;
    PhraseCheck& operator=(const PhraseCheck&) = delete;

    // Those of `candidates` that do not hold the phrase, in their order. On
    // the connection's thread with the message tables of the active
    // database open; inside a read transaction (ReadScope), or the check is
    // not shared.
    std::vector<ULONG> lacking(const std::vector<ULONG>& candidates);
    // How many candidates the helper checked so far.
    std::size_t helperChecked() const { return helperChecked_; }
    // Lets go of the helper and its connection (the end of a run of checks:
    // the stores may be replaced before the next).
    void release();

    // Tests: checks of at least `candidates` are shared from now on
    // (SIZE_MAX: none; kPhraseShareFrom is the rule outside tests). With
    // `helperAlone` the helper checks all it can and the connection's
    // thread only what it left, so that a test sees every text read the
    // helper's way whatever the threads' timing.
    static void setShareFrom(std::size_t candidates, bool helperAlone = false);

private:
    struct Helper;  // the helper's thread, reader and matcher

    // Shares the check of `candidates` with the helper; false when the
    // helper can not read now (nothing is checked then). What the helper
    // could not read stays Unchecked.
    bool shareCheck(const std::vector<ULONG>& candidates, std::vector<PhraseOutcome>& outcomes);

    BYTE databaseType_;
    std::vector<std::string> phrase_;
    PhraseMatcher matcher_;
    std::string text_;  // the text or heading read last
    std::unique_ptr<Helper> helper_;
    std::size_t helperChecked_ = 0;
    bool helperFailed_ = false;  // opening it failed: not tried again until release()
};

}  // namespace pm
