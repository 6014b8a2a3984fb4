// CISCOMM tables: forum messages (their forum is the one named for the
// import) or, when the import goes to a mail database, mail.
#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/navigator/navigator_parsers.h"
#include "import/navigator/table_parser.h"
#include "tables/records/external_tables.h"

namespace pm::navigator {

namespace {

constexpr int kMailVariant = 2;

class CisCommParser final : public TableParser {
    Table& table(const ParserCall& call) override { return call.variant == kMailVariant ? CMAFile : CCOFile; }

    bool convert(ParserCall& call, NavigatorMessage& m) override {
        if (call.variant == kMailVariant) {
            m.mail = true;
            m.date = CMA.MSG_DATE;
            m.time = capture::timeHhMm(CMA.MSG_TIME.view(), 1);
            m.subject = CMA.MSG_SUBJEC.str();
            m.senderName = CMA.MSG_SENDER.str();
            m.senderAddress = normalisedAddress(CMA.MSG_SENDID);
            m.receiverName = CMA.MSG_RECVR.str();
            m.receiverAddress = normalisedAddress(CMA.MSG_RECVID);
            m.sentByOwner = CMA.MSG_ISFROM == "T";
            m.text = messageText(CMA.MSG_TEXT);
            return true;
        }
        m.forum = capture::enteredForumName(call);
        m.number = capture::numberOf(capture::trimmed(CCO.MSG_NUMBER.view()));
        m.reference = capture::numberOf(capture::trimmed(CCO.MSG_PARENT.view()));
        if (m.number == 0) return false;
        m.date = CCO.MSG_DATE;
        m.time = capture::timeHhMm(CCO.MSG_TIME.view(), 1);
        m.subject = CCO.MSG_SUBJEC.str();
        m.senderName = CCO.MSG_SENDER.str();
        m.senderAddress = tableAddress(CCO.MSG_SENDID.view());
        m.receiverName = CCO.MSG_RECVR.str();
        m.receiverAddress = tableAddress(CCO.MSG_RECVID.view());
        m.section = capture::numberOf(capture::trimmed(CCO.MSG_SECTNO.view()));
        m.sectionName = CCO.MSG_SECT.str();
        m.text = messageText(CCO.MSG_TEXT);
        return true;
    }

    const char* storeName() const override { return "CISCOMM"; }
    std::vector<std::string> requiredColumns(const ParserCall& call) const override {
        if (call.variant == kMailVariant) return {"MSG_SUBJEC", "MSG_SENDID", "MSG_TEXT"};
        return {"MSG_NUMBER", "MSG_SUBJEC", "MSG_TEXT"};
    }

    std::string abandonText(int percent) const override {
        return abandonMessage(percent, "CISCOM",
                              "To physically remove deleted records from your CISCOM file, always use the PACK option "
                              "when closing your CISCOM session after records have been purged!");
    }
};

}  // namespace

std::unique_ptr<FormatParser> makeCisCommParser() { return std::make_unique<CisCommParser>(); }

}  // namespace pm::navigator
