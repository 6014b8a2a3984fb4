#pragma once
// How a character meets the word definition tables: by its Windows-1252 code.
// A character that Windows-1252 can not encode behaves as a letter: it may
// start, stand inside and end a word whatever the tables say.
#include "common/types.h"
#include "common/word_definition.h"

namespace pm {

// The Windows-1252 code of code point `cp`, or -1 when there is none.
// ASCII and U+00A0..U+00FF keep their values; the typographic characters of
// codes 128-159 (euro sign, ellipsis, daggers, curly quotes, dashes ...) map
// back to their codes, and so do the five C1 controls that Windows-1252 passes
// through unchanged (U+0081, U+008D, U+008F, U+0090, U+009D).
int windows1252Code(char32_t cp);

// The entry of `table` for `cp`: table[code], or 0 ("allowed") when the
// character has no Windows-1252 code.
inline BYTE wordTableEntry(const WordHashTable& table, char32_t cp) {
    if (cp < 0x80) return table[cp];
    const int code = windows1252Code(cp);
    return code < 0 ? BYTE{0} : table[static_cast<unsigned>(code)];
}

}  // namespace pm
