// scripts/run.sh as a newcomer uses it once the machine is set up: from a
// directory of their own, with and without --root, on a machine without a
// display.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/command_runner.h"
#include "support/test_root.h"

namespace pm::test {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = fs::weakly_canonical(POSTMOOR_BIN_DIR "/pmoor32").string();

// `run.sh arguments` in `directory`, set-up skipped, without any display.
CommandResult runScript(const std::string& directory, const std::string& arguments) {
    return runShell("cd '" + directory +
                        "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u POSTMOOR_ROOT "
                        "POSTMOOR_NO_SETUP=1 POSTMOOR_BUILD_DIR='" +
                        fs::path(kProgram).parent_path().parent_path().string() + "' '" + POSTMOOR_SOURCE_DIR +
                        "/scripts/run.sh' " + arguments,
                    directory + "/run.stderr");
}

TEST(RunScript, TheInstallationIsTakenFromTheUsersDirectory) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    TempDir home;
    CommandResult r = runScript(home.path(), "--root inst init");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(home / "inst/CFG/postmoor.db"));

    fs::create_directory(home / "mail");
    r = runScript(home / "mail", "init");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(home / "mail/CFG/postmoor.db"));
    EXPECT_FALSE(fs::exists(std::string(POSTMOOR_SOURCE_DIR) + "/CFG")) << "the checkout got an installation";

    r = runScript(home / "mail", "--help");  // the quick start's second line
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("usage: pmoor32 ", 0), 0u) << r.out;

    r = runScript(home / "mail", "--root ../inst db list --header");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "id\tname\ttype\tdir\tmsgcount\tnoimport\n");
}

TEST(RunScript, WithoutADisplayItSaysSoAndShowsTheVirtualDisplayLine) {
    if (!programBuilt()) GTEST_SKIP() << "pmoor32 not built";
    TempDir home;
    const CommandResult r = runScript(home.path(), "--root 'my mail'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("there is no display to open the desktop program on"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("  xvfb-run -a " + kProgram + " --root 'my mail'\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(kProgram + " --help"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("qt."), std::string::npos) << "Qt got to abort: " << r.err;
}

}  // namespace
}  // namespace pm::test
