// The walk of an Outlook folder file over hostile bytes: every folder and
// item, with the texts the import reads (the file format itself is read
// by libpff).
#include <cstdint>

#include "fuzz_input.h"
#include "import/outlook/outlook_session.h"

namespace {

void walk(const pm::outlook::Folder& folder, int depth) {
    if (depth > 8) return;
    folder.name();
    folder.defaultItemType();
    const int items = folder.itemCount().value_or(0);
    for (int i = 1; i <= items && i <= 200; ++i) {
        auto item = folder.item(i);
        if (!item) continue;
        item->subject();
        item->to();
        item->senderName();
        item->body(64000);
        item->sentOn();
        item->recipients();
    }
    const int folders = folder.folderCount().value_or(0);
    for (int f = 1; f <= folders && f <= 50; ++f)
        if (auto sub = folder.folder(f)) walk(*sub, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pm::fuzz::inputFile(data, size, ".pst");
    std::string error;
    auto session = pm::outlook::Session::open(path, error);
    if (!session) return 0;
    for (int f = 1; f <= session->folderCount() && f <= 50; ++f)
        if (auto folder = session->folder(f)) walk(*folder, 0);
    return 0;
}
