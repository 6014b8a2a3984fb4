#pragma once
// The shared folder of real sample files, read at test time and never
// copied into the repository.
#include <filesystem>
#include <optional>
#include <string>

namespace pm::test {

// POSTMOOR_CORPORA (environment) or the build's default place; nullopt when
// the folder is not there (tests that need it skip).
std::optional<std::filesystem::path> corporaRoot();

// The sample file at `relative` below that folder; "" when it is not there.
std::string corpusFile(const std::string& relative);

}  // namespace pm::test
