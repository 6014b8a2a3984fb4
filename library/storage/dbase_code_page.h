#pragma once
// The code page of a dBase table, named by the language driver byte of its
// header, and the conversion of its text columns to UTF-8.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pm::dbase {

// Converts the bytes of one table's text columns to UTF-8.
//
// A known driver byte converts by its code page (Mazovia, which the
// converter library lacks, by its own table). Byte 0 (none declared) and
// a byte this reader does not know read the text as UTF-8 when it is valid
// UTF-8, else as Windows-1252: no byte is lost and the table stays readable.
class CodePage {
public:
    explicit CodePage(std::uint8_t driver);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    std::uint8_t driver() const { return driver_; }
    // False when the driver byte is neither 0 nor one this reader knows.
    bool known() const { return known_; }
    // The code page's name ("ibm-437", "windows-1251", "mazovia"), or ""
    // when the text is read by the fallback rule.
    const std::string& name() const { return name_; }

    std::string toUtf8(std::string_view bytes) const;

private:
    struct Converter;

    std::uint8_t driver_;
    bool known_ = false;
    std::string name_;
    std::unique_ptr<Converter> converter_;
};

}  // namespace pm::dbase
