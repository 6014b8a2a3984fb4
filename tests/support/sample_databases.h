#pragma once
// Small databases with known contents for the reading tests (browse
// engine, browse windows, command mode), stored through the message store
// as an import stores them, counts written back.
//
// Forum "Test Forum" (sections 1 "General" and 2 "Hardware"):
//   number  section  reply to  subject                     from            to              date
//   100     1        -         Hello                       John Smith      All             73000
//   101     1        100       Re: Hello                   Ärger Müller    John Smith      73001
//   102     1        101       Re: Hello                   Zoë Adams       Ärger Müller    73002
//   103     1        100       Re: Hello                   John Smith      Zoë Adams       73002
//   105     1        999       Hello (parent never seen)   John Smith      All             73003
//   110     2        -         LongSubject (below)         Zoë Adams       All             73005
//   111     2        110       Re: LongSubject             Ärger Müller    Zoë Adams       73006
//   120     2        -         Power supply                John Smith      Ärger Müller    72990
// Message 120 has a 30,000-byte text; the others short ones.
//
// Newsgroup "comp.lang.test": 11 "Parsing dates" (Hans Wüst), 12 a reply
// to 11 (Ana Núñez), 13 a reply to 12 (Hans Wüst), 14 "Ünïcödé subjects"
// (Ana Núñez).
//
// Mail "Inbox" owned by Mary Me <me@home.org>:
//   1001 received from Fred Foreign <fred@else.org>  "Hello World"      73100 10:01
//   1002 sent to Fred Foreign                        "Re: Hello World"  73100 11:30
//   1003 received from Émile Zola <emile@zola.fr>    MailLongSubject    73101 09:15
//   1004 received from <bob@b.org> (no name: "Name Unknown") "Question" 73099 23:59
// The owner's person is named after the mailbox ("Inbox").
#include <string>

#include "common/types.h"

namespace pm::test {

inline constexpr const char* LongSubject =
    "Grüße aus Köln – ein sehr langer Betreff über Lötkolben, Oszilloskope und andere Dinge im Keller";
inline constexpr const char* MailLongSubject =
    "J'accuse – lettre ouverte à Monsieur Félix Faure, Président de la République";

// Each creates its database in the installation that is set up, fills it
// and leaves it active with its tables closed. Returns the database id.
ULONG makeSampleForum(const std::string& name = "Test Forum");
ULONG makeSampleNewsgroup(const std::string& name = "comp.lang.test");
ULONG makeSampleMail(const std::string& name = "Inbox");

// Look-ups in the active database (its tables open): the id of the person
// with last name `last`, the thread and section of message `number`; 0
// when there is none.
ULONG personNamed(const std::string& last);
ULONG threadOf(ULONG message);
ULONG sectionOf(ULONG message);

}  // namespace pm::test
