#include "wordindex/phrase_check.h"

#include <atomic>
#include <cstring>

#include "common/helper_thread.h"
#include "storage/side_reader.h"
#include "storage/table.h"
#include "tables/records/message_tables.h"

namespace pm {

namespace {

std::size_t shareFrom = kPhraseShareFrom;
bool helperAlone = false;

enum class TextRead { Ok, Missing, Failed };

TextRead readOf(StorageStatus status) {
    if (status == StorageStatus::Ok) return TextRead::Ok;
    return status == StorageStatus::NotFound ? TextRead::Missing : TextRead::Failed;
}

// A record's fixed part as SideReader::readRecord() gives it.
template <class Record>
bool copyRecord(const std::string& bytes, Record& record) {
    if (bytes.size() != sizeof(Record)) return false;
    std::memcpy(&record, bytes.data(), sizeof(Record));
    return true;
}

}  // namespace

enum class PhraseOutcome : unsigned char { Unchecked, Holds, Lacks };

class MessageTexts {
public:
    virtual ~MessageTexts() = default;
    // Missing for a message that is gone; Failed when it could not be read
    // (and must be checked again on the connection's thread).
    virtual TextRead text(ULONG number, std::string& out) = 0;
    virtual TextRead heading(ULONG number, std::string& out) = 0;
};

namespace {

// The texts through the open message tables (the connection's thread). A
// failed read counts as a message that is gone: it does not hold the phrase.
class TableTexts final : public MessageTexts {
public:
    explicit TableTexts(BYTE databaseType) : databaseType_(databaseType) {}

    TextRead text(ULONG number, std::string& out) override {
        TXT.MSGNUMBER = number;
        // Only the one column is read, not the whole record.
        return MsgText.getText(TXT_IdKey, "MsgText", out) == StorageStatus::Ok ? TextRead::Ok : TextRead::Missing;
    }

    TextRead heading(ULONG number, std::string& out) override {
        if (databaseType_ == TypeMail) {
            MAI.MAILID = number;
            return Mail.getText(MAI_IdKey, "SUBJECT", out) == StorageStatus::Ok ? TextRead::Ok : TextRead::Missing;
        }
        MSG.MSGNUMBER = number;
        if (MsgNmbr.get(MSG_IdKey) != StorageStatus::Ok) return TextRead::Missing;
        THR.THREADNUMBER = MSG.THREADNUMBER;
        if (Threads.get(THR_ThreadKey) != StorageStatus::Ok) return TextRead::Missing;
        out.assign(THR.HEADING.view());
        return TextRead::Ok;
    }

private:
    BYTE databaseType_;
};

// The same texts through a SideReader (the helper's thread).
class SideTexts final : public MessageTexts {
public:
    // The reader's queries, numbered as the enum below says.
    static std::vector<SideReader::Query> queries(BYTE databaseType) {
        if (databaseType == TypeMail) return {{&MsgText, &TXT_IdKey, "MsgText"}, {&Mail, &MAI_IdKey, "SUBJECT"}};
        return {{&MsgText, &TXT_IdKey, "MsgText"}, {&MsgNmbr, &MSG_IdKey, ""}, {&Threads, &THR_ThreadKey, ""}};
    }

    SideTexts(SideReader& reader, BYTE databaseType) : reader_(reader), databaseType_(databaseType) {}

    TextRead text(ULONG number, std::string& out) override { return readOf(reader_.readText(TextQuery, number, out)); }

    TextRead heading(ULONG number, std::string& out) override {
        if (databaseType_ == TypeMail) return readOf(reader_.readText(SubjectQuery, number, out));
        TextRead read = readOf(reader_.readRecord(MessageQuery, number, bytes_));
        if (read != TextRead::Ok) return read;
        MsgNmbrRecord message;
        if (!copyRecord(bytes_, message)) return TextRead::Failed;
        read = readOf(reader_.readRecord(ThreadQuery, message.THREADNUMBER, bytes_));
        if (read != TextRead::Ok) return read;
        ThreadsRecord thread;
        if (!copyRecord(bytes_, thread)) return TextRead::Failed;
        out.assign(thread.HEADING.view());
        return TextRead::Ok;
    }

private:
    enum : std::size_t { TextQuery = 0, SubjectQuery = 1, MessageQuery = 1, ThreadQuery = 2 };

    SideReader& reader_;
    BYTE databaseType_;
    std::string bytes_;
};

// Whether message `number` holds the phrase (Unchecked: a read failed).
PhraseOutcome check(PhraseMatcher& matcher, MessageTexts& texts, ULONG number, std::string& buffer) {
    // The text first: where it holds the phrase the heading need not be read.
    switch (texts.text(number, buffer)) {
        case TextRead::Failed: return PhraseOutcome::Unchecked;
        case TextRead::Ok:
            if (matcher.foundIn(buffer)) return PhraseOutcome::Holds;
            break;
        case TextRead::Missing: break;
    }
    switch (texts.heading(number, buffer)) {
        case TextRead::Failed: return PhraseOutcome::Unchecked;
        case TextRead::Ok: return matcher.foundIn(buffer) ? PhraseOutcome::Holds : PhraseOutcome::Lacks;
        case TextRead::Missing: break;
    }
    return PhraseOutcome::Lacks;
}

}  // namespace

struct PhraseCheck::Helper {
    Helper(std::unique_ptr<SideReader> sideReader, BYTE databaseType, const std::vector<std::string>& phrase)
        : reader(std::move(sideReader)), texts(*reader, databaseType), matcher(phrase) {}

    std::unique_ptr<SideReader> reader;
    SideTexts texts;
    PhraseMatcher matcher;
    std::string buffer;
    HelperThread thread;  // last: its thread ends before the rest goes
};

PhraseCheck::PhraseCheck(std::vector<std::string> phrase, BYTE databaseType)
    : databaseType_(databaseType), phrase_(std::move(phrase)), matcher_(phrase_) {}

PhraseCheck::~PhraseCheck() = default;

void PhraseCheck::setShareFrom(std::size_t candidates, bool alone) {
    shareFrom = candidates;
    helperAlone = alone;
}

void PhraseCheck::release() {
    helper_.reset();
    helperFailed_ = false;
}

bool PhraseCheck::shareCheck(const std::vector<ULONG>& candidates, std::vector<PhraseOutcome>& outcomes) {
    if (candidates.size() < shareFrom || helperFailed_) return false;
    if (!helper_) {
        std::unique_ptr<SideReader> reader = SideReader::open(SideTexts::queries(databaseType_));
        if (!reader) {
            helperFailed_ = true;
            return false;
        }
        helper_ = std::make_unique<Helper>(std::move(reader), databaseType_, phrase_);
    }
    if (!helper_->reader->begin()) return false;
    Helper& helper = *helper_;
    struct EndReads {
        SideReader& reader;
        ~EndReads() { reader.end(); }
    } endReads{*helper.reader};

    // Each thread takes the next candidate not taken yet, so neither waits
    // long for the other at the end whatever the texts' lengths.
    std::atomic<std::size_t> next = 0;
    auto work = [&](PhraseMatcher& matcher, MessageTexts& texts, std::string& buffer) {
        std::size_t checked = 0;
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < candidates.size();) {
            outcomes[i] = check(matcher, texts, candidates[i], buffer);
            if (outcomes[i] != PhraseOutcome::Unchecked) ++checked;
        }
        return checked;
    };
    std::size_t helperChecked = 0;
    helper.thread.start([&] { helperChecked = work(helper.matcher, helper.texts, helper.buffer); });
    TableTexts own(databaseType_);
    try {
        if (!helperAlone) work(matcher_, own, text_);
    } catch (...) {
        // The helper uses what this frame holds: it must end first.
        next = candidates.size();
        try {
            helper.thread.wait();
        } catch (...) {
        }
        throw;
    }
    helper.thread.wait();
    helperChecked_ += helperChecked;
    return true;
}

std::vector<ULONG> PhraseCheck::lacking(const std::vector<ULONG>& candidates) {
    std::vector<PhraseOutcome> outcomes(candidates.size(), PhraseOutcome::Unchecked);
    shareCheck(candidates, outcomes);
    TableTexts own(databaseType_);
    std::vector<ULONG> out;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (outcomes[i] == PhraseOutcome::Unchecked) outcomes[i] = check(matcher_, own, candidates[i], text_);
        if (outcomes[i] == PhraseOutcome::Lacks) out.push_back(candidates[i]);
    }
    return out;
}

}  // namespace pm
