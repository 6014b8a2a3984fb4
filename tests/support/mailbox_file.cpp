#include "support/mailbox_file.h"

#include <cstdio>
#include <fstream>

namespace pm::test {

void writeMailbox(const std::string& path, int count, const std::string& tag, bool carbonCopies) {
    std::ofstream out(path, std::ios::binary);
    const char* words[] = {"harbour", "lantern", "meadow", "copper", "willow", "granite", "orchard", "falcon"};
    for (int i = 1; i <= count; ++i) {
        char date[64];
        // Each mail its own minute: the duplicate test compares mails within one.
        std::snprintf(date, sizeof date, "%d Mar 1997 %02d:%02d:00 +0100", 1 + i / 1440 % 28, i / 60 % 24, i % 60);
        out << "From sender" << i % 25 << "@example.com Mon Mar  3 10:15:00 1997\n"
            << "Message-ID: <" << tag << "-" << i << "@example.com>\nDate: " << date << "\n"
            << "From: Sender " << i % 25 << " <sender" << i % 25 << "@example.com>\n"
            << "To: Me <me@home.example>\n";
        if (carbonCopies && i % 5 == 0) out << "Cc: Reader " << i % 7 << " <reader" << i % 7 << "@example.org>\n";
        out << "Subject: " << tag << " note " << i << "\n\n";
        for (int k = 0; k < 10; ++k) out << words[(i * 7 + k) % 8] << ' ';
        out << "token" << i << "\n\n";
    }
}

void writeNewsSpool(const std::string& path, int count, const std::string& tag) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 1; i <= count; ++i) {
        const bool reply = i % 3 == 0 && i > 3;
        const int topic = reply ? i - 3 : i;
        out << "From author" << i % 6 << "@news.example Fri Mar  7 11:00:00 1997\n"
            << "From: Author " << i % 6 << " <author" << i % 6 << "@news.example>\n"
            << "Newsgroups: " << tag << (i % 2 ? ".one" : ".two") << "\n"
            << "Subject: " << (reply ? "Re: " : "") << tag << " topic " << topic << "\n"
            << "Date: " << 1 + i / 1440 % 28 << " Mar 1997 " << i / 60 % 24 << ":" << i % 60 / 10 << i % 10
            << ":00 GMT\n"
            << "Message-ID: <" << tag << "-" << i << "@news.example>\n";
        if (reply) out << "References: <" << tag << "-" << topic << "@news.example>\n";
        out << "\nArticle " << i << " about lanterns and meadows.\n";
    }
}

}  // namespace pm::test
