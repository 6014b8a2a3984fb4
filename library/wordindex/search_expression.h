#pragma once
// Step 2 of the professional search: the expression, as two lists of found
// words. A message matches when it holds every entry of the AND list (and
// none of its NOT entries) and, when the OR list is not empty, at least one
// of the OR entries.
#include <string>
#include <vector>

#include "common/types.h"
#include "wordindex/word_finder.h"

namespace pm {

// An entry of the AND list (ANDQ) or the OR list (ORQ).
struct ExpressionEntry {
    std::string condition;  // "" or "NOT" (OR entries: always "")
    std::string word;
    LONG count = 0;         // WOR:WORDCOUNT
    LONG wordId = 0;
    BYTE markFlag = 0;

    bool isNot() const { return condition == "NOT"; }
    bool operator==(const ExpressionEntry&) const = default;
};

struct SearchExpression {
    std::vector<ExpressionEntry> andList;
    std::vector<ExpressionEntry> orList;

    bool empty() const { return andList.empty() && orList.empty(); }
};

ExpressionEntry entryOf(const FoundWord& found, bool negated = false);

// The lists of the " Professional Search" window and what its buttons do,
// with the window's messages when nothing is selected. Selections are
// indexes into the lists; the found words carry their own selection mark.
class ExpressionBuilder {
public:
    std::vector<FoundWord>& foundWords() { return found_; }
    const SearchExpression& expression() const { return expression_; }

    // "Insert": words of a further search word (duplicates are kept once).
    void addFoundWords(const std::vector<FoundWord>& words);
    // "SelectAll" on the found words.
    void selectAll();
    // "Delete" on the found words: removes the selected ones; false (after
    // "Nothing Selected") when none is.
    bool deleteSelectedFound();
    // "OR ---->" and "AND ---->": the selected found words join the list.
    bool addSelectedToOr();
    bool addSelectedToAnd();
    // "Delete" on the lists: the AND entry `andIndex` or the OR entry
    // `orIndex` (-1 = none selected in that list).
    bool deleteEntry(int andIndex, int orIndex);
    // "DeleteAll": both lists.
    void deleteAll();
    // NOT toggles the condition of an AND entry (-1 = none selected).
    bool toggleNot(int andIndex);
    // "Get Msgs" is possible: false after "No Search Words" when both lists are empty.
    bool readyToSearch() const;

private:
    bool addSelectedTo(std::vector<ExpressionEntry>& list);

    std::vector<FoundWord> found_;
    SearchExpression expression_;
};

}  // namespace pm
