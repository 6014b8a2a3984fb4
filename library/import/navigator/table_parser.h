#pragma once
// The common reader of the navigators' dBase tables: the table is opened
// read-only on the first call, then read forward, at most the import quota
// of records per call; each record is converted by the store's own rules.
//
// A record that cannot be read (cut off, a memo that leads nowhere) is
// passed over and counted; at the fifth in one file the file is abandoned
// with the store's message (not in scheduled runs). Records converted
// before stay in the work file. Deleted records are not read at all.
#include <string>
#include <vector>

#include "import/capture/capture_output.h"
#include "import/driver/format_parser.h"
#include "import/navigator/navigator_message.h"
#include "storage/table.h"

namespace pm::navigator {

// Bad records that make a reader give a file up.
inline constexpr int BadRecordLimit = 5;

class TableParser : public FormatParser {
public:
    // A reader stopped before the table's end (a cancelled run) closes it.
    ~TableParser() override;
    bool parse(ParserCall& call) final;

protected:
    // The table of the file (its buffer receives the records).
    virtual Table& table(const ParserCall& call) = 0;
    // Converts the record in the buffer; false when the record holds no
    // message to import (counted as skipped).
    virtual bool convert(ParserCall& call, NavigatorMessage& message) = 0;
    // The message given when a file is abandoned: `percent` of its records
    // were read; the storage layer's text of the last failure follows it.
    virtual std::string abandonText(int percent) const = 0;
    // The store's name ("NavCIS") and the columns without which a table is
    // none of its message tables (another program's table is refused, not
    // read as messages with blank fields).
    virtual const char* storeName() const = 0;
    virtual std::vector<std::string> requiredColumns(const ParserCall& call) const = 0;

private:
    bool firstCall(ParserCall& call);
    // The required columns the table lacks ("" when it has them all).
    std::string missingColumns(const ParserCall& call) const;
    void finish();
    void progress(ParserCall& call) const;

    Table* table_ = nullptr;
    std::int64_t total_ = 0;
    std::int64_t handled_ = 0;
    int bad_ = 0;
    capture::ImportRegister register_;
};

// The pieces the three abandon messages share.
std::string abandonMessage(int percent, const char* fileKind, const char* advice);

// True for a CompuServe user identifier in its stored form ("12345,678").
bool isCompuServeId(std::string_view address);

// An address of a table column: a prefix "INTERNET:" is dropped unless the
// address is a CompuServe identifier.
std::string tableAddress(std::string_view raw);

// A whole number held in a numeric column, or 0 when it is none.
unsigned long wholeNumber(double value);

}  // namespace pm::navigator
