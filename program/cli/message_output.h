#pragma once
// Messages printed by the commands that list them: one line of
// tab-separated fields each (number, date YYYY-MM-DD, time HH:MM, sender,
// receiver, subject, status), or with --json one array of objects with
// the same fields (time null when the message has none). Tabs and line
// breaks inside a field become blanks, so a line is always one message.
#include <span>
#include <string>

#include "browse/message_summary.h"
#include "cli/json_writer.h"

namespace pm::cli {

// A field for TSV output: tabs and line breaks as blanks.
std::string tsvField(std::string_view text);

// The header line of a listing: the column names, tab-separated, with its
// line break.
std::string tsvHeaderLine(std::span<const char* const> columns);

class MessageOutput {
public:
    explicit MessageOutput(bool json);
    // Prints one message (TSV at once; JSON when finished).
    void add(const MessageSummary& m);
    // Ends the output (the JSON array is printed here).
    void finish();

    // The fields of one message into an open JSON object.
    static void addFields(JsonWriter& j, const MessageSummary& m);

private:
    bool json_;
    JsonWriter writer_;
};

}  // namespace pm::cli
