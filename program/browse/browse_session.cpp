#include "browse/browse_session.h"

#include <climits>

#include "browse/browse_navigation.h"
#include "browse/browse_title.h"
#include "browse/browse_views.h"
#include "browse/lookup_lists.h"
#include "common/date_pictures.h"
#include "common/globals.h"
#include "tables/records/all_tables.h"
#include "wordindex/search_tables.h"

namespace pm {

namespace {

BYTE readDatabaseStatus() {
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) Mem.ForumCheck = FOR.DUMMY;
    return Mem.ForumCheck;
}

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

BrowseSession::BrowseSession(std::string datePicture, std::string timePicture)
    : mail_(Mem.ForumType == TypeMail),
      type_(Mem.ForumType),
      context_(zeroBrowseContext()),
      mailContext_(zeroMailBrowseContext()),
      reader_(datePicture, std::move(timePicture), readDatabaseStatus()),
      datePicture_(std::move(datePicture)) {
    context_.SORTORDER = ViewByNumber;
    mailContext_.SORTORDER = MailByDate;
}

std::int64_t BrowseSession::setView(BYTE view) {
    const BYTE last = mail_ ? MailViewCount : MessageViewCount;
    if (view < 1 || view > last) view = 1;
    if (mail_) mailContext_.SORTORDER = view;
    else context_.SORTORDER = view;
    return rebuild();
}

std::int64_t BrowseSession::rebuild() { return afterRebuild(selected()); }

std::int64_t BrowseSession::afterRebuild(ULONG keep) {
    const KeyRange range = mail_ ? mailViewRange(mailContext_) : messageViewRange(context_);
    list_ = std::make_unique<PagedList>(range, mail_ ? reader_.mailReader(range) : reader_.messageReader(range));
    list_->reload();
    // A view of a whole file counts its records: the list has just done so.
    const ULONG count = range.equalParts == 0 ? static_cast<ULONG>(list_->size())
                        : mail_             ? mailViewCount(mailContext_)
                                            : messageViewCount(context_);
    if (mail_) mailContext_.MAXNUMBER = count;
    else context_.MAXNUMBER = count;
    std::int64_t ordinal = keep != 0 ? ordinalOf(keep) : -1;
    if (ordinal < 0 && rows() > 0) ordinal = 0;
    select(ordinal);
    return ordinal;
}

std::string BrowseSession::title() const {
    return browseTitle(type_, Mem.Description, mail_ ? mailContext_.MAXNUMBER : context_.MAXNUMBER);
}

std::string BrowseSession::listError() const {
    if (!list_) return {};
    if (list_->error().status != StorageStatus::Ok) return list_->error().text;
    return {};
}

// --- narrowing -----------------------------------------------------------------------

std::int64_t BrowseSession::narrowToThread(ULONG thread) {
    setThreadFilter(context_, thread);
    context_.SORTORDER = ViewByThread;
    return rebuild();
}

std::int64_t BrowseSession::narrowToSection(ULONG section) {
    context_.XSECSYSID = section;
    context_.SORTORDER = ViewBySection;
    return rebuild();
}

std::int64_t BrowseSession::narrowToPerson(BrowsePersonRole role, ULONG person) {
    if (mail_) {
        setPersonFilter(mailContext_, role, person);
        mailContext_.SORTORDER = role == BrowsePersonRole::Sender     ? MailBySender
                                 : role == BrowsePersonRole::Receiver ? MailByReceiver
                                                                      : MailByPartner;
    } else {
        setPersonFilter(context_, role, person);
        context_.SORTORDER = role == BrowsePersonRole::Receiver ? ViewByReceiver : ViewBySender;
    }
    return rebuild();
}

std::int64_t BrowseSession::chooseWord(ULONG word) {
    if (mail_) mailContext_.XSINDEXID = word, mailContext_.SORTORDER = MailByKeyWord;
    else context_.XSINDEXID = word, context_.SORTORDER = ViewByKeyWord;
    return rebuild();
}

std::int64_t BrowseSession::chooseTopic(ULONG topic) {
    if (mail_) mailContext_.XTOPICSID = topic, mailContext_.SORTORDER = MailByTopic;
    else context_.XTOPICSID = topic, context_.SORTORDER = ViewByTopic;
    return rebuild();
}

bool BrowseSession::hasFilterValue() const {
    return mail_ ? viewHasFilterValue(mailContext_) : viewHasFilterValue(context_);
}

bool BrowseSession::stepFilter(int direction, std::int64_t& select) {
    const bool stepped = mail_ ? stepFilterValue(mailContext_, direction) : stepFilterValue(context_, direction);
    if (stepped) select = rebuild();
    return stepped;
}

std::string BrowseSession::filterText() const {
    auto person = [](ULONG id) {
        return id != 0 && readLookupChoice(LookupKind::Persons, id) ? personDisplayName(PER) : std::string();
    };
    if (mail_) {
        switch (mailContext_.SORTORDER) {
            case MailByPartner: return person(mailContext_.XPAIRID);
            case MailBySender: return person(mailContext_.XSENDID);
            case MailByReceiver: return person(mailContext_.XRECEIVEID);
            case MailByKeyWord:
                return readLookupChoice(LookupKind::Words, mailContext_.XSINDEXID) ? WOR.THEWORD.str() : "";
            case MailByTopic:
                return readLookupChoice(LookupKind::Topics, mailContext_.XTOPICSID) ? COD.INDEX.str() : "";
            default: return {};
        }
    }
    switch (context_.SORTORDER) {
        case ViewByThread:
            return context_.XTHREADNUMBER != 0 && readLookupChoice(LookupKind::Threads, context_.XTHREADNUMBER)
                       ? threadHeading(THR)
                       : "";
        case ViewBySection: {
            if (!readLookupChoice(LookupKind::Sections, context_.XSECSYSID)) return {};
            std::string number = std::to_string(SEC.SECTIONNUMBER);
            if (number.size() < 2) number.insert(0, "0");
            return number + " " + SEC.DESCRIPTION.str();
        }
        case ViewBySender: return person(context_.XSENDID);
        case ViewByReceiver: return person(context_.XRECEIVEID);
        case ViewByKeyWord: return readLookupChoice(LookupKind::Words, context_.XSINDEXID) ? WOR.THEWORD.str() : "";
        case ViewByTopic: return readLookupChoice(LookupKind::Topics, context_.XTOPICSID) ? COD.INDEX.str() : "";
        default: return {};
    }
}

std::int64_t BrowseSession::showInThreadView(ULONG message) {
    if (mail_) return selectedOrdinal_;
    const std::int64_t here = ordinalOf(message);
    const BYTE v = context_.SORTORDER;
    if (here >= 0 && (v == ViewByNumber || v == ViewByThread || v == ViewBySection || v == ViewByDate)) {
        select(here);
        return here;
    }
    context_.XTHREADNUMBER = 0;
    context_.SORTORDER = ViewByThread;
    return afterRebuild(message);
}

// --- selection ----------------------------------------------------------------------------

void BrowseSession::select(std::int64_t ordinal) {
    const ListRow* r = ordinal >= 0 && list_ ? list_->row(ordinal) : nullptr;
    selectedOrdinal_ = r ? ordinal : -1;
    const ULONG id = r && !r->missing ? r->id : 0;
    if (mail_) mailContext_.XMAILID = id;
    else context_.XMSGID = id;
    publish();
}

std::int64_t BrowseSession::ordinalOf(ULONG number) {
    if (!list_ || number == 0) return -1;
    const KeyRange& range = list_->range();
    if (!findListRecord(range, number)) return -1;
    return list_->ordinalOf(range.table->position());
}

std::int64_t BrowseSession::locate(const std::string& typed) {
    if (!list_ || typed.empty()) return -1;
    const bool number = isNumber(typed);
    const std::optional<LONG> day = parseDate(typed, datePicture_);
    std::function<void()> prime;
    if (mail_) {
        auto byDate = [day] {
            MAI.DATE = *day;
            MAI.TIME = INT32_MAX;
            MAI.MAILID = UINT32_MAX;
        };
        const bool narrowed = viewIsNarrowed(mailContext_);
        switch (mailContext_.SORTORDER) {
            case MailByDate:
                if (!day) return -1;
                prime = byDate;
                break;
            case MailBySubject:
                prime = [&typed] {
                    MAI.SUBJECT = typed;
                    MAI.DATE = INT32_MAX, MAI.TIME = INT32_MAX, MAI.MAILID = UINT32_MAX;
                };
                break;
            case MailByPartner:
            case MailBySender:
            case MailByReceiver: {
                if (narrowed) {
                    if (!day) return -1;
                    prime = byDate;
                    break;
                }
                const BYTE v = mailContext_.SORTORDER;
                prime = [&typed, v] {
                    if (v == MailByPartner) MAI.PAIRALPHA = typed, MAI.PAIRID = 0;
                    else if (v == MailBySender) MAI.FROMALPHA = typed, MAI.FROMID = 0;
                    else MAI.TOALPHA = typed, MAI.TOID = 0;
                    MAI.DATE = INT32_MAX, MAI.TIME = INT32_MAX, MAI.MAILID = UINT32_MAX;
                };
                break;
            }
            default: return -1;
        }
        return list_->locate(prime);
    }
    const ULONG n = number ? static_cast<ULONG>(std::stoul(typed)) : 0;
    switch (context_.SORTORDER) {
        case ViewByNumber:
            if (!number) return -1;
            prime = [n] { MSG.MSGNUMBER = n; };
            break;
        case ViewByThread:
        case ViewBySection:
            if (context_.SORTORDER == ViewByThread && context_.XTHREADNUMBER != 0) {
                if (!number) return -1;
                prime = [n] { MSG.MSGNUMBER = n; };
            } else {
                prime = [&typed] { MSG.THREADALPHA = typed, MSG.THREADNUMBER = 0, MSG.MSGNUMBER = 0; };
            }
            break;
        case ViewBySender:
        case ViewByReceiver: {
            const bool sender = context_.SORTORDER == ViewBySender;
            if (sender ? context_.XSENDID != 0 : context_.XRECEIVEID != 0) {
                if (!number) return -1;
                prime = [n] { MSG.MSGNUMBER = n; };
            } else {
                prime = [&typed, sender] {
                    if (sender) MSG.FROMALPHA = typed, MSG.FROMID = 0;
                    else MSG.TOALPHA = typed, MSG.TOID = 0;
                    MSG.MSGNUMBER = UINT32_MAX;
                };
            }
            break;
        }
        case ViewByDate:
            if (!day) return -1;
            prime = [day] { MSG.DATE = *day, MSG.MSGNUMBER = UINT32_MAX; };
            break;
        case ViewByTopic:
            if (!number) return -1;
            prime = [n] { SIN.MSGNUMBER = n; };
            break;
        case ViewBySearch:
            if (!number) return -1;
            prime = [n] { SEA.ID = n; };
            break;
        default: return -1;
    }
    return list_->locate(prime);
}

void BrowseSession::publish() const {
    if (mail_) publishMailContext(mailContext_);
    else publishContext(context_);
}

// --- marks and text --------------------------------------------------------------------------

StatusResult BrowseSession::setStatus(int choice, const std::function<int()>& ask) {
    StatusTargets targets;
    if (selected() == 0) return {};
    // A message another user deleted meanwhile keeps its number: the mark
    // then fails and says so.
    targets.message = selected();
    if (mail_) {
        Mail.clear();
        MAI.MAILID = selected();
        if (Mail.get(MAI_IdKey) == StorageStatus::Ok) targets.partner = MAI.PAIRID;
    } else {
        MsgNmbr.clear();
        MSG.MSGNUMBER = selected();
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            targets.thread = MSG.THREADNUMBER;
            targets.section = MSG.SECSYSID;
        }
    }
    const StatusResult result = SetStatus(choice, targets, ask);
    if (result.written) {
        reader_.setDatabaseStatus(Mem.ForumCheck);
        reader_.lookups().forget();
        if (list_) list_->forgetRows();
    }
    return result;
}

int BrowseSession::loadText() {
    const ULONG number = selected();
    if (number == 0) return text_.loadText({});
    const BYTE v = view();
    const bool withSubject = (v == keyWordView() && chosenWord() != 0) || v == searchView();
    if (withSubject) {
        const ListRow* r = row(selectedOrdinal_);
        const std::size_t cell = mail_ ? std::size_t{MailCellSubject} : std::size_t{CellThread};
        const std::string subject = r ? r->cells[cell] : std::string();
        text_.load(number, &subject);
    } else {
        text_.load(number);
    }
    return text_.pages();
}

std::vector<std::string> BrowseSession::hitWords() const {
    const BYTE v = view();
    if (v == keyWordView()) {
        if (chosenWord() != 0 && readLookupChoice(LookupKind::Words, chosenWord())) return {WOR.THEWORD.str()};
        return {};
    }
    if (v == searchView()) return searchWords_;
    return {};
}

bool BrowseSession::takeSearchResult(const std::vector<ULONG>& found, const std::vector<std::string>& words,
                                     std::int64_t& selectAt) {
    std::vector<ULONG> kept;
    const bool narrowed = mail_ ? viewIsNarrowed(mailContext_) : viewIsNarrowed(context_);
    for (ULONG number : found) {
        if (!narrowed || (mail_ ? mailInView(mailContext_, number) : messageInView(context_, number)))
            kept.push_back(number);
    }
    if (kept.empty()) {
        searchShown_ = false;
        return false;
    }
    if (!storeSearchResult(kept)) return false;
    searchWords_ = words;
    searchShown_ = true;
    if (mail_) mailContext_.SORTORDER = MailBySearch;
    else context_.SORTORDER = ViewBySearch;
    afterRebuild(kept.front());
    selectAt = selectedOrdinal_;
    return true;
}

}  // namespace pm
