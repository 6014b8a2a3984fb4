// Two and three processes of the built program on one installation, started
// at staggered moments: imports into the same and into different databases,
// searches, shows, word lists and indexing runs. Whatever meets, every store
// stays whole, every message of every input is stored exactly once, no
// identifier is handed out twice, and every exit code and printed count
// tells the truth.
//
// A new kind of run is one entry of kinds(): its arguments and the check of
// its own outcome; the pairings pick it up.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installation_content.h"
#include "support/command_runner.h"
#include "support/mailbox_file.h"
#include "support/process_group.h"
#include "support/store_query.h"
#include "support/test_root.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using test::CommandResult;

constexpr int kMessages = 300;  // per input: long enough for runs to overlap
constexpr int kMarked = 30;     // of the base input, marked Delete for purge

// The installation every scenario starts from: databases Alpha and Beta;
// Alpha holds input "base", word-indexed.
struct Installation {
    std::string root;
    std::map<std::string, int> expected;  // database directory -> messages it must hold
};

struct Kind {
    std::string name;
    std::string arguments;
    std::string database;  // an import's target directory ("" for readers)
    std::string input;     // an import's tag
    // Checks the outcome of a run that ended; an import that was refused
    // because another held the installation is run again by the harness.
    std::function<void(const CommandResult&, const std::string& root)> check;
};

class Processes : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::programBuilt()) GTEST_SKIP() << "pmoor32 not built";
        for (const char* tag : {"base", "one", "two", "three"})
            test::writeMailbox(input(tag), kMessages, tag);
        const std::string root = work / "template";
        run(root, "init");
        run(root, "db create mail Alpha --address me@home.example");
        run(root, "db create mail Beta --address me@home.example");
        run(root, "import --format 'generic mail type 2' --mailbox Alpha '" + input("base") + "'");
        run(root, "index Alpha");
        // A message of the base input, for show.
        shown = test::storeValue(test::storeOf(root, "F1"), "SELECT MAILID FROM Mail WHERE SUBJECT LIKE 'base note 7 %' "
                                                    "OR SUBJECT = 'base note 7'");
        ASSERT_FALSE(shown.empty());
        // Messages for purge to remove.
        const std::string marked = test::storeValue(
            test::storeOf(root, "F1"), "SELECT group_concat(MAILID, ' ') FROM (SELECT MAILID FROM Mail WHERE MAILID <> " +
                                           shown + " ORDER BY MAILID LIMIT " + std::to_string(kMarked) + " OFFSET 100)");
        run(root, "mark Alpha " + marked + " --delete");
        for (const std::string& id : test::storeColumn(test::storeOf(root, "F1"), "SELECT MAILID FROM Mail"))
            stored.insert(id);
    }

    std::string input(const std::string& tag) const { return work / (tag + ".mbox"); }

    static void run(const std::string& root, const std::string& arguments) {
        const CommandResult r = test::runProgram(root, arguments);
        ASSERT_EQ(r.code, 0) << arguments << "\n" << r.err;
    }

    Kind importKind(const std::string& name, const std::string& tag, const std::string& db, const std::string& dir) {
        return {name,
                "import --format 'generic mail type 2' --mailbox " + db + " '" + input(tag) + "'",
                dir,
                tag,
                [](const CommandResult& r, const std::string&) {
                    // All its messages are new: it stored every one.
                    EXPECT_EQ(r.out, "imported\t" + std::to_string(kMessages) + "\nskipped\t0\n") << r.err;
                }};
    }

    std::vector<Kind> kinds() {
        std::vector<Kind> k;
        k.push_back(importKind("import Alpha", "one", "Alpha", "F1"));
        k.push_back(importKind("import Beta", "two", "Beta", "F2"));
        k.push_back(importKind("import Alpha again", "three", "Alpha", "F1"));
        k.push_back({"search", "search Alpha lantern --all", "", "",
                     [this](const CommandResult& r, const std::string& root) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         // Every hit is a stored message; the base input is all found.
                         // (a purge may have removed some since)
                         const auto ids = test::storeColumn(test::storeOf(root, "F1"), "SELECT MAILID FROM Mail");
                         std::set<std::string> known(ids.begin(), ids.end());
                         known.insert(stored.begin(), stored.end());
                         std::size_t hits = 0, pos = 0;
                         for (std::size_t end; (end = r.out.find('\n', pos)) != std::string::npos; pos = end + 1, ++hits)
                             EXPECT_TRUE(known.count(r.out.substr(pos, end - pos))) << r.out.substr(pos, end - pos);
                         EXPECT_GE(hits, static_cast<std::size_t>(kMessages / 2));
                     }});
        k.push_back({"show", "show Alpha " + shown, "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_NE(r.out.find("Subject:  base note 7"), std::string::npos) << r.out;
                     }});
        k.push_back({"words", "words Alpha --top 3", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_FALSE(r.out.empty());
                     }});
        k.push_back({"index", "index Alpha", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_NE(r.out.find("Alpha: "), std::string::npos) << r.out;
                     }});
        k.push_back({"db list", "db list", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_NE(r.out.find("\tAlpha\tmail\tF1\t"), std::string::npos) << r.out;
                     }});
        k.push_back({"list", "list Alpha --limit 50", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 50) << r.out;
                     }});
        // (Two purges remove the marked messages between them: the scenario
        // counts what they printed.)
        k.push_back({"purge", "purge Alpha", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_GE(test::printedCount(r.out, "deleted"), 0) << r.out;
                     }});
        // Persons' counts and the catalog's count are written afresh: the
        // installation check finds them true only if no import wrote beside it.
        k.push_back({"dedupe", "dedupe-persons Alpha", "", "", [](const CommandResult& r, const std::string&) {
                         EXPECT_EQ(r.code, 0) << r.err;
                         EXPECT_GE(test::printedCount(r.out, "persons_remaining"), 1) << r.out;
                     }});
        return k;
    }

    // Runs `together` at once (the i-th started i * staggerMs later) on a
    // copy of the template, then checks everything.
    void scenario(const std::vector<Kind>& together, int staggerMs) {
        std::string label;
        for (const Kind& k : together) label += (label.empty() ? "" : " + ") + k.name;
        label += " (stagger " + std::to_string(staggerMs) + " ms)";
        SCOPED_TRACE(label);
        const std::string root = work / ("s" + std::to_string(++scenarios));
        fs::copy(work / "template", root, fs::copy_options::recursive);

        test::ProcessGroup group(root);
        for (std::size_t i = 0; i < together.size(); ++i)
            group.add(together[i].arguments, static_cast<int>(i) * staggerMs);
        const std::vector<CommandResult> results = group.runAll();

        std::map<std::string, int> expected{{"F1", kMessages}, {"F2", 0}};
        int purges = 0, purged = 0;
        for (std::size_t i = 0; i < together.size(); ++i) {
            const Kind& k = together[i];
            CommandResult r = results[i];
            SCOPED_TRACE(k.name);
            if (r.code == 1 && r.err.find("Another import, merge, purge or rebuild is running") != std::string::npos) {
                // Refused while another run held the installation: nothing
                // of it was stored, and it goes through now.
                if (!k.database.empty()) {
                    EXPECT_EQ(r.out, "imported\t0\nskipped\t0\n");
                }
                r = test::runProgram(root, k.arguments);
            }
            k.check(r, root);
            if (!k.database.empty()) expected[k.database] += kMessages;
            if (k.name == "purge") {
                ++purges;
                purged += test::printedCount(r.out, "deleted");
            }
        }
        if (purges > 0) {
            EXPECT_EQ(purged, kMarked);
            expected["F1"] -= kMarked;
        }
        checkInstallation(root, expected);
        fs::remove_all(root);
    }

    static void checkInstallation(const std::string& root, const std::map<std::string, int>& expected) {
        for (const char* dir : {"CFG", "F1", "F2"})
            EXPECT_EQ(test::storeValue(test::storeOf(root, dir), "PRAGMA integrity_check"), "ok") << dir;
        // Each process took its work data with it.
        for (const auto& entry : fs::directory_iterator(root + "/TEMP"))
            EXPECT_EQ(entry.path().filename().string().rfind("run-", 0), std::string::npos) << entry.path();

        std::multiset<std::string> identifiers;
        for (const auto& [dir, count] : expected) {
            const std::string s = test::storeOf(root, dir);
            if (count == 0) continue;
            EXPECT_EQ(test::storeValue(s, "SELECT count(*) FROM Mail"), std::to_string(count)) << dir;
            EXPECT_EQ(test::storeValue(s, "SELECT count(DISTINCT SUBJECT) FROM Mail"), std::to_string(count)) << dir;
            EXPECT_EQ(test::storeValue(s, "SELECT sum(FROMCOUNT) + sum(TOCOUNT) FROM Person"),
                      std::to_string(2 * count))
                << dir;
            EXPECT_EQ(test::storeValue(test::storeOf(root, "CFG"),
                                       "SELECT MSGCOUNT FROM Forums WHERE DIRNUMBER = " + dir.substr(1)),
                      std::to_string(count))
                << dir;
            for (const std::string& id : test::storeColumn(s, "SELECT MAILID FROM Mail UNION ALL SELECT PERSONID FROM Person"))
                identifiers.insert(id);
        }
        for (const std::string& id : test::storeColumn(test::storeOf(root, "CFG"), "SELECT ID FROM Forums")) identifiers.insert(id);
        unsigned long highest = 0;
        for (const std::string& id : identifiers) {
            EXPECT_EQ(identifiers.count(id), 1u) << "identifier " << id << " twice";
            highest = std::max(highest, std::stoul(id));
        }
        // The counter is past every identifier handed out.
        const std::string next = test::storeValue(test::storeOf(root, "CFG"), "SELECT NEXTNUMBER FROM Control WHERE ID = 1");
        EXPECT_GT(std::stoul(next), highest);
    }

    test::TempDir work;
    std::string shown;
    std::set<std::string> stored;  // the message numbers of Alpha before any run
    int scenarios = 0;
};

TEST_F(Processes, EveryPairingOfTwoRuns) {
    const std::vector<Kind> all = kinds();
    for (std::size_t a = 0; a < all.size(); ++a)
        for (std::size_t b = a; b < all.size(); ++b) {
            if (all[a].name == all[b].name && !all[a].database.empty()) continue;  // an input is imported once
            // Readers alone meet in one way only; a writer is met early and late.
            auto writes = [](const std::string& name) {
                return name.find("import") == 0 || name == "index" || name == "purge" || name == "dedupe";
            };
            const bool writer = writes(all[a].name) || writes(all[b].name);
            for (int stagger : {0, 150}) {
                if (stagger > 0 && !writer) continue;
                scenario({all[a], all[b]}, stagger);
            }
        }
}

TEST_F(Processes, ThreeRunsAtOnce) {
    const std::vector<Kind> all = kinds();
    auto kind = [&](const std::string& name) {
        for (const Kind& k : all)
            if (k.name == name) return k;
        ADD_FAILURE() << name;
        return all.front();
    };
    scenario({kind("import Alpha"), kind("import Beta"), kind("import Alpha again")}, 100);
    scenario({kind("import Alpha"), kind("search"), kind("index")}, 100);
    scenario({kind("import Beta"), kind("index"), kind("show")}, 50);
    scenario({kind("index"), kind("search"), kind("import Alpha")}, 0);
    scenario({kind("import Beta"), kind("purge"), kind("list")}, 100);
}

// Merges, rebuilds and imports that meet take turns: one holds the
// installation's writing-run lock, the other waits for it or is refused with
// the reason (and then goes through). Afterwards the target holds each
// message once, with true counts and unique identifiers.
TEST_F(Processes, MergesAndRebuildsTakeTurnsWithEachOtherAndWithImports) {
    const std::string refusal = "Another import, merge, purge or rebuild is running (";
    const std::string merge = "merge Alpha Beta";
    const std::string importBeta = "import --format 'generic mail type 2' --mailbox Beta '" + input("two") + "'";
    // The first of each pair is met early and late.
    struct Pairing {
        std::string first, second;
        int stagger;
    };
    const std::vector<Pairing> pairings = {
        {merge, merge, 0},        {merge, merge, 150},       {merge, importBeta, 0}, {importBeta, merge, 150},
        {merge, "rebuild", 100},  {"rebuild", "rebuild", 0}, {importBeta, "rebuild", 100},
    };
    for (const Pairing& p : pairings) {
        SCOPED_TRACE(p.first + " + " + p.second + " (stagger " + std::to_string(p.stagger) + " ms)");
        const std::string root = work / ("w" + std::to_string(++scenarios));
        fs::copy(work / "template", root, fs::copy_options::recursive);
        test::ProcessGroup group(root);
        group.add(p.first);
        group.add(p.second, p.stagger);
        const std::vector<CommandResult> results = group.runAll();

        long long merged = 0, merges = 0;
        bool imported = false;
        for (std::size_t i = 0; i < results.size(); ++i) {
            const std::string& arguments = i == 0 ? p.first : p.second;
            CommandResult r = results[i];
            if (r.code != 0) {
                // Refused, never half done: the reason is named, and it goes through now.
                EXPECT_EQ(r.code, 1) << r.err;
                EXPECT_NE(r.err.find(refusal), std::string::npos) << r.err;
                r = test::runProgram(root, arguments);
            }
            ASSERT_EQ(r.code, 0) << arguments << "\n" << r.err;
            if (arguments == merge) {
                ++merges;
                merged += test::printedCount(r.out, "merged");
                EXPECT_EQ(test::printedCount(r.out, "merged") + test::printedCount(r.out, "skipped"), kMessages) << r.out;
            } else if (arguments == importBeta) {
                imported = true;
                EXPECT_EQ(r.out, "imported\t" + std::to_string(kMessages) + "\nskipped\t0\n") << r.err;
            } else {
                EXPECT_EQ(r.out.find("Dropped"), std::string::npos) << r.out;
            }
        }
        // Two merges of one pair store the source once between them.
        if (merges > 0) {
            EXPECT_EQ(merged, kMessages);
        }
        checkInstallation(root, {{"F1", kMessages}, {"F2", (merges > 0 ? kMessages : 0) + (imported ? kMessages : 0)}});
        fs::remove_all(root);
    }
}

}  // namespace
}  // namespace pm
