// The capture parsers over a hostile capture file, through the whole
// import driver into an installation made once per process: the first byte
// picks the format, the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_input.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "import/driver/import_run.h"
#include "import/driver/import_settings.h"
#include "tables/catalog/mail_database.h"
#include "tables/config/installation.h"
#include "tables/config/settings.h"

namespace {

const char* const kFormats[] = {"AUTOSIG",    "GoldenCompass", "OzCIS",      "OzWin I",
                                "OzWin II",   "TAPCIS 5.x",    "TAPCIS 6.x", "NavCIS Save format"};
pm::LONG mailbox = 0;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string root = std::string(pm::fuzz::inputDirectory()) + "/pm-fuzz-capture-" + std::to_string(getpid());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    if (pm::runStartupSettings(root, nullptr) == pm::StartupOutcome::Aborted) std::abort();
    pm::setConfigValue(pm::kShowCompletionTimeItem, 2);
    mailbox = static_cast<pm::LONG>(pm::createMailDatabase("Box", "me@home.example", {}));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const pm::FormatEntry* format = pm::formatByName(kFormats[data[0] % 8]);
    if (!format) std::abort();
    const std::string file = pm::fuzz::inputFile(data + 1, size - 1, ".MSG");
    pm::ImportRequest r;
    r.selectionMethod = pm::SelectFiles;
    r.importPath = std::filesystem::path(file).parent_path().string();
    r.selectedFiles.push_back(file);
    r.importForum = 1;
    r.importMail = 1;
    r.allowReimport = 1;
    r.mailbox = mailbox;
    if (pm::setRequestFormat(r, format->number) != pm::RequestProblem::None) return 0;
    if (pm::completeImportRequest(r) != pm::RequestProblem::None) return 0;
    pm::ImportRun run(r, pm::ImportOptions{});
    run.runToEnd();
    return 0;
}
