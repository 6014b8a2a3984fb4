// Import benchmark: a generating parser fills the work file with N forum
// messages of about 2 KB text (senders and threads recur, new ones appear as
// the run goes on), then the import run stores them; the storing phase
// (switch database, store, counts, register) is timed on its own.
//
//   build/bench/import_bench [--messages N] [--quota N] [--forums N] [--dir DIR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "common/globals.h"
#include "common/user_interface.h"
#include "import/driver/database_resolver.h"
#include "import/driver/format_table.h"
#include "import/driver/import_run.h"
#include "import_timing.h"
#include "import/driver/work_files.h"
#include "storage/table.h"
#include "tables/access/open_close.h"
#include "tables/config/installation.h"
#include "tables/records/scratch_tables.h"

using namespace pm;

namespace {

constexpr int kBenchFormat = 16;

long gMessages = 20000;
int gForums = 1;


std::string word(std::mt19937& rng) {
    static const char* syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "we", "zo", "an", "el"};
    std::string s;
    const int n = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) s += syllables[rng() % 12];
    return s;
}

// Writes the messages straight into the work file, a quota per call.
class GeneratingParser final : public FormatParser {
public:
    bool parse(ParserCall& call) override {
        if (call.step == FirstCall) {
            call.step = ContinueParsing;
            return false;
        }
        for (int n = 0; n < call.quota && next_ < gMessages; ++n, ++next_) {
            WorkRecord record;
            const long i = next_;
            record.FOR_DESCRIPTION = "Bench Forum " + std::to_string(i % gForums);
            record.SECTIONNUMBER = static_cast<ULONG>(i % 7);
            record.SEC_DESCRIPTION = "Section " + std::to_string(i % 7);
            // About 1 in 4 messages starts a thread; senders grow slowly.
            const long thread = i / 4 + (rng_() % 3);
            record.HEADING = std::to_string(thread) + " " + word(rng_) + " subject";
            const long sender = (i / 3) % (200 + i / 20);
            record.S_NAME = "Sender" + std::to_string(sender) + " Person";
            record.S_CISADRESS = "7" + std::to_string(sender) + ",1";
            record.R_NAME = "Receiver" + std::to_string(i % 97) + " Person";
            record.R_CISADRESS = "8" + std::to_string(i % 97) + ",2";
            record.DATE = 71000 + static_cast<LONG>(i % 3000);
            std::string text;
            while (text.size() < 2000) text += word(rng_) + (rng_() % 12 == 0 ? "\r\n" : " ");
            record.MSGTEXT = text;
            const Resolution db = call.databases->resolve(record.FOR_DESCRIPTION.str(), ResolveForum, &record);
            record.INTERNAL = db.id;
            record.MSGNUMBER = static_cast<ULONG>(1000 + i);
            // Most messages answer the previous one of their forum.
            record.REFNUMBER = i % 4 && i >= gForums ? static_cast<ULONG>(1000 + i - gForums) : 0;
            call.work->appendMessage(record);
            call.progress += 2000;
        }
        return next_ >= gMessages;
    }

private:
    long next_ = 0;
    std::mt19937 rng_{7};
};

}  // namespace

int main(int argc, char** argv) {
    int quota = 100;
    std::string dir = (std::filesystem::temp_directory_path() / "pm-import-bench").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--messages") gMessages = std::atol(argv[i + 1]);
        else if (a == "--quota") quota = std::atoi(argv[i + 1]);
        else if (a == "--forums") gForums = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--dir") dir = argv[i + 1];
    }
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (runStartupSettings(dir, nullptr) == StartupOutcome::Aborted) {
        std::fprintf(stderr, "cannot set up an installation in %s\n", dir.c_str());
        return 1;
    }
    // A file for the run to read (the parser makes its messages up).
    const std::string source = dir + "/bench.src";
    std::FILE* f = std::fopen(source.c_str(), "wb");
    if (f) std::fclose(f);

    FormatParserOverride plug(kBenchFormat, [] { return std::make_unique<GeneratingParser>(); });
    ImportRequest request;
    request.importPath = dir;
    request.selectionMethod = SelectFiles;
    request.selectedFiles = {source};
    request.importForum = 1;
    setRequestFormat(request, kBenchFormat);
    completeImportRequest(request);
    ImportOptions options;
    options.quota = quota;

    ImportRun run(request, options);
    const bench::ImportTimes times = bench::timeImportRun(run);
    if (!times.completed) return 1;
    const double convert = times.convertSeconds, store = times.storeSeconds;
    std::printf("messages        %lld (in %d database(s), quota %d)\n", run.progress().imported, gForums, quota);
    std::printf("conversion      %.2f s  %.0f messages/s\n", convert, static_cast<double>(gMessages) / convert);
    std::printf("storing         %.2f s  %.0f messages/s\n", store, static_cast<double>(run.progress().imported) / store);
    closeAllTables();
    closeStorage();
    std::filesystem::remove_all(dir);
    return 0;
}
