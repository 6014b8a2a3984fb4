#pragma once
// Mailbox files ("From " separated, as Generic Mail Type 2 reads them) that
// tests write for the built program.
#include <string>

namespace pm::test {

// Writes `count` mails to `path`: Message-ID <TAG-i@example.com>, subject
// "TAG note i", one of 25 senders to me@home.example, distinct minutes, and
// a text of ten words from a small vocabulary (harbour, lantern, meadow ...)
// plus "tokenI". Every mail is new to an installation that has not seen TAG.
void writeMailbox(const std::string& path, int count, const std::string& tag = "m");

}  // namespace pm::test
