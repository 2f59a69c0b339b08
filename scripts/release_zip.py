#!/usr/bin/env python3
"""Writes the release zip the same, byte for byte, from the same files.

Usage: release_zip.py OUT.zip EPOCH NAME=PATH...

The entries go in the order given, each with the time EPOCH (seconds since 1970, UTC: the commit's time),
no attributes beyond an MS-DOS file's, and deflated at level 9. A name outside ASCII is stored in code page
936 without the UTF-8 flag, because the zip folders of Windows 7 read every name in the system's OEM code
page (936 on a Chinese Windows) and ignore the flag; the same name in UTF-8 goes into an Info-ZIP Unicode
Path field (0x7075), which 7-Zip, WinRAR and unzip read instead.
"""

import struct
import sys
import time
import zlib


def dos_time(epoch):
    t = time.gmtime(max(epoch, 315532800))  # a zip's time starts in 1980
    return (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2), ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday


def name_fields(name):
    """The name's bytes in the header and the extra field that carries it in UTF-8 when they differ."""
    try:
        return name.encode("ascii"), b""
    except UnicodeEncodeError:
        stored = name.encode("gbk")
        utf8 = name.encode("utf-8")
        field = struct.pack("<BI", 1, zlib.crc32(stored)) + utf8
        return stored, struct.pack("<HH", 0x7075, len(field)) + field


def write_zip(out, epoch, entries):
    clock, day = dos_time(epoch)
    body = bytearray()
    directory = bytearray()
    for name, data in entries:
        stored_name, extra = name_fields(name)
        packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
        packed = packer.compress(data) + packer.flush()
        crc = zlib.crc32(data)
        offset = len(body)
        common = struct.pack("<HHHHHIII", 20, 0, 8, clock, day, crc, len(packed), len(data))
        body += b"PK\x03\x04" + common + struct.pack("<HH", len(stored_name), len(extra)) + stored_name + extra
        body += packed
        directory += b"PK\x01\x02" + struct.pack("<H", 20) + common
        directory += struct.pack("<HHHHHII", len(stored_name), len(extra), 0, 0, 0, 0, offset)
        directory += stored_name + extra
    end = struct.pack("<4sHHHHIIH", b"PK\x05\x06", 0, 0, len(entries), len(entries), len(directory), len(body), 0)
    with open(out, "wb") as f:
        f.write(bytes(body) + bytes(directory) + end)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    entries = []
    for item in argv[3:]:
        name, path = item.split("=", 1)
        with open(path, "rb") as f:
            entries.append((name, f.read()))
    write_zip(argv[1], int(argv[2]), entries)


if __name__ == "__main__":
    main(sys.argv)
