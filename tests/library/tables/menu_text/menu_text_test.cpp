// The instruction texts: each opens with the words the windows are known by,
// stays within the pane's limit, and the numbers without a text give none.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tables/menu_text.h"

namespace pm {
namespace {

struct Opening {
    int number;
    const char* begins;
};

const Opening Openings[] = {
    {0, "With this Wizard you can easily import messages to the Postmoor relational database"},
    {1, "Choose the kind of message file(s) that you want to import from; then proceed by "
        "pushing the Next button!"},
    {2, "Postmoor can import three types of messages: mail messages, CompuServe Forum messages "
        "and newsgroup messages"},
    {21, "Postmoor can import three types of messages: mail messages, CompuServe Forum messages "
         "and newsgroup messages"},
    {3, "You can import selected message files or all message files with specified extensions "
        "in a certain directory"},
    {4, "Push the Select button to choose"},
    {5, "Push the Select button to choose"},
    {26, "Push the Select button to choose"},
    {6, "Normally already imported messages are not reimported"},
    {8, "This procedure merges one Mail database with another"},
    {9, "Postmoor can handle any number of mail databases so you can separate your personal "
        "mail, business mail, mailing lists etc"},
    {10, "With this utility you can both rebuild the database list and reset the next generated "
         "ID to a sufficiently high value"},
    {11, "The size of the temporary files built during import"},
    {12, "The increase in size of your database files"},
    {13, "The size of the word index files"},
    {15, "The professional Search and Index Engine indexes all words in the selected database "
         "except for so called Stop words"},
    {16, "The Task Manager allows you to set up scheduled tasks"},
    {17, "You can repeat the task"},
    {18, "A task is a scheduled event"},
    {19, "After the import procedures have run the task manager can run the house keeping "
         "operations"},
    {20, "When using the ImportWizard to import, you must make a number of settings"},
    {22, "You must tell Postmoor which message files you want to import from"},
    {23, "You must tell Postmoor which message files you want to import from"},
    {25, "You must tell Postmoor which message files you want to import from"},
    {27, "You must tell Postmoor which message files you want to import from"},
    {48, "You must tell Postmoor which message files you want to import from"},
    {24, "You can also set some additional import options. Checking Allow reimport"},
    {28, "This Wizard is shown only when you start Postmoor for the very first time"},
    {29, "Postmoor can import messages from a large number of mail programs"},
    {30, "There are two independant search and indexing engines"},
    {31, "Now you are all set to make your first import of messages"},
    {32, "This wizard will help you define how words are indexed"},
    {33, "By default both words and numbers are indexed"},
    {34, "Internet mail headers (if present) are never indexed"},
    {35, "These settings determine how messages are broken into words"},
    {37, "Here you can define how many indexed words will be scanned during a search"},
    {38, "There is a Task Monitoring background process in Postmoor"},
    {41, "To be able to convert mail messages you must specify your name and mail addresses"},
    {42, "You can select the message folders that you wish to import"},
    {43, "If you want the messages of certain newsgroups to be imported into a common database"},
    {44, "Newsgroup messages are normally imported into a separate database for each newsgroup"},
    {45, "After specifying redirection already imported messages must be moved"},
    {46, "Add, change or delete predefined import procedures"},
    {47, "Drag and drop the predefined import procedures"},
};

TEST(MenuText, EveryNumberedTextOpensWithItsWords) {
    std::set<std::string> seen;
    for (const Opening& o : Openings) {
        SCOPED_TRACE(o.number);
        const std::string text = GetMenuText(o.number);
        EXPECT_EQ(text.rfind(o.begins, 0), 0u) << text.substr(0, 120);
        // Texts that share an opening still say something of their own.
        EXPECT_GT(text.size(), std::string(o.begins).size() + 40);
        EXPECT_TRUE(seen.insert(text).second) << "same text as another number";
    }
}

TEST(MenuText, NumbersWithoutTextGiveNothing) {
    std::set<int> numbered;
    for (const Opening& o : Openings) numbered.insert(o.number);
    for (int number = -5; number <= 60; ++number) {
        if (numbered.count(number)) continue;
        EXPECT_EQ(GetMenuText(number), "") << number;
    }
    for (int number : {7, 14, 36, 39, 40}) EXPECT_EQ(GetMenuText(number), "") << number;
}

TEST(MenuText, TextsArePlainAsciiWithinThePaneLimit) {
    for (const Opening& o : Openings) {
        SCOPED_TRACE(o.number);
        const std::string text = GetMenuText(o.number);
        EXPECT_LE(text.size(), 2500u);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            ASSERT_LT(c, 128u) << "at " << i;
            // Line breaks come only as CR LF.
            const bool crLf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            const bool lfAfterCr = c == '\n' && i > 0 && text[i - 1] == '\r';
            if (c < 32 && !crLf && !lfAfterCr) ADD_FAILURE() << "stray control character at " << i;
        }
        EXPECT_NE(text.back(), ' ');
        EXPECT_NE(text.back(), '\n');
    }
}

}  // namespace
}  // namespace pm
