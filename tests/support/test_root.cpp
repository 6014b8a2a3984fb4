#include "support/test_root.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "storage/table.h"

namespace pm::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pmtest-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    closeStorage();
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace pm::test
