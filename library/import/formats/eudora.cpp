#include "import/formats/eudora.h"

#include <algorithm>
#include <filesystem>

#include "common/text.h"
#include "import/formats/byte_window.h"
#include "import/formats/separator_splitter.h"
#include "import/internet/text_case.h"

namespace pm::formats {

namespace fs = std::filesystem;

std::string eudoraTocFile(const std::string& mailboxFile) {
    const fs::path mailbox(mailboxFile);
    const std::string extension = mailbox.extension().string();
    if (extension.size() != 4) return {};
    const std::string wanted = toUpper(mailbox.stem().string() + ".TOC");
    std::error_code ec;
    fs::path dir = mailbox.parent_path();
    if (dir.empty()) dir = ".";
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == wanted.size() && inet::startsWithNoCase(name, wanted) && it->is_regular_file(ec))
            return it->path().string();
    }
    return {};
}

std::vector<std::int64_t> readEudoraToc(const std::string& tocFile) {
    std::vector<std::int64_t> positions;
    ByteWindow window;
    if (!window.open(tocFile)) return positions;
    positions.push_back(1);
    std::int64_t run = 0;  // 0xFF bytes in a row up to the current position
    for (std::int64_t pos = 1;; ++pos) {
        const int byte = window.at(pos);
        if (byte < 0) break;
        if (byte == 0xFF) {
            ++run;
            continue;
        }
        if (run >= 6) {
            const std::int64_t offsetAt = pos - 6 + 38;
            std::uint32_t offset = 0;
            bool whole = true;
            for (int k = 3; k >= 0; --k) {
                const int b = window.at(offsetAt + k);
                if (b < 0) whole = false;
                offset = (offset << 8) | static_cast<std::uint32_t>(b < 0 ? 0 : b);
            }
            // at() may have moved the window past `pos`; go back to it.
            window.reach(pos);
            if (whole) positions.push_back(static_cast<std::int64_t>(offset) + 1);
        }
        run = 0;
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

namespace {

class EudoraSplitter final : public SeparatorSplitter {
    bool prepare(ByteWindow&, const ParserCall& call) override {
        const std::string toc = eudoraTocFile(call.fileName);
        if (!toc.empty()) listed_ = readEudoraToc(toc);
        return true;
    }
    bool isSeparator(const RawLine& line) const override { return startsWith(line.text, "From ???@???"); }
    bool startsMessage(const RawLine& line) const override {
        return listed_.empty() || std::binary_search(listed_.begin(), listed_.end(), line.start);
    }

    std::vector<std::int64_t> listed_;
};

}  // namespace

std::unique_ptr<MessageSplitter> makeEudoraSplitter() { return std::make_unique<EudoraSplitter>(); }

}  // namespace pm::formats
