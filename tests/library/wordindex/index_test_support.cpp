#include "index_test_support.h"

#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/identifiers/next_number.h"
#include "tables/records/all_tables.h"

namespace pm::test {

namespace {
const std::initializer_list<int> kForumTables = {3, 4, 7, 8};
const std::initializer_list<int> kMailTables = {4, 8, 13};
}  // namespace

MessageWriter::MessageWriter(BYTE type) : type_(type) {
    OP_CLOSE(OpenShared, type == TypeMail ? kMailTables : kForumTables);
    // One transaction for all the writes: a commit per record is slow.
    EXPECT_EQ(beginTransaction({&MsgText, &Control, type == TypeMail ? &Mail : &MsgNmbr}), StorageStatus::Ok);
}

MessageWriter::~MessageWriter() {
    EXPECT_EQ(commitTransaction(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, type_ == TypeMail ? kMailTables : kForumTables);
}

ULONG MessageWriter::addTextOnly(const std::string& text) {
    const ULONG number = NextNr();
    MsgText.clear();
    TXT.MSGNUMBER = number;
    TXT.MsgText = text;
    EXPECT_EQ(MsgText.add(), StorageStatus::Ok) << MsgText.lastError().text;
    return number;
}

ULONG MessageWriter::add(const std::string& heading, const std::string& text) {
    if (type_ == TypeMail) {
        const ULONG number = addTextOnly(text);
        Mail.clear();
        MAI.MAILID = number;
        MAI.SUBJECT = heading;
        EXPECT_EQ(Mail.add(), StorageStatus::Ok) << Mail.lastError().text;
        return number;
    }
    ULONG& thread = threads_[heading];
    if (thread == 0) {
        thread = NextNr();
        Threads.clear();
        THR.THREADNUMBER = thread;
        THR.HEADING = heading;
        EXPECT_EQ(Threads.add(), StorageStatus::Ok) << Threads.lastError().text;
    }
    const ULONG number = addTextOnly(text);
    MsgNmbr.clear();
    MSG.MSGNUMBER = number;
    MSG.THREADNUMBER = thread;
    EXPECT_EQ(MsgNmbr.add(), StorageStatus::Ok) << MsgNmbr.lastError().text;
    return number;
}

void MessageWriter::remove(ULONG number) {
    MsgText.clear();
    TXT.MSGNUMBER = number;
    if (MsgText.get(TXT_IdKey) == StorageStatus::Ok) {
        EXPECT_EQ(MsgText.erase(), StorageStatus::Ok);
    }
    if (type_ == TypeMail) {
        MAI.MAILID = number;
        if (Mail.get(MAI_IdKey) == StorageStatus::Ok) {
            EXPECT_EQ(Mail.erase(), StorageStatus::Ok);
        }
    } else {
        MSG.MSGNUMBER = number;
        if (MsgNmbr.get(MSG_IdKey) == StorageStatus::Ok) {
            EXPECT_EQ(MsgNmbr.erase(), StorageStatus::Ok);
        }
    }
}

namespace {
// Each word of the word list with the value `of` reads from its record.
template <class Field>
std::map<std::string, LONG> eachWord(Field of) {
    std::map<std::string, LONG> out;
    OP_CLOSE(OpenShared, {28});
    WordList.set(WOR_by_theWord);
    while (WordList.next() == StorageStatus::Ok) out[WOR.THEWORD.str()] = of();
    OP_CLOSE(ReleaseTable, {28});
    return out;
}
}  // namespace

std::map<std::string, LONG> wordCounts() {
    return eachWord([] { return WOR.WORDCOUNT; });
}

std::map<std::string, LONG> wordIds() {
    return eachWord([] { return WOR.WORDID; });
}

std::map<std::string, std::set<ULONG>> wordMessages() {
    std::map<LONG, std::string> byId;
    OP_CLOSE(OpenShared, {28, 29});
    WordList.set(WOR_by_WordId);
    while (WordList.next() == StorageStatus::Ok) byId[WOR.WORDID] = WOR.THEWORD.str();
    std::map<std::string, std::set<ULONG>> out;
    MasIdx.set(MAS_by_WordId);
    while (MasIdx.next() == StorageStatus::Ok) {
        auto it = byId.find(static_cast<LONG>(MAS.WORDID));
        out[it == byId.end() ? "#" + std::to_string(MAS.WORDID) : it->second].insert(MAS.SYSID);
    }
    OP_CLOSE(ReleaseTable, {28, 29});
    return out;
}

std::set<std::string> stopWords() {
    std::set<std::string> out;
    OP_CLOSE(OpenShared, {30});
    STOFile.set(STO_BY_THEWORD);
    while (STOFile.next() == StorageStatus::Ok) out.insert(STO.THEWORD.str());
    OP_CLOSE(ReleaseTable, {30});
    return out;
}

void addStopWord(const std::string& word) {
    OP_CLOSE(OpenShared, {30});
    STOFile.clear();
    STO.THEWORD = word;
    EXPECT_EQ(STOFile.add(), StorageStatus::Ok);
    OP_CLOSE(ReleaseTable, {30});
}

void removeStopWords(const std::vector<std::string>& words) {
    OP_CLOSE(OpenShared, {&STOFile});
    for (const std::string& word : words) {
        STOFile.clear();
        STO.THEWORD = word;
        if (STOFile.get(STO_BY_THEWORD) == StorageStatus::Ok) STOFile.erase();
    }
    OP_CLOSE(ReleaseTable, {&STOFile});
}

void markForDeletion(const std::vector<std::string>& words) {
    OP_CLOSE(OpenShared, {28, 33});
    for (const std::string& word : words) {
        WordList.clear();
        WOR.THEWORD = word;
        ASSERT_EQ(WordList.get(WOR_by_theWord), StorageStatus::Ok) << word;
        PURFile.clear();
        PUR.WORDID = WOR.WORDID;
        EXPECT_EQ(PURFile.append(), StorageStatus::Ok);
    }
    OP_CLOSE(ReleaseTable, {28, 33});
}

CatalogIndexState catalogState(ULONG id) {
    OP_CLOSE(OpenShared, {2});
    Forums.clear();
    FOR.ID = id;
    EXPECT_EQ(Forums.get(FOR_ForumKey), StorageStatus::Ok);
    CatalogIndexState s{FOR.LASTMSGID, FOR.RECSLASTTIME, FOR.WORDLISTINDEXNEEDSUPDATE};
    OP_CLOSE(ReleaseTable, {2});
    return s;
}

IndexRun::State runIndex(ULONG id, BYTE type, int indexType, IndexRunOptions options) {
    options.indexType = indexType;
    if (options.batchSize == 4) options.batchSize = 1000;
    IndexRun run(id, type, options);
    runToEnd(run);
    return run.state();
}

void IndexTest::SetUp() {
    InstallationTest::SetUp();
    ui.takeDefaults();
}

void IndexTest::useDatabase(BYTE databaseType, const std::string& name) {
    type = databaseType;
    db = makeDatabase(databaseType, name);
}

IndexRun::State IndexTest::index(int indexType, IndexRunOptions options) {
    return runIndex(db, type, indexType, options);
}

}  // namespace pm::test
