#include "support/mailbox_file.h"

#include <cstdio>
#include <fstream>

namespace pm::test {

void writeMailbox(const std::string& path, int count, const std::string& tag) {
    std::ofstream out(path, std::ios::binary);
    const char* words[] = {"harbour", "lantern", "meadow", "copper", "willow", "granite", "orchard", "falcon"};
    for (int i = 1; i <= count; ++i) {
        char date[64];
        // Each mail its own minute: the duplicate test compares mails within one.
        std::snprintf(date, sizeof date, "%d Mar 1997 %02d:%02d:00 +0100", 1 + i / 1440 % 28, i / 60 % 24, i % 60);
        out << "From sender" << i % 25 << "@example.com Mon Mar  3 10:15:00 1997\n"
            << "Message-ID: <" << tag << "-" << i << "@example.com>\nDate: " << date << "\n"
            << "From: Sender " << i % 25 << " <sender" << i % 25 << "@example.com>\n"
            << "To: Me <me@home.example>\nSubject: " << tag << " note " << i << "\n\n";
        for (int k = 0; k < 10; ++k) out << words[(i * 7 + k) % 8] << ' ';
        out << "token" << i << "\n\n";
    }
}

}  // namespace pm::test
