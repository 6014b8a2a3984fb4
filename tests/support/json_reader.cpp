#include "support/json_reader.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "common/utf8.h"

namespace pm::test {

const Json& Json::operator[](const std::string& name) const {
    auto it = fields.find(name);
    if (it == fields.end()) throw std::runtime_error("no member \"" + name + "\"");
    return it->second;
}

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    Json document() {
        Json v = value();
        space();
        if (at_ != s_.size()) fail("text after the value");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("invalid JSON at byte " + std::to_string(at_) + ": " + what);
    }
    void space() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
    }
    bool take(char c) {
        space();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!take(c)) fail(std::string("expected '") + c + "'");
    }
    bool word(const char* w) {
        const std::string_view v(w);
        if (s_.compare(at_, v.size(), v) != 0) return false;
        at_ += v.size();
        return true;
    }

    Json value() {
        space();
        if (at_ >= s_.size()) fail("a value is missing");
        Json v;
        const char c = s_[at_];
        if (c == '{') {
            v.kind = Json::Kind::Object;
            ++at_;
            if (take('}')) return v;
            do {
                space();
                const std::string key = string();
                expect(':');
                v.fields[key] = value();
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            v.kind = Json::Kind::Array;
            ++at_;
            if (take(']')) return v;
            do v.items.push_back(value());
            while (take(','));
            expect(']');
        } else if (c == '"') {
            v.kind = Json::Kind::String;
            v.text = string();
        } else if (word("true") || word("false")) {
            v.kind = Json::Kind::Bool;
            v.boolean = s_[at_ - 1] == 'e' && s_[at_ - 2] == 'u';
        } else if (word("null")) {
            v.kind = Json::Kind::Null;
        } else {
            v.kind = Json::Kind::Number;
            v.number = number();
        }
        return v;
    }

    double number() {
        const std::size_t start = at_;
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        if (at_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[at_]))) fail("not a value");
        if (s_[at_] == '0' && at_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_ + 1])))
            fail("a leading zero");
        while (at_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[at_])) || s_[at_] == '.' ||
                                   s_[at_] == 'e' || s_[at_] == 'E' || s_[at_] == '+' || s_[at_] == '-'))
            ++at_;
        return std::strtod(s_.substr(start, at_ - start).c_str(), nullptr);
    }

    std::string string() {
        if (at_ >= s_.size() || s_[at_] != '"') fail("expected a string");
        ++at_;
        std::string out;
        while (true) {
            if (at_ >= s_.size()) fail("an unterminated string");
            const auto c = static_cast<unsigned char>(s_[at_]);
            if (c == '"') {
                ++at_;
                return out;
            }
            if (c < 0x20) fail("a control character in a string");
            if (c == '\\') {
                ++at_;
                if (at_ >= s_.size()) fail("an unterminated escape");
                const char e = s_[at_++];
                switch (e) {
                    case '"': out += '"'; break;
                    case '\\': out += '\\'; break;
                    case '/': out += '/'; break;
                    case 'b': out += '\b'; break;
                    case 'f': out += '\f'; break;
                    case 'n': out += '\n'; break;
                    case 'r': out += '\r'; break;
                    case 't': out += '\t'; break;
                    case 'u': {
                        if (at_ + 4 > s_.size()) fail("a short \\u escape");
                        const unsigned long cp = std::strtoul(s_.substr(at_, 4).c_str(), nullptr, 16);
                        at_ += 4;
                        appendUtf8(out, static_cast<char32_t>(cp));
                        break;
                    }
                    default: fail("an unknown escape");
                }
                continue;
            }
            const Utf8Char u = decodeUtf8At(s_, at_);
            if (!u.wellFormed) fail("bytes that are not UTF-8");
            out.append(s_, at_, u.length);
            at_ += u.length;
        }
    }

    const std::string& s_;
    std::size_t at_ = 0;
};

}  // namespace

Json parseJson(const std::string& text) { return Parser(text).document(); }

}  // namespace pm::test
