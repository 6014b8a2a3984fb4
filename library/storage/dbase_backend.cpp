// dBase tables of other programs behind Table, read only.
//
// Columns are matched to the declared fields by name: a field ending in
// _PTR takes the memo reference of the column without that suffix, a memo
// takes the text of the column of its name. A column the table lacks leaves
// its field blank (or 0). The record position is the record number (1 for
// the first). Deleted records are passed over; a record that cannot be read
// (cut off, damaged memo) fails its read with the reason, and the sequence
// then goes on after it, so a reader can count bad records and continue.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/fixed_text.h"
#include "storage/dbase_table_file.h"
#include "storage/table_backend.h"

namespace pm {
namespace {

constexpr std::string_view kPointerSuffix = "_PTR";

struct FieldColumn {
    const FieldDef* field;
    const dbase::Column* column;  // nullptr: the table lacks it
    bool memoPointer;
};

class DBaseBackend final : public TableBackend {
public:
    using TableBackend::TableBackend;

    StorageStatus open(ShareMode) override {
        std::string error;
        if (table_.fileName().empty()) return fail(StorageStatus::InvalidName, "The file name is blank");
        if (!exists()) return fail(StorageStatus::FileNotFound, "The file " + table_.fileName() + " does not exist");
        if (!file_.open(table_.fileName(), error)) return fail(StorageStatus::Other, error);
        mapColumns();
        setPhysical(0);
        return StorageStatus::Ok;
    }

    void close() override {
        file_.close();
        fields_.clear();
        memos_.clear();
    }

    bool isOpen() const override { return file_.isOpen(); }

    bool exists() override {
        struct stat st {};
        return ::stat(table_.fileName().c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    StorageStatus create() override { return readOnly(); }
    StorageStatus remove() override { return readOnly(); }
    StorageStatus empty() override { return readOnly(); }
    StorageStatus pack() override { return readOnly(); }
    StorageStatus add(bool) override { return readOnly(); }
    StorageStatus put() override { return readOnly(); }
    StorageStatus erase() override { return readOnly(); }
    StorageStatus buildKeys() override { return StorageStatus::Ok; }

    // Ok when every declared field and memo has its column.
    StorageStatus checkLayout() override {
        if (!isOpen()) return fail(StorageStatus::NotOpen, "The file is not open");
        std::string missing;
        for (const FieldColumn& f : fields_)
            if (!f.column) missing += (missing.empty() ? "" : ", ") + columnName(*f.field);
        for (std::size_t i = 0; i < memos_.size(); ++i)
            if (!memos_[i]) missing += (missing.empty() ? "" : ", ") + table_.def().memos[i].name;
        if (missing.empty()) return StorageStatus::Ok;
        return fail(StorageStatus::LayoutDiffers, table_.fileName() + " lacks the columns " + missing);
    }

    std::int64_t storedRecords() override {
        if (isOpen()) return file_.recordCount();
        dbase::TableFile probe;
        std::string error;
        return probe.open(table_.fileName(), error) ? static_cast<std::int64_t>(probe.recordCount()) : -1;
    }

    void setPhysical(RecordPosition from) override {
        cursor_ = from > 0 ? from : 0;
        started_ = false;
    }
    void setKey(const KeyDef&, int, RecordPosition) override { setPhysical(0); }
    StorageStatus get(const KeyDef&) override {
        return fail(StorageStatus::NotFound, "dBase tables are read without keys");
    }

    StorageStatus next() override { return step(+1); }
    StorageStatus previous() override { return step(-1); }

    StorageStatus getAt(RecordPosition pos) override {
        if (!isOpen()) return fail(StorageStatus::NotOpen, "The file is not open");
        if (pos < 1 || pos > file_.recordCount()) return fail(StorageStatus::NotFound, "No such record");
        cursor_ = pos;
        started_ = true;
        return load(pos);
    }

    std::int64_t records() override { return isOpen() ? file_.recordCount() : 0; }

    StorageStatus lock(int) override { return StorageStatus::Ok; }
    void unlock() override {}
    StorageStatus hold(int) override { return StorageStatus::Ok; }
    void release() override {}

private:
    static std::string columnName(const FieldDef& f) {
        std::string_view name = f.name;
        if (name.size() > kPointerSuffix.size() && name.substr(name.size() - kPointerSuffix.size()) == kPointerSuffix)
            name.remove_suffix(kPointerSuffix.size());
        return std::string(name);
    }

    void mapColumns() {
        fields_.clear();
        memos_.clear();
        for (const FieldDef& f : table_.def().fields) {
            const std::string name = columnName(f);
            fields_.push_back({&f, file_.column(name), name.size() != f.name.size()});
        }
        for (const MemoDef& m : table_.def().memos) memos_.push_back(file_.column(m.name));
    }

    // Moves one record on in `direction`, passing over deleted records.
    StorageStatus step(int direction) {
        if (!isOpen()) return fail(StorageStatus::NotOpen, "The file is not open");
        const RecordPosition last = file_.recordCount();
        RecordPosition pos = cursor_;
        if (!started_)
            pos = cursor_ > 0 ? cursor_ : (direction > 0 ? 1 : last);
        else
            pos += direction;
        started_ = true;
        for (; pos >= 1 && pos <= last; pos += direction) {
            cursor_ = pos;
            const StorageStatus st = load(pos);
            if (st != StorageStatus::NotFound) return st;
        }
        cursor_ = direction > 0 ? last + 1 : 0;
        return fail(StorageStatus::NotFound, "End of file");
    }

    // Reads record `pos` into the buffer. NotFound for a deleted record.
    StorageStatus load(RecordPosition pos) {
        std::string error;
        const dbase::RecordRead r = file_.read(static_cast<std::uint32_t>(pos - 1), error);
        table_.setPosition(pos);
        if (r == dbase::RecordRead::Deleted || r == dbase::RecordRead::End) {
            return fail(StorageStatus::NotFound, "Record " + std::to_string(pos) + " is deleted");
        }
        if (r == dbase::RecordRead::Damaged) return fail(StorageStatus::Other, error);
        table_.clear();
        auto* buffer = static_cast<unsigned char*>(table_.record());
        for (const FieldColumn& f : fields_)
            if (f.column) fill(buffer + f.field->offset, *f.field, *f.column, f.memoPointer);
        if (table_.skipMemos()) return StorageStatus::Ok;
        const std::vector<std::string*>& strings = table_.memoStrings();
        for (std::size_t i = 0; i < memos_.size() && i < strings.size(); ++i) {
            if (!memos_[i]) continue;
            const std::uint32_t limit = table_.def().memos[i].maxBytes;
            if (file_.memo(*memos_[i], limit, *strings[i], error) != dbase::MemoRead::Ok)
                return fail(StorageStatus::Other,
                            "Record " + std::to_string(pos) + ", memo " + memos_[i]->name + ": " + error);
        }
        return StorageStatus::Ok;
    }

    void fill(unsigned char* p, const FieldDef& field, const dbase::Column& column, bool memoPointer) {
        double number = 0;
        switch (field.type) {
            case FieldType::String: {
                const std::string text = file_.text(column);
                const std::size_t n = utf8FitLength(text, field.totalWidth());
                std::memcpy(p, text.data(), n);
                std::memset(p + n, ' ', field.totalWidth() - n);
                break;
            }
            case FieldType::Real:
                if (file_.number(column, number)) std::memcpy(p, &number, sizeof number);
                break;
            case FieldType::DbDate: {
                const LONG day = file_.date(column);
                std::memcpy(p, &day, sizeof day);
                break;
            }
            case FieldType::Long:
            case FieldType::ULong:
            case FieldType::Byte: {
                std::int64_t value = 0;
                if (memoPointer) {
                    std::uint32_t block = 0;
                    file_.memoBlock(column, block);
                    value = block;
                } else if (file_.number(column, number) && std::isfinite(number)) {
                    value = static_cast<std::int64_t>(number);
                }
                if (field.type == FieldType::Byte) {
                    p[0] = static_cast<unsigned char>(value);
                } else {
                    const auto v = static_cast<std::uint32_t>(value);
                    std::memcpy(p, &v, sizeof v);
                }
                break;
            }
            case FieldType::Bytes: {
                const std::string_view raw = file_.raw(column);
                std::memcpy(p, raw.data(), std::min<std::size_t>(raw.size(), field.totalWidth()));
                break;
            }
        }
    }

    StorageStatus readOnly() {
        return fail(StorageStatus::AccessDenied, "dBase tables of other programs are only read");
    }

    StorageStatus fail(StorageStatus status, std::string text) {
        table_.setError(status, std::move(text));
        return status;
    }

    dbase::TableFile file_;
    std::vector<FieldColumn> fields_;
    std::vector<const dbase::Column*> memos_;
    RecordPosition cursor_ = 0;  // the record last read, or where the sequence starts
    bool started_ = false;
};

}  // namespace

std::unique_ptr<TableBackend> makeDBaseBackend(Table& table) { return std::make_unique<DBaseBackend>(table); }

}  // namespace pm
