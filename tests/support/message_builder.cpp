#include "support/message_builder.h"

#include "storage/table.h"

namespace pm::test {

MessageBuilder::MessageBuilder(ULONG database) { record_.INTERNAL = database; }

MessageBuilder& MessageBuilder::number(ULONG n) { record_.MSGNUMBER = n; return *this; }
MessageBuilder& MessageBuilder::replyTo(ULONG n) { record_.REFNUMBER = n; return *this; }
MessageBuilder& MessageBuilder::section(ULONG n, const std::string& description) {
    record_.SECTIONNUMBER = n;
    record_.SEC_DESCRIPTION = description;
    return *this;
}
MessageBuilder& MessageBuilder::subject(const std::string& s) { record_.HEADING = s; return *this; }
MessageBuilder& MessageBuilder::from(const std::string& name, const std::string& address) {
    record_.S_NAME = name;
    record_.S_CISADRESS = address;
    return *this;
}
MessageBuilder& MessageBuilder::to(const std::string& name, const std::string& address) {
    record_.R_NAME = name;
    record_.R_CISADRESS = address;
    return *this;
}
MessageBuilder& MessageBuilder::date(LONG d) { record_.DATE = d; return *this; }
MessageBuilder& MessageBuilder::time(LONG t) { record_.TIME = t; return *this; }
MessageBuilder& MessageBuilder::mailType(BYTE t) { record_.MAILTYPE = t; return *this; }
MessageBuilder& MessageBuilder::recipType(const std::string& t) { record_.RECIPTYPE = t; return *this; }
MessageBuilder& MessageBuilder::text(const std::string& t) { record_.MSGTEXT = t; return *this; }

void addTempId(ULONG number, const std::string& messageId) {
    TempID.clear();
    TID.MSGNUMBER = number;
    TID.IDSTRING = messageId;
    TempID.add();
}

}  // namespace pm::test
