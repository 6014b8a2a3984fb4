#pragma once
// The browse view a command works in: --by VIEW and the options that narrow
// it (--thread, --section, --person, --topic, --word), as `list` and `find`
// take them.
#include <string>

#include "browse/browse_context.h"
#include "browse/browse_tables.h"
#include "cli/command_context.h"
#include "browse/paged_list.h"

namespace pm::cli {

struct ViewOptions {
    std::string by, thread, section, person, topic, word;
    std::string wordOption = "--word";  // the option that names the word, as errors name it
};

// Pops the view options from `reader`; the word of --by word comes with
// `wordOption` (a command whose --word means something else names another).
ViewOptions readViewOptions(ArgumentReader& reader, const std::string& wordOption = "--word");

// The view of the active database the options name, with the tables it
// reads opened in `tables` (which must outlive the range). Without --by:
// the view a narrowing option implies, else the view a browse opens with
// (messages by number, mail by date). Throws UsageError when the options do
// not fit the database or each other.
KeyRange chosenViewRange(const ViewOptions& options, BrowseTables& tables);

}  // namespace pm::cli
