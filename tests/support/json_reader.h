#pragma once
// A strict JSON reader for tests of JSON output: it accepts only valid
// JSON (RFC 8259) in valid UTF-8 and throws std::runtime_error, naming the
// byte offset, on anything else.
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pm::test {

struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    // Member `name` of an object; throws when there is none.
    const Json& operator[](const std::string& name) const;
    const Json& operator[](std::size_t index) const { return items.at(index); }
    std::size_t size() const { return kind == Kind::Array ? items.size() : fields.size(); }
    bool isNull() const { return kind == Kind::Null; }
};

// Parses the whole of `text` (surrounding white space allowed).
Json parseJson(const std::string& text);

}  // namespace pm::test
