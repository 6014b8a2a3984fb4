#pragma once
// Eudora mailboxes: messages begin at "From ???@???" lines. A table of
// contents beside the mailbox (same name, extension "TOC") lists the
// messages the mailbox really holds; with one, only the listed separators
// start messages, and deleted messages that the mailbox still carries are
// passed over.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/formats/splitter.h"

namespace pm::formats {

// The table of contents of mailbox `mailboxFile`: a file in the same
// directory whose name is the mailbox's with its three-letter extension
// replaced by "TOC" (any letter case). Empty when the mailbox name has no
// three-letter extension or no such file exists.
std::string eudoraTocFile(const std::string& mailboxFile);

// The message start positions (1-based, ascending, each once) listed in a
// table of contents: position 1 always, and for every run of six 0xFF bytes
// that is followed by a byte other than 0xFF, the little-endian 4-byte
// offset that stands 38 bytes after the run's start, plus 1. Read through
// the byte window. Empty when the file cannot be read.
std::vector<std::int64_t> readEudoraToc(const std::string& tocFile);

std::unique_ptr<MessageSplitter> makeEudoraSplitter();

}  // namespace pm::formats
