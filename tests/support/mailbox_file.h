#pragma once
// Mailbox and news files ("From " separated, as Generic Mail Type 2 and Unix
// News read them) that tests write for the built program.
#include <string>

namespace pm::test {

// Writes `count` mails to `path`: Message-ID <TAG-i@example.com>, subject
// "TAG note i", one of 25 senders to me@home.example, distinct minutes, and
// a text of ten words from a small vocabulary (harbour, lantern, meadow ...)
// plus "tokenI". Every mail is new to an installation that has not seen TAG.
// With `carbonCopies`, every fifth mail also has a Cc receiver.
void writeMailbox(const std::string& path, int count, const std::string& tag = "m", bool carbonCopies = false);

// Writes `count` news articles to `path`: groups "TAG.one" and "TAG.two" by
// turns, Message-ID <TAG-i@news.example>, every third article a reply (with
// References) to the one three before it, six authors.
void writeNewsSpool(const std::string& path, int count, const std::string& tag = "n");

}  // namespace pm::test
