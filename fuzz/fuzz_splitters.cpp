// Every splitter family over hostile bytes: the first byte picks the
// splitter, the rest is the file. Each cut message is also read by the
// mail header analysis, so the lines a splitter hands on meet the rules.
#include <cstdint>
#include <memory>

#include "fuzz_input.h"
#include "import/formats/byte_window.h"
#include "import/formats/dbx_splitter.h"
#include "import/formats/eudora.h"
#include "import/formats/header_splitter.h"
#include "import/formats/marker_splitter.h"
#include "import/formats/news_cache.h"
#include "import/formats/separator_splitter.h"
#include "import/internet/mail_header.h"

namespace {

std::unique_ptr<pm::formats::MessageSplitter> splitter(int which) {
    using namespace pm::formats;
    switch (which % 12) {
        case 0: return makeNetscapeMailSplitter();
        case 1: return makeMailboxSplitter();
        case 2: return makeUnixNewsSplitter();
        case 3: return makeAgentNewsSplitter();
        case 4: return makePegasusSplitter();
        case 5: return makeVirtualAccessSplitter();
        case 6: return makeHeaderSplitter(false);
        case 7: return makeHeaderSplitter(true);
        case 8: return makeMarkerSplitter();
        case 9: return makeNewsCacheSplitter();
        case 10: return makeDbxSplitter();
        default: return makeEudoraSplitter();
    }
}

struct Context : pm::inet::HeaderContext {
    bool databaseExists(std::string_view) override { return false; }
    bool isOwnerAddress(std::string_view address) override { return address == "me@home.example"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    auto cutter = splitter(data[0]);
    const std::string path = pm::fuzz::inputFile(data + 1, size - 1);
    pm::formats::ByteWindow window;
    if (!window.open(path) || window.fileSize() == 0) return 0;
    pm::ParserCall call;
    call.fileName = path;
    call.fileSize = window.fileSize();
    long long skipped = 0;
    call.skipped = &skipped;
    if (!cutter->begin(window, call)) return 0;
    pm::inet::LineQueue queue;
    Context context;
    context.ownerName = "Me";
    context.ownerAddress = "me@home.example";
    // Each message moves the position on: a splitter that stops moving is
    // caught by the guard (and by the fuzzer's time-out).
    for (int guard = 0; guard < 10000; ++guard) {
        std::size_t headerStart = 1;
        const pm::formats::Cut cut = cutter->next(queue, headerStart, 1 << 20);
        if (cut == pm::formats::Cut::End) break;
        if (cut == pm::formats::Cut::Paused) continue;
        pm::inet::ParsedHeader header;
        pm::inet::analyseMailHeader(queue, headerStart, context, header);
    }
    return 0;
}
