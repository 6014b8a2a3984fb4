#pragma once
// Outcomes of storage operations. The file-access services turn them into
// the program's messages; the numbers appear in "Error no" texts.
#include <string>

namespace pm {

enum class StorageStatus : int {
    Ok = 0,
    FileNotFound = 2,        // the table (or its store) does not exist
    PathNotFound = 3,        // the directory does not exist
    AccessDenied = 5,        // the store cannot be opened or written
    InvalidName = 12,        // blank or unusable file name
    IsLocked = 32,           // the table is locked or opened exclusively by someone else
    RecordNotAvailable = 33, // the record is held by someone else
    NotFound = 35,           // no such record / end of the key range
    NotOpen = 37,            // the table is not open
    DuplicateKey = 40,       // a unique key already holds the value
    BadKeys = 46,            // the keys must be rebuilt
    LayoutDiffers = 47,      // the stored layout is not the declared one
    Other = 90,              // any other engine error (see the text)
};

struct StorageError {
    StorageStatus status = StorageStatus::Ok;
    std::string text;  // the engine's own words for the error

    int number() const { return static_cast<int>(status); }
};

// The engine's short description of a status, used when no better text exists.
const char* storageStatusText(StorageStatus status);

}  // namespace pm
