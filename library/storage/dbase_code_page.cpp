#include "storage/dbase_code_page.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <array>
#include <utility>

#include "common/text.h"

namespace pm::dbase {

namespace {

struct DriverEntry {
    std::uint8_t driver;
    const char* charset;
};

// Language driver bytes of dBase, FoxPro and Clipper tables.
constexpr DriverEntry kDrivers[] = {
    {0x01, "ibm-437"},        {0x02, "ibm-850"},        {0x03, "windows-1252"},   {0x04, "macintosh"},
    {0x08, "ibm-865"},        {0x09, "ibm-437"},        {0x0A, "ibm-850"},        {0x0B, "ibm-437"},
    {0x0D, "ibm-437"},        {0x0E, "ibm-850"},        {0x0F, "ibm-437"},        {0x10, "ibm-850"},
    {0x11, "ibm-437"},        {0x12, "ibm-850"},        {0x13, "ibm-943_P15A-2003"},
    {0x14, "ibm-850"},        {0x15, "ibm-437"},        {0x16, "ibm-850"},        {0x17, "ibm-865"},
    {0x18, "ibm-437"},        {0x19, "ibm-437"},        {0x1A, "ibm-850"},        {0x1B, "ibm-437"},
    {0x1C, "ibm-863"},        {0x1D, "ibm-850"},        {0x1F, "ibm-852"},        {0x22, "ibm-852"},
    {0x23, "ibm-852"},        {0x24, "ibm-860"},        {0x25, "ibm-850"},        {0x26, "ibm-866"},
    {0x37, "ibm-850"},        {0x40, "ibm-852"},        {0x4D, "windows-936"},    {0x4E, "windows-949"},
    {0x4F, "windows-950"},    {0x50, "windows-874"},    {0x57, "windows-1252"},   {0x58, "windows-1252"},
    {0x59, "windows-1252"},   {0x64, "ibm-852"},        {0x65, "ibm-866"},        {0x66, "ibm-865"},
    {0x67, "ibm-861"},        {0x69, "mazovia"},        {0x6A, "ibm-737"},        {0x6B, "ibm-857"},
    {0x6C, "ibm-863"},        {0x78, "windows-950"},    {0x79, "windows-949"},    {0x7A, "windows-936"},
    {0x7B, "ibm-943_P15A-2003"},                        {0x7C, "windows-874"},    {0x7D, "windows-1255"},
    {0x7E, "windows-1256"},   {0x86, "ibm-737"},        {0x87, "ibm-852"},        {0x88, "ibm-857"},
    {0x96, "x-mac-cyrillic"}, {0x97, "x-mac-centraleurroman"},                    {0x98, "x-mac-greek"},
    {0xC8, "windows-1250"},   {0xC9, "windows-1251"},   {0xCA, "windows-1254"},   {0xCB, "windows-1253"},
    {0xCC, "windows-1257"},
};

const char* charsetOf(std::uint8_t driver) {
    for (const DriverEntry& e : kDrivers)
        if (e.driver == driver) return e.charset;
    return nullptr;
}

// Mazovia is code page 437 with the Polish letters in place of some
// accented ones.
constexpr std::pair<unsigned char, char32_t> kMazoviaLetters[] = {
    {0x86, U'ą'}, {0x8D, U'ć'}, {0x8F, U'Ą'}, {0x90, U'Ę'}, {0x91, U'ę'}, {0x92, U'ł'},
    {0x95, U'Ć'}, {0x98, U'Ś'}, {0x9C, U'Ł'}, {0x9E, U'ś'}, {0xA0, U'Ź'}, {0xA1, U'Ż'},
    {0xA3, U'Ó'}, {0xA4, U'ń'}, {0xA5, U'Ń'}, {0xA6, U'ź'}, {0xA7, U'ż'},
};

}  // namespace

struct CodePage::Converter {
    UConverter* icu = nullptr;
    // Set for code pages converted by table (Mazovia).
    std::unique_ptr<std::array<char32_t, 256>> table;

    ~Converter() {
        if (icu) ucnv_close(icu);
    }
};

CodePage::CodePage(std::uint8_t driver) : driver_(driver) {
    if (driver == 0) {
        known_ = true;
        return;
    }
    const char* charset = charsetOf(driver);
    if (!charset) return;
    auto converter = std::make_unique<Converter>();
    UErrorCode status = U_ZERO_ERROR;
    converter->icu = ucnv_open(std::string_view(charset) == "mazovia" ? "ibm-437" : charset, &status);
    if (U_FAILURE(status) || !converter->icu) return;
    if (std::string_view(charset) == "mazovia") {
        converter->table = std::make_unique<std::array<char32_t, 256>>();
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            icu::UnicodeString u(&byte, 1, converter->icu, status);
            (*converter->table)[static_cast<std::size_t>(b)] =
                u.length() > 0 ? static_cast<char32_t>(u.char32At(0)) : U'\uFFFD';
        }
        for (const auto& [byte, letter] : kMazoviaLetters) (*converter->table)[byte] = letter;
    }
    known_ = true;
    name_ = charset;
    converter_ = std::move(converter);
}

CodePage::~CodePage() = default;

std::string CodePage::toUtf8(std::string_view bytes) const {
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return std::string(bytes);
    if (!converter_) return isValidUtf8(bytes) ? std::string(bytes) : toUtf8From(bytes, "windows-1252");
    icu::UnicodeString u;
    if (converter_->table) {
        for (char c : bytes) u.append(static_cast<UChar32>((*converter_->table)[static_cast<unsigned char>(c)]));
    } else {
        UErrorCode status = U_ZERO_ERROR;
        u = icu::UnicodeString(bytes.data(), static_cast<int32_t>(bytes.size()), converter_->icu, status);
    }
    std::string out;
    u.toUTF8String(out);
    return out;
}

}  // namespace pm::dbase
