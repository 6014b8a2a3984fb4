#include "import/store/mail_duplicates.h"

#include <climits>

#include "common/text.h"
#include "import/store/dup_string.h"
#include "import/store/message_store.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// Beyond this many candidates the memory starts afresh (minutes are read
// again from the store when next needed). A candidate whose group has been
// looked into holds about a kilobyte (its minute, group and digest tables):
// 200,000 of them took more memory than the rest of an import run.
constexpr std::size_t kMostRemembered = 20000;

}  // namespace

void MailDuplicates::clear(bool storeHoldsNoMail) {
    minutes_.clear();
    remembered_ = 0;
    storeHeldNoMail_ = storeHoldsNoMail;
    storedMinutes_.clear();
}

std::uint64_t MailDuplicates::minuteKey(const Key& key) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.date)) << 32 | static_cast<std::uint32_t>(key.minute);
}

bool MailDuplicates::storeMayHold(const Key& key) const {
    if (!storeHeldNoMail_) return true;
    const LONG slot = key.minute / MinuteOfTime;
    if (slot < 0 || static_cast<std::size_t>(slot) >= kMinutesADay) return true;  // never marked
    const auto day = storedMinutes_.find(key.date);
    return day != storedMinutes_.end() && day->second.test(static_cast<std::size_t>(slot));
}

void MailDuplicates::markStored(const Key& key) {
    if (!storeHeldNoMail_) return;
    const LONG slot = key.minute / MinuteOfTime;
    if (slot >= 0 && static_cast<std::size_t>(slot) < kMinutesADay)
        storedMinutes_[key.date].set(static_cast<std::size_t>(slot));
}

MailDuplicates::Minute& MailDuplicates::minuteOf(const Key& key) {
    const auto at = minutes_.find(minuteKey(key));
    if (at != minutes_.end()) return at->second;
    if (remembered_ > kMostRemembered) {
        // Only the candidates go: the minutes stored into stay marked.
        minutes_.clear();
        remembered_ = 0;
    }
    Minute& minute = minutes_[minuteKey(key)];
    if (!storeMayHold(key)) return minute;
    Mail.clear();
    MAI.DATE = key.date;
    // The key runs downward: start at the minute's last moment, above every
    // mail. Stored times are read by the minute they fall in, so mail stored
    // with another cut of the same minute is found as well.
    MAI.TIME = key.minute + MinuteOfTime - 1;
    MAI.MAILID = UINT32_MAX;
    Mail.setAt(MAI_DateKey);
    std::vector<std::pair<GroupKey, ULONG>> stored;
    while (Mail.next() == StorageStatus::Ok && MAI.DATE == key.date && MAI.TIME >= key.minute) {
        // Copies: the record's numbers are packed, and the pair would bind
        // references to them.
        const ULONG from = MAI.FROMID, to = MAI.TOID, id = MAI.MAILID;
        stored.push_back({{from, to, toUpper(MAI.SUBJECT.view())}, id});
    }
    for (auto& [group, mailId] : stored) minute.groups[group].undigested.push_back(mailId);
    remembered_ += stored.size();
    return minute;
}

bool MailDuplicates::isDuplicate(const Key& key, std::string_view text) {
    Minute& minute = minuteOf(key);
    const auto group = minute.groups.find({key.senderId, key.receiverId, key.upperSubject});
    if (group == minute.groups.end()) return false;
    // Each stored text is read for its digest once, here.
    Group& mails = group->second;
    for (const ULONG mailId : mails.undigested) mails.digests.add(mailId, digestOf(storedMessageText(mailId)));
    mails.undigested.clear();
    return mails.digests.findDuplicate(TextPrefixes(text), [&](std::uint32_t mailId) {
        return textsAreDuplicates(storedMessageText(mailId), text);
    });
}

void MailDuplicates::remember(const Key& key, ULONG mailId) {
    minuteOf(key).groups[{key.senderId, key.receiverId, key.upperSubject}].undigested.push_back(mailId);
    ++remembered_;
    markStored(key);
}

}  // namespace pm
