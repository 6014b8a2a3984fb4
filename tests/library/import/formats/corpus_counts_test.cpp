// No real message is lost: for every Unix mailbox and every folder of
// single-message files in the sample corpora, the mail database the import
// fills holds as many messages as Python's mailbox and email packages read
// from it (count_messages.py: distinct mails with a header). Runs where the
// corpora and python3 are, and is skipped elsewhere.
//
// A folder of more than MaxFilesPerFolder files is imported (and counted by
// Python) in a sample of that many, so the run stays short should the
// corpora grow; POSTMOOR_CORPUS_FULL=1 takes every file. Today's corpora
// are imported whole either way (about 15 seconds).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "formats_fixture.h"
#include "tables/catalog/mail_database.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;

// One comparison: a mailbox file, or the files of one folder.
struct Group {
    std::string name;                // path below the corpora root
    bool mailbox = false;            // a Unix mailbox (else single messages)
    std::vector<std::string> files;  // the files imported
};

// Where the stored count differs from Python's, and why.
struct KnownDifference {
    const char* group;
    long long stored, python;
    const char* reason;
};

// Both counts of every difference are checked, so a change on either side
// shows. The store keeps one mail of several that it takes for the same
// (the same minute, subject, sender and receiver, texts that differ only by
// fewer than 20 trailing characters), where Python compares exact texts.
const KnownDifference kDifferences[] = {
    {"rfc822/enmime-mail", 27, 28,
     "header-only.raw is attachment.raw's header without its 14-character text, and non-mime.raw's text is "
     "non-mime-html.raw's page converted to text: the store keeps one of each pair; Python reads one From field "
     "of malformed-multiple-address-header-values.raw as the sender of inlinemultipart.raw, the store another"},
    {"rfc822/ruby-mail", 77, 79,
     "attachment_pdf_non_ascii.eml's text is attachment_pdf.eml's and 6 characters more, and "
     "multiple_invalid_content_dispositions.eml's HTML part reads as multiple_content_types.eml's text: the "
     "store keeps one of each pair"},
};

// Files of one folder imported at most, unless POSTMOOR_CORPUS_FULL=1.
constexpr std::size_t MaxFilesPerFolder = 200;

bool haveFullRun() {
    const char* full = std::getenv("POSTMOOR_CORPUS_FULL");
    return full && std::string(full) == "1";
}

bool havePython() { return std::system("python3 -c 'import mailbox, email' >/dev/null 2>&1") == 0; }

std::vector<std::string> filesBelow(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != "SOURCES.md") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Group> groupsOf(const fs::path& corpora) {
    std::vector<Group> groups;
    for (const char* top : {"mbox", "netscape"}) {
        if (!fs::is_directory(corpora / top)) continue;
        for (const std::string& file : filesBelow(corpora / top))
            groups.push_back({fs::relative(file, corpora).string(), true, {file}});
    }
    if (fs::is_directory(corpora / "rfc822")) {
        std::vector<fs::path> folders;
        for (const auto& entry : fs::directory_iterator(corpora / "rfc822"))
            if (entry.is_directory()) folders.push_back(entry.path());
        std::sort(folders.begin(), folders.end());
        for (const fs::path& folder : folders) {
            Group g{fs::relative(folder, corpora).string(), false, filesBelow(folder)};
            if (!haveFullRun() && g.files.size() > MaxFilesPerFolder) {
                std::vector<std::string> sample;
                const std::size_t step = (g.files.size() + MaxFilesPerFolder - 1) / MaxFilesPerFolder;
                for (std::size_t i = 0; i < g.files.size(); i += step) sample.push_back(g.files[i]);
                g.files = sample;
            }
            groups.push_back(std::move(g));
        }
    }
    return groups;
}

// Python's count per group, read from count_messages.py. Single-message
// folders are handed over as the files imported, through a folder of links,
// so that a sample is counted the same on both sides.
std::map<std::string, long long> pythonCounts(const fs::path& corpora, const std::vector<Group>& groups,
                                              const TempDir& scratch) {
    const std::string script =
        std::string(POSTMOOR_SOURCE_DIR) + "/tests/library/import/formats/count_messages.py";
    std::string mboxes, folders;
    for (const Group& g : groups) {
        if (g.mailbox) {
            mboxes += " '" + g.name + "'";
            continue;
        }
        const fs::path linked = fs::path(scratch.path()) / g.name;
        fs::create_directories(linked);
        for (std::size_t i = 0; i < g.files.size(); ++i)
            fs::create_symlink(g.files[i], linked / std::to_string(i));
        folders += " '" + g.name + "'";
    }
    std::map<std::string, long long> counts;
    auto run = [&](const std::string& root, const char* kind, const std::string& paths) {
        if (paths.empty()) return;
        const std::string command = "python3 '" + script + "' '" + root + "' " + kind + paths;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return;
        char line[4096];
        while (std::fgets(line, sizeof line, pipe)) {
            std::string text(line);
            const std::size_t tab = text.find('\t');
            if (tab != std::string::npos) counts[text.substr(0, tab)] = std::atoll(text.c_str() + tab + 1);
        }
        pclose(pipe);
    };
    run(corpora.string(), "mbox", mboxes);
    run(scratch.path(), "files", folders);
    return counts;
}

class CorpusCounts : public FormatImportTest {
protected:
    void SetUp() override {
        corpora = corporaRoot();
        if (!corpora) GTEST_SKIP() << "no sample corpora";
        if (!havePython()) GTEST_SKIP() << "no python3 with its mailbox and email packages";
        FormatImportTest::SetUp();
    }
    std::optional<fs::path> corpora;
};

TEST_F(CorpusCounts, EveryMailboxAndMessageFileStoresEveryDistinctMessage) {
    const std::vector<Group> groups = groupsOf(*corpora);
    ASSERT_FALSE(groups.empty());
    TempDir scratch;
    const std::map<std::string, long long> python = pythonCounts(*corpora, groups, scratch);

    int box = 0;
    for (const Group& g : groups) {
        SCOPED_TRACE(g.name);
        const auto expected = python.find(g.name);
        ASSERT_NE(expected, python.end()) << "no Python count";
        const std::string name = "Box " + std::to_string(++box);
        mailbox = createMailDatabase(name, "me@home.example", {});
        ASSERT_NE(mailbox, 0u);
        import(g.mailbox ? "Generic Mail Type 2" : "Generic Mail Type 1", g.files);
        const long long stored = static_cast<long long>(contents(name).messages.size());

        const KnownDifference* known = nullptr;
        for (const KnownDifference& d : kDifferences)
            if (g.name == d.group) known = &d;
        if (known) {
            EXPECT_EQ(stored, known->stored) << known->reason;
            EXPECT_EQ(expected->second, known->python) << known->reason;
        } else {
            EXPECT_EQ(stored, expected->second);
        }
    }
}

}  // namespace
}  // namespace pm::test
