#include "storage/dbase_table_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

#include "common/dates.h"
#include "storage/dbase_bytes.h"

namespace pm::dbase {

namespace {

constexpr unsigned char kDescriptorEnd = 0x0D;
constexpr std::uint32_t kDBase2HeaderLength = 521;
constexpr std::uint32_t kDBase2Descriptor = 16;
constexpr std::uint32_t kDBase2MaxColumns = 32;
constexpr std::uint32_t kDescriptor = 32;
constexpr std::uint32_t kDBase7Descriptor = 48;
constexpr std::uint32_t kDBase7FirstDescriptor = 68;
constexpr LONG kJulianDayOf1970 = 2440588;

// The variant a version byte names; false for a byte no dBase program writes.
bool variantOf(std::uint8_t version, Variant& variant) {
    switch (version) {
        case 0x02: variant = Variant::DBase2; return true;
        case 0x03: case 0x83: variant = Variant::DBase3; return true;
        case 0x04: case 0x8C: variant = Variant::DBase7; return true;
        case 0x05: case 0x43: case 0x63: case 0x7B: case 0x8B: case 0x8E: case 0xCB:
            variant = Variant::DBase4;
            return true;
        case 0x30: case 0x31: case 0x32: variant = Variant::VisualFoxPro; return true;
        case 0xF5: case 0xFB: variant = Variant::FoxPro; return true;
        default: return false;
    }
}

std::string hexByte(std::uint8_t b) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

std::string_view trimmedValue(std::string_view v) {
    while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.remove_suffix(1);
    while (!v.empty() && (v.front() == ' ' || v.front() == '\0')) v.remove_prefix(1);
    return v;
}

// A name field of a descriptor: up to the first NUL.
std::string descriptorName(const unsigned char* p, std::size_t width) {
    std::size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::int64_t signedLittleEndian64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return static_cast<std::int64_t>(v);
}

double littleEndianDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// dBase 7 stores integers and doubles big-endian with the sign bit flipped,
// so that they sort as bytes.
std::int32_t dBase7Integer(const unsigned char* p) {
    return static_cast<std::int32_t>(bigEndian32(p) ^ 0x80000000u);
}

double dBase7Double(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | p[i];
    bits = (bits & 0x8000000000000000ull) ? bits ^ 0x8000000000000000ull : ~bits;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::string numberText(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

}  // namespace

bool Column::isMemo(Variant variant) const {
    switch (type) {
        case 'M': case 'G': case 'P': return true;
        // B is a double in Visual FoxPro, a binary memo elsewhere.
        case 'B': return variant != Variant::VisualFoxPro;
        default: return false;
    }
}

TableFile::~TableFile() { close(); }

void TableFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    memo_.close();
    columns_.clear();
    record_.clear();
}

bool TableFile::open(const std::string& path, std::string& error) {
    close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error = path + " cannot be opened: " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    fileSize_ = ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (!readHeader(path, error) || !openMemo(path, error)) {
        close();
        return false;
    }
    record_.assign(recordLength_, ' ');
    return true;
}

bool TableFile::readHeader(const std::string& path, std::string& error) {
    unsigned char head[32] = {};
    if (fileSize_ < sizeof head || !readFully(fd_, 0, head, sizeof head)) {
        error = path + " is too short to be a dBase table";
        return false;
    }
    version_ = head[0];
    if (!variantOf(version_, variant_)) {
        error = path + " is not a dBase table (its first byte is " + hexByte(version_) + ")";
        return false;
    }
    if (variant_ == Variant::DBase2) {
        // Version byte 2 is dBase II, whose header is laid out differently,
        // unless the header makes sense as a FoxBASE one.
        const std::uint32_t length = littleEndian16(head + 8);
        const bool foxBase = length >= kDescriptor + 1 && length <= fileSize_ && (length - 1) % kDescriptor == 0 &&
                             littleEndian16(head + 10) > 0;
        if (!foxBase) {
            codePage_ = std::make_unique<CodePage>(0);
            if (!readDBase2Header(error)) {
                error = path + " " + error;
                return false;
            }
            return true;
        }
        variant_ = Variant::FoxPro;
    }
    recordCount_ = littleEndian32(head + 4);
    headerLength_ = littleEndian16(head + 8);
    recordLength_ = littleEndian16(head + 10);
    codePage_ = std::make_unique<CodePage>(head[29]);
    const bool dBase7 = variant_ == Variant::DBase7;
    const std::uint32_t first = dBase7 ? kDBase7FirstDescriptor : kDescriptor;
    if (headerLength_ < first + 1 || recordLength_ < 1) {
        error = path + " has a damaged dBase header (header length " + std::to_string(headerLength_) +
                ", record length " + std::to_string(recordLength_) + ")";
        return false;
    }
    if (headerLength_ > fileSize_) {
        error = path + " is cut off inside its dBase header";
        return false;
    }
    if (!readDescriptors(first, dBase7 ? kDBase7Descriptor : kDescriptor, error)) {
        error = path + " " + error;
        return false;
    }
    return true;
}

bool TableFile::readDBase2Header(std::string& error) {
    unsigned char head[kDBase2HeaderLength] = {};
    if (fileSize_ < kDBase2HeaderLength || !readFully(fd_, 0, head, sizeof head)) {
        error = "is cut off inside its dBase II header";
        return false;
    }
    recordCount_ = littleEndian16(head + 1);
    recordLength_ = littleEndian16(head + 6);
    headerLength_ = kDBase2HeaderLength;
    std::uint32_t offset = 1;
    for (std::uint32_t i = 0; i < kDBase2MaxColumns; ++i) {
        const unsigned char* d = head + 8 + i * kDBase2Descriptor;
        if (d[0] == kDescriptorEnd) break;
        Column c;
        c.name = descriptorName(d, 11);
        c.type = static_cast<char>(d[11]);
        c.length = d[12];
        c.decimals = d[15];
        c.offset = offset;
        offset += c.length;
        columns_.push_back(std::move(c));
    }
    if (columns_.empty() || offset > recordLength_) {
        error = "has a damaged dBase II header";
        return false;
    }
    return true;
}

bool TableFile::readDescriptors(std::uint32_t first, std::uint32_t size, std::string& error) {
    std::string header(headerLength_, '\0');
    if (!readFully(fd_, 0, header.data(), header.size())) {
        error = "cannot be read: " + std::string(std::strerror(errno));
        return false;
    }
    const auto* h = reinterpret_cast<const unsigned char*>(header.data());
    const bool dBase7 = size == kDBase7Descriptor;
    std::uint32_t offset = 1;
    for (std::uint32_t at = first; at + size <= headerLength_ && h[at] != kDescriptorEnd; at += size) {
        const unsigned char* d = h + at;
        Column c;
        c.name = codePage_->toUtf8(descriptorName(d, dBase7 ? 32 : 11));
        c.type = static_cast<char>(d[dBase7 ? 32 : 11]);
        c.length = d[dBase7 ? 33 : 16];
        c.decimals = d[dBase7 ? 34 : 17];
        // Clipper and FoxPro keep the high byte of a long character
        // column's length in its decimals.
        if (c.type == 'C' && !dBase7 && variant_ != Variant::DBase4 && c.decimals > 0) {
            c.length += static_cast<std::uint32_t>(c.decimals) * 256;
            c.decimals = 0;
        }
        c.offset = offset;
        offset += c.length;
        columns_.push_back(std::move(c));
    }
    if (columns_.empty()) {
        error = "declares no columns";
        return false;
    }
    if (offset > recordLength_) {
        error = "has columns longer than its records (" + std::to_string(offset) + " bytes in records of " +
                std::to_string(recordLength_) + ")";
        return false;
    }
    return true;
}

bool TableFile::hasMemoColumns() const {
    for (const Column& c : columns_)
        if (c.isMemo(variant_)) return true;
    return false;
}

bool TableFile::openMemo(const std::string& path, std::string& error) {
    if (!hasMemoColumns()) return true;
    const bool fox = variant_ == Variant::FoxPro || variant_ == Variant::VisualFoxPro;
    std::string memoPath = fox ? findMemoFile(path, {".fpt", ".dbt"}) : findMemoFile(path, {".dbt", ".fpt"});
    if (memoPath.empty()) {
        error = "The memo file of " + path + " (" + std::filesystem::path(path).stem().string() +
                (fox ? ".FPT" : ".DBT") + ") cannot be found";
        return false;
    }
    MemoLayout layout = MemoLayout::DBase4;
    std::string ext = std::filesystem::path(memoPath).extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".fpt")
        layout = MemoLayout::FoxPro;
    else if (variant_ == Variant::DBase3 || variant_ == Variant::DBase2)
        layout = MemoLayout::DBase3;
    return memo_.open(memoPath, layout, error);
}

std::uint32_t TableFile::completeRecords() const {
    if (fileSize_ <= headerLength_ || recordLength_ == 0) return 0;
    const std::uint64_t fit = (fileSize_ - headerLength_) / recordLength_;
    return fit < recordCount_ ? static_cast<std::uint32_t>(fit) : recordCount_;
}

const Column* TableFile::column(std::string_view name) const {
    for (const Column& c : columns_) {
        if (c.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(c.name[i])) ==
                   std::toupper(static_cast<unsigned char>(name[i]));
        if (same) return &c;
    }
    return nullptr;
}

RecordRead TableFile::read(std::uint32_t index, std::string& error) {
    if (fd_ < 0) {
        error = "The table is not open";
        return RecordRead::Damaged;
    }
    if (index >= recordCount_) return RecordRead::End;
    const std::uint64_t at = headerLength_ + static_cast<std::uint64_t>(index) * recordLength_;
    if (at + recordLength_ > fileSize_ || !readFully(fd_, at, record_.data(), recordLength_)) {
        error = "Record " + std::to_string(index + 1) + " of " + std::to_string(recordCount_) +
                " is cut off: the file ends before it";
        return RecordRead::Damaged;
    }
    switch (record_[0]) {
        case ' ':
        case '\0':  // some writers mark live records so
            return RecordRead::Ok;
        case '*': return RecordRead::Deleted;
        default:
            error = "Record " + std::to_string(index + 1) + " has no valid deletion mark (" +
                    hexByte(static_cast<std::uint8_t>(record_[0])) + ")";
            return RecordRead::Damaged;
    }
}

std::string_view TableFile::raw(const Column& column) const {
    if (column.offset + column.length > record_.size()) return {};
    return std::string_view(record_).substr(column.offset, column.length);
}

std::string TableFile::text(const Column& column) const {
    const std::string_view v = raw(column);
    const auto* p = reinterpret_cast<const unsigned char*>(v.data());
    double number = 0;
    switch (column.type) {
        case 'C': case 'V': {
            std::string_view t = v;
            while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.remove_suffix(1);
            return codePage_->toUtf8(t);
        }
        case 'I': case '+':
            if (v.size() != 4) return {};
            return std::to_string(variant_ == Variant::DBase7 ? dBase7Integer(p)
                                                               : static_cast<std::int32_t>(littleEndian32(p)));
        case 'Y': case 'B': case 'O':
            if (column.isMemo(variant_)) break;
            if (!this->number(column, number)) return {};
            return numberText(number, column.type == 'Y' ? 4 : column.decimals);
        case 'T': {
            const LONG day = date(column);
            if (day == 0 || v.size() != 8) return {};
            const CalendarDate d = calendarDate(day);
            const std::uint32_t ms = littleEndian32(p + 4);
            char buf[40];
            std::snprintf(buf, sizeof buf, "%04d%02d%02d%02u:%02u:%02u", d.year, d.month, d.day, ms / 3600000u % 24u,
                          ms / 60000u % 60u, ms / 1000u % 60u);
            return buf;
        }
        default: break;
    }
    if (column.isMemo(variant_) && column.length == 4) {
        std::uint32_t block = 0;
        memoBlock(column, block);
        return block ? std::to_string(block) : std::string();
    }
    return codePage_->toUtf8(trimmedValue(v));
}

bool TableFile::number(const Column& column, double& value) const {
    const std::string_view v = raw(column);
    const auto* p = reinterpret_cast<const unsigned char*>(v.data());
    switch (column.type) {
        case 'N': case 'F': {
            const std::string t(trimmedValue(v));
            if (t.empty()) return false;
            char* end = nullptr;
            value = std::strtod(t.c_str(), &end);
            return end && *end == '\0' && std::isfinite(value);
        }
        case 'I': case '+':
            if (v.size() != 4) return false;
            value = variant_ == Variant::DBase7 ? dBase7Integer(p) : static_cast<std::int32_t>(littleEndian32(p));
            return true;
        case 'Y':
            if (v.size() != 8) return false;
            value = static_cast<double>(signedLittleEndian64(p)) / 10000.0;
            return true;
        case 'B':
            if (variant_ != Variant::VisualFoxPro || v.size() != 8) return false;
            value = littleEndianDouble(p);
            return std::isfinite(value);
        case 'O':
            if (v.size() != 8) return false;
            value = dBase7Double(p);
            return std::isfinite(value);
        default: return false;
    }
}

LONG TableFile::date(const Column& column) const {
    const std::string_view v = raw(column);
    if (column.type == 'D' && v.size() == 8) {
        int parts[3] = {0, 0, 0};
        const int widths[3] = {4, 2, 2};
        std::size_t at = 0;
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < widths[i]; ++k, ++at) {
                if (v[at] < '0' || v[at] > '9') return 0;
                parts[i] = parts[i] * 10 + (v[at] - '0');
            }
        return dayNumber(parts[0], parts[1], parts[2]);
    }
    if (column.type == 'T' && v.size() == 8) {
        // Widened: a damaged stamp may hold any 32-bit value, far outside the calendar.
        const std::int64_t julian =
            static_cast<std::int32_t>(littleEndian32(reinterpret_cast<const unsigned char*>(v.data())));
        if (julian == 0) return 0;
        const std::int64_t day = std::int64_t{dayNumber(1970, 1, 1)} + (julian - kJulianDayOf1970);
        if (day < std::numeric_limits<LONG>::min() || day > std::numeric_limits<LONG>::max()) return 0;
        return isValidDay(static_cast<LONG>(day)) ? static_cast<LONG>(day) : 0;
    }
    return 0;
}

bool TableFile::memoBlock(const Column& column, std::uint32_t& block) const {
    block = 0;
    const std::string_view v = raw(column);
    if (v.size() == 4) {
        block = littleEndian32(reinterpret_cast<const unsigned char*>(v.data()));
        return true;
    }
    const std::string_view t = trimmedValue(v);
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        const std::uint64_t next = static_cast<std::uint64_t>(block) * 10 + static_cast<std::uint32_t>(c - '0');
        if (next > 0xFFFFFFFFull) return false;
        block = static_cast<std::uint32_t>(next);
    }
    return true;
}

MemoRead TableFile::memo(const Column& column, std::uint32_t maxBytes, std::string& out, std::string& error) const {
    out.clear();
    std::uint32_t block = 0;
    if (!memoBlock(column, block)) {
        error = "The memo reference of column " + column.name + " is not a number";
        return MemoRead::Damaged;
    }
    if (block == 0) return MemoRead::Ok;
    if (!memo_.isOpen()) {
        error = "The table has no memo file";
        return MemoRead::Damaged;
    }
    const MemoRead result = memo_.read(block, maxBytes, out, error);
    if (result == MemoRead::Ok && column.type == 'M') out = codePage_->toUtf8(out);
    return result;
}

std::string findMemoFile(const std::string& path, std::initializer_list<const char*> extensions) {
    namespace fs = std::filesystem;
    const fs::path table(path);
    fs::path dir = table.parent_path();
    if (dir.empty()) dir = ".";
    const std::string stem = table.stem().string();
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::error_code ec;
    for (const char* ext : extensions) {
        const std::string wanted = lower(stem + ext);
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            if (lower(it->path().filename().string()) == wanted && it->is_regular_file(ec)) return it->path().string();
    }
    return {};
}

}  // namespace pm::dbase
