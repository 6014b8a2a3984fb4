// OUI message tables: a record whose IDENTIFIER names a forum is a forum
// message of that forum; one without (or naming the mail folder "MAIL") is
// mail. Senders and receivers are kept in memos.
#include "common/text.h"
#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/capture/capture_parties.h"
#include "import/navigator/navigator_parsers.h"
#include "import/navigator/table_parser.h"
#include "tables/records/external_tables.h"

namespace pm::navigator {

namespace {

bool isMailRecord() {
    const std::string_view id = capture::trimmed(OUI.IDENTIFIER.view());
    return id.empty() || equalsCaseless(id, "MAIL");
}

class OuiParser final : public TableParser {
    Table& table(const ParserCall&) override { return OUIFile; }

    bool convert(ParserCall&, NavigatorMessage& m) override {
        m.mail = isMailRecord();
        const std::string sender(capture::trimmed(OUI.SEND_ID));
        const std::string receiver(capture::trimmed(OUI.RECV_ID));
        if (m.mail) {
            capture::splitMailParty(sender, m.senderAddress, m.senderName);
            capture::splitMailParty(receiver, m.receiverAddress, m.receiverName);
        } else {
            m.forum = toUpper(capture::trimmed(OUI.IDENTIFIER.view()));
            m.number = capture::numberOf(capture::trimmed(OUI.MSG_NUMBER.view()));
            m.reference = capture::numberOf(capture::trimmed(OUI.MSG_PARENT.view()));
            if (m.number == 0 || m.number >= capture::MaxMessageNumber) return false;
            capture::splitForumParty(sender, m.senderAddress, m.senderName);
            capture::splitForumParty(receiver, m.receiverAddress, m.receiverName);
            m.section = wholeNumber(OUI.SECT_NUMB);
            m.sectionName = OUI.SECT_NAME.str();
        }
        m.senderAddress = tableAddress(m.senderAddress);
        m.receiverAddress = tableAddress(m.receiverAddress);
        m.subject = OUI.SUBJECT.str();
        m.date = OUI.MSG_DATE;
        m.time = capture::timeAfter(OUI.MSG_TIME.view(), 0);
        if (OUI.KEEP == "T") m.status = StatusKeep;
        if (OUI.DELETE == "T") m.status = StatusDelete;
        m.text = messageText(OUI.MSG_BODY);
        return true;
    }

    const char* storeName() const override { return "OUI"; }
    std::vector<std::string> requiredColumns(const ParserCall&) const override {
        return {"IDENTIFIER", "SUBJECT", "MSG_BODY"};
    }

    std::string abandonText(int percent) const override {
        return abandonMessage(percent, "OUI",
                              "To physically remove deleted records from your OUI file, always use the EXIT and PACK "
                              "option when closing your OUI session after records have been purged!");
    }
};

}  // namespace

std::unique_ptr<FormatParser> makeOuiParser() { return std::make_unique<OuiParser>(); }

}  // namespace pm::navigator
