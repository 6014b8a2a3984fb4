// Plain files behind tables: raw chunk files (DOS, TOC) read and written in
// pieces of up to the record size, and line files (ASC, EXP), one text line
// per record. The sequence position of a chunk file is its byte offset.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "storage/table_backend.h"

namespace pm {
namespace {

StorageStatus statusOfErrno(int error) {
    switch (error) {
        case ENOENT: return StorageStatus::FileNotFound;
        case ENOTDIR: return StorageStatus::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS: return StorageStatus::AccessDenied;
        case ENAMETOOLONG:
        case EINVAL: return StorageStatus::InvalidName;
        default: return StorageStatus::Other;
    }
}

class PlainFileBackend : public TableBackend {
public:
    explicit PlainFileBackend(Table& table) : TableBackend(table) {}
    ~PlainFileBackend() override { close(); }

    StorageStatus open(ShareMode mode) override {
        if (file_) return StorageStatus::Ok;
        const std::string& name = table_.fileName();
        if (name.empty()) return error(StorageStatus::InvalidName, "The file name is blank");
        std::filesystem::path dir = std::filesystem::path(name).parent_path();
        std::error_code ec;
        if (!dir.empty() && !std::filesystem::is_directory(dir, ec))
            return error(StorageStatus::PathNotFound, "Path not found: " + dir.string());
        file_ = std::fopen(name.c_str(), mode == ShareMode::SharedReadOnly ? "rb" : "r+b");
        if (!file_ && mode != ShareMode::SharedReadOnly && errno == EACCES)
            file_ = std::fopen(name.c_str(), "rb");
        if (!file_) return error(statusOfErrno(errno), std::strerror(errno));
        setPhysical(0);
        return StorageStatus::Ok;
    }

    void close() override {
        if (file_) std::fclose(file_);
        file_ = nullptr;
    }

    bool isOpen() const override { return file_ != nullptr; }

    StorageStatus create() override {
        close();
        std::FILE* f = std::fopen(table_.fileName().c_str(), "wb");
        if (!f) return error(statusOfErrno(errno), std::strerror(errno));
        std::fclose(f);
        return StorageStatus::Ok;
    }

    bool exists() override {
        struct stat st {};
        return stat(table_.fileName().c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    StorageStatus remove() override {
        close();
        if (std::remove(table_.fileName().c_str()) != 0 && errno != ENOENT)
            return error(statusOfErrno(errno), std::strerror(errno));
        return StorageStatus::Ok;
    }

    StorageStatus empty() override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        std::FILE* f = std::freopen(table_.fileName().c_str(), "w+b", file_);
        file_ = f;
        if (!f) return error(statusOfErrno(errno), std::strerror(errno));
        return StorageStatus::Ok;
    }

    StorageStatus pack() override { return StorageStatus::Ok; }
    StorageStatus buildKeys() override { return StorageStatus::Ok; }
    StorageStatus checkLayout() override { return StorageStatus::Ok; }

    void setKey(const KeyDef&, int, RecordPosition) override { setPhysical(0); }
    StorageStatus get(const KeyDef&) override { return error(StorageStatus::NotFound, "No keys"); }
    StorageStatus put() override { return error(StorageStatus::AccessDenied, "Records of a plain file cannot be rewritten"); }
    StorageStatus erase() override { return error(StorageStatus::AccessDenied, "Records of a plain file cannot be deleted"); }
    StorageStatus lock(int) override { return StorageStatus::Ok; }
    void unlock() override {}
    StorageStatus hold(int) override { return StorageStatus::Ok; }
    void release() override {}
    void flush() override {
        if (file_) std::fflush(file_);
    }
    StorageStatus previous() override { return error(StorageStatus::NotFound, "Plain files are read forward"); }

protected:
    StorageStatus error(StorageStatus st, const std::string& text) {
        table_.setError(st, text);
        return st;
    }

    // The one text field of the record (DOS:CHAR, ASC:LINE).
    char* field() { return static_cast<char*>(table_.record()) + table_.def().fields.at(0).offset; }
    std::uint32_t fieldWidth() const { return table_.def().fields.at(0).width; }

    std::FILE* file_ = nullptr;
    long offset_ = 0;  // where the next sequential read starts
};

class ChunkBackend final : public PlainFileBackend {
public:
    using PlainFileBackend::PlainFileBackend;

    void setPhysical(RecordPosition from) override { offset_ = from > 0 ? static_cast<long>(from) : 0; }

    StorageStatus next() override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        StorageStatus st = readAt(offset_);
        if (st == StorageStatus::Ok) offset_ += static_cast<long>(table_.bytes());
        return st;
    }

    StorageStatus getAt(RecordPosition pos) override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        return readAt(static_cast<long>(pos));
    }

    StorageStatus add(bool) override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        std::uint32_t n = table_.bytes();
        if (n == 0 || n > fieldWidth()) n = fieldWidth();
        std::fseek(file_, 0, SEEK_END);
        long at = std::ftell(file_);
        if (std::fwrite(field(), 1, n, file_) != n) return error(statusOfErrno(errno), std::strerror(errno));
        table_.setPosition(at);
        return StorageStatus::Ok;
    }

    std::int64_t records() override {
        if (!file_) return 0;
        std::fseek(file_, 0, SEEK_END);
        long size = std::ftell(file_);
        return (size + fieldWidth() - 1) / fieldWidth();
    }

private:
    StorageStatus readAt(long at) {
        std::fseek(file_, at, SEEK_SET);
        std::size_t n = std::fread(field(), 1, fieldWidth(), file_);
        if (n == 0) {
            table_.setBytes(0);
            return error(StorageStatus::NotFound, "End of file");
        }
        if (n < fieldWidth()) std::memset(field() + n, ' ', fieldWidth() - n);
        table_.setBytes(static_cast<std::uint32_t>(n));
        table_.setPosition(at);
        return StorageStatus::Ok;
    }
};

class LineBackend final : public PlainFileBackend {
public:
    using PlainFileBackend::PlainFileBackend;

    void setPhysical(RecordPosition from) override { offset_ = from > 0 ? static_cast<long>(from) : 0; }

    StorageStatus next() override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        return readAt(offset_, true);
    }

    StorageStatus getAt(RecordPosition pos) override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        return readAt(static_cast<long>(pos), false);
    }

    StorageStatus add(bool) override {
        if (!file_) return error(StorageStatus::NotOpen, "The file is not open");
        std::string_view line(field(), fieldWidth());
        if (table_.bytes() > 0 && table_.bytes() <= fieldWidth()) line = line.substr(0, table_.bytes());
        else {
            while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        }
        std::fseek(file_, 0, SEEK_END);
        long at = std::ftell(file_);
        if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fputc('\n', file_) == EOF)
            return error(statusOfErrno(errno), std::strerror(errno));
        table_.setPosition(at);
        return StorageStatus::Ok;
    }

    std::int64_t records() override {
        if (!file_) return 0;
        long saved = std::ftell(file_);
        std::fseek(file_, 0, SEEK_SET);
        std::int64_t lines = 0;
        int c, last = '\n';
        while ((c = std::fgetc(file_)) != EOF) {
            if (c == '\n') ++lines;
            last = c;
        }
        if (last != '\n') ++lines;
        std::fseek(file_, saved, SEEK_SET);
        return lines;
    }

private:
    // Reads the line starting at `at`; a line longer than the field is cut
    // and the rest of it skipped.
    StorageStatus readAt(long at, bool advance) {
        std::fseek(file_, at, SEEK_SET);
        char* out = field();
        const std::uint32_t width = fieldWidth();
        std::uint32_t n = 0;
        long consumed = 0;
        int c;
        bool any = false;
        while ((c = std::fgetc(file_)) != EOF) {
            any = true;
            ++consumed;
            if (c == '\n') break;
            if (n < width) out[n++] = static_cast<char>(c);
        }
        if (!any) {
            table_.setBytes(0);
            return error(StorageStatus::NotFound, "End of file");
        }
        if (n > 0 && out[n - 1] == '\r') --n;
        std::memset(out + n, ' ', width - n);
        table_.setBytes(n);
        table_.setPosition(at);
        if (advance) offset_ = at + consumed;
        return StorageStatus::Ok;
    }
};

}  // namespace

std::unique_ptr<TableBackend> makeChunkBackend(Table& table) { return std::make_unique<ChunkBackend>(table); }
std::unique_ptr<TableBackend> makeLineBackend(Table& table) { return std::make_unique<LineBackend>(table); }

}  // namespace pm
