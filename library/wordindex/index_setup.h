#pragma once
// What the index settings wizard (SEARCHWZ) reads and changes: the
// word-index settings (items 49-55), the word definition with its named
// sets, and the deletion of every database's word index when a new word
// definition makes the old indexes wrong.
#include <string>
#include <vector>

#include "common/word_definition.h"
#include "wordindex/index_settings.h"

namespace pm {

// Every character's row of a word definition (common/word_definition.h).
using WordDefinitionRows = std::array<WordDefinitionRow, 256>;

// The name the wizard gives the tables in memory.
inline constexpr const char* CurrentSelectionName = "Current Selection";

WordDefinitionRows rowsOf(const WordDefinition& definition);
// `rows` applied to a copy of `base` (IsJunk stays as base has it).
WordDefinition definitionOf(const WordDefinitionRows& rows, const WordDefinition& base);

// The names of the stored definition sets (WD), in name order.
std::vector<std::string> wordDefinitionSetNames();
// The 256 rows of set `name`; the current tables when the set has fewer
// rows (or is CurrentSelectionName).
WordDefinitionRows wordDefinitionSet(const std::string& name);

// Whether any catalogued database has a word index file (MasIdx).
bool anyDatabaseWordIndexed();

// Deletes WordList, MasIdx and the deletion marks of every catalogued
// database whose MasIdx exists, and clears its checkpoint so that it is
// marked for a full index run. The number of databases changed; -1 when a
// file could not be deleted or a catalog record written (reported; the
// databases done before stay done, each one whole).
int deleteEveryWordIndex();

// Stores items 49-55 from `settings` and saves the settings with the word
// definition in memory. False when saving failed.
bool saveIndexSettings(const IndexSettings& settings);

}  // namespace pm
