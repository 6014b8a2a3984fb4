#!/usr/bin/env python3
# Writes people.dbf: a small dBase III table with a column of each kind the
# reader knows (character, number, date, logical) and awkward values.
import os
import struct

fields = [(b"NAME", b"C", 20, 0), (b"COUNT", b"N", 5, 0), (b"WHEN", b"D", 8, 0), (b"OK", b"L", 1, 0)]
rec_len = 1 + sum(f[2] for f in fields)
hdr_len = 32 + 32 * len(fields) + 1
rows = [(b"Ann Smith", b"   12", b"19950519", b"T"), (b"Caf\xe9", b"  -3", b"        ", b"?")]
out = struct.pack("<BBBBIHH20x", 3, 95, 5, 19, len(rows), hdr_len, rec_len)
for name, typ, length, dec in fields:
    out += struct.pack("<11sc4xBB14x", name, typ, length, dec)
out += b"\r"
for row in rows:
    out += b" " + b"".join(v.ljust(f[2]) for v, f in zip(row, fields))
out += b"\x1a"
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "people.dbf"), "wb") as f:
    f.write(out)
