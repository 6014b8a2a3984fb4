#pragma once
// Senders and receivers of capture messages: the text after "Fm:" or "To:"
// becomes a name and an address.
#include <string>
#include <string_view>

namespace pm::capture {

// A sender or receiver field converted to UTF-8 (control characters blank,
// trimmed). The vertical bar that the DOS navigators drew between name and
// identifier (byte 0xB3) reads as the box-drawing bar in either code page,
// so the splits below treat it as a separator.
std::string partyText(std::string_view raw, const char* codePage);

// Forum messages: a trailing "(X)" (the read mark) is removed, then the
// CompuServe rule (FindCISAdress, forum mode) splits name and identifier.
void splitForumParty(std::string_view text, std::string& address, std::string& name);

// Mail: a text holding "INTERNET" gives the address after "INTERNET:" (or
// "INTERNET") and the name before it, without trailing blanks, ">", "[" and
// bars and without one pair of enclosing double quotes; other text is split
// by the CompuServe rule in mail mode. When that leaves the name blank and
// the address is an Internet address, the address is split once more by the
// Internet address rule ("Name <addr>", "addr (Name)"). An address with
// "@" is returned in lower case.
void splitMailParty(std::string_view text, std::string& address, std::string& name);

}  // namespace pm::capture
