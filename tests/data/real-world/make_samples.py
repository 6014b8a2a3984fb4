#!/usr/bin/env python3
"""Writes the sample files of real-world mail shapes: each file holds input
that real mailboxes carry and that the import once lost, doubled or cut.
The files are kept in the repository; run this only to change them:

    python3 tests/data/real-world/make_samples.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def mbox(*messages):
    """Messages (envelope line first) joined the mailbox way: LF line ends,
    a blank line before every envelope line."""
    return "\n".join(m.strip("\n") + "\n" for m in messages).encode("utf-8")


# The same mail saved twice within one minute (11:00:00 and 11:00:30), the
# second time with a short signature on its last line: one mail.
write("near-duplicates.mbox", mbox("""
From fred@else.example  Tue Mar  4 11:00:00 1997
From: Fred Foreign <fred@else.example>
To: me@home.example
Subject: Meeting on Friday
Date: Tue, 4 Mar 1997 11:00:00 +0100

See you on Friday at ten.
""", """
From fred@else.example  Tue Mar  4 11:00:30 1997
From: Fred Foreign <fred@else.example>
To: me@home.example
Subject: Meeting on Friday
Date: Tue, 4 Mar 1997 11:00:30 +0100

See you on Friday at ten. -- Fred
"""))

# List mail gatewayed to a newsgroup carries a Newsgroups: field; it is mail.
write("newsgroups-header.mbox", mbox("""
From list@lists.example  Wed Mar  5 09:00:00 1997
From: Ann Author <ann@else.example>
To: c-list@lists.example
Newsgroups: comp.lang.c
Subject: Gatewayed question
Date: Wed, 5 Mar 1997 09:00:00 +0100
Message-ID: <gw1@else.example>

Posted to the list and the group.
""", """
From list@lists.example  Wed Mar  5 10:00:00 1997
From: Bob Builder <bob@else.example>
To: c-list@lists.example
Subject: Plain list mail
Date: Wed, 5 Mar 1997 10:00:00 +0100

Only on the list.
"""))

# Body lines that begin "From " without being envelope lines (one looks like
# a header block follows), and an envelope with an obfuscated sender.
write("from-lines.mbox", mbox("""
From ann@else.example  Thu Mar  6 08:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: Films
Date: Thu, 6 Mar 1997 08:00:00 +0100

My favourite film:

From Russia with love
Year: 1963

From here on it gets better.
""", """
From bob at else.example  Thu Mar  6 09:00:00 1997
From: Bob Builder <bob@else.example>
To: me@home.example
Subject: Archive copy
Date: Thu, 6 Mar 1997 09:00:00 +0100

Taken from a list archive.
""", """
From carl@else.example  Thu Mar  6 10:00:00 1997
From: Carl Coder <carl@else.example>
To: me@home.example
Subject: Third
Date: Thu, 6 Mar 1997 10:00:00 +0100

The third mail.
"""))

# The escaping convention (mboxrd): every body line ">*From " got one more
# ">"; the ">>From " line marks the file.
write("mboxrd.mbox", mbox("""
From ann@else.example  Fri Mar  7 08:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: Escaped lines
Date: Fri, 7 Mar 1997 08:00:00 +0100

>From the start it was clear.
>>From a quoted line.
> From a quote with a blank.
""", """
From bob@else.example  Fri Mar  7 09:00:00 1997
From: Bob Builder <bob@else.example>
To: me@home.example
Subject: Second escaped
Date: Fri, 7 Mar 1997 09:00:00 +0100

>From now on.
"""))

# The plain convention: ">From " stays as it is written.
write("mboxo.mbox", mbox("""
From ann@else.example  Fri Mar  7 10:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: Plain escapes
Date: Fri, 7 Mar 1997 10:00:00 +0100

>From the start it was clear.
"""))

# Content-Length: a body that holds an envelope-like line is kept whole when
# the count points at the next envelope line; a count that points elsewhere
# is not trusted.
forwarded = """Here is the mail you asked for:

From anna@old.example  Wed Feb  1 19:06:09 2006
From: Anna Old <anna@old.example>
Subject: The original

The original text.
"""
write("content-length.mbox", mbox("""
From ann@else.example  Sat Mar  8 08:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: Forwarded inline
Date: Sat, 8 Mar 1997 08:00:00 +0100
Content-Length: %d

%s""" % (len(forwarded.encode("utf-8")), forwarded), """
From bob@else.example  Sat Mar  8 09:00:00 1997
From: Bob Builder <bob@else.example>
To: me@home.example
Subject: Wrong count
Date: Sat, 8 Mar 1997 09:00:00 +0100
Content-Length: 5

A count that points into the text.
""", """
From carl@else.example  Sat Mar  8 10:00:00 1997
From: Carl Coder <carl@else.example>
To: me@home.example
Subject: After the count
Date: Sat, 8 Mar 1997 10:00:00 +0100

Last mail.
"""))

# An empty MIME boundary, and a multipart type without any boundary.
write("empty-boundary.mbox", mbox("""
From ann@else.example  Sun Mar  9 08:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: Empty boundary
Date: Sun, 9 Mar 1997 08:00:00 +0100
MIME-Version: 1.0
Content-Type: multipart/mixed; boundary=""

This is a multi-part message in MIME format.
--
Content-Type: text/plain; charset=us-ascii

The text part.
--
Content-Type: application/octet-stream

AAECAwQF
----
""", """
From bob@else.example  Sun Mar  9 09:00:00 1997
From: Bob Builder <bob@else.example>
To: me@home.example
Subject: No boundary at all
Date: Sun, 9 Mar 1997 09:00:00 +0100
MIME-Version: 1.0
Content-Type: multipart/alternative

Text without parts.
"""))

# Long lines: a paragraph on one line, a one-line HTML body, a line of
# two-byte characters, and a line longer than a whole text may be.
paragraph = " ".join("word%d" % i for i in range(900))
html = "<html><body>" + "".join("<p>Paragraph %d of the page.</p>" % i for i in range(120)) + "</body></html>"
write("long-lines.mbox", mbox("""
From ann@else.example  Mon Mar 10 08:00:00 1997
From: Ann Author <ann@else.example>
To: me@home.example
Subject: One long paragraph
Date: Mon, 10 Mar 1997 08:00:00 +0100

%s
The end.
""" % paragraph, """
From bob@else.example  Mon Mar 10 09:00:00 1997
From: Bob Builder <bob@else.example>
To: me@home.example
Subject: One-line page
Date: Mon, 10 Mar 1997 09:00:00 +0100
Content-Type: text/html; charset=us-ascii

%s
""" % html, """
From carl@else.example  Mon Mar 10 10:00:00 1997
From: Carl Coder <carl@else.example>
To: me@home.example
Subject: Accents
Date: Mon, 10 Mar 1997 10:00:00 +0100
Content-Type: text/plain; charset=utf-8

%s!
""" % ("\u00e9" * 1000), """
From dora@else.example  Mon Mar 10 11:00:00 1997
From: Dora Dump <dora@else.example>
To: me@home.example
Subject: Beyond the limit
Date: Mon, 10 Mar 1997 11:00:00 +0100
Content-Type: text/plain; charset=utf-8

%s
""" % ("\u00e9" * 70000)))

# Dates as real mail writes them; without a readable Date field the
# envelope's date counts, and without that the newest Received field's.
def dated(sender, envelope, date_line, subject, extra=""):
    return """
From %s  %s
From: %s
To: me@home.example
Subject: %s
%s%s
Text of %s.
""" % (sender, envelope, sender, subject, date_line + "\n" if date_line else "", extra, subject)

write("dates.mbox", mbox(
    dated("a1@else.example", "Wed Feb  1 20:00:00 2006", "Date: Wed Feb  1 19:06:09 2006", "asctime"),
    dated("a2@else.example", "Wed Feb  1 20:00:00 2006", "Date: Wed 1 Feb 2006 19:06:09 +0100", "no comma"),
    dated("a3@else.example", "Fri Nov  1 20:00:00 2002", "Date: Fri, Nov 01 02 15:01:05", "month first"),
    dated("a4@else.example", "Wed Feb  1 20:00:00 2006", "Date: 2006-02-01T19:06:09Z", "iso"),
    dated("a5@else.example", "Tue Mar  4 20:00:00 1997", "Date: Tue, 4 Mar 97 08:05 EST", "two-digit year"),
    dated("a6@else.example", "Thu Mar  6 09:10:11 1997", "", "no date field"),
    dated("a7@else.example", "Thu Mar  6 09:20:00 1997", "Date: sometime last week", "unreadable date"),
    dated("a8@else.example", "", "", "received only",
          "Received: from mx.else.example by home.example;\n\tFri, 7 Mar 1997 10:00:00 +0100\n"),
).replace(b"From a8@else.example  \n", b"From a8@else.example\n"))

# Code page 850 capture text: the double low line (0xF2) becomes "=", the
# cedilla (0xF7), the degree sign (0xF8) and the non-breaking space (0xFF)
# blanks.
capture = [
    b"#: 200001 S1/General",
    b"    10-Nov-85  16:47:35",
    b"Sb: Heating at 20\xf8C",
    b"Fm: John Deakin 74015,1624",
    b"To: All",
    b"",
    b"",
    b"Set it to 20\xf8C.",
    b"Total \xf2\xf2\xf2 line, cedilla\xf7x, no\xffbreak.",
]
write("cp850.msg", b"\r\n".join(capture) + b"\r\n")

# A redirect target receives articles of a group redirected to it and of
# its own group: each keeps its own section.
def article(group, number, subject):
    return """
From news@news.example Fri Mar  7 11:00:00 1997
From: Dave Young <dave@news.example>
Newsgroups: %s
Subject: %s
Date: 7 Mar 1997 11:%02d:00 GMT
Message-ID: <r%d@news.example>

Article %d.
""" % (group, subject, number, number, number)

write("redirected.news", mbox(
    article("comp.lang.c.moderated", 1, "Moderated first"),
    article("comp.lang.c", 2, "Own group"),
    article("comp.lang.c.moderated", 3, "Moderated again"),
))
