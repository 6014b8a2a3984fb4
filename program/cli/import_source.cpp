#include "cli/import_source.h"

#include <filesystem>

#include "cli/command_context.h"
#include "import/outlook/outlook_folders.h"

namespace pm::cli {

namespace {

BYTE methodOf(const std::string& method, const std::string& command) {
    if (method == "files") return SelectFiles;
    if (method == "dir") return SelectDirectory;
    if (method == "tree") return SelectDirectoryTree;
    throw UsageError(command + ": --method is files, dir or tree, not \"" + method + "\"");
}

// Outlook Mail reads the folders of one folder file: the named ones, or
// every mail folder. A file that cannot be read is left to the run, which
// reports it.
void setOutlookSource(ImportRequest& request, const std::vector<std::string>& paths,
                      const std::vector<std::string>& folders, const std::string& command) {
    if (paths.size() != 1) throw UsageError(command + ": Outlook Mail reads one folder file (.pst or .ost)");
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

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

void setRequestSource(ImportRequest& request, const FormatEntry& format, const ImportSourceArguments& args,
                      const std::string& command) {
    const bool automation = format.source == SourceKind::Automation;
    if (!args.folders.empty() && !automation) throw UsageError(command + ": --folder applies to Outlook Mail");
    request.selectionMethod = methodOf(args.method, command);
    if (args.paths.empty()) throw UsageError(command + " needs a PATH");
    if (automation) {
        if (request.selectionMethod != SelectFiles || args.haveMasks)
            throw UsageError(command + ": Outlook Mail takes neither --method nor --mask");
        setOutlookSource(request, args.paths, args.folders, command);
    } else if (request.selectionMethod == SelectFiles) {
        if (args.haveMasks) throw UsageError(command + ": --mask applies to --method dir and tree");
        for (const std::string& p : args.paths) request.selectedFiles.push_back(absolutePath(p));
        request.importPath = std::filesystem::path(absolutePath(args.paths.front())).parent_path().string();
    } else {
        if (args.paths.size() != 1) throw UsageError(command + ": --method " + args.method + " takes one directory");
        request.importPath = absolutePath(args.paths.front());
        if (args.haveMasks) request.masks = args.masks;
    }
}

}  // namespace pm::cli
