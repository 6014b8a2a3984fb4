#pragma once
// Work records (NewHR) built by hand, as a format parser would write them,
// for tests of the message store and of everything that reads its output.
#include <string>

#include "common/types.h"
#include "tables/records/scratch_tables.h"

namespace pm::test {

class MessageBuilder {
public:
    // A message for database `database` (INTERNAL); everything else blank
    // or 0.
    explicit MessageBuilder(ULONG database = 0);

    MessageBuilder& number(ULONG n);     // MSGNUMBER
    MessageBuilder& replyTo(ULONG n);    // REFNUMBER (mail: the mail number)
    MessageBuilder& section(ULONG n, const std::string& description);
    MessageBuilder& subject(const std::string& s);
    MessageBuilder& from(const std::string& name, const std::string& address = {});
    MessageBuilder& to(const std::string& name, const std::string& address = {});
    MessageBuilder& date(LONG d);
    MessageBuilder& time(LONG t);
    MessageBuilder& mailType(BYTE t);
    MessageBuilder& recipType(const std::string& t);
    MessageBuilder& text(const std::string& t);

    // The work record built (the store's input).
    const WorkRecord& record() const { return record_; }

private:
    WorkRecord record_;
};

// Writes the Message-ID pair (number, id) to TempID (which must be open).
void addTempId(ULONG number, const std::string& messageId);

}  // namespace pm::test
