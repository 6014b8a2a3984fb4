#!/usr/bin/env python3
"""Writes the small sample files of the mail and news format tests.

Every file is written by this script, so the binary layouts (folder records,
cache records, block chains) can be read here. Run it from anywhere; it
writes next to itself:

    python3 tests/data/make_mail_news_samples.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    path = os.path.join(HERE, folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def b(text, eol="\r\n"):
    """Text as Latin-1 bytes (UTF-8 where the text asks for it) with line ends."""
    if eol == "\r\n":
        text = crlf(text)
    return text.encode("latin-1")


# --- the mail every mail format carries --------------------------------------

MAIL_1 = """Return-Path: <anna@example.com>
Received: from mx.example.com by home.example with SMTP; Mon, 3 Mar 1997 10:15:30 +0100
Message-ID: <m1@example.com>
Date: Mon, 3 Mar 1997 10:15:00 +0100
From: "Anna Miller" <anna@example.com>
To: Me <me@home.example>
Subject: Lunch on Friday

Shall we meet at noon?
Anna
"""

MAIL_2 = """Message-ID: <m2@example.org>
Date: Tue, 4 Mar 1997 08:00:00 -0500
From: Bob Jones <bob@example.org>
To: me@home.example
Subject: Re: Lunch on Friday
MIME-Version: 1.0
Content-Type: text/plain; charset=iso-8859-1
Content-Transfer-Encoding: quoted-printable

The caf=E9 costs =3D 5 Euro and is re=
ally good.
=46rom there it is close.
Bob
"""

MAIL_3 = """Message-ID: <m3@home.example>
Date: Wed, 5 Mar 1997 18:30:45 +0000
From: me@home.example
To: "Anna Miller" <anna@example.com>
Subject: =?UTF-8?B?R3LDvMOfZQ==?= =?UTF-8?Q?_aus_Z=C3=BCrich?=
MIME-Version: 1.0
Content-Type: multipart/alternative; boundary="b1"

This is a multi-part message in MIME format.

--b1
Content-Type: text/plain; charset=utf-8
Content-Transfer-Encoding: base64

R3LDvMOfZSBhdXMgWsO8cmljaCEK

--b1
Content-Type: text/html

<html><body>HTML part</body></html>
--b1--
"""

MAILS = [MAIL_1, MAIL_2, MAIL_3]


# --- Eudora ------------------------------------------------------------------

def eudora():
    mbox = b""
    starts = []
    for i, m in enumerate(MAILS):
        starts.append(len(mbox))
        mbox += b("From ???@??? Mon Mar 03 10:15:0%d 1997\n" % i + m + "\n")
    write("eudora", "In.mbx", mbox)
    write("eudora", "All.mbx", mbox)  # no table of contents
    # Table of contents listing the first and the third message: a header,
    # then one summary per message whose offset stands 38 bytes after the
    # start of a run of six 0xFF bytes.
    toc = b"\x31\x00" + b"In".ljust(30, b"\x00") + b"\x00" * 20 + b"\xff" * 10 + b"\x01"
    for offset in (starts[0], starts[2]):
        summary = b"\x00" * 8 + b"\xff" * 6 + b"\x00" * 32 + struct.pack("<I", offset) + b"\x00" * 40
        toc += summary
    write("eudora", "In.toc", toc)


# --- IE Mail and Outlook Express 4 Mail ---------------------------------------

UNDECLARED = """Date: Thu, 6 Mar 1997 09:00:00 +0100
From: Carl Weber <carl@example.net>
To: me@home.example
Subject: Soft breaks

This line was broken by the sender's softw=
are and is one line.
A blank before the break stays:=20
here.
Equations: a =3D b keep their escapes.
"""


def ie_mail():
    data = b"JMF6" + b"\x00" * 12
    for number, m in enumerate(MAILS + [UNDECLARED], start=1):
        text = b(m)
        record = b"\x7f\x00\x7f\x00" + struct.pack("<III", number, len(text), 0) + text
        record += b"\x00" * (-len(record) % 16)
        data += record
    write("ie-mail", "Inbox.mbx", data)


# --- the news every news format carries ----------------------------------------

ARTICLE_1 = """From: Dave Young <dave@news.example>
Newsgroups: comp.lang.c
Subject: Pointer question
Date: 7 Mar 1997 11:00:00 GMT
Message-ID: <n1@news.example>
Lines: 2

Why does this crash?
char *p; *p = 1;
"""

ARTICLE_2 = """From: Ellen Klein <ellen@news.example>
Newsgroups: alt.test,comp.lang.c
Subject: Re: Pointer question
Date: Sat, 8 Mar 1997 12:30:00 +0100
Message-ID: <n2@news.example>
References: <n1@news.example>
Lines: 3

> Why does this crash?

p points nowhere.
"""

ARTICLE_3 = """From: Dave Young <dave@news.example>
Newsgroups: comp.lang.c
Subject: Style guide
Date: 9 Mar 1997 08:00:00 GMT
Message-ID: <n3@news.example>

Read K&R first.
From: a quoted line that is no header
"""

ARTICLES = [ARTICLE_1, ARTICLE_2, ARTICLE_3]


def news_cache(folder, name, articles):
    data = b"NCH\x00" + b"\x00" * 60
    for i, a in enumerate(articles):
        msgid = a.split("Message-ID: ")[1].split("\n")[0]
        record = b"\xbc" + bytes(range(1, 22)) + msgid.encode() + b"\x00" * 3 + b(a)
        data += record + b"\x00" * (32 + i)
    write(folder, name, data)


NETSCAPE_ARTICLES = [
    ARTICLE_1.replace("Dave Young <dave@news.example>", "Fred Bloggs 76543,210"),
    ARTICLE_2,
]


# --- Outlook Express 5 ----------------------------------------------------------

class Dbx:
    def __init__(self):
        self.data = bytearray(b"\xcf\xad\x12\xfe" + b"\x00" * 0x24B8)

    def align(self):
        self.data += b"\x00" * (-len(self.data) % 4)

    def block(self, payload, nxt=0, size=512, at=None):
        """A block at `at` (or the end); returns its position."""
        if at is None:
            self.align()
            at = len(self.data)
        header = struct.pack("<IIII", at, size, len(payload), nxt)
        body = header + payload + b"\x00" * (512 - len(payload))
        if at >= len(self.data):
            self.data += b"\x00" * (at - len(self.data)) + body
        else:
            self.data[at:at + len(body)] = body
        return at

    def reserve(self):
        self.align()
        at = len(self.data)
        self.data += b"\x00" * 528
        return at

    def chain(self, text, order=None):
        """Writes `text` as a chain of blocks in the given order of slots."""
        pieces = [text[i:i + 512] for i in range(0, len(text), 512)]
        slots = [self.reserve() for _ in pieces]
        if order:
            slots = [slots[k] for k in order]
        for k, piece in enumerate(pieces):
            nxt = slots[k + 1] if k + 1 < len(pieces) else 0
            self.block(piece, nxt, at=slots[k])
        return slots[0]


def dbx():
    mail = Dbx()
    # An index node: its first field is its position too, but it is no
    # message block (size field not 512).
    mail.align()
    at = len(mail.data)
    mail.data += struct.pack("<IIII", at, 0x27C, 0, 0) + b"\x00" * 0x27C
    mail.chain(b(MAIL_1))
    mail.chain(b(MAIL_2.replace("Bob\n", "Bob\n" + "A longer line of text to fill blocks.\n" * 30)))
    # A message whose chain jumps over a block of another kind: a sound
    # block holding text that starts no message ("-FilePos=").
    text = b(UNDECLARED + "More text.\n" * 40)
    first, middle, last = mail.reserve(), mail.reserve(), mail.reserve()
    mail.block(text[:512], last, at=first)
    mail.block(b"rest of a message that was deleted\r\n", at=middle)
    mail.block(text[512:1024], at=last)
    # A message whose second block points 100 bytes past its own start: the
    # chain breaks ("+FilePos=").
    first, second = mail.reserve(), mail.reserve()
    mail.block(b(MAIL_3)[:512], second, at=first)
    mail.block(b(MAIL_3)[512:1024], second + 100, at=second)
    write("oe5-dbx", "Inbox.dbx", bytes(mail.data))

    news = Dbx()
    for a in ARTICLES:
        news.chain(b(a))
    write("oe5-dbx", "comp.lang.c.dbx", bytes(news.data))


# --- Pegasus ---------------------------------------------------------------------

def pegasus():
    data = b""
    for m in MAILS:
        data += b(m) + b"\x1a"
    write("pegasus", "Folder.pmm", data)


# --- Generic Mail Type 1, Becky Mail, Agent Mail ---------------------------------

QUOTING = """Date: Fri, 7 Mar 1997 07:45:00 +0100
From: Dora Lange <dora@example.com>
To: me@home.example
Subject: Forwarded note

Look at this:

From: someone@else.example
wrote something worth keeping.

Dora
"""


def generic_1():
    data = b(MAIL_1) + b(QUOTING) + b"\x00\x00\x1a" + b(MAIL_2) + b("\n") + b(MAIL_3)
    write("generic-mail-1", "Mail.txt", data)


# --- Generic Mail Type 2 and Netscape Mail ----------------------------------------

def mailbox():
    text = ""
    for i, m in enumerate(MAILS):
        text += "From anna@example.com Mon Mar  3 10:15:0%d 1997\n" % i + m
        if i == 0:
            text += ">From the mailbox: this line was escaped.\n"
        text += "\n"
    write("generic-mail-2", "inbox.mbox", text.encode("latin-1"))
    netscape = ""
    for m in MAILS:
        netscape += "From - Mon Mar 03 10:15:00 1997\nX-Mozilla-Status: 0001\n" + m + "From the desk of Anna\n\n"
    write("netscape-mail", "Inbox", b(netscape))


# --- Unix News and Agent News -------------------------------------------------------

def unix_news():
    text = ""
    for a in ARTICLES:
        text += "From dave@news.example Fri Mar  7 11:00:00 1997\n" + a
    # A "From " line without an "@" and one longer than 100 characters do not
    # separate articles.
    text = text.replace("Read K&R first.\n", "Read K&R first.\nFrom the book, chapter 5.\n"
                        "From dave@news.example " + "x" * 100 + "\n")
    write("unix-news", "comp.lang.c.txt", text.encode("latin-1"))

    agent = ""
    for a in ARTICLES:
        agent += "========\r\nFrom dave@news.example Fri Mar 07 11:00:00 1997\r\n" + crlf(a)
    write("agent-news", "comp.lang.c.txt", agent.encode("latin-1"))


# --- VirtualAccess -------------------------------------------------------------------

def virtual_access():
    forum = """==========
PHOTOFORUM/S3_Cameras #123456, from Fred Bloggs, 1234 chars, 12 Mar 97 10:22
----------
Subject: Lens advice
From: Fred Bloggs 76543,210
To: All

Which lens for portraits?
"""
    comment = """==========
photoforum/S3_Cameras #123460, from Gina Wolf, 800 chars, 13 Mar 1997 09:00
Comment to 123456
----------
Subject: Re: Lens advice
From: Gina Wolf 71234,567
To: Fred Bloggs 76543,210

An 85 mm lens.
"""
    mail = """==========
Mail from Hans Becker
----------
From: Hans Becker 70000,123
To: You
Date: 14 Mar 1997 15:10:00
Subject: Our meeting

See you at three.
"""
    sent = """==========
Mail to Hans Becker
----------
From: You
To: Hans Becker 70000,123
Date: 14 Mar 1997 16:00:00
Subject: Re: Our meeting

Fine.
"""
    article = """==========
comp.lang.c #1
----------
From: Dave Young <dave@news.example>
Newsgroups: comp.lang.c
Subject: Pointer question
Date: 7 Mar 1997 11:00:00 GMT
Message-ID: <n1@news.example>

Why does this crash?
"""
    broken = """==========
No rule line follows this title
Subject: lost
From: nobody
"""
    write("virtual-access", "Messages", (forum + comment + mail + sent + article + broken).encode("latin-1"))


# --- Gravity ---------------------------------------------------------------------------

def gravity():
    data = b""
    for a in ARTICLES:
        data += b(a) + b("\n")
    write("gravity", "comp.lang.c.txt", data)


# --- broken files ------------------------------------------------------------------------

def broken():
    whole = b(MAIL_1 + "\n", "\n")
    write("broken", "truncated.mbox", b"From anna@example.com Mon Mar 3 10:15:00 1997\n" + whole[:60])
    write("broken", "header-only.mbox", b"From anna@example.com Mon Mar 3 10:15:00 1997\n" +
          b"From: Anna <anna@example.com>\nSubject: No body\nDate: 3 Mar 1997 10:15:00")
    garbage = bytearray()
    state = 12345
    for _ in range(20000):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        garbage.append((state >> 16) & 0xFF)
    # Markers of every family, and stray header names, inside the garbage.
    garbage[100:103] = b"\x7f\x00\x7f"
    garbage[5000:5001] = b"\xbc"
    garbage[5022:5023] = b"<"
    garbage[9000:9014] = b"\nFrom: x@y\n"[:14].ljust(14, b"\x00")
    garbage[12000:12012] = b"\nFrom a@b c\n"
    write("broken", "garbage.bin", bytes(garbage))
    write("broken", "empty.mbox", b"")


if __name__ == "__main__":
    eudora()
    ie_mail()
    news_cache("ie-news", "comp.lang.c.nch", ARTICLES)
    news_cache("netscape-news", "comp.lang.c.snm", NETSCAPE_ARTICLES)
    dbx()
    pegasus()
    generic_1()
    mailbox()
    unix_news()
    virtual_access()
    gravity()
    broken()
