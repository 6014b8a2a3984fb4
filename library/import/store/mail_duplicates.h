#pragma once
// The duplicate test of mail: a mail is a duplicate of a stored mail of the
// same minute with the same sender, receiver and subject (letter case
// ignored) whose text is the same (textsAreDuplicates()).
//
// Many mails can share a minute (a mailbox of undated mail, a batch sent at
// once), so the test does not walk the minute's mail for every new one: the
// first test in a minute reads the minute's headers once into memory,
// grouped by sender, receiver and subject, and each stored mail joins its
// group. Texts are compared through their digests (text_digest.h); a stored
// text is read only when its digest cannot rule the duplicate out.
//
// Most groups are never looked into again (few mails share a minute, a
// sender, a receiver and a subject), so a mail joins its group by number
// only: the group takes the digests of its texts, read from the store, when
// a mail is first tested against it.
//
// The memory is only valid while every mail stored into the database passes
// through remember(): one import run (which holds the installation's import
// lock) into one database. clear() between databases; a rolled-back
// transaction ends the run.
//
// A database that held no mail when the run began (a first import) holds
// only the mail remembered since: the minutes it stored into are marked in
// a bitmap of a few bits a day, and a minute not marked is known to be
// empty without a look into the store.
#include <bitset>
#include <cstdint>
#include <unordered_map>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "common/types.h"
#include "import/store/text_digest.h"

namespace pm {

class MailDuplicates {
public:
    // What a mail is compared by, besides its text.
    struct Key {
        LONG date = 0;
        LONG minute = 0;  // the time cut to the minute
        ULONG senderId = 0, receiverId = 0;
        std::string upperSubject;  // the stored subject (50 characters), upper case
    };

    // Forgets everything (another database, or a new run). `storeHoldsNoMail`:
    // the active database holds no mail yet (every minute starts empty).
    void clear(bool storeHoldsNoMail = false);

    // Whether `text` under `key` duplicates a stored mail of the ACTIVE
    // database (Mail and MsgText open; their buffers are overwritten).
    bool isDuplicate(const Key& key, std::string_view text);

    // Records mail `mailId` just stored under `key` (its text in MsgText).
    void remember(const Key& key, ULONG mailId);

private:
    // The mail of one minute with one sender, receiver and subject.
    struct Group {
        TextDigestIndex digests;
        std::vector<ULONG> undigested;  // mail whose digest is not taken yet
    };
    using GroupKey = std::tuple<ULONG, ULONG, std::string>;
    struct Minute {
        std::map<GroupKey, Group> groups;
    };

    Minute& minuteOf(const Key& key);
    // Whether the store may hold mail of the minute of `key` that was not
    // remembered in this run.
    bool storeMayHold(const Key& key) const;
    void markStored(const Key& key);

    // Minutes of a day: times run up to 24 hours (and the day's end).
    static constexpr std::size_t kMinutesADay = 24 * 60 + 1;

    // Minutes by date and time (minuteKey()).
    static std::uint64_t minuteKey(const Key& key);
    std::unordered_map<std::uint64_t, Minute> minutes_;
    std::size_t remembered_ = 0;  // candidates held, all minutes
    bool storeHeldNoMail_ = false;
    // With storeHeldNoMail_: the minutes mail was stored into, by date.
    std::unordered_map<LONG, std::bitset<kMinutesADay>> storedMinutes_;
};

}  // namespace pm
