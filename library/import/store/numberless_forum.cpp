// Forum messages whose source gives them no number: the number comes from
// the content, so a message read again (another run, a copy of its file)
// finds the one stored before instead of being stored twice.
#include <cstdint>

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
    std::uint64_t hash = 0xcbf29ce484222325ULL;
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
            record.MSGNUMBER = number;
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

}  // namespace pm
