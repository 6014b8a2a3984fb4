// The parsers over real sample messages (skipped when the corpora folder is
// absent). Each file of rfc822/ and news/inn/articles/ is one message; mbox
// files are cut at their "From " lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "import/internet/charset.h"
#include "import/internet/mail_header.h"
#include "import/internet/news_header.h"
#include "import/internet/text_assembly.h"
#include "internet_test_support.h"

namespace pm::inet {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<fs::path> filesUnder(const fs::path& dir) {
    std::vector<fs::path> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().filename() != "SOURCES.md") files.push_back(entry.path());
    return files;
}

struct Tally {
    int messages = 0, parsed = 0, withDate = 0, datesRead = 0, withText = 0;
};

void check(const std::string& message, const std::string& what, bool news, Tally& tally) {
    LineQueue queue = test::queueOf(message);
    test::FakeContext context;
    ParsedHeader header;
    ULONG counter = 1;
    ++tally.messages;
    bool ok = news ? analyseNewsHeader(queue, 1, counter, context, header)
                   : analyseMailHeader(queue, 1, context, header);
    if (!ok) return;
    ++tally.parsed;
    std::string text = assembleText(queue, header.firstBodyLine, queue.size(), header.body);
    EXPECT_TRUE(isValidUtf8(text)) << what;
    EXPECT_LE(text.size(), MaxMessageText) << what;
    EXPECT_EQ(text.find("!!!Remove this!!!"), std::string::npos) << what;
    for (std::string_view field : {header.heading.view(), header.senderName.view(), header.senderAddress.view(),
                                   header.receiverName.view(), header.receiverAddress.view()})
        EXPECT_TRUE(isValidUtf8(field)) << what << ": " << field;
    // An encoded word of a known charset left in the subject was missed.
    std::string_view heading = header.heading.view();
    std::size_t word = heading.find("=?");
    if (word != std::string_view::npos) {
        std::size_t question = heading.find('?', word + 2);
        if (question != std::string_view::npos && isKnownCharset(heading.substr(word + 2, question - word - 2)))
            ADD_FAILURE() << what << ": subject not decoded: " << heading;
    }
    if (!text.empty()) ++tally.withText;
    bool hasDate = false;
    for (std::size_t p = 1; p <= queue.size() && !queue.text(p).empty(); ++p)
        if (queue.text(p).starts_with("Date:")) hasDate = true;
    if (hasDate) {
        ++tally.withDate;
        if (header.date != 0) {
            ++tally.datesRead;
        } else {
            std::cout << "  unread date in " << what << "\n";
        }
    }
}

TEST(Corpus, RealMessages) {
    // The build's default place, or another one named in the environment.
    const char* overridden = std::getenv("POSTMOOR_CORPORA");
    const fs::path root = overridden ? overridden : POSTMOOR_CORPORA;
    if (!fs::is_directory(root)) GTEST_SKIP() << "no corpora at " << root;

    Tally mail, news, mbox;
    for (const fs::path& file : filesUnder(root / "rfc822")) check(readFile(file), file.string(), false, mail);
    for (const fs::path& file : filesUnder(root / "news" / "inn" / "articles"))
        check(readFile(file), file.string(), true, news);
    for (const fs::path& file : filesUnder(root / "mbox")) {
        std::string content = readFile(file);
        std::size_t start = content.starts_with("From ") ? 0 : content.find("\nFrom ");
        while (start != std::string::npos && start < content.size()) {
            if (content[start] == '\n') ++start;
            std::size_t end = content.find("\nFrom ", start + 1);
            check(content.substr(start, end == std::string::npos ? std::string::npos : end - start),
                  file.string() + "@" + std::to_string(start), false, mbox);
            start = end;
        }
    }
    for (auto [name, t] : {std::pair{"rfc822", mail}, std::pair{"news", news}, std::pair{"mbox", mbox}})
        std::cout << name << ": " << t.messages << " messages, " << t.parsed << " parsed, " << t.withText
                  << " with text, dates " << t.datesRead << "/" << t.withDate << "\n";

    if (mail.messages > 0) {
        EXPECT_GE(mail.parsed * 100, mail.messages * 95);
        EXPECT_GE(mail.datesRead * 100, mail.withDate * 95);
        EXPECT_GE(mail.withText * 100, mail.parsed * 90);
    }
    if (news.messages > 0) {
        EXPECT_GE(news.parsed * 100, news.messages * 70);
    }
}

}  // namespace
}  // namespace pm::inet
