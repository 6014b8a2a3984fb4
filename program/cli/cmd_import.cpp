// pmoor32 import --format NAME ...: one import run, headless.
#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "cli/job_runner.h"
#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_request.h"
#include "import/driver/import_run.h"
#include "import/outlook/outlook_folders.h"

namespace pm::cli {

namespace {

BYTE methodOf(const std::string& method) {
    if (method == "files") return SelectFiles;
    if (method == "dir") return SelectDirectory;
    if (method == "tree") return SelectDirectoryTree;
    throw UsageError("import: --method is files, dir or tree, not \"" + method + "\"");
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// Outlook Mail reads the folders of one folder file: the named ones, or
// every mail folder. A file that cannot be read is left to the run, which
// reports it.
void setOutlookSource(ImportRequest& request, const std::vector<std::string>& paths,
                      const std::vector<std::string>& folders) {
    if (paths.size() != 1) throw UsageError("import: Outlook Mail reads one folder file (.pst or .ost)");
    request.selectionMethod = SelectFiles;
    request.importPath = absolutePath(paths.front());
    if (!folders.empty()) {
        request.selectedFiles = folders;
        return;
    }
    std::string error;
    std::vector<outlook::FolderChoice> all;
    outlook::listMailFolders(request.importPath, all, error);
    std::vector<std::string> chosen;
    for (const outlook::FolderChoice& f : all) chosen.push_back(f.path);
    request.selectedFiles = chosen;
}

}  // namespace

int commandImport(CommandContext& ctx) {
    ArgumentReader reader(ctx.args);
    std::string formatName, mailbox, target, method = "files", masks;
    if (!reader.option("--format", formatName)) throw UsageError("import needs --format NAME");
    const bool haveMailbox = reader.option("--mailbox", mailbox);
    const bool haveTarget = reader.option("--target", target);
    const bool reimport = reader.flag("--reimport");
    reader.option("--method", method);
    const bool haveMasks = reader.option("--mask", masks);
    const std::vector<std::string> folders = reader.options("--folder");
    const std::vector<std::string> paths = reader.positionals();

    const FormatEntry* format = formatByName(formatName);
    if (!format) throw UsageError("import: no format \"" + formatName + "\"");
    const bool automation = format->source == SourceKind::Automation;
    if (!folders.empty() && !automation) throw UsageError("import: --folder applies to Outlook Mail");
    ImportRequest request;
    request.selectionMethod = methodOf(method);
    if (paths.empty()) throw UsageError("import needs a PATH");
    if (automation) {
        if (request.selectionMethod != SelectFiles || haveMasks)
            throw UsageError("import: Outlook Mail takes neither --method nor --mask");
        setOutlookSource(request, paths, folders);
    } else if (request.selectionMethod == SelectFiles) {
        if (haveMasks) throw UsageError("import: --mask applies to --method dir and tree");
        for (const std::string& p : paths) request.selectedFiles.push_back(absolutePath(p));
        request.importPath = std::filesystem::path(absolutePath(paths.front())).parent_path().string();
    } else {
        if (paths.size() != 1) throw UsageError("import: --method " + method + " takes one directory");
        request.importPath = absolutePath(paths.front());
        if (haveMasks) request.masks = masks;
    }
    if (format->kinds == KindMail && !haveMailbox)
        throw UsageError(std::string("import: the format ") + format->name + " holds mail: --mailbox DB is needed");

    openInstallationForCommand(ctx, InstallationUse::Write);
    if (haveMailbox) request.mailbox = static_cast<LONG>(databaseArgumentId(mailbox, "--mailbox"));
    if (haveTarget) request.targetDatabase = static_cast<LONG>(databaseArgumentId(target, "--target"));
    request.importForum = (format->kinds & KindForum) ? 1 : 0;
    request.importNewsgroup = (format->kinds & KindNews) ? 1 : 0;
    request.importMail = (format->kinds & KindMail) && haveMailbox ? 1 : 0;
    request.allowReimport = reimport ? 1 : 0;
    setRequestFormat(request, format->number);
    if (RequestProblem problem = completeImportRequest(request); problem != RequestProblem::None) {
        std::fprintf(stderr, "pmoor32: import: %s\n", describeRequestProblem(problem).c_str());
        return ExitFailed;
    }

    ImportRun run(request);
    const JobRunResult result = runJob(ctx, run);
    // Also after an interrupt: what was stored (and what was left out) so far.
    std::printf("imported\t%lld\nskipped\t%lld\n", run.progress().imported, run.progress().skipped);
    // Empty files (a mailbox nothing was delivered to) are nothing to
    // import, not a failed import. Files that are missing, not of the
    // format, or hold text without a message, and a selection without
    // files, still fail.
    const ImportProgress& p = run.progress();
    if (!result.interrupted && run.outcome() == ImportOutcome::NothingFound) {
        if (p.filesRead > 0 && p.filesSkipped == 0 && p.emptyFiles == p.filesRead) {
            std::fprintf(stderr, "pmoor32: import: no messages found (the %s empty)\n",
                         p.filesRead == 1 ? "file is" : "files are");
            return ExitOk;
        }
        if (p.filesRead > p.emptyFiles && p.workRecords == 0)
            std::fprintf(stderr, "pmoor32: import: no %s messages found in the files\n", format->name);
    }
    return exitCodeOf(result);
}

}  // namespace pm::cli
