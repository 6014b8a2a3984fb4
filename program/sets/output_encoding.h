#pragma once
// The byte form of written-out text. The store holds UTF-8; the capture
// layouts are read back by navigators that use a single-byte code page, so
// their lines are converted, with near substitutes for the characters the
// code page lacks.
#include <string>
#include <string_view>

namespace pm {

enum class OutputCodePage {
    Utf8,         // as stored
    Windows1252,  // the Windows navigators
    Cp850,        // the DOS navigators
};

// `text` (UTF-8) in `codePage`. A character the code page lacks becomes
// its near substitute (typographic quotes a plain quote, dashes "-", the
// ellipsis "...", a letter with a mark the bare letter) or "?". For code
// page 850 the non-breaking space becomes a blank.
std::string encodeOutput(std::string_view text, OutputCodePage codePage);

}  // namespace pm
