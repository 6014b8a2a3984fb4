#pragma once
// The files of an import as command mode names them (--method, --mask,
// --folder and the paths), shared by `import` and `procedure create`.
#include <string>
#include <vector>

#include "import/driver/format_table.h"
#include "import/driver/import_request.h"

namespace pm::cli {

struct ImportSourceArguments {
    std::string method = "files";     // files, dir or tree
    bool haveMasks = false;
    std::string masks;                // ";"-separated
    std::vector<std::string> folders; // Outlook Mail: the folders to read (empty: every mail folder)
    std::vector<std::string> paths;
};

// `path` made absolute and normal (as given when that fails).
std::string absolutePath(const std::string& path);

// Sets the request's selection method, import path, masks and selected
// files for `format`: method files takes the files (made absolute; the
// import path is the first one's directory), dir and tree one directory and
// the masks; Outlook Mail one folder file and its folders. Throws UsageError,
// led by `command`, for what does not fit.
void setRequestSource(ImportRequest& request, const FormatEntry& format, const ImportSourceArguments& args,
                      const std::string& command);

}  // namespace pm::cli
