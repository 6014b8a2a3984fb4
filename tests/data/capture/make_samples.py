#!/usr/bin/env python3
# Writes the capture sample files of the importer tests: one forum file and
# one mail file for every capture format, and the broken ones. The files are
# kept in the repository; run this only to change them.
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, lines, codepage, end="\r\n", tail=b""):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(end.join(lines).encode(codepage) + end.encode() + tail)


# TAPCIS 6.x and AUTOSIG forum messages: a thread of three, a second section,
# a one-digit day with a German month, names in code page 850, a read mark.
tapcis6_forum = [
    "Captured on 12-Nov-85",
    "",
    "#: 153121 S1/General",
    "    10-Nov-85  16:47:35",
    "Sb: NULU15 buggy",
    "Fm: John Deakin 74015,1624",
    "To: All",
    "",
    "",
    "Just grabbed NULU15 off the forum this morning.",
    "",
    "Second paragraph.",
    "",
    "",
    "#: 153183 S1/General",
    "    11-Nov-85  08:18:48",
    "Sb: #153121-NULU15 buggy",
    "Fm: Charles Hart 72755,500",
    "To: John Deakin 74015,1624 (X)",
    "",
    "Well, the NULU bug has not been fixed.",
    "#: 153200 S12/Hardware Help",
    "     9-Dez-85  10:00:00",
    "Sb: #Kaypro BIOS",
    "Fm: Jörg Müller [76543,210]",
    "To: Sysop 70000,1",
    "",
    "Ein Fehler im BIOS, größer als gedacht.",
    "",
    "#: 153250 S1/General",
    "    12-Nov-85  12:00:00",
    "Sb: #153183-NULU15 buggy",
    "Fm: John Deakin 74015,1624",
    "To: Charles Hart 72755,500",
    "",
    "Reply to the reply.",
]
write("tapcis6/forum.msg", tapcis6_forum, "cp850")
write("autosig/forum.ato", tapcis6_forum, "cp850")

# TAPCIS 6.x and AUTOSIG mail of the mailbox owned by 71111,222 (alternative
# 72222,333): received, sent from the alternative address, an Internet mail
# with an HTML body.
tapcis6_mail = [
    "#: 1 S1/Inbox",
    "    15-Mar-96  10:22:33",
    "Sb: Meeting next week",
    "Fm: Ann Smith 70000,1",
    "To: Owner 71111,222",
    "",
    "Hi, shall we meet?",
    "",
    "#: 2 S2/Outbox",
    "    16-Mar-96  09:05",
    "Sb: Re: Meeting next week",
    "Fm: Me Myself 72222,333",
    "To: Ann Smith 70000,1",
    "",
    "Yes, Tuesday. Grüße",
    "",
    "#: 3 S1/Inbox",
    "    17-Mar-96  23:59:59",
    "Sb: Newsletter",
    "Fm: Joe Bloggs >INTERNET:Joe@Example.COM",
    "To: Owner 71111,222",
    "",
    "Sender: list@example.com",
    "Received: from mail.example.com",
    "Content-Type: text/html",
    "",
    "<html><body><p>Hello <b>world</b></p></body></html>",
]
write("tapcis6/mail.msg", tapcis6_mail, "cp850")
write("autosig/mail.ato", tapcis6_mail, "cp850")

# TAPCIS 5.x forum messages: "@b" layout marks, the date nine characters
# from position 5.
write("tapcis5/forum.msg", [
    "#: 4700 S3/Utilities@b",
    "    31-Jan-92",
    "Sb: File transfer@b",
    "Fm: Irv Hoff 70000,200@b",
    "To: All@b",
    "",
    "Which protocol do you use?",
    "#: 4711 S3/Utilities@b",
    "    01-Feb-92",
    "Sb: #4700-File transfer@b",
    "Fm: Pete Holsberg 70000,100@b",
    "To: Irv Hoff 70000,200 (X)@b",
    "",
    "XMODEM, of course.",
], "cp850")

# TAPCIS 5.x mail: received (no "To:" line, body one line earlier) and sent
# ("/Outbox"); times of the free shapes.
write("tapcis5/mail.msg", [
    "#: 10 Mail/Inbox",
    "    3-Apr-93 9:15",
    "Sb: Hello there",
    "Fm: Ann Smith 70000,1",
    "",
    "Body received.",
    "#: 11 Mail/Outbox",
    "    04-Apr-93  14:30:10",
    "Sb: Re: Hello there",
    "Fm: Owner 71111,222",
    "To: Ann Smith 70000,1",
    "",
    "Body sent.",
], "cp850")

# OzCIS forum messages: the forum in parentheses, two forums in one file, a
# message without a forum name (the import's forum), German month names.
oz_forum = [
    "#: 98700 S5/Printers (CIS:IBMHW)",
    "    04-Mai-97",
    "Sb: Laser trouble",
    "Fm: Hans Schmidt 100000,1",
    "To: All",
    "",
    "Mein Drucker druckt nicht. Straße frei?",
    "",
    "#: 98765 S5/Printers (CIS:IBMHW)",
    "     5-Mai-97",
    "Sb: #98700-Laser trouble",
    "Fm: Grete Weber 100000,2",
    "To: Hans Schmidt 100000,1",
    "",
    "Toner leer.",
    "",
    "#: 12345 S2/Modems (PCHW)",
    "    07-Okt-97",
    "Sb: Modem speeds",
    "Fm: Bob Jones 70000,2",
    "To: All",
    "",
    "28.8 or 33.6?",
    "",
    "#: 777 S9/Lobby",
    "    01-Jan-98",
    "Sb: No forum named",
    "Fm: Carl Ray 70000,3",
    "To: All",
    "",
    "Goes to the forum of the import.",
]
write("ozcis/forum.msg", oz_forum, "cp850")
write("ozwin1/forum.msg", oz_forum, "cp1252")

# OzCIS and OzWin I mail: "From:" received, "MgTo:" sent.
oz_mail = [
    "Date:  15-Mar-96 10:22",
    "From:  Ann Smith [70000,1]",
    "Subj:  Lunch",
    "",
    "Shall we? Müller comes too.",
    "",
    "Date:  16-Mar-96 11:00",
    "MgTo:  Ann Smith [70000,1]",
    "Subj:  Re: Lunch",
    "",
    "Sure.",
    "",
    "Date:  17-Mar-96 12:00",
    "Fm:    Nobody",
    "Subj:  Not a mail header",
    "",
    "Skipped.",
]
write("ozcis/mail.msg", oz_mail, "cp850")
write("ozwin1/mail.msg", oz_mail, "cp1252")

# OzWin II forum messages: "Par:" on the line after "To:".
write("ozwin2/forum.msg", [
    "#: 500050 S2/Windows (CIS:WINFORUM)",
    "    19-Jun-97",
    "Sb: Setup question",
    "Fm: Bob Jones 70000,2",
    "To: All",
    "",
    "How do I set it up?",
    "#: 500123 S2/Windows (CIS:WINFORUM)",
    "    20-Jun-97",
    "Sb: #500100-Setup question",
    "Fm: Ann Smith 70000,1",
    "To: Bob Jones 70000,2",
    "Par: 500050",
    "Like this.",
], "cp1252")

# OzWin II mail: received mail has one more header line.
write("ozwin2/mail.msg", [
    "Date:  15-Mar-96 10:22",
    "From:  Ann Smith [70000,1]",
    "Subj:  Lunch",
    "To:    Owner",
    "",
    "Shall we?",
    "Date:  16-Mar-96 11:00",
    "MgTo:  Ann Smith [70000,1]",
    "Subj:  Re: Lunch",
    "",
    "Sure.",
], "cp1252")

# GoldenCompass forum messages: CR LF lines, "@b"/"@l" layout codes, line
# feeds inside stored lines.
write("goldencompass/forum.msg", [
    "#: 299 S4/Modems@b",
    "    06-Jul-94",
    "Sb: Baud rates@b",
    "Fm: Bob Jones 70000,2@b",
    "To: All@b",
    "",
    "@lWhat speed?@b",
    "#: 300 S4/Modems@b",
    "    7-Jul-94",
    "Sb: #299-Baud rates@b",
    "Fm: Ann Smith 70000,1@b",
    "To: Bob Jones 70000,2@b",
    "",
    "@lFirst line@b\n@lSecond line@b",
    "Third\nFourth@b",
], "cp1252")

# GoldenCompass mail: the TAPCIS 5.x mail layout; four mails (three per call).
gc_mail = []
for n in range(1, 5):
    gc_mail += [
        "#: %d Mail/Inbox" % n,
        "    0%d-Aug-94 8:0%d" % (n, n),
        "Sb: Mail number %d" % n,
        "Fm: Ann Smith 70000,1",
        "",
        "@lText %d@b" % n,
    ]
gc_mail += [
    "#: 5 Mail/Outbox",
    "    09-Aug-94 18:30:00",
    "Sb: Answer",
    "Fm: Owner 71111,222",
    "To: Bob Jones >INTERNET:bob@example.org",
    "",
    "@lSent text@b",
]
write("goldencompass/mail.msg", gc_mail, "cp1252")

# NavCIS Save format forum messages and mail.
write("navcis/forum.sav", [
    "Subject:  Lenses  Msg Number: 1000",
    "   From:  Bob Jones 70000,2",
    "     To:  All",
    "  Forum:  CIS:PHOTOFORUM Sec: 3-Cameras",
    "   Date:  04-Mar-96",
    "",
    "Which lens?",
    "Subject:  is the lens in the subject line",
    "",
    "Subject:  #1000-#Re: Lenses  Msg Number: 1001",
    "   From:  Ann Smith 70000,1",
    "     To:  Bob Jones 70000,2 (X)",
    "  Forum:  CIS:PHOTOFORUM Sec: 3-Cameras",
    "   Date:  05-Mar-96",
    "",
    "A 50 mm one.",
    "",
    "Subject:  Trains  Msg Number: 20",
    "   From:  Carl Ray 70000,3",
    "     To:  All",
    "  Forum:  Travel Forum Sec: 1-General",
    "   Date:  06-Mar-96",
    "",
    "All aboard.",
], "cp1252")

write("navcis/mail.sav", [
    "Subject:  Photos",
    "   From:  Ann Smith >INTERNET:ann@example.org",
    "     To:  Owner 71111,222",
    "   Date:  05-Mar-96 14:07",
    "",
    "Here they are.",
    "",
    "Subject:  Re: Photos",
    "   From:  Owner 71111,222",
    "     To:  Ann Smith >INTERNET:ann@example.org",
    "   Date:  06-Mar-96 09:30",
    "",
    "Thanks!",
], "cp1252")

# Broken files: a "#:" line without its header lines, a number out of range,
# a number that is no number, a last message cut inside its header.
write("broken/damaged.msg", [
    "#: 123 S1/General",
    "#: 124 S1/General",
    "    10-Nov-85  16:47:35",
    "Sb: Whole message",
    "Fm: Ann Smith 70000,1",
    "To: All",
    "",
    "Body of 124.",
    "#: 9000000 S1/General",
    "    10-Nov-85  16:47:35",
    "Sb: Number too large",
    "Fm: Ann Smith 70000,1",
    "To: All",
    "",
    "Not stored.",
    "#: 12a4 S1/General",
    "    10-Nov-85  16:47:35",
    "Sb: Number not numeric",
    "Fm: Ann Smith 70000,1",
    "To: All",
    "",
    "Not stored.",
    "#: 125 S1/General",
    "    10-Nov-85",
    "Sb: Cut off",
], "cp850")

# A last message whose body ends inside a line, without a line end, and
# CP/M end-of-file padding after it.
path = os.path.join(HERE, "broken/truncated.msg")
with open(path, "wb") as f:
    f.write("\r\n".join([
        "#: 200 S1/General",
        "    10-Nov-85  16:47:35",
        "Sb: First",
        "Fm: Ann Smith 70000,1",
        "To: All",
        "",
        "Body of 200.",
        "#: 201 S1/General",
        "    11-Nov-85  16:47:35",
        "Sb: #200-First",
        "Fm: Bob Jones 70000,2",
        "To: Ann Smith 70000,1",
        "",
        "Body of 201 is cut in the mid",
    ]).encode("cp850") + b"\x1a" * 37)
