#pragma once
// The news header analysis: one news article (or a forum message or mail of
// the formats that mix them) in the line queue becomes its work-record
// fields, message identifiers and body format.
#include <cstddef>

#include "common/types.h"
#include "import/internet/line_queue.h"
#include "import/internet/parsed_header.h"

namespace pm::inet {

struct NewsHeaderOptions {
    // Sender and receiver texts split by the CompuServe rule (the context's
    // cisSplit) instead of the Internet address split: VirtualAccess and
    // Netscape News.
    bool cisAddressRule = false;
};

// Reads the header block from entry `headerStart` (to entry `last`, 0 = the
// end of the queue) and fills `out` (cleared first):
// - "Newsgroups:": the comma-separated groups are tried in order and the
//   first with an existing database (context.databaseExists) becomes
//   forDescription, else the first group; the message is a news article
//   (NewsBlockKind::Article);
// - "Message-ID:" (the first one): msgNumber = counter, counter + 1, and the
//   pair (identifier, msgNumber) is added to messageIds;
// - "References:" (or, without it, "In-Reply-To:"), with continuation
//   lines (however long): the last "<...>" in it, else its last
//   blank-separated token, is the parent's identifier; refNumber = counter,
//   counter + 1, and the pair (parent identifier, refNumber) is added;
// - Content-Type as for mail; "Lines:" gives lineCount;
// - "From:", "Date:", "Subj:"/"Subject:" and "To:"; a first header line
//   "Subject:" makes a ForumMessage block (unless the block names
//   newsgroups), any other block is Mail; "Reply to:" gives the subject of a
//   message that is no news article when it follows the subject line;
//   "Fm:" gives the sender of a ForumMessage block; a line beginning with five
//   blanks is passed over (it continues only "References:");
// - the block ends at a blank line: at once for a news article, for others
//   only once "From:", "Date:" and a subject, or a "To:", have been seen;
//   firstBodyLine is the first non-blank entry after it;
// - news article: receiver address blank, receiver name "All", or "Unknown"
//   when it answers another; mail: receiver from "To:", else the owner; a
//   mail whose sender text begins with the word "You" was sent by the owner
//   (sender = owner's default address and name, MailSent), other mail is
//   received (MailReceived); forum messages and articles are NotMail;
// - sender and receiver texts lose a trailing "(X)" and are split by the
//   Internet address split or the CompuServe rule (options).
// A multipart message without a usable boundary keeps its body as text.
// Returns false for a header start outside the queue or an empty first line.
bool analyseNewsHeader(LineQueue& queue, std::size_t headerStart, ULONG& counter, HeaderContext& context,
                       ParsedHeader& out, const NewsHeaderOptions& options = {}, std::size_t last = 0);

}  // namespace pm::inet
