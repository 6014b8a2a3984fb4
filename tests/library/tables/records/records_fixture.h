#pragma once
// A temporary installation with the configuration, temporary, database and
// word-index directories, and the directory globals pointing at it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/globals.h"
#include "storage/table.h"
#include "support/test_root.h"
#include "tables/records/all_tables.h"

namespace pm::test {

struct Installation : ::testing::Test {
    TempDir root;

    void SetUp() override {
        for (const char* dir : {"CFG", "TEMP", "F1", "WIX"}) std::filesystem::create_directory(root / dir);
        Mem.Net = root.path();
        Mem.FileDir = root.path();
        Mem.TempDir = root / "TEMP";
        Mem.Dirnamn = "F1";
        MasIdxPath = root / "WIX";
        FileTmpName.clear();
        setScratchDirectory(Mem.TempDir);
    }

    void TearDown() override {
        closeStorage();
        Mem = MemGlobals{};
        MasIdxPath.clear();
        FileTmpName.clear();
    }

    // Names registry table `number` by the path rule, creates it and opens it.
    Table& prepare(int number) {
        Table& table = *tableByNumber(number);
        if (table.def().location == Location::Ext) FileTmpName = root / ("external" + std::to_string(number));
        table.setFileName(tableFileName(number));
        EXPECT_EQ(table.create(), StorageStatus::Ok) << table.label() << ": " << table.lastError().text;
        EXPECT_EQ(table.open(), StorageStatus::Ok) << table.label() << ": " << table.lastError().text;
        table.clear();
        return table;
    }
};

}  // namespace pm::test
