#pragma once
// The field types of the record layouts, by the names the layouts use.
#include <cstdint>

namespace pm {

using BYTE = std::uint8_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using REAL = double;

// Status codes of every *DUMMY field.
enum Status : BYTE { StatusNormal = 0, StatusKeep = 1, StatusDelete = 2 };

// Database types (FOR:TYPE, Mem.ForumType).
enum DatabaseType : BYTE { TypeForum = 1, TypeMail = 2, TypeNewsgroup = 3 };

// Kinds of mail (NHR:MAILTYPE, stored in the import work file).
enum MailType : BYTE {
    NotMail = 0,       // a forum message or a news article
    MailReceived = 1,  // mail the owner received
    MailSent = 2,      // mail the owner sent
};

}  // namespace pm
