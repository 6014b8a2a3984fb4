#include "support/corpora.h"

#include <cstdlib>

namespace pm::test {

std::optional<std::filesystem::path> corporaRoot() {
    const char* overridden = std::getenv("POSTMOOR_CORPORA");
    const std::filesystem::path root = overridden && *overridden ? overridden : POSTMOOR_CORPORA;
    if (!std::filesystem::is_directory(root)) return std::nullopt;
    return root;
}

}  // namespace pm::test
