#!/usr/bin/env python3
"""Captures what /wake sends: every UDP datagram to port 9 that crosses DEVICE (the far end of a veth pair)
for SECONDS, one JSON line each: arrival time (s), source and destination address, the payload in hex.
Usage: wake_capture.py DEVICE SECONDS OUT  (writes "ready" to OUT.ready once listening)."""
import json
import socket
import struct
import sys
import time

ETH_P_ALL = 0x0003


def main(device, seconds, out):
    s = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(ETH_P_ALL))
    s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)  # a burst of thousands of frames is kept
    s.bind((device, 0))
    s.settimeout(0.2)
    with open(out + '.ready', 'w') as f:
        f.write('ready\n')
    end = time.monotonic() + float(seconds)
    with open(out, 'w') as f:
        while time.monotonic() < end:
            try:
                frame = s.recv(65536)
            except socket.timeout:
                continue
            if len(frame) < 42 or frame[12:14] != b'\x08\x00' or frame[23] != 17:
                continue
            ihl = (frame[14] & 0x0F) * 4
            udp = 14 + ihl
            port = struct.unpack('!H', frame[udp + 2:udp + 4])[0]
            if port != 9:
                continue
            f.write(json.dumps({'t': time.monotonic(), 'src': socket.inet_ntoa(frame[26:30]),
                                'dst': socket.inet_ntoa(frame[30:34]), 'payload': frame[udp + 8:].hex()}) + '\n')
            f.flush()
    return 0


sys.exit(main(*sys.argv[1:4]))
