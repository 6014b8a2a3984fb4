#include "wordindex/search_expression.h"

#include <algorithm>

#include "common/user_interface.h"

namespace pm {

namespace {

bool nothingSelected(const char* action) {
    message("Nothing Selected",
            std::string("Please Click on a Search Word in one of the Lists Above to ") + action + " and Try Again.",
            Icon::Exclamation);
    return false;
}

bool holds(const std::vector<ExpressionEntry>& list, LONG wordId) {
    return std::any_of(list.begin(), list.end(), [&](const ExpressionEntry& e) { return e.wordId == wordId; });
}

}  // namespace

ExpressionEntry entryOf(const FoundWord& found, bool negated) {
    return ExpressionEntry{negated ? "NOT" : "", found.word, found.hits, found.wordId, 0};
}

void ExpressionBuilder::addFoundWords(const std::vector<FoundWord>& words) {
    for (const FoundWord& w : words) {
        const bool known = std::any_of(found_.begin(), found_.end(),
                                       [&](const FoundWord& f) { return f.wordId == w.wordId; });
        if (!known) {
            found_.push_back(w);
            found_.back().selected = false;
        }
    }
}

void ExpressionBuilder::selectAll() {
    for (FoundWord& f : found_) f.selected = true;
}

bool ExpressionBuilder::deleteSelectedFound() {
    const auto selected = [](const FoundWord& f) { return f.selected; };
    if (std::none_of(found_.begin(), found_.end(), selected)) {
        message("Nothing Selected", "Please Click on a Search Word to Select it then Try Again", Icon::Exclamation);
        return false;
    }
    found_.erase(std::remove_if(found_.begin(), found_.end(), selected), found_.end());
    return true;
}

bool ExpressionBuilder::addSelectedTo(std::vector<ExpressionEntry>& list) {
    bool any = false;
    for (FoundWord& f : found_) {
        if (!f.selected) continue;
        any = true;
        f.selected = false;
        // A word stands in one list only once.
        if (!holds(expression_.andList, f.wordId) && !holds(expression_.orList, f.wordId))
            list.push_back(entryOf(f));
    }
    if (!any) message("Nothing Selected", "Please Click on a Search Word to Select it then Try Again", Icon::Exclamation);
    return any;
}

bool ExpressionBuilder::addSelectedToOr() { return addSelectedTo(expression_.orList); }
bool ExpressionBuilder::addSelectedToAnd() { return addSelectedTo(expression_.andList); }

bool ExpressionBuilder::deleteEntry(int andIndex, int orIndex) {
    if (expression_.empty()) {
        message("Pick One First", "Please Pick an Entry in one of the Lists Above to Delete and Try Again.",
                Icon::Exclamation);
        return false;
    }
    auto& andList = expression_.andList;
    auto& orList = expression_.orList;
    const bool andOk = andIndex >= 0 && static_cast<std::size_t>(andIndex) < andList.size();
    const bool orOk = orIndex >= 0 && static_cast<std::size_t>(orIndex) < orList.size();
    if (!andOk && !orOk) return nothingSelected("Delete");
    if (andOk) andList.erase(andList.begin() + andIndex);
    if (orOk) orList.erase(orList.begin() + orIndex);
    return true;
}

void ExpressionBuilder::deleteAll() {
    expression_.andList.clear();
    expression_.orList.clear();
}

bool ExpressionBuilder::toggleNot(int andIndex) {
    if (andIndex < 0 || static_cast<std::size_t>(andIndex) >= expression_.andList.size()) return nothingSelected("NOT");
    ExpressionEntry& e = expression_.andList[static_cast<std::size_t>(andIndex)];
    e.condition = e.isNot() ? "" : "NOT";
    return true;
}

bool ExpressionBuilder::readyToSearch() const {
    if (!expression_.empty()) return true;
    message("No Search Words", "Please use the Insert Button to Locate words of Interest!|Then Try Again.",
            Icon::Exclamation);
    return false;
}

}  // namespace pm
