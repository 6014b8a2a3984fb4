#pragma once
// JSON output of command mode: one writer that builds valid UTF-8 JSON
// whatever the stored texts hold (bytes that are not UTF-8 become U+FFFD,
// control characters are escaped). Arrays put each element on a line of
// its own, so long lists stay readable and diffable.
//
//   JsonWriter j;
//   j.beginArray();
//   j.beginObject().field("number", 101).field("subject", "Re: Hello").endObject();
//   j.endArray();
//   fputs(j.str().c_str(), stdout);
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace pm::cli {

// `text` as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The key of the next value inside an object.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(bool flag);
    template <class T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
    JsonWriter& value(T n) {
        return number(static_cast<std::int64_t>(n));
    }
    JsonWriter& number(std::int64_t n);
    JsonWriter& null();
    // key() and value() in one.
    template <class T>
    JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

    // The text written so far; complete (ending in a newline) once every
    // array and object is closed.
    const std::string& str() const { return out_; }

private:
    void beforeValue();
    void close(char bracket);

    struct Level {
        bool array = false;
        bool empty = true;
    };
    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace pm::cli
