#include "support/sample_messages.h"

#include <cstdio>
#include <fstream>

namespace pm::test {

void writeMailbox(const std::string& path, int first, int count, const std::string& owner) {
    std::ofstream out(path);
    for (int i = first; i < first + count; ++i) {
        const int sender = i % 5;
        const int minute = i % 60, hour = 8 + (i / 60) % 12;
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:00", hour, minute);
        out << "From sender" << sender << "@example.com Mon Mar  3 " << time << " 1997\n"
            << "Message-ID: <m" << i << "@example.com>\n"
            << "Date: Mon, 3 Mar 1997 " << time << " +0000\n"
            << "From: Sender " << sender << " <sender" << sender << "@example.com>\n"
            << "To: Me <" << owner << ">\n";
        if (i % 4 == 0) out << "Cc: Other One <other" << i % 3 << "@example.com>\n";
        out << "Subject: Note " << i << "\n\n"
            << "This is note number " << i << ".\n\n";
    }
}

void writeNewsFile(const std::string& path, const std::string& group, int first, int count) {
    std::ofstream out(path);
    for (int i = first; i < first + count; ++i) {
        const int author = i % 4;
        out << "From poster" << author << "@news.example Fri Mar  7 11:00:00 1997\n"
            << "From: Poster " << author << " <poster" << author << "@news.example>\n"
            << "Newsgroups: " << group << "\n"
            << "Subject: " << (i % 3 == 2 ? "Re: " : "") << "Topic " << (i % 3 == 2 ? i - 1 : i) << "\n"
            << "Date: " << 1 + i % 28 << " Mar 1997 11:00:00 GMT\n"
            << "Message-ID: <a" << i << "." << group << "@news.example>\n";
        if (i % 3 == 2) out << "References: <a" << i - 1 << "." << group << "@news.example>\n";
        out << "\nArticle " << i << " of " << group << ".\n";
    }
}

}  // namespace pm::test
