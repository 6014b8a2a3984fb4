#include "import/addresses/address_book.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace pm {
namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t MaxBinaryField = 255;

std::string displayName(std::string_view first, std::string_view last) {
    if (!first.empty() && !last.empty()) return std::string(first) + ' ' + std::string(last);
    return std::string(first.empty() ? last : first);
}

// Layouts 2 and 3 want an Internet address: a CompuServe identifier
// "12345,678" is written as "12345.678@compuserve.com".
std::string internetAddress(std::string_view address) {
    if (address.find('@') != std::string_view::npos) return std::string(address);
    std::string out(address);
    std::replace(out.begin(), out.end(), ',', '.');
    out += '@';
    out += CompuServeMailDomain;
    return out;
}

void appendCounted(std::string& out, std::string_view field) {
    field = field.substr(0, utf8FitLength(field, MaxBinaryField));
    out += static_cast<char>(static_cast<unsigned char>(field.size()));
    out += field;
}

}  // namespace

std::string addressBookEntry(int format, const AddressBookPerson& person) {
    const std::string_view first = trimRight(person.firstName);
    const std::string_view last = trimRight(person.lastName);
    const std::string_view address = trimRight(person.address);
    // Without an address an entry is of no use in any layout.
    if (address.empty() || format < 1 || format > 4) return {};

    std::string out;
    if (format == 1 || format == 4) {
        std::string addr(address);
        if (address.find('@') != std::string_view::npos) addr = "INTERNET:" + addr;
        const std::string name = displayName(first, last);
        if (format == 1) {
            out = name + ' ' + addr + '|';
            out += LineEnd;
        } else {
            appendCounted(out, name);
            appendCounted(out, addr);
            out += '\0';
            out += '\0';
        }
        return out;
    }

    std::string entry;
    if (!last.empty()) {
        if (!first.empty()) entry = '"' + std::string(first) + ' ' + std::string(last) + '"';
        else entry = last;
        entry += ' ';
    }
    entry += internetAddress(address);
    if (format == 2) out = "alias ";
    out += entry;
    out += LineEnd;
    return out;
}

AddressBookWriter::AddressBookWriter(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    // Our own blocks are the buffering; the stream adds none.
    if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
}

AddressBookWriter::~AddressBookWriter() { finish(); }

bool AddressBookWriter::writeOut(std::size_t count) {
    if (count == 0) return true;
    if (std::fwrite(buffer_.data(), 1, count, file_) != count) {
        failed_ = true;
        return false;
    }
    buffer_.erase(0, count);
    return true;
}

bool AddressBookWriter::add(int format, const AddressBookPerson& person) {
    if (!ok() || finished_) return false;
    const std::string entry = addressBookEntry(format, person);
    if (entry.empty()) return true;
    buffer_ += entry;
    ++entries_;
    while (buffer_.size() >= BlockSize)
        if (!writeOut(BlockSize)) return false;
    return true;
}

bool AddressBookWriter::finish() {
    if (finished_) return result_;
    finished_ = true;
    if (!file_) return result_ = false;
    if (!failed_) writeOut(buffer_.size());
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return result_ = !failed_;
}

}  // namespace pm
