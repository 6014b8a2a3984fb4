#pragma once
// The mail header analysis: one Internet mail message in the line queue
// becomes sender, receiver, date, subject, sent/received and body format.
#include <cstddef>

#include "import/internet/line_queue.h"
#include "import/internet/parsed_header.h"

namespace pm::inet {

struct MailHeaderOptions {
    // Pegasus mailboxes: dates read with the Pegasus rule.
    bool pegasusDates = false;
};

// Reads the header block from entry `headerStart` up to its first blank line
// (or entry `last`; 0 means the end of the queue) and fills `out` (cleared
// first):
// - "From:" the sender, "To:" the receiver (address split, the first address
//   of a list), "Subject:" the heading (encoded words decoded, one "Re:"
//   removed; none gives a blank heading), "Date:" date and time (0 when
//   unreadable); folded continuation lines belong to their field; the first
//   of each field counts;
// - the sender address is compared with the owner's addresses: a match is
//   sent mail (MailSent; sender = owner's name and default address), else
//   received mail (MailReceived; receiver = owner's name and default address);
//   an empty default address leaves the parsed one;
// - Content-Type text/html gives content kind 1, text/enriched 2; a
//   multipart type (not multipart/digest) runs the MIME part selection over
//   the body, which marks the lines to leave out and gives kind, charset and
//   transfer encoding of the chosen part;
// - firstBodyLine: the first non-blank entry after the block (past `last`
//   when there is none).
// A "Newsgroups:" line does not make a block news: list mail gatewayed
// from or cross-posted to newsgroups is mail all the same. A multipart
// message without a usable boundary keeps its body as text. Returns false
// only for a header start outside the queue.
bool analyseMailHeader(LineQueue& queue, std::size_t headerStart, HeaderContext& context, ParsedHeader& out,
                       const MailHeaderOptions& options = {}, std::size_t last = 0);

}  // namespace pm::inet
