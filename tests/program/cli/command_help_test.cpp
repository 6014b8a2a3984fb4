// Every command explains itself: help pages, the overview, unknown
// commands, and the exit code of a missing installation.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

using cli::Command;

// The options (--name) and placeholders (upper-case words) a text names.
std::set<std::string> namedTokens(const std::string& text) {
    static const std::regex token(R"(--[a-z][a-z-]*|\b[A-Z][A-Z0-9]*\b)");
    std::set<std::string> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it)
        out.insert(it->str());
    return out;
}

// A command line split as a shell would split it (double quotes only).
std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::string current;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) out.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) out.push_back(current);
    return out;
}

std::vector<std::string> lines(const char* text) {
    std::vector<std::string> out;
    std::string s = text ? text : "";
    for (std::size_t start = 0; start < s.size();) {
        std::size_t end = s.find('\n', start);
        if (end == std::string::npos) end = s.size();
        out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

TEST(CommandHelp, EveryCommandDocumentsItsSynopsisOptionsAndExample) {
    for (const Command& c : cli::commands()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.help.synopsis && *c.help.synopsis) << "no synopsis";
        ASSERT_TRUE(c.help.description && *c.help.description) << "no description";
        ASSERT_TRUE(c.help.example && *c.help.example) << "no example";
        for (const std::string& line : lines(c.help.synopsis)) {
            if (line.empty() || line.front() == ' ') continue;  // continues the form above
            EXPECT_EQ(line.rfind(std::string(c.name), 0), 0u) << line;
        }

        std::set<std::string> documented;
        for (const cli::CommandOption& o : c.help.options) {
            ASSERT_TRUE(o.text && *o.text) << o.name;
            const std::set<std::string> named = namedTokens(o.name);
            documented.insert(named.begin(), named.end());
        }
        const std::set<std::string> used = namedTokens(c.help.synopsis);
        for (const std::string& t : used) EXPECT_TRUE(documented.count(t)) << t << " is not explained";
        for (const std::string& t : documented) EXPECT_TRUE(used.count(t)) << t << " is not in the synopsis";

        for (const std::string& line : lines(c.help.example)) {
            const std::vector<std::string> w = words(line);
            ASSERT_GE(w.size(), 2u) << line;
            EXPECT_EQ(w.front(), "pmoor32") << line;
            EXPECT_NE(std::find(w.begin(), w.end(), std::string(c.name)), w.end()) << line;
        }
    }
}

TEST(CommandHelp, HelpCommandAndHelpOptionPrintTheSamePage) {
    for (const Command& c : cli::commands()) {
        SCOPED_TRACE(c.name);
        const CommandResult byCommand = runCommand({"help", c.name});
        const CommandResult byOption = runCommand({c.name, "--help"});
        EXPECT_EQ(byCommand.code, 0);
        EXPECT_EQ(byOption.code, 0);
        EXPECT_EQ(byCommand.out, byOption.out);
        EXPECT_EQ(byCommand.out.rfind("usage: pmoor32 " + std::string(c.name), 0), 0u) << byCommand.out;
        EXPECT_NE(byCommand.out.find("Example:\n  pmoor32 "), std::string::npos);
        for (const cli::CommandOption& o : c.help.options)
            EXPECT_NE(byCommand.out.find(std::string(o.name) + "  "), std::string::npos) << o.name;
    }
    // A subcommand's --help is the command's page, not a usage error.
    EXPECT_EQ(runCommand({"db", "list", "--help"}).out, runCommand({"help", "db"}).out);
}

TEST(CommandHelp, TheOverviewNamesEveryCommandAndEveryExitCode) {
    const CommandResult overview = runCommand({"--help"});
    EXPECT_EQ(overview.code, 0);
    for (const Command& c : cli::commands())
        EXPECT_NE(overview.out.find("\n  " + std::string(c.name)), std::string::npos) << c.name;
    for (const char* code : {"0 done", "1 failed", "2 bad usage", "3 fatal", "4 no usable installation", "130 "})
        EXPECT_NE(overview.out.find(code), std::string::npos) << code;
    EXPECT_EQ(runCommand({"help"}).out, overview.out);
}

TEST(CommandHelp, AnUnknownCommandPointsToTheOverview) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"frobnicate"}, {"help", "frobnicate"}, {"frobnicate", "--help"}}) {
        const CommandResult r = runCommand(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("unknown command \"frobnicate\" (pmoor32 --help lists the commands)"),
                  std::string::npos)
            << r.err;
    }
}

// Each example, run on a root without an installation, gets as far as
// looking for it: its arguments are well formed, and a command that needs
// an installation says so with its own exit code.
TEST(CommandHelp, ExamplesReachTheMissingInstallationAndGetItsExitCode) {
    TempDir empty;
    const std::string root = empty / "nothing-here";
    for (const Command& c : cli::commands()) {
        for (const std::string& line : lines(c.help.example)) {
            std::vector<std::string> args = words(line);
            args.erase(args.begin());  // "pmoor32"
            for (std::size_t i = 0; i + 1 < args.size(); ++i)
                if (args[i] == "--root") args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            if (std::string(c.name) == "init") continue;  // it makes the installation
            args.insert(args.begin(), {"--root", root});
            const CommandResult r = runCommand(args);
            EXPECT_NE(r.code, 2) << line << "\n" << r.err;
            if (r.err.find("installation") != std::string::npos) {
                EXPECT_EQ(r.code, 4) << line;
                EXPECT_NE(r.err.find("no Postmoor installation at " + root + " (create one: pmoor32 --root " + root +
                                     " init)"),
                          std::string::npos)
                    << r.err;
            }
        }
    }
}

}  // namespace
}  // namespace pm::test
