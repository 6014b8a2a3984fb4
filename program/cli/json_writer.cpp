#include "cli/json_writer.h"

#include <cstdio>

#include "common/utf8.h"

namespace pm::cli {

std::string jsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = decodeUtf8At(text, at);
        at += c.length;
        switch (c.codePoint) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            default: break;
        }
        if (c.codePoint < 0x20 || c.codePoint == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c.codePoint));
            out += escaped;
        } else {
            appendUtf8(out, c.codePoint);  // ill-formed bytes arrive as U+FFFD
        }
    }
    out += '"';
    return out;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) out_ += level.array ? "," : ", ";
    if (level.array) out_ += '\n';
    level.empty = false;
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    out_ += '{';
    levels_.push_back({false, true});
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    out_ += '[';
    levels_.push_back({true, true});
    return *this;
}

void JsonWriter::close(char bracket) {
    const bool array = !levels_.empty() && levels_.back().array;
    const bool empty = levels_.empty() || levels_.back().empty;
    if (!levels_.empty()) levels_.pop_back();
    if (array && !empty) out_ += '\n';
    out_ += bracket;
    if (levels_.empty()) out_ += '\n';
}

JsonWriter& JsonWriter::endObject() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    out_ += jsonString(name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    out_ += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t n) {
    beforeValue();
    out_ += std::to_string(n);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_ += "null";
    return *this;
}

}  // namespace pm::cli
