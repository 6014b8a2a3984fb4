#include "fresh_counts.h"

#include <map>
#include <set>

#include "common/globals.h"
#include "tables/records/all_tables.h"

namespace pm::test {

namespace {

struct Sides {
    ULONG sent = 0, received = 0;
};

template <typename Each>
void scan(Table& table, Each each) {
    if (!table.isOpen()) return;
    table.setPhysical();
    while (table.next() == StorageStatus::Ok) each();
}

void compare(std::string& out, const std::string& what, long long stored, long long counted) {
    if (stored != counted)
        out += what + ": stored " + std::to_string(stored) + ", counted " + std::to_string(counted) + "\n";
}

}  // namespace

std::string countDifferences() {
    std::string out;
    const bool mail = Mem.ForumType == TypeMail;
    std::map<ULONG, Sides> persons;
    std::map<ULONG, ULONG> threads, sections;
    std::set<ULONG> messages;
    long long headers = 0;
    if (mail) {
        scan(Mail, [&] {
            ++headers;
            messages.insert(MAI.MAILID);
            ++persons[MAI.FROMID].sent;
            ++persons[MAI.TOID].received;
        });
    } else {
        scan(MsgNmbr, [&] {
            ++headers;
            messages.insert(MSG.MSGNUMBER);
            ++persons[MSG.FROMID].sent;
            ++persons[MSG.TOID].received;
            ++threads[MSG.THREADNUMBER];
            ++sections[MSG.SECSYSID];
        });
        std::map<ULONG, ULONG> storedThreads, storedSections;
        scan(Threads, [&] { storedThreads[THR.THREADNUMBER] = THR.MSGCOUNT; });
        scan(Sections, [&] { storedSections[SEC.SECSYSID] = SEC.MSGCOUNT; });
        for (const auto& [id, n] : threads) compare(out, "thread " + std::to_string(id), storedThreads.count(id) ? storedThreads[id] : -1, n);
        for (const auto& [id, n] : storedThreads) compare(out, "thread " + std::to_string(id), n, threads[id]);
        for (const auto& [id, n] : sections) compare(out, "section " + std::to_string(id), storedSections.count(id) ? storedSections[id] : -1, n);
        for (const auto& [id, n] : storedSections) compare(out, "section " + std::to_string(id), n, sections[id]);
    }
    std::set<ULONG> stored;
    scan(Person, [&] {
        stored.insert(PER.PERSONID);
        const Sides s = persons.count(PER.PERSONID) ? persons[PER.PERSONID] : Sides{};
        compare(out, "person " + std::to_string(PER.PERSONID) + " sent", PER.FROMCOUNT, s.sent);
        compare(out, "person " + std::to_string(PER.PERSONID) + " received", PER.TOCOUNT, s.received);
        if (s.sent + s.received == 0 && !(mail && PER.PERSONID == Mem.PersonID))
            out += "person " + std::to_string(PER.PERSONID) + " has no messages\n";
    });
    for (const auto& [id, s] : persons)
        if (id != 0 && !stored.count(id)) out += "messages name person " + std::to_string(id) + ", which is gone\n";
    scan(PLINK, [&] {
        if (!stored.count(PLI.PERSONID)) out += "alias of missing person " + std::to_string(PLI.PERSONID) + "\n";
    });
    Forums.clear();
    FOR.ID = Mem.ForumNumber;
    if (Forums.get(FOR_ForumKey) == StorageStatus::Ok) compare(out, "database", FOR.MSGCOUNT, headers);
    if (WordList.isOpen() && MasIdx.isOpen()) {
        std::map<ULONG, long long> occurrences;
        scan(MasIdx, [&] {
            ++occurrences[MAS.WORDID];
            if (!messages.count(MAS.SYSID)) out += "occurrence in missing message " + std::to_string(MAS.SYSID) + "\n";
        });
        scan(WordList, [&] {
            compare(out, "word " + std::string(WOR.THEWORD.view()), WOR.WORDCOUNT, occurrences[static_cast<ULONG>(WOR.WORDID)]);
            occurrences.erase(static_cast<ULONG>(WOR.WORDID));
        });
        for (const auto& [id, n] : occurrences) out += "occurrences of missing word " + std::to_string(id) + "\n";
    }
    return out;
}

}  // namespace pm::test
