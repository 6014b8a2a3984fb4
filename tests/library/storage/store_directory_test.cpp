// The canonical names of store directories, by which stores are found.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "storage/sql_connection.h"

namespace pm {
namespace {

TEST(StoreDirectoryNames, CanonicalFormsWithAndWithoutTheShortCut) {
    // Paths already canonical come back unchanged without the file system
    // library; all others get its normal form, without a trailing separator.
    const std::string cwd = std::filesystem::current_path().string();
    const struct {
        const char* given;
        std::string canonical;
    } cases[] = {
        {"/a/b", "/a/b"},       {"/", "/"},         {"/a/.hidden", "/a/.hidden"}, {"/a/..b", "/a/..b"},
        {"/a/b.", "/a/b."},     {"/a/b/", "/a/b"},  {"/a/./b", "/a/b"},           {"/a/../b", "/b"},
        {"/a//b", "/a/b"},      {"/a/b/..", "/a"},  {"/a/b/.", "/a/b"},           {"rel/dir", cwd + "/rel/dir"},
    };
    for (const auto& c : cases) EXPECT_EQ(sql::canonicalDirectory(c.given), c.canonical) << c.given;
}

}  // namespace
}  // namespace pm
