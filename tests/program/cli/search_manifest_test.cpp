// Search results on a generated mail corpus against the generator's own
// counts: how many messages hold each tracked word in their plain text.
// The generator lives in the shared benchmark folder; without it (or
// without python3) the test skips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "support/json_reader.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

// POSTMOOR_BENCH (environment), else the shared folder beside the
// checkout or beside the folder of work trees.
std::string generatorPath() {
    if (const char* env = std::getenv("POSTMOOR_BENCH"); env && *env) return std::string(env) + "/gen_corpus.py";
    for (const char* place : {POSTMOOR_SOURCE_DIR "/../shared/bench", POSTMOOR_SOURCE_DIR "/../../shared/bench"}) {
        const std::string script = std::string(place) + "/gen_corpus.py";
        if (std::filesystem::exists(script)) return script;
    }
    return POSTMOOR_SOURCE_DIR "/../shared/bench/gen_corpus.py";
}

// The generator's counts of messages by tracked word, and its queries.
struct Manifest {
    std::map<std::string, long> df;
    std::map<std::string, std::vector<std::string>> queries;
};

Manifest readManifest(const std::string& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    const Json json = parseJson(text.str());
    Manifest m;
    for (const auto& [word, count] : json["plain_text_df"].fields) m.df[word] = static_cast<long>(count.number);
    for (const auto& [kind, query] : json["queries"].fields) {
        if (query.kind == Json::Kind::Array)
            for (const Json& w : query.items) m.queries[kind].push_back(w.text);
        else
            m.queries[kind].push_back(query.text);
    }
    return m;
}

long lineCount(const std::string& text) { return static_cast<long>(std::count(text.begin(), text.end(), '\n')); }

class SearchManifest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(generatorPath()) || std::system("python3 -c 0 > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "no corpus generator (" << generatorPath() << ") or no python3";
        const std::string generate = "python3 '" + generatorPath() + "' -n 1500 --seed 7 --mbox '" +
                                     (root / "corpus.mbox") + "' --manifest '" + (root / "manifest.json") +
                                     "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(generate.c_str()), 0);
        manifest = readManifest(root / "manifest.json");
        ASSERT_FALSE(manifest.df.empty());

        ASSERT_EQ(pm({"init"}).code, 0);
        ASSERT_EQ(pm({"db", "create", "mail", "Bench", "--address", "bench@example.org"}).code, 0);
        CommandResult r = pm({"--yes", "import", "--format", "Generic Mail Type 2", "--mailbox", "Bench",
                              root / "corpus.mbox"});
        ASSERT_EQ(r.code, 0) << r.err;
        r = pm({"--yes", "index", "Bench"});
        ASSERT_EQ(r.code, 0) << r.err;
    }

    CommandResult pm(std::vector<std::string> args) {
        args.insert(args.begin(), {"--root", root.path()});
        return runCommand(std::move(args));
    }
    // The number of messages a search finds.
    long found(std::vector<std::string> words) {
        words.insert(words.begin(), {"search", "Bench", "--all"});
        const CommandResult r = pm(words);
        return lineCount(r.out);
    }

    TempDir root;
    Manifest manifest;
};

TEST_F(SearchManifest, HitsMatchTheGeneratorsPlainTextCounts) {
    // The generator counts a word before it may swap a word of the line for
    // an accented one, so a count may exceed the messages that still hold
    // the word, by a little.
    for (const auto& [word, df] : manifest.df) {
        if (word == "phrase") continue;
        const long hits = found({word});
        EXPECT_LE(hits, df) << word;
        EXPECT_GE(hits, df - std::max(2L, df / 50)) << word;
    }
    const auto& rare = manifest.queries.at("rare");
    ASSERT_EQ(rare.size(), 1u);
    EXPECT_EQ(found({rare[0]}), manifest.df.at(rare[0]));

    // Both words: no more than the rarer one, and some.
    const auto& both = manifest.queries.at("and");
    ASSERT_EQ(both.size(), 2u);
    const long andHits = found(both);
    EXPECT_LE(andHits, std::min(manifest.df.at(both[0]), manifest.df.at(both[1])));
    EXPECT_GT(andHits, 0);

    // The phrase: every message it was written into, and few where its words
    // happen to meet by chance.
    const auto& phrase = manifest.queries.at("phrase");
    ASSERT_EQ(phrase.size(), 2u);
    const long phraseHits = found({"--phrase", phrase[0], phrase[1]});
    const long phraseDf = manifest.df.at("phrase");
    EXPECT_GE(phraseHits, phraseDf);
    EXPECT_LE(phraseHits, phraseDf + std::max(3L, phraseDf / 20));
    EXPECT_LE(phraseHits, found({phrase[0], phrase[1]}));

    // A prefix finds at least what any of its words finds.
    const auto& prefix = manifest.queries.at("prefix");
    ASSERT_EQ(prefix.size(), 1u);
    EXPECT_GT(found({"--prefix", prefix[0]}), 0);
}

}  // namespace
}  // namespace pm::test
