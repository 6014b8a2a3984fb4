// NavCIS message tables: a record whose INTERNAL is 0 is mail, any other a
// forum message.
#include "common/dates.h"
#include "common/text.h"
#include "import/capture/capture_dates.h"
#include "import/capture/capture_fields.h"
#include "import/navigator/navigator_parsers.h"
#include "import/navigator/table_parser.h"
#include "tables/records/external_tables.h"

namespace pm::navigator {

namespace {

constexpr const char* kCodePage = "windows-1252";

// "h:mm", "hh:mm" or "hh:mm:ss": a one-digit hour gets its zero, minutes
// alone get ":00"; any other length gives 0.
LONG navCisTime(std::string_view raw) {
    std::string t(capture::trimmed(raw));
    if (t.size() >= 2 && t[1] == ':') t = "0" + t;
    if (t.size() == 5) t += ":00";
    if (t.size() != 8) return 0;
    return capture::timeHhMmSs(t, 1);
}

// "19-May-95" as NavCIS writes it; a table whose date column is a dBase
// date gives "19950519".
LONG navCisDate(std::string_view raw) {
    const std::string_view t = capture::trimmed(raw);
    if (t.size() == 8 && capture::isNumeric(t))
        return dayNumber(static_cast<int>(capture::numberOf(t.substr(0, 4))),
                         static_cast<int>(capture::numberOf(t.substr(4, 2))),
                         static_cast<int>(capture::numberOf(t.substr(6, 2))));
    return capture::captureDate(t, kCodePage);
}

class NavCisParser final : public TableParser {
    Table& table(const ParserCall&) override { return HREFile; }

    bool convert(ParserCall&, NavigatorMessage& m) override {
        m.mail = HRE.INTERNAL == 0.0;
        if (m.mail) {
            m.time = navCisTime(HRE.MSG_TIME.view());
        } else {
            m.forum = toUpper(HRE.FORUM_NAME.view());
            m.number = wholeNumber(HRE.MSG_NUMBER);
            m.reference = wholeNumber(HRE.MSG_PARENT);
            if (m.number == 0 || m.number >= capture::MaxMessageNumber) return false;
        }
        m.section = wholeNumber(HRE.SEC_NUMBER);
        m.sectionName = HRE.SEC_NAME.str();
        m.subject = HRE.SUBJECT.str();
        m.senderAddress = tableAddress(HRE.SEND_ID.view());
        m.senderName = HRE.SEND_NAME.str();
        m.receiverAddress = tableAddress(HRE.RECV_ID.view());
        m.receiverName = HRE.RECV_NAME.str();
        if (HRE.RECEIVED == "T") m.status = 1;
        if (HRE.IS_PRIVATE == "T") m.status = 2;
        m.date = navCisDate(HRE.MSG_DATE.view());
        m.text = messageText(HRE.MSG_TEXT);
        return true;
    }

    const char* storeName() const override { return "NavCIS"; }
    std::vector<std::string> requiredColumns(const ParserCall&) const override {
        return {"INTERNAL", "SUBJECT", "MSG_TEXT"};
    }

    std::string abandonText(int percent) const override {
        return abandonMessage(
            percent, "NavCIS",
            "To physically remove deleted records from your NavCIS file, always use the EXIT and PACK "
            "option when closing your NavCIS session after records have been purged!");
    }
};

}  // namespace

std::unique_ptr<FormatParser> makeNavCisParser() { return std::make_unique<NavCisParser>(); }

}  // namespace pm::navigator
