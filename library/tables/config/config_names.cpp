#include "tables/config/config_names.h"

#include <algorithm>
#include <cctype>

namespace pm {

const std::vector<ConfigItemName>& configItemNames() {
    static const std::vector<ConfigItemName> names = {
        {2, "tool-tips", "1 shows tool tips, 2 hides them"},
        {3, "locator-delay", "tenths of a second before the text typed into a list is forgotten"},
        {4, "option-4", "an option of the preferences (1)"},
        {5, "earliest-date", "day number of the earliest message (set by nextid-check)"},
        {6, "default-database", "id of the database made active at start (0: the last one active)"},
        {9, "show-completion-time", "1 shows the time a long run took when it ends"},
        {10, "date-format", "2 mm-dd-yyyy, 6 dd-mm-yyyy, 10 yyyy-mm-dd, 17 the system's"},
        {11, "settings-version", "version of the stored settings"},
        {12, "default-file-type", "number of the import format the import wizard offers first"},
        {13, "time-format", "1 hh:mm, 3 hh:mm AM/PM, 7 the system's"},
        {14, "default-import-path", "directory the import wizard offers first"},
        {16, "thread-tree-format", "thread tree lines: 1 name, 2 name number, 3 name date, 4 name number date, "
                                   "5 name date number"},
        {17, "temporary-directory", "directory of the import and search work files"},
        {18, "database-directory", "top directory below which the databases' directories lie"},
        {19, "default-mail-database", "id of the mail database the import wizard offers first"},
        {22, "delete-colour", "colour of messages marked Delete (RGB, red in the low byte)"},
        {23, "colour-23", "a colour of the Colors tab (RGB)"},
        {24, "keep-colour", "colour of messages marked Keep (RGB, red in the low byte)"},
        {25, "colour-25", "a colour of the Colors tab (RGB)"},
        {26, "speed-duplicates", "duplicate elimination: 1 lively screen ... 7 fast run"},
        {27, "speed-count-purge", "count and purge: 1 lively screen ... 7 fast run"},
        {28, "speed-indexing", "word indexing: 1 lively screen ... 7 fast run"},
        {29, "speed-find-text", "text find: 1 lively screen ... 7 fast run"},
        {30, "speed-import-merge", "import and merge: 1 lively screen ... 7 fast run"},
        {31, "tab-colour-1", "colour of the first tab sheet of the preferences (RGB)"},
        {32, "option-32", "an option of the preferences"},
        {33, "list-font", "font of the lists (NAME,SIZE)"},
        {34, "entry-font", "font of the entry fields (NAME,SIZE)"},
        {35, "text-font", "font of the message text (NAME,SIZE)"},
        {36, "tree-font", "font of the thread tree (NAME,SIZE)"},
        {37, "tree-on-top", "1: the thread tree floats on top"},
        {38, "default-message-view", "first view of the message browse, 1-7"},
        {39, "default-mail-view", "first view of the mail browse, 1-5"},
        {40, "tree-with-browse", "1: the thread tree opens with the message browse"},
        {41, "tab-colour-2", "colour of the second tab sheet of the preferences (RGB)"},
        {42, "frame-saved-place", "1: the main window opens at its saved place, 0: maximized"},
        {43, "tab-colour-3", "colour of the third tab sheet of the preferences (RGB)"},
        {44, "word-index-directory", "top directory of the word-index files"},
        {45, "tab-colour-4", "colour of the fourth tab sheet of the preferences (RGB)"},
        {46, "task-pause-from", "no delayed task starts from this time (hundredths of a second)"},
        {47, "task-pause-to", "... until this time"},
        {48, "tasks-off", "1: scheduled tasks are deactivated"},
        {49, "index-numbers", "1: numbers are indexed as words"},
        {50, "search-pause", "indexed words a search reads before it asks whether to go on"},
        {51, "index-forum-footers", "1: the tag lines of forum messages are indexed"},
        {52, "index-news-footers", "1: the tag lines of newsgroup messages are indexed"},
        {53, "stop-words-forum", "1: frequent words of forum databases become stop words"},
        {54, "stop-words-news", "1: frequent words of newsgroup databases become stop words"},
        {55, "stop-words-mail", "1: frequent words of mail databases become stop words"},
        {56, "reserved-56", "reserved"},
        {57, "exit-after-tasks", "1: the program ends when its tasks have run"},
        {58, "output-58", "a setting of message export and copy (78)"},
        {59, "output-59", "an option of message export and copy"},
        {60, "output-60", "an option of message export and copy"},
        {61, "output-61", "an output format option of export and copy"},
        {62, "output-62", "an output format option of export and copy"},
        {63, "output-63", "an output format option of export and copy"},
    };
    return names;
}

int configItemByName(std::string_view name) {
    for (const ConfigItemName& n : configItemNames()) {
        const std::string_view candidate = n.name;
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                       [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
            return n.item;
    }
    return 0;
}

const char* configItemName(int item) {
    for (const ConfigItemName& n : configItemNames())
        if (n.item == item) return n.name;
    return nullptr;
}

}  // namespace pm
