#include "cli/message_output.h"

#include <cstdio>

#include "common/date_pictures.h"

namespace pm::cli {

namespace {

constexpr const char* kDate = "@D10-";
constexpr const char* kTime = "@T1";

}  // namespace

std::string tsvField(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return out;
}

std::string tsvHeaderLine(std::span<const char* const> columns) {
    std::string out;
    for (const char* column : columns) out += std::string(out.empty() ? "" : "\t") + column;
    return out + '\n';
}

MessageOutput::MessageOutput(bool json) : json_(json) {
    if (json_) writer_.beginArray();
}

void MessageOutput::addFields(JsonWriter& j, const MessageSummary& m) {
    j.field("number", m.number);
    const std::string date = formatDate(m.date, kDate);
    if (date.empty()) j.key("date").null();
    else j.field("date", date);
    if (m.hasTime) j.field("time", formatTime(m.time, kTime));
    else j.key("time").null();
    j.field("sender", m.sender).field("receiver", m.receiver).field("subject", m.subject);
    j.field("status", std::string(statusName(m.status)));
}

void MessageOutput::add(const MessageSummary& m) {
    if (json_) {
        writer_.beginObject();
        addFields(writer_, m);
        writer_.endObject();
        return;
    }
    const std::string line = std::to_string(m.number) + '\t' + formatDate(m.date, kDate) + '\t' +
                             (m.hasTime ? formatTime(m.time, kTime) : std::string()) + '\t' + tsvField(m.sender) +
                             '\t' + tsvField(m.receiver) + '\t' + tsvField(m.subject) + '\t' +
                             statusName(m.status) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void MessageOutput::finish() {
    if (!json_) return;
    writer_.endArray();
    std::fwrite(writer_.str().data(), 1, writer_.str().size(), stdout);
}

}  // namespace pm::cli
