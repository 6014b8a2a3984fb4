#include "browse/browse_rows.h"

#include <cstdio>

#include "browse/browse_views.h"
#include "common/date_pictures.h"
#include "common/utf8.h"

namespace pm {

std::string cutCharacters(std::string_view text, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t chars = 0; at < text.size() && chars < n; ++chars) at += decodeUtf8At(text, at).length;
    return std::string(text.substr(0, at));
}

std::string threadHeading(const ThreadsRecord& thread) {
    std::string_view alpha = thread.ALPHA.raw();
    const std::string_view beta = thread.BETA.view();
    if (beta.empty()) return std::string(trimRight(alpha));
    // A character that did not fit into ALPHA's ten bytes went on in BETA
    // and left one to three pad blanks behind it.
    const auto lead = static_cast<unsigned char>(beta.front());
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t pad = 0;
    while (pad + 1 < length && pad < alpha.size() && alpha[alpha.size() - 1 - pad] == ' ') ++pad;
    alpha.remove_suffix(pad);
    return std::string(alpha) + std::string(beta);
}

std::string messagePersonText(const PersonRecord& p) {
    std::string text = p.LASTNAME.str() + "," + p.FIRSTNAME.str() + " " + p.ADDRESS.str();
    // A person with a last name alone ("All", a newsgroup) shows no comma.
    std::string_view shown = trimRight(text);
    if (!shown.empty() && shown.back() == ',') shown.remove_suffix(1);
    return cutCharacters(shown, 50);
}

std::string mailPersonText(const PersonRecord& p) {
    std::string text;
    if (p.LASTNAME.empty()) text = p.ADDRESS.str();
    else if (p.FIRSTNAME.empty()) text = p.LASTNAME.str() + " " + p.ADDRESS.str();
    else text = p.LASTNAME.str() + "," + p.FIRSTNAME.str() + " " + p.ADDRESS.str();
    return cutCharacters(trimRight(text), 95);
}

std::string personDisplayName(const PersonRecord& p) {
    std::string name = p.FIRSTNAME.str();
    if (!name.empty() && !p.LASTNAME.empty()) name += ' ';
    name += p.LASTNAME.str();
    if (!p.ADDRESS.empty()) name += (name.empty() ? "<" : " <") + p.ADDRESS.str() + ">";
    return name;
}

const char* statusName(BYTE status) {
    return status == StatusKeep ? "Keep" : status == StatusDelete ? "Delete" : "Normal";
}

BYTE effectiveStatus(std::initializer_list<BYTE> statuses) {
    for (BYTE s : statuses)
        if (s != 0) return s;
    return StatusNormal;
}

// --- look-ups ---------------------------------------------------------------------

const RowLookups::Thread& RowLookups::thread(ULONG number) {
    auto [it, added] = threads_.try_emplace(number);
    if (added && number != 0) {
        Threads.clear();
        THR.THREADNUMBER = number;
        if (Threads.get(THR_ThreadKey) == StorageStatus::Ok) {
            it->second.found = true;
            it->second.heading = threadHeading(THR);
            it->second.status = THR.DUMMY;
        }
    }
    return it->second;
}

const RowLookups::Section& RowLookups::section(ULONG id) {
    auto [it, added] = sections_.try_emplace(id);
    if (added && id != 0) {
        Sections.clear();
        SEC.SECSYSID = id;
        if (Sections.get(SEC_SysIdKey) == StorageStatus::Ok) {
            char number[16];
            std::snprintf(number, sizeof number, "%02u", SEC.SECTIONNUMBER);
            it->second.found = true;
            it->second.description = SEC.DESCRIPTION.str();
            it->second.text = std::string(number) + " " + it->second.description;
            it->second.status = SEC.DUMMY;
        }
    }
    return it->second;
}

const RowLookups::Person& RowLookups::person(ULONG id) {
    auto [it, added] = persons_.try_emplace(id);
    if (added && id != 0) {
        // The table, not the struct of the same name.
        pm::Person.clear();
        PER.PERSONID = id;
        if (pm::Person.get(PER_PersonKey) == StorageStatus::Ok) {
            it->second.found = true;
            it->second.record = PER;
            it->second.status = PER.DUMMY;
        }
    }
    return it->second;
}

void RowLookups::forget() {
    threads_.clear();
    sections_.clear();
    persons_.clear();
}

// --- rows ------------------------------------------------------------------------------

BrowseRowReader::BrowseRowReader(std::string datePicture, std::string timePicture, BYTE databaseStatus)
    : datePicture_(std::move(datePicture)), timePicture_(std::move(timePicture)), databaseStatus_(databaseStatus) {}

void BrowseRowReader::fillMessage(ListRow& row) {
    row.id = MSG.MSGNUMBER;
    row.cells.assign(MessageCellCount, {});
    const RowLookups::Thread& thread = lookups_.thread(MSG.THREADNUMBER);
    const RowLookups::Section& section = lookups_.section(MSG.SECSYSID);
    const RowLookups::Person& sender = lookups_.person(MSG.FROMID);
    const RowLookups::Person& receiver = lookups_.person(MSG.TOID);
    if (thread.found) row.cells[CellThread] = cutCharacters(thread.heading, 50);
    if (sender.found) row.cells[CellSender] = messagePersonText(sender.record);
    if (receiver.found) row.cells[CellReceiver] = messagePersonText(receiver.record);
    if (section.found) row.cells[CellSection] = section.text;
    row.cells[CellDate] = formatDate(MSG.DATE, datePicture_);
    row.cells[CellNumber] = std::to_string(MSG.MSGNUMBER);
    if (MSG.REFNUMBER != 0) row.cells[CellReplyTo] = std::to_string(MSG.REFNUMBER);
    row.status = effectiveStatus({MSG.DUMMY, thread.status, section.status, databaseStatus_});
}

void BrowseRowReader::fillMail(ListRow& row) {
    row.id = MAI.MAILID;
    row.cells.assign(MailCellCount, {});
    const RowLookups::Person& partner = lookups_.person(MAI.PAIRID);
    const RowLookups::Person& sender = lookups_.person(MAI.FROMID);
    const RowLookups::Person& receiver = lookups_.person(MAI.TOID);
    row.cells[MailCellDate] = formatDate(MAI.DATE, datePicture_);
    row.cells[MailCellTime] = formatTime(MAI.TIME, timePicture_);
    row.cells[MailCellSubject] = MAI.SUBJECT.str();
    if (sender.found) row.cells[MailCellSender] = mailPersonText(sender.record);
    if (receiver.found) row.cells[MailCellReceiver] = mailPersonText(receiver.record);
    row.cells[MailCellType] = MAI.RECIPTYPE.str();
    if (MAI.CCR) row.cells[MailCellCc] = "CC";
    row.cells[MailCellNumber] = std::to_string(MAI.MAILID);
    row.status = effectiveStatus({MAI.DUMMY, partner.status, databaseStatus_});
}

void BrowseRowReader::fillMissing(ListRow& row, ULONG number, std::size_t cells, std::size_t numberCell) {
    row.id = number;
    row.cells.assign(cells, {});
    row.cells[numberCell] = std::to_string(number);
    row.status = databaseStatus_;
}

RowReader BrowseRowReader::messageReader(const KeyRange& range) {
    if (!viewListsReferences(range)) return [this](ListRow& row) { fillMessage(row); };
    return [this, range](ListRow& row) {
        const ULONG number = listedMessage(range);
        MsgNmbr.clear();
        MSG.MSGNUMBER = number;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) fillMessage(row);
        else fillMissing(row, number, MessageCellCount, CellNumber);
    };
}

RowReader BrowseRowReader::mailReader(const KeyRange& range) {
    if (!viewListsReferences(range)) return [this](ListRow& row) { fillMail(row); };
    return [this, range](ListRow& row) {
        const ULONG number = listedMessage(range);
        Mail.clear();
        MAI.MAILID = number;
        if (Mail.get(MAI_IdKey) == StorageStatus::Ok) fillMail(row);
        else fillMissing(row, number, MailCellCount, MailCellNumber);
    };
}

}  // namespace pm
