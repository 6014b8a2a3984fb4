#pragma once
// HTML to plain text, for HTML mail and news bodies.
#include <string>
#include <string_view>

namespace pm::inet {

// Converts an HTML text (UTF-8) to plain text with CR LF line ends.
//
// The text is scanned once: a "<" followed by a letter, "/", "!" or "?"
// opens a tag that runs to the next ">" outside a quoted attribute value
// (a "<" with no ">" after it is text); a comment "<!-- ... -->" is skipped
// whole. Output steps: a blank (only after text, never doubled), a line
// break (replaces a trailing blank) and a paragraph break (an empty line,
// never more than two CR LF in a row, nothing at the start).
//   BR line break; B, I, U a blank; P paragraph break; closing DIV line
//   break; closing H1-H6, TD, TH, TR paragraph break; PRE/PLAINTEXT
//   preformatted mode (characters copied, line ends kept) on lines of its
//   own; TITLE text dropped; STYLE and SCRIPT content skipped; OL/UL lists
//   whose LI items start after a paragraph break with "* ", the list's end a
//   paragraph break; DL lists whose DT/DD start a
//   line, definitions indented by three blanks; A HREF: the link target
//   follows the link text as " <target>" unless it says the same (or is an
//   anchor within the page). All other tags have no effect, HTML's start and
//   end marks included: text outside them (a list footer added after
//   "</html>") is kept.
// Outside preformatted mode runs of blanks, tabs and line ends become one
// blank. Character entities are decoded everywhere (decodeHtmlEntity); an
// unknown one stays as written. Leading and trailing empty lines are dropped;
// a non-empty result ends with CR LF.
std::string htmlToText(std::string_view html);

}  // namespace pm::inet
