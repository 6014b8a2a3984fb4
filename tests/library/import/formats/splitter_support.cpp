#include "splitter_support.h"

#include <fstream>

#include "import/formats/byte_window.h"

namespace pm::test {

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::vector<std::string> cutMessages(std::unique_ptr<formats::MessageSplitter> splitter, const std::string& content,
                                     const TempDir& dir, const std::string& name, const std::string& logFile,
                                     long long* skipped) {
    const std::string path = dir / name;
    writeFile(path, content);
    formats::ByteWindow window;
    std::vector<std::string> messages;
    if (!window.open(path) || window.fileSize() == 0) return messages;
    ParserCall call;
    call.fileName = path;
    call.fileSize = window.fileSize();
    call.logFile = logFile;
    call.skipped = skipped;
    if (!splitter->begin(window, call)) return {"<rejected>"};
    inet::LineQueue queue;
    for (int guard = 0; guard < 100000; ++guard) {
        std::size_t headerStart = 1;
        const formats::Cut cut = splitter->next(queue, headerStart, 1 << 30);
        if (cut == formats::Cut::End) break;
        if (cut == formats::Cut::Paused) continue;
        std::string joined;
        for (std::size_t pos = headerStart; pos <= queue.size(); ++pos) {
            if (pos > headerStart) joined += '|';
            joined += queue.text(pos);
        }
        messages.push_back(joined);
    }
    return messages;
}

}  // namespace pm::test
