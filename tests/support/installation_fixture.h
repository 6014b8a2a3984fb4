#pragma once
// A fresh installation for one test: a temporary root set up by the
// start-up settings, a recorder as the user interface, and helpers to make
// databases. Everything is closed and removed afterwards.
#include <gtest/gtest.h>

#include <string>

#include "common/types.h"
#include "support/recording_user_interface.h"
#include "support/test_root.h"

namespace pm::test {

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a forum or newsgroup database and makes it active; returns its id.
    ULONG makeDatabase(BYTE type, const std::string& name);

    TempDir root;
    RecordingUserInterface ui;

private:
    UserInterface* previous_ = nullptr;
};

}  // namespace pm::test
