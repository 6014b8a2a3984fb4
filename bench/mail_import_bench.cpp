// Mail import benchmark: one mail or news file through the whole import run
// into a fresh installation, with the conversion phase (splitting, header
// analysis, text assembly, work file) and the storing phase timed apart.
//
//   build/bench/mail_import_bench [--format NAME] [--quota N] [--dir DIR] FILE
//
// The mailbox "Bench" (owner owner@home.example.com) receives the mail;
// make FILE with build/bench/mbox_corpus. The whole run, as a user starts it,
// is `pmoor32 --root R import --format NAME --mailbox M FILE`.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/user_interface.h"
#include "import/driver/format_table.h"
#include "import/driver/import_run.h"
#include "import_timing.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/catalog/mail_database.h"
#include "tables/config/installation.h"

using namespace pm;

namespace {


std::uintmax_t storeBytes(const std::filesystem::path& dir) {
    std::uintmax_t total = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec)) total += entry.file_size(ec);
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    std::string formatName = "Generic Mail Type 2";
    std::string dir = (std::filesystem::temp_directory_path() / "pm-mail-bench").string();
    std::string file;
    int quota = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--format" && i + 1 < argc) formatName = argv[++i];
        else if (a == "--quota" && i + 1 < argc) quota = std::atoi(argv[++i]);
        else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
        else file = a;
    }
    const FormatEntry* format = formatByName(formatName);
    if (file.empty() || !format) {
        std::fprintf(stderr, "usage: mail_import_bench [--format NAME] [--quota N] [--dir DIR] FILE\n");
        return 2;
    }
    file = std::filesystem::absolute(file).string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) {
        std::fprintf(stderr, "cannot set up an installation in %s\n", dir.c_str());
        return 1;
    }
    const ULONG mailbox = createMailDatabase("Bench", "owner@home.example.com", {});
    if (mailbox == 0) return 1;

    ImportRequest request;
    request.importPath = std::filesystem::path(file).parent_path().string();
    request.selectionMethod = SelectFiles;
    request.selectedFiles = file;
    request.importMail = (format->kinds & KindMail) ? 1 : 0;
    request.importNewsgroup = (format->kinds & KindNews) ? 1 : 0;
    request.importForum = (format->kinds & KindForum) ? 1 : 0;
    request.mailbox = request.importMail ? static_cast<LONG>(mailbox) : 0;
    setRequestFormat(request, format->number);
    completeImportRequest(request);
    ImportOptions options;
    options.quota = quota;

    ImportRun run(request, options);
    const bench::ImportTimes times = bench::timeImportRun(run);
    if (!times.completed) return 1;
    const double convert = times.convertSeconds, store = times.storeSeconds, total = times.totalSeconds();
    const double handled = static_cast<double>(run.progress().imported + run.progress().skipped);
    const double sourceBytes = static_cast<double>(std::filesystem::file_size(file));
    std::printf("messages        %lld imported, %lld skipped (%s)\n", run.progress().imported, run.progress().skipped,
                formatName.c_str());
    std::printf("conversion      %.2f s  %.0f messages/s  %.1f MB/s\n", convert, handled / convert,
                sourceBytes / convert / 1e6);
    std::printf("storing         %.2f s  %.0f messages/s\n", store, static_cast<double>(run.progress().workRecords) / store);
    std::printf("whole import    %.2f s  %.0f messages/s\n", total, handled / total);
    closeAllTables();
    closeStorage();
    const double stored = static_cast<double>(storeBytes(std::filesystem::path(dir) / "F1"));
    std::printf("database        %.1f MB = %.2f x the source\n", stored / 1e6, stored / sourceBytes);
    std::filesystem::remove_all(dir);
    return 0;
}
