// The help page of a command, laid out from its entry in the command table.
#include <algorithm>
#include <sstream>

#include "cli/commands.h"

namespace pm::cli {

namespace {

std::vector<std::string> linesOf(const char* text) {
    std::vector<std::string> lines;
    std::istringstream in(text ? text : "");
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

const Command* findCommand(const std::string& name) {
    for (const Command& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

std::string helpText(const Command& command) {
    const CommandHelp& help = command.help;
    std::string out;
    // "usage: pmoor32 db list", then "       pmoor32 db create ..."; a line
    // that begins with blanks continues the form above it.
    const std::string indent(std::string("usage: pmoor32 ").size(), ' ');
    bool first = true;
    for (const std::string& line : linesOf(help.synopsis)) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        if (start > 0) out += indent + "  " + line.substr(start) + '\n';
        else out += std::string(first ? "usage: " : "       ") + "pmoor32 " + line + '\n';
        first = false;
    }
    if (help.description) out += '\n' + std::string(help.description) + '\n';
    if (!help.options.empty()) {
        std::size_t width = 0;
        for (const CommandOption& o : help.options) width = std::max(width, std::string(o.name).size());
        out += "\nOptions and arguments:\n";
        for (const CommandOption& o : help.options) {
            const std::string name = o.name;
            bool first = true;
            for (const std::string& line : linesOf(o.text)) {
                out += "  " + (first ? name : std::string()) + std::string(width - (first ? name.size() : 0) + 2, ' ') +
                       line + '\n';
                first = false;
            }
        }
    }
    if (help.example) {
        out += "\nExample:\n";
        for (const std::string& line : linesOf(help.example)) out += "  " + line + '\n';
    }
    out += "\n--root DIR and --yes go before the command; pmoor32 --help lists every command.\n";
    return out;
}

}  // namespace pm::cli
