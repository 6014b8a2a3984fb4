#pragma once
// Writing the persons of a database out as an address book for other mail
// programs, in four layouts:
//   1  "Name INTERNET:addr|" lines
//   2  "alias "Name" addr" lines
//   3  ""Name" addr" lines
//   4  binary entries: length byte, name, length byte, address, two zero bytes
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace pm {

// Internet mail domain of CompuServe, appended to a numeric identifier in
// layouts 2 and 3.
inline constexpr std::string_view CompuServeMailDomain = "compuserve.com";

// The fields of one Person record that go into an address book (PER.FIRSTNAME,
// PER.LASTNAME, PER.ADDRESS); trailing blanks are ignored.
struct AddressBookPerson {
    std::string firstName;
    std::string lastName;
    std::string address;
};

// The exact bytes of one person's entry in address-book layout `format`
// (1-4), line ends CR LF. Returns "" when the person is skipped: an empty
// address, or a format outside 1-4. In layout 4 a name or address longer
// than 255 bytes is cut to 255 bytes at a whole UTF-8 character.
std::string addressBookEntry(int format, const AddressBookPerson& person);

// Writes an address book one person at a time, so a step machine can feed it
// one person per slice. Output is collected and written in blocks of
// 10,000 bytes.
class AddressBookWriter {
public:
    static constexpr std::size_t BlockSize = 10000;

    // Creates (or empties) the file at `path`. When that fails the writer is
    // not open and every later call writes nothing and returns false.
    explicit AddressBookWriter(const std::string& path);
    // Closes the file, writing what is still collected; call finish() to
    // learn whether that worked.
    ~AddressBookWriter();
    AddressBookWriter(const AddressBookWriter&) = delete;
    AddressBookWriter& operator=(const AddressBookWriter&) = delete;

    // True when the file was created and no write has failed.
    bool ok() const { return file_ != nullptr && !failed_; }

    // Adds the entry of `person` in layout `format` (a skipped person adds
    // nothing). Returns false when the writer is not ok or a block write
    // failed.
    bool add(int format, const AddressBookPerson& person);

    // Writes the rest and closes the file. Returns false when the file was
    // never created or any write or the close failed. Later calls do nothing
    // and return the same result.
    bool finish();

    // Number of entries added (skipped persons not counted).
    std::size_t entryCount() const { return entries_; }

private:
    bool writeOut(std::size_t count);

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::size_t entries_ = 0;
    bool failed_ = false;
    bool finished_ = false;
    bool result_ = false;
};

}  // namespace pm
