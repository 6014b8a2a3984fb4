#pragma once
// Paths, file deletion, file sizes and disk space.
//
// Tables live inside the store file of their directory, yet the program
// names them by their own file names (".../F3/IDX003.TPS"). These services
// treat such names as files: they exist when the store holds the table,
// deleting one drops the table, and a pattern matches them as well as the
// real files of the directory.
#include <cstdint>
#include <string>
#include <vector>

namespace pm {

// ExistPath kinds.
enum ExistPathKind : int {
    CheckPathArgument = 1,        // check the given path
    CheckTableDirectory = 2,      // check the directory of a table's file name
    CreatePathArgument = 3,       // check, and create the given path when missing
    CreateTableDirectory = 4,     // check, and create the table's directory when missing
};

// Whether the directory exists. Kinds 1 and 3 need an absolute path (false
// at once otherwise). When missing: unless silent, beep and "The specified
// path ... does not exist." with `extraText`; kinds 3 and 4 then create it
// (one level), a failure ending the program. The result stays false after a
// successful creation.
bool ExistPath(int kind, int tableNumber, const std::string& extraText, const std::string& path,
               bool silent);

// DOSFunc operations.
enum DosFunction : int {
    DeleteOneFile = 3,
    DeleteMatchingFiles = 4,
    FileExists = 5,
};

// Operation 3 deletes `name` (missing counts as deleted), 4 deletes every
// file matching the pattern `name` ("dir/*.TPS"), 5 tells whether a file or
// pattern exists. Failures are reported (unless quiet) and return false.
bool DOSFunc(int operation, const std::string& name);

// Sum of the sizes of the files matching `pattern`, directories excluded.
std::uint64_t GetFSize(const std::string& pattern);

// Free bytes of the file system of the database top directory when below
// `required` and the person chose to abort (or unattended); else 0.
std::uint64_t CheckSpace(std::uint64_t required);

// Free bytes of the file system holding `path`; -1 when it cannot be read.
std::int64_t freeDiskSpace(const std::string& path);

// Files of a directory matching a pattern ("*.TPS", "IDX0??.*"), case-blind,
// including the tables inside its store under their file names. Full paths.
std::vector<std::string> matchingFiles(const std::string& pattern);

// Case-blind match of a file name against a pattern with * and ?.
bool wildcardMatch(const std::string& pattern, const std::string& name);

// The registry number of a table file name ("IDX003.TPS" -> 3), or 0.
int tableNumberOfFileName(const std::string& path);

}  // namespace pm
