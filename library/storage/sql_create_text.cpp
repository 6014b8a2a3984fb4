// Reading a table's columns from its CREATE TABLE text, so that opening a
// table needs no statement compiled only to learn its columns.
#include <cctype>
#include <cstring>

#include "storage/sql_catalog.h"

namespace pm::sql {

namespace {

class CreateText {
public:
    explicit CreateText(const std::string& sql) : s_(sql) {}

    void skipSpace() {
        while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_]))) ++p_;
    }
    bool atEnd() const { return p_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[p_]; }
    bool take(char c) {
        skipSpace();
        if (peek() != c) return false;
        ++p_;
        return true;
    }

    // A bare word (letters, digits, '_', not starting with a digit).
    bool word(std::string& out) {
        skipSpace();
        const std::size_t start = p_;
        if (atEnd() || !(std::isalpha(static_cast<unsigned char>(peek())) || peek() == '_')) return false;
        while (!atEnd() && (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_')) ++p_;
        out = s_.substr(start, p_ - start);
        return true;
    }

    // A name: "quoted" (a doubled quote stands for one) or a bare word.
    // `quoted` tells which.
    bool name(std::string& out, bool& quoted) {
        skipSpace();
        quoted = peek() == '"';
        if (!quoted) return word(out);
        out.clear();
        for (++p_; p_ < s_.size(); ++p_) {
            if (s_[p_] != '"') {
                out += s_[p_];
            } else if (p_ + 1 < s_.size() && s_[p_ + 1] == '"') {
                out += '"';
                ++p_;
            } else {
                ++p_;
                return true;
            }
        }
        return false;
    }

    // Skips to the ',' or ')' that ends the current column or constraint,
    // over strings, quoted names and parenthesised parts. False on what
    // this reader does not know (other quoting) or an unclosed part.
    bool skipElement() {
        int depth = 0;
        while (!atEnd()) {
            const char c = s_[p_];
            if (c == '\'' || c == '"') {
                if (!skipQuoted(c)) return false;
                continue;
            }
            if (c == '[' || c == '`') return false;
            if (c == '(') ++depth;
            if (c == ')' || c == ',') {
                if (depth == 0) return true;
                if (c == ')') --depth;
            }
            ++p_;
        }
        return false;
    }

private:
    bool skipQuoted(char quote) {
        for (++p_; p_ < s_.size(); ++p_) {
            if (s_[p_] != quote) continue;
            if (p_ + 1 < s_.size() && s_[p_ + 1] == quote) {
                ++p_;
                continue;
            }
            ++p_;
            return true;
        }
        return false;
    }

    const std::string& s_;
    std::size_t p_ = 0;
};

bool isWord(const std::string& w, const char* keyword) {
    if (w.size() != std::strlen(keyword)) return false;
    for (std::size_t i = 0; i < w.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(w[i])) != keyword[i]) return false;
    return true;
}

// The words that begin a table constraint rather than a column.
bool beginsTableConstraint(const std::string& w) {
    return isWord(w, "PRIMARY") || isWord(w, "UNIQUE") || isWord(w, "CHECK") || isWord(w, "FOREIGN") ||
           isWord(w, "CONSTRAINT");
}

// The words that end a column's type: its constraints.
bool beginsColumnConstraint(const std::string& w) {
    return beginsTableConstraint(w) || isWord(w, "NOT") || isWord(w, "NULL") || isWord(w, "DEFAULT") ||
           isWord(w, "COLLATE") || isWord(w, "REFERENCES") || isWord(w, "GENERATED") || isWord(w, "AS");
}

}  // namespace

bool columnsFromCreateSql(const std::string& sql, std::vector<StoredColumn>& columns) {
    columns.clear();
    if (sql.find("--") != std::string::npos || sql.find("/*") != std::string::npos) return false;
    CreateText text(sql);
    std::string w;
    bool quoted = false;
    if (!text.word(w) || !isWord(w, "CREATE") || !text.word(w) || !isWord(w, "TABLE")) return false;
    if (!text.name(w, quoted) || !text.take('(')) return false;
    bool constraints = false;  // columns come first; nothing but constraints after one
    for (;;) {
        std::string columnName;
        if (!text.name(columnName, quoted)) return false;
        if (!quoted && beginsTableConstraint(columnName)) {
            constraints = true;
        } else {
            if (constraints) return false;
            // The declared type: one word, or none when a constraint or the end follows.
            std::string type;
            text.skipSpace();
            const char next = text.peek();
            if (next != ',' && next != ')') {
                if (!text.word(type)) return false;
                if (beginsColumnConstraint(type)) {
                    type.clear();
                } else {
                    text.skipSpace();
                    std::string after;
                    const char follows = text.peek();
                    if (follows != ',' && follows != ')' && !(text.word(after) && beginsColumnConstraint(after)))
                        return false;  // a type of several words or with a size
                }
            }
            columns.emplace_back(columnName, type);
        }
        if (!text.skipElement()) return false;
        if (text.take(')')) break;
        if (!text.take(',')) return false;
    }
    return !columns.empty();
}

}  // namespace pm::sql
