#include "support/block_format.h"

#include <fstream>
#include <map>
#include <sstream>

#include "import/driver/database_resolver.h"
#include "import/driver/import_request.h"
#include "import/driver/work_files.h"
#include "tables/access/open_close.h"
#include "tables/records/config_tables.h"
#include "tables/records/scratch_tables.h"

namespace pm::test {

namespace {

int callCount = 0;

struct Block {
    std::map<std::string, std::string> header;
    std::string body;
    std::size_t bytes = 0;
};

bool startsBlock(const std::string& line) { return line.rfind("Forum:", 0) == 0 || line.rfind("Newsgroup:", 0) == 0; }

std::string valueOf(const std::string& line) {
    auto colon = line.find(':');
    std::string v = colon == std::string::npos ? "" : line.substr(colon + 1);
    while (!v.empty() && v.front() == ' ') v.erase(v.begin());
    while (!v.empty() && (v.back() == ' ' || v.back() == '\r')) v.pop_back();
    return v;
}

std::vector<Block> splitBlocks(const std::string& text) {
    std::vector<Block> blocks;
    std::istringstream in(text);
    std::string line;
    bool inHeader = false;
    while (std::getline(in, line)) {
        const std::size_t bytes = line.size() + 1;
        if (startsBlock(line)) {
            blocks.emplace_back();
            inHeader = true;
        }
        if (blocks.empty()) continue;
        Block& b = blocks.back();
        b.bytes += bytes;
        if (inHeader) {
            if (line.empty() || line == "\r") inHeader = false;
            else b.header[line.substr(0, line.find(':'))] = valueOf(line);
        } else {
            if (!b.body.empty()) b.body += "\r\n";
            b.body += line;
        }
    }
    return blocks;
}

class BlockParser final : public FormatParser {
public:
    ~BlockParser() override {
        if (registerOpen_) OP_CLOSE(ReleaseTable, {18});
    }

    bool parse(ParserCall& call) override {
        ++callCount;
        if (call.step == FirstCall) {
            std::ifstream in(call.fileName, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            blocks_ = splitBlocks(ss.str());
            OP_CLOSE(OpenShared, {18});
            registerOpen_ = true;
            call.step = ContinueParsing;
            return blocks_.empty();
        }
        for (int n = 0; n < call.quota && next_ < blocks_.size(); ++n, ++next_) {
            writeBlock(blocks_[next_], call);
            call.progress += static_cast<double>(blocks_[next_].bytes);
            if (call.work->failed()) return true;
        }
        return next_ >= blocks_.size();
    }

private:
    static void skip(ParserCall& call) {
        if (call.skipped) ++*call.skipped;
    }

    void writeBlock(Block& b, ParserCall& call) {
        const bool news = b.header.count("Newsgroup") > 0;
        const ImportRequest& request = *call.request;
        if (news ? !request.importNewsgroup : !request.importForum) return skip(call);
        WorkRecord record;
        record.FOR_DESCRIPTION = news ? b.header["Newsgroup"] : b.header["Forum"];
        const std::string section = b.header["Section"];
        const auto slash = section.find('/');
        record.SECTIONNUMBER = slash == std::string::npos ? 0 : static_cast<ULONG>(std::stoul("0" + section.substr(0, slash)));
        record.SEC_DESCRIPTION = slash == std::string::npos ? section : section.substr(slash + 1);
        record.HEADING = b.header["Subject"];
        const std::string from = b.header["From"], to = b.header["To"];
        record.S_NAME = from.substr(0, from.rfind(' '));
        record.S_CISADRESS = from.substr(from.rfind(' ') + 1);
        record.R_NAME = to.substr(0, to.rfind(' '));
        record.R_CISADRESS = to.rfind(' ') == std::string::npos ? "" : to.substr(to.rfind(' ') + 1);
        record.DATE = static_cast<LONG>(std::stol("0" + b.header["Date"]));
        record.MSGTEXT = b.body;
        const Resolution db =
            call.databases->resolve(record.FOR_DESCRIPTION.str(), news ? ResolveNewsgroup : ResolveForum, &record);
        if (!db.found() || !db.importAllowed || request.messageFilter == FilterCreateDatabasesOnly) return skip(call);
        record.INTERNAL = db.id;
        if (news) {
            if (b.header["Message-ID"].empty()) return skip(call);
            record.MSGNUMBER = static_cast<ULONG>((*call.runningId)++);
            call.work->appendMessageId(b.header["Message-ID"], record.MSGNUMBER);
            if (!b.header["References"].empty()) {
                record.REFNUMBER = static_cast<ULONG>((*call.runningId)++);
                call.work->appendMessageId(b.header["References"], record.REFNUMBER);
            }
        } else {
            record.MSGNUMBER = static_cast<ULONG>(std::stoul("0" + b.header["Number"]));
            record.REFNUMBER = static_cast<ULONG>(std::stoul("0" + b.header["Ref"]));
            if (!request.allowReimport) {
                IMP.FORUMNUMBER = db.id;
                IMP.MSGNUMBER = record.MSGNUMBER;
                if (IMPFile.get(IMP_IDKEY) == StorageStatus::Ok) return skip(call);
            }
        }
        if (call.work->appendMessage(record) == WorkWrite::Duplicate) return;
    }

    std::vector<Block> blocks_;
    std::size_t next_ = 0;
    bool registerOpen_ = false;
};

int detectBlocks(const ImportRequest&, const std::string& fileName) {
    std::ifstream in(fileName);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        return startsBlock(line) ? 1 : 0;
    }
    return 0;
}

std::unique_ptr<FormatParser> makeBlockParser() { return std::make_unique<BlockParser>(); }

}  // namespace

BlockFormatScope::BlockFormatScope()
    : stream_(BlockStreamFormat, makeBlockParser), lines_(BlockLinesFormat, makeBlockParser, detectBlocks) {
    callCount = 0;
}

int BlockFormatScope::calls() { return callCount; }

std::string blockText(const std::vector<BlockMessage>& messages) {
    std::string text;
    for (const BlockMessage& m : messages) {
        if (!m.newsgroup.empty()) {
            text += "Newsgroup: " + m.newsgroup + "\n";
            if (!m.messageId.empty()) text += "Message-ID: " + m.messageId + "\n";
            if (!m.references.empty()) text += "References: " + m.references + "\n";
        } else {
            text += "Forum: " + m.forum + "\n";
            text += "Section: " + m.section + "\n";
            text += "Number: " + std::to_string(m.number) + "\n";
            if (m.ref) text += "Ref: " + std::to_string(m.ref) + "\n";
        }
        text += "From: " + m.from + "\n";
        text += "To: " + m.to + "\n";
        text += "Subject: " + m.subject + "\n";
        text += "Date: " + std::to_string(m.date) + "\n\n";
        text += m.body + "\n";
    }
    return text;
}

BlockMessage forumMessage(const std::string& forum, unsigned number, const std::string& subject,
                          const std::string& from) {
    BlockMessage m;
    m.forum = forum;
    m.number = number;
    m.subject = subject;
    m.from = from;
    m.body = "Text of message " + std::to_string(number);
    return m;
}

BlockMessage newsMessage(const std::string& group, const std::string& messageId, const std::string& subject,
                         const std::string& references) {
    BlockMessage m;
    m.newsgroup = group;
    m.messageId = messageId;
    m.subject = subject;
    m.references = references;
    m.from = "Carl Ray carl@example.org";
    m.to = "";
    m.body = "Article " + messageId;
    return m;
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace pm::test
