// The mailbox owner's addresses: foreign test, sent/received decision, load.
#include <gtest/gtest.h>

#include <string>

#include "common/globals.h"
#include "import/addresses/mailbox_addresses.h"

namespace pm {
namespace {

MailboxOwner sampleOwner() {
    MailboxOwner owner;
    owner.mailboxName = "Private Mail";
    owner.mailAddress = "Owner@Example.COM";
    owner.altAddresses[0] = "76543,210";
    owner.altAddresses[4] = "ÄRGER@Example.de";
    owner.personId = 4711;
    return owner;
}

MailboxAddresses loaded() {
    MailboxAddresses state;
    loadMailboxAddresses(state, sampleOwner());
    return state;
}

TEST(MailboxAddresses, IsForeignComparesInLowerCase) {
    const MailboxAddresses state = loaded();
    EXPECT_EQ(state.defaultAddress(), "owner@example.com");
    EXPECT_EQ(state.altAddress(4), "ärger@example.de");
    EXPECT_EQ(state.mailboxName(), "Private Mail");

    struct Case { const char* address; int foreign; };
    const Case cases[] = {
        {"owner@example.com", 0}, {"OWNER@EXAMPLE.COM  ", 0}, {"76543,210", 0},
        {"ärger@example.de", 0},  {"Ärger@EXAMPLE.DE", 0},    {"ÄRGER@example.de", 0},
        {"76543.210", 1},         {"other@example.com", 1},   {" owner@example.com", 1},
        {"", 1},  // empty slots are unused, not a blank address of the owner
    };
    for (const auto& c : cases) EXPECT_EQ(state.isForeign(c.address), c.foreign) << c.address;
}

TEST(MailboxAddresses, ComparesOnSixtyBytes) {
    MailboxAddresses state;
    state.set("Box", std::string(60, 'a') + "xyz", {}, 1);
    EXPECT_EQ(state.defaultAddress(), std::string(60, 'a'));
    EXPECT_EQ(state.isForeign(std::string(60, 'A') + "other"), 0);
    EXPECT_EQ(state.isForeign(std::string(59, 'a')), 1);
}

TEST(MailboxAddresses, ClassifiesAndRewritesAddresses) {
    const MailboxAddresses state = loaded();

    std::string sender = "Friend@Mail.Example", receiver = "whatever";
    EXPECT_EQ(state.classify(sender, receiver), MailReceived);
    EXPECT_EQ(sender, "friend@mail.example");
    EXPECT_EQ(receiver, "owner@example.com");

    // Sent from an alternative address written in other letter case.
    sender = "ärGER@example.DE";
    receiver = "Friend@Mail.Example";
    EXPECT_EQ(state.classify(sender, receiver), MailSent);
    EXPECT_EQ(sender, "owner@example.com");
    EXPECT_EQ(receiver, "friend@mail.example");

    sender = "";
    receiver = "x@y";
    EXPECT_EQ(state.classify(sender, receiver), MailReceived);
    EXPECT_EQ(receiver, "owner@example.com");
}

TEST(MailboxAddresses, LoadPublishesOwnerAndEmptiesCache) {
    int cacheCleared = 0;
    MailboxAddresses state;
    state.onLoad = [&] { ++cacheCleared; };

    loadMailboxAddresses(state, sampleOwner());
    EXPECT_EQ(Mem.PersonID, 4711u);
    EXPECT_EQ(state.personId(), 4711u);
    EXPECT_EQ(cacheCleared, 1);

    // The Forums record could not be read: everything is forgotten.
    loadMailboxAddresses(state, std::nullopt);
    EXPECT_EQ(Mem.PersonID, 0u);
    EXPECT_EQ(state.defaultAddress(), "");
    EXPECT_EQ(state.mailboxName(), "");
    EXPECT_EQ(state.isForeign("owner@example.com"), 1);
    EXPECT_EQ(cacheCleared, 2);
}

TEST(MailboxAddresses, MailboxNameCutAtWholeCharacter) {
    MailboxAddresses state;
    state.set(std::string(39, 'm') + "é", "", {}, 0);
    EXPECT_EQ(state.mailboxName(), std::string(39, 'm'));
}

}  // namespace
}  // namespace pm
