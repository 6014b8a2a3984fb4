// Breaking messages for the indexer: each message's words as the breaker
// cuts them (subject, then the text part that is indexed), with a word's
// third and later meetings in one message left out, one breaker serving
// message after message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/word_definition.h"
#include "wordindex/message_breaker.h"

namespace pm {
namespace {

std::vector<std::string> wordsOf(const BrokenMessage& m) {
    std::vector<std::string> words;
    std::uint32_t begin = 0;
    for (std::uint32_t end : m.ends) {
        words.push_back(m.bytes.substr(begin, end - begin));
        begin = end;
    }
    return words;
}

using Words = std::vector<std::string>;

std::vector<BrokenMessage> breakAll(MessageBreaker& breaker, const std::vector<MessageToBreak>& messages) {
    std::vector<BrokenMessage> out(messages.size());
    const WordDefinition tables = currentWordDefinition();
    for (std::size_t i = 0; i < messages.size(); ++i) breaker.breakMessage(messages[i], tables, out[i]);
    return out;
}

TEST(MessageBreaker, RepeatsCutAtTwoPerMessage) {
    buildDefaultWordDefinition();
    MessageBreaker breaker(TypeMail, 0);
    const std::vector<BrokenMessage> first =
        breakAll(breaker, {{7, "Lunch plans", "lunch lunch LUNCH lunch, then tea"},
                           {9, "", "Message-ID: <a@b>\r\nX-Mailer: m\r\n\r\nbody only"}});
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].number, 7u);
    // The subject's LUNCH is the first meeting, the text's first the second.
    EXPECT_EQ(wordsOf(first[0]), (Words{"LUNCH", "PLANS", "LUNCH", "THEN", "TEA"}));
    EXPECT_EQ(first[1].number, 9u);
    EXPECT_EQ(wordsOf(first[1]), (Words{"BODY", "ONLY"}));  // the header block is not indexed

    // A word met twice in one message counts again in the next; a word is
    // cut to its stored 40 bytes.
    const std::string longWord(45, 'q');
    const std::vector<BrokenMessage> second = breakAll(breaker, {{10, "", "tea tea tea " + longWord}, {11, "", ""}});
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(wordsOf(second[0]), (Words{"TEA", "TEA", std::string(40, 'Q')}));
    EXPECT_TRUE(second[1].ends.empty());
    // The run looks words up by the hashes the breaker hands back: each is
    // the hash of the word as stored (after the cut), not as written.
    const Words stored = wordsOf(second[0]);
    ASSERT_EQ(second[0].hashes.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(second[0].hashes[i], indexWordHash(stored[i])) << i;
    EXPECT_EQ(first[0].hashes.size(), first[0].ends.size());
}

}  // namespace
}  // namespace pm
