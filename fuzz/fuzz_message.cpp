// One Internet message over hostile bytes: the mail and the news header
// analysis (fields, folded lines, dates, addresses, MIME part selection),
// then the text assembly by the body format found (quoted-printable,
// Base64, HTML and enriched text, charsets, the 64,000-character limit).
#include <cstdint>

#include "fuzz_input.h"
#include "import/internet/line_queue.h"
#include "import/internet/mail_header.h"
#include "import/internet/news_header.h"
#include "import/internet/text_assembly.h"

namespace {

struct Context : pm::inet::HeaderContext {
    bool databaseExists(std::string_view name) override { return name == "comp.lang.c"; }
    bool isOwnerAddress(std::string_view address) override { return address == "me@home.example"; }
};

void queueLines(std::string_view text, pm::inet::LineQueue& queue) {
    queue.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        queue.push(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = pm::fuzz::textOf(data, size);
    Context context;
    context.ownerName = "Me";
    context.ownerAddress = "me@home.example";
    pm::inet::LineQueue queue;

    queueLines(text, queue);
    pm::inet::ParsedHeader mail;
    if (pm::inet::analyseMailHeader(queue, 1, context, mail) && mail.firstBodyLine <= queue.size())
        pm::inet::assembleText(queue, mail.firstBodyLine, queue.size(), mail.body);

    queueLines(text, queue);
    pm::inet::ParsedHeader news;
    pm::ULONG counter = 1000;
    if (pm::inet::analyseNewsHeader(queue, 1, counter, context, news) && news.firstBodyLine <= queue.size())
        pm::inet::assembleText(queue, news.firstBodyLine, queue.size(), news.body);
    return 0;
}
