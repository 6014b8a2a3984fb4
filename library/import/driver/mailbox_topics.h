#pragma once
// The topics of a mail database, for choosing the topic an import gives
// every mail it stores (the request's mail topic).
#include <string>
#include <vector>

#include "common/types.h"

namespace pm {

struct MailboxTopic {
    ULONG id = 0;        // COD:ID, the code an import request carries
    std::string name;    // COD:INDEX
};

// The topics (Codes records of the topic type) of mail database `mailbox`,
// in name order; empty when it is not catalogued or has none. The active
// database is put back afterwards and the Codes table closed, so the
// caller must not hold Codes open.
std::vector<MailboxTopic> mailboxTopics(ULONG mailbox);

}  // namespace pm
