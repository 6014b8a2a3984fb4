#pragma once
// Running one splitter over a file and showing what it cut.
#include <memory>
#include <string>
#include <vector>

#include "import/formats/splitter.h"
#include "support/test_root.h"

namespace pm::test {

// The messages a splitter cuts from `content` (written to a file in
// `dir`), each as its queue entries from the header start, joined with "|".
// `logFile` is handed to the splitter as the run's diagnostic log.
std::vector<std::string> cutMessages(std::unique_ptr<formats::MessageSplitter> splitter, const std::string& content,
                                     const TempDir& dir, const std::string& name = "source",
                                     const std::string& logFile = "", long long* skipped = nullptr);

// Writes `content` to `path`.
void writeFile(const std::string& path, const std::string& content);

}  // namespace pm::test
