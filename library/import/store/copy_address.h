#pragma once
// CopyAddress: writing the persons of the active database out as an
// address book (layouts 1-4 of AddressBookWriter), one person per step.
#include <memory>
#include <string>

#include "import/addresses/address_book.h"
#include "tables/access/open_close.h"

namespace pm {

// The file name used when none is given.
inline constexpr const char* DefaultAddressBookName = "Address.Txt";

class CopyAddress {
public:
    enum class Status {
        Running,  // call step() again
        Done,     // the book is written: path() names it
        Nothing,  // nothing written: no persons, or the file could not be made
    };

    // Prepares writing layout `format` (1-4) to `fileName` in the temporary
    // directory (DefaultAddressBookName when empty; an absolute path is used
    // as given). Nothing is opened before the first step.
    CopyAddress(int format, std::string fileName);
    // Closes the file and the Person table when the run was not finished.
    ~CopyAddress();
    CopyAddress(const CopyAddress&) = delete;
    CopyAddress& operator=(const CopyAddress&) = delete;

    // The first step opens Person of the active database and creates the
    // file (unless the database has no persons); each later step writes one
    // person, in name order (PER_NameKey); the step after the last person
    // closes the file and Person. A person without an address adds nothing.
    // Once finished, step() keeps returning the final status.
    Status step();

    // Full path of the file.
    const std::string& path() const { return path_; }
    // Entries written so far.
    std::size_t entries() const { return writer_ ? writer_->entryCount() : 0; }

private:
    Status finish(Status status);

    int format_;
    std::string path_;
    std::unique_ptr<AddressBookWriter> writer_;
    bool started_ = false;
    TableScope person_;
    bool finished_ = false;
    Status final_ = Status::Nothing;
};

}  // namespace pm
