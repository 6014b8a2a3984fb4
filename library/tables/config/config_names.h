#pragma once
// Names of the settings items, so that a person can say "date-format"
// where the stores say item 10. Every item configItemKind() knows has one.
#include <string_view>
#include <vector>

namespace pm {

struct ConfigItemName {
    int item;             // the item number
    const char* name;     // lower case words joined by '-'
    const char* meaning;  // one line: what the value means
};

// Every named item, in item order.
const std::vector<ConfigItemName>& configItemNames();

// The item called `name` (letter case ignored); 0 when none is.
int configItemByName(std::string_view name);

// The name of `item`; nullptr when it has none.
const char* configItemName(int item);

}  // namespace pm
