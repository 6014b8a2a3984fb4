#include "support/corpora.h"

#include <cstdlib>

namespace pm::test {

std::optional<std::filesystem::path> corporaRoot() {
    const char* overridden = std::getenv("POSTMOOR_CORPORA");
    const std::filesystem::path root = overridden && *overridden ? overridden : POSTMOOR_CORPORA;
    if (!std::filesystem::is_directory(root)) return std::nullopt;
    return root;
}

std::string corpusFile(const std::string& relative) {
    const auto root = corporaRoot();
    if (!root) return {};
    const std::filesystem::path path = *root / relative;
    return std::filesystem::exists(path) ? path.string() : std::string();
}

}  // namespace pm::test
