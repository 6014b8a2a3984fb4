#pragma once
// Helpers for the Internet message parsing tests.
#include <string>
#include <string_view>
#include <vector>

#include "import/internet/line_queue.h"
#include "import/internet/parsed_header.h"

namespace pm::inet::test {

// A queue holding `text` cut into lines.
inline LineQueue queueOf(std::string_view text) {
    LineQueue queue;
    queue.pushText(text);
    return queue;
}

// A mailbox owner with one address and a fixed set of existing databases.
struct FakeContext : HeaderContext {
    std::vector<std::string> databases;
    std::vector<std::string> ownerAddresses{"me@home.example"};

    FakeContext() {
        ownerName = "My Mailbox";
        ownerAddress = "me@home.example";
    }
    bool databaseExists(std::string_view name) override {
        for (const std::string& d : databases)
            if (d == name) return true;
        return false;
    }
    bool isOwnerAddress(std::string_view address) override {
        for (const std::string& a : ownerAddresses)
            if (a == address) return true;
        return false;
    }
};

// Text with CR LF shown as "|" so expectations fit on one line.
inline std::string visibleBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            out += '|';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace pm::inet::test
