// Forum messages whose source gives them no number: the number comes from
// the content, so a message read again (another run, a copy of its file)
// finds the one stored before instead of being stored twice.
#include <cstdint>
#include <map>
#include <vector>

#include "common/message_text.h"
#include "common/utf8.h"
#include "import/store/message_store.h"
#include "import/store/thread_store.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

// Numbers handed out by content: far above the sources' own numbers and
// below 2^31, so no reader takes them for negative.
constexpr ULONG kContentNumbers = 1u << 30;

constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ULL;

std::uint64_t addBytes(std::uint64_t hash, std::string_view bytes) {
    // FNV-1a: stable across runs and builds, unlike std::hash.
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    return hash;
}

std::string storedText(const std::string& text) { return text.substr(0, utf8PrefixBytes(text, MessageTextChars)); }

}  // namespace

bool MessageStore::sameForumMessage(const WorkRecord& record, ULONG section, const std::string& text) {
    // MSG holds the header just read.
    if (MSG.SECSYSID != section) return false;
    const ULONG number = MSG.MSGNUMBER;
    Threads.clear();
    THR.THREADNUMBER = MSG.THREADNUMBER;
    if (Threads.get(THR_ThreadKey) != StorageStatus::Ok || !threadHeadingEquals(THR, record.HEADING.view()))
        return false;
    MsgText.clear();
    TXT.MSGNUMBER = number;
    return MsgText.get(TXT_IdKey) == StorageStatus::Ok && TXT.MsgText == text;
}

void MessageStore::numberByContent(WorkRecord& record, ULONG section, bool& stored) {
    stored = false;
    const std::string text = storedText(record.MSGTEXT);
    std::uint64_t hash = kHashStart;
    hash = addBytes(hash, std::to_string(section));
    hash = addBytes(hash, std::string_view("\0", 1));
    hash = addBytes(hash, record.HEADING.view());
    hash = addBytes(hash, std::string_view("\0", 1));
    hash = addBytes(hash, text);
    ULONG offset = static_cast<ULONG>(hash % kContentNumbers);
    // Another message on the number its content leads to: the next one is
    // tried, as a later run will try it.
    for (ULONG tried = 0; tried < kContentNumbers; ++tried, offset = (offset + 1) % kContentNumbers) {
        const ULONG number = FirstNumberlessForumMessage + offset;
        MsgNmbr.clear();
        MSG.MSGNUMBER = number;
        if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) {
            // Free (a store that cannot be read fails the header's write,
            // which reports it).
            const ULONG earlier = numberedInReadingOrder(record, section, text);
            record.MSGNUMBER = earlier != 0 ? earlier : number;
            stored = earlier != 0;
            return;
        }
        if (sameForumMessage(record, section, text)) {
            record.MSGNUMBER = number;
            stored = true;
            return;
        }
    }
    // Every number taken (never in practice): the work file's own number,
    // unique in this run, is kept.
}

ULONG MessageStore::numberedInReadingOrder(const WorkRecord& record, ULONG section, const std::string& text) {
    ThreadChoice thread;
    if (!findThread(section, record.HEADING.view(), thread)) return 0;
    auto [at, added] = numberlessByThread_.try_emplace(thread.number);
    std::multimap<std::uint64_t, ULONG>& digests = at->second;
    if (added) {
        // Once per thread and run: each of its texts is read once, however
        // many messages of the thread the run brings.
        std::vector<ULONG> numbers;
        MsgNmbr.clear();
        MSG.THREADALPHA = thread.alpha;
        MSG.THREADNUMBER = thread.number;
        MSG.MSGNUMBER = FirstNumberlessForumMessage;
        MsgNmbr.setAt(MSG_Threadkey);
        while (MsgNmbr.next() == StorageStatus::Ok && MSG.THREADNUMBER == thread.number)
            if (MSG.MSGNUMBER >= FirstNumberlessForumMessage) numbers.push_back(MSG.MSGNUMBER);
        for (const ULONG number : numbers) {
            MsgText.clear();
            TXT.MSGNUMBER = number;
            if (MsgText.get(TXT_IdKey) == StorageStatus::Ok)
                digests.emplace(addBytes(kHashStart, TXT.MsgText), number);
        }
    }
    const auto [first, last] = digests.equal_range(addBytes(kHashStart, text));
    for (auto it = first; it != last; ++it) {
        MsgNmbr.clear();
        MSG.MSGNUMBER = it->second;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok && sameForumMessage(record, section, text)) return it->second;
    }
    return 0;
}

}  // namespace pm
