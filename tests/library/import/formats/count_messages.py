#!/usr/bin/env python3
"""Counts the distinct messages Python's mailbox and email packages read
from the sample corpora, for the corpus comparison test.

    count_messages.py ROOT mbox PATH...     one Unix mailbox per PATH
    count_messages.py ROOT files PATH...    a folder of single-message files

PATHs are relative to ROOT. Prints one line per PATH: the PATH, a tab and
the count. A message counts when it has at least one header field (a
mailbox part without any is no message). Messages count once when they are
the same mail: the same sender address, subject, date (to the minute, the
zone not applied) and text (the first text part, decoded: UTF-8 when it
reads as such, else the declared charset or Windows-1252; line ends and
trailing white space aside).
"""
import email
import email.header
import email.utils
import mailbox
import os
import sys


def decoded_header(value):
    if value is None:
        return ""
    try:
        return str(email.header.make_header(email.header.decode_header(str(value)))).strip()
    except Exception:
        return str(value).strip()


def text_of(message):
    for part in message.walk():
        if part.get_content_maintype() != "text":
            continue
        data = part.get_payload(decode=True) or b""
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            try:
                text = data.decode(part.get_content_charset() or "cp1252", "replace")
            except LookupError:
                text = data.decode("cp1252", "replace")
        return text.replace("\r\n", "\n").rstrip()
    return ""


def minute(message):
    try:
        parsed = email.utils.parsedate_tz(str(message.get("Date", "") or ""))
    except Exception:
        parsed = None
    return parsed[:5] if parsed else None


def key(message):
    sender = email.utils.parseaddr(decoded_header(message.get("From")))[1].lower()
    return (minute(message), sender, decoded_header(message.get("Subject")), text_of(message))


def count(messages):
    return len({key(m) for m in messages if len(m.keys()) > 0})


def mbox_messages(path):
    box = mailbox.mbox(path, create=False)
    return [email.message_from_bytes(box.get_bytes(k)) for k in box.keys()]


def folder_messages(path):
    messages = []
    for folder, _, names in os.walk(path):
        for name in sorted(names):
            if name != "SOURCES.md":
                with open(os.path.join(folder, name), "rb") as f:
                    messages.append(email.message_from_bytes(f.read()))
    return messages


def main():
    root, kind, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    read = mbox_messages if kind == "mbox" else folder_messages
    for path in paths:
        print("%s\t%d" % (path, count(read(os.path.join(root, path)))))


if __name__ == "__main__":
    main()
