#pragma once
// The numbered instruction texts shown in the help panes of the wizards and
// setup windows (import wizard, import procedures, tasks, merge and
// redirection, rebuild, preferences, StartUp wizard, word index setup).
#include <string>

namespace pm {

// The instruction text with `number` (plain ASCII, paragraphs separated by
// CR LF, at most 2,500 characters); an empty string for a number that has
// no text.
std::string GetMenuText(int number);

}  // namespace pm
