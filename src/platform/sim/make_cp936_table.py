#!/usr/bin/env python3
"""Writes cp936.tbl, the code page 936 table of the simulated Windows, from the NLS file Wine ships
(Wine builds it from Microsoft's published code-page data, best-fit mappings included).

Usage: make_cp936_table.py [c_936.nls] [cp936.tbl]

cp936.tbl, all little-endian 16-bit words:
  256 words          what each single byte means (0 for a lead byte)
  126 x 256 words    what lead byte 0x81..0xFE followed by each byte means (0x003F where undefined)
  1 word N, then N pairs (character, code)
                     characters that map to a code other than the one that maps back to them (best fit)
"""
import struct
import sys

source = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/wine/nls/c_936.nls"
target = sys.argv[2] if len(sys.argv) > 2 else __file__.rsplit("/", 1)[0] + "/cp936.tbl"
data = open(source, "rb").read()


def word(index):
    return struct.unpack_from("<H", data, index * 2)[0]


header = word(0)
assert word(1) == 936, "not the code page 936 table"
single = [word(header + 1 + b) for b in range(256)]
offsets_at = header + 1 + 256 + (1 + (256 if word(header + 1 + 256) else 0)) + 1
offsets = [word(offsets_at + b) for b in range(256)]
wide_at = header + word(header)
to_code = [word(wide_at + 1 + c) for c in range(65536)]

out = [single[b] if not offsets[b] else 0 for b in range(256)]
back = {}
for b in range(256):
    if not offsets[b]:
        back.setdefault(single[b], b)
for lead in range(0x81, 0xFF):
    assert offsets[lead], "0x81..0xFE are the lead bytes"
    for trail in range(256):
        char = word(offsets_at + offsets[lead] + trail)
        out.append(char)
        if char != 0x3F:
            back.setdefault(char, lead << 8 | trail)
best_fit = [(c, to_code[c]) for c in range(65536) if to_code[c] != 0x3F and back.get(c) != to_code[c]]
out.append(len(best_fit))
for char, code in best_fit:
    out += [char, code]
with open(target, "wb") as f:
    f.write(struct.pack("<%dH" % len(out), *out))
print("%s: %d bytes, %d best-fit characters" % (target, 2 * len(out), len(best_fit)))
