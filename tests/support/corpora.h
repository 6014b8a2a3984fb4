#pragma once
// The shared folder of real sample files, read at test time and never
// copied into the repository.
#include <filesystem>
#include <optional>

namespace pm::test {

// POSTMOOR_CORPORA (environment) or the build's default place; nullopt when
// the folder is not there (tests that need it skip).
std::optional<std::filesystem::path> corporaRoot();

}  // namespace pm::test
