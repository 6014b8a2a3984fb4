#pragma once
// Small message files written by the tests themselves: a Unix mailbox of
// numbered mails and a news file of numbered articles, each message telling
// by its number who wrote it, what it answers and what it says.
#include <string>

namespace pm::test {

// Mails `first` .. `first + count - 1` in mbox form ("Generic Mail Type 2"):
// sent to `owner` by one of five senders, subject "Note <n>", a date in
// March 1997 one minute apart, a text naming the number; every fourth
// has a further receiver (Cc).
void writeMailbox(const std::string& path, int first, int count, const std::string& owner = "me@home.example");

// Articles `first` .. `first + count - 1` of newsgroup `group` in Unix news
// form ("Unix News"): Message-ID <a<n>.<group>@news.example>, every third
// one answering the one before it.
void writeNewsFile(const std::string& path, const std::string& group, int first, int count);

}  // namespace pm::test
