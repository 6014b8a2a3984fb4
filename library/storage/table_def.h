#pragma once
// Declarations of tables: fields with their offsets in the record buffer,
// memos and keys. Every table of the system is described by one TableDef;
// the storage layer builds its SQL tables and indexes from it.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace pm {

enum class FieldType : std::uint8_t {
    Byte,    // unsigned 8-bit
    Long,    // signed 32-bit
    ULong,   // unsigned 32-bit
    String,  // blank-padded UTF-8 text
    Bytes,   // a DIM or GROUP of bytes, stored as one BLOB
    Real,    // IEEE double (dBase numeric columns)
    DbDate,  // dBase date column (external tables only)
};

struct FieldDef {
    std::string name;       // label without prefix: "MSGNUMBER"
    std::uint32_t offset;   // byte offset in the record buffer
    std::uint32_t width;    // bytes of one element
    FieldType type;
    std::uint16_t dim = 1;  // DIM(n) of strings: n columns NAME_1 .. NAME_n
    // A piece of a longer text cut at a byte (a heading split into its sort
    // part and the rest), which may begin or end inside a character: stored
    // as it is, since the whole text is UTF-8 where it comes from.
    bool piece = false;

    std::uint32_t totalWidth() const { return width * dim; }
};

struct MemoDef {
    std::string name;       // memo label without prefix: "MsgText"
    std::uint32_t maxBytes; // longest text the memo may hold
};

enum class Direction : std::uint8_t { Ascending, Descending };

struct KeyPart {
    int field;  // index into TableDef::fields
    Direction direction;
};

struct KeyDef {
    std::string name;  // "Threadkey" (label without prefix)
    std::vector<KeyPart> parts;
    bool unique = false;
    bool primary = false;
    // Built on demand (buildKeys) instead of being kept up to date.
    bool onDemand = false;
    int table = 0;  // registry number of the owning table
    int index = 0;  // position in TableDef::keys
};

// Where a table's file lives (the path rule builds its name from this).
enum class Location : std::uint8_t { Cfg, Db, Wix, Tmp, Ext };

enum class StorageClass : std::uint8_t {
    Keyed,   // keyed record table with memos (.TPS)
    Simple,  // keyed record table without memos (.DAT)
    Chunks,  // raw file read and written in chunks of up to 10,000 bytes
    Lines,   // plain text file, one line per record
    DBase,   // dBase table of another program, read only
};

// How a keyed table keeps its records in its store.
enum class PhysicalLayout : std::uint8_t {
    Rows,          // one SQL row per record, one index per key
    // Two 4-byte numbers (A, B) with the unique primary key (+A +B) and the
    // key (+B): for each A the list of its B values, and for each B the list
    // of its A values in blocks, both compressed. Made for the word
    // occurrences, where one row and two indexes per pair would take about
    // ten times the room.
    PostingLists,
};

struct TableDef {
    int number = 0;        // registry number; 0 for tables opened by name
    std::string label;     // "MsgNmbr"
    std::string prefix;    // "MSG"
    Location location = Location::Ext;
    StorageClass storage = StorageClass::Keyed;
    std::uint32_t recordSize = 0;
    // Text key components compare without regard to letter case.
    bool caseless = true;
    PhysicalLayout layout = PhysicalLayout::Rows;
    std::vector<FieldDef> fields;
    std::vector<MemoDef> memos;
    std::vector<KeyDef> keys;

    int fieldIndex(const std::string& name) const;  // -1 when absent
    const KeyDef* key(const std::string& name) const;
    const KeyDef* primaryKey() const;
};

// Helpers for writing declarations compactly.
struct KeyPartSpec {
    const char* field;
    Direction direction = Direction::Ascending;
};
inline KeyPartSpec asc(const char* field) { return {field, Direction::Ascending}; }
inline KeyPartSpec desc(const char* field) { return {field, Direction::Descending}; }

enum KeyFlags : unsigned { Dup = 0, Unique = 1, Primary = 2 | 1, OnDemand = 4 };

struct KeySpec {
    const char* name;
    unsigned flags;
    std::initializer_list<KeyPartSpec> parts;
};

// Resolves key part names, numbers the keys and checks the declaration
// (field ranges inside the record, one primary key when there are keys).
// Throws std::logic_error on a faulty declaration.
TableDef makeTableDef(int number, const char* label, const char* prefix, Location location,
                      StorageClass storage, std::uint32_t recordSize, bool caseless,
                      std::vector<FieldDef> fields, std::vector<MemoDef> memos,
                      std::initializer_list<KeySpec> keys);

}  // namespace pm

// Field declaration by member: PM_FIELD(MsgNmbrRecord, MSGNUMBER, ULong).
#define PM_FIELD(Record, Member, Type) \
    ::pm::FieldDef { #Member, static_cast<std::uint32_t>(offsetof(Record, Member)), \
                     static_cast<std::uint32_t>(sizeof(Record::Member)), ::pm::FieldType::Type, 1 }

// A string that is a piece of a longer text (see FieldDef::piece).
#define PM_FIELD_PIECE(Record, Member) \
    ::pm::FieldDef { #Member, static_cast<std::uint32_t>(offsetof(Record, Member)), \
                     static_cast<std::uint32_t>(sizeof(Record::Member)), ::pm::FieldType::String, 1, true }

// A DIM(n) of strings: PM_FIELD_DIM(FormsRecord, ALTADDRESS, 10).
#define PM_FIELD_DIM(Record, Member, Count) \
    ::pm::FieldDef { #Member, static_cast<std::uint32_t>(offsetof(Record, Member)), \
                     static_cast<std::uint32_t>(sizeof(Record::Member) / (Count)), \
                     ::pm::FieldType::String, static_cast<std::uint16_t>(Count) }

// Checks a field's offset at compile time.
#define PM_OFFSET(Record, Member, Offset) \
    static_assert(offsetof(Record, Member) == (Offset), #Record "::" #Member " offset")
