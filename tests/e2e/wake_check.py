#!/usr/bin/env python3
"""Checks a /wake capture (wake_capture.py's lines): each SEAT=MAC woken with its magic packet (six 0xFF
bytes, the address sixteen times) three times to each of the BROADCASTS, seat after seat PER_SECOND a second
(a seat's first packet at least 1/PER_SECOND s - 30 ms after the one before), and nothing else.
Usage: wake_check.py CAPTURE PER_SECOND BROADCASTS SEAT=MAC...  (BROADCASTS: comma-separated). Prints the
figures; the problems, one line each; exits 1 when there is any."""
import json
import sys


def main(capture, per_second, broadcasts, *seats):
    lines = [json.loads(l) for l in open(capture) if l.strip()]
    problems = []
    firsts = []
    seen = set()
    for seat in seats:
        number, mac = seat.split('=')
        packet = 'ff' * 6 + mac.replace('-', '').replace(':', '').lower() * 16
        mine = [l for l in lines if l['payload'] == packet]
        seen.update(id(l) for l in mine)
        for dst in broadcasts.split(','):
            n = sum(1 for l in mine if l['dst'] == dst)
            if n != 3:
                problems.append('seat %s: %d packets to %s, not 3' % (number, n, dst))
        firsts.append((number, min(l['t'] for l in mine) if mine else None))
    others = [l for l in lines if id(l) not in seen]
    if others:
        problems.append('%d datagrams to port 9 that wake no asked seat' % len(others))
    gaps = []
    for (a, ta), (b, tb) in zip(firsts, firsts[1:]):
        if ta is None or tb is None:
            continue
        gaps.append(tb - ta)
        if tb - ta < 1.0 / float(per_second) - 0.03:
            problems.append('seat %s sent %.0f ms after seat %s' % (b, (tb - ta) * 1000, a))
    print('%d datagrams, %d seats, gaps %s ms' % (len(lines), len(seats),
                                                   ', '.join('%.0f' % (g * 1000) for g in gaps)))
    for p in problems:
        print(p)
    return 1 if problems else 0


sys.exit(main(*sys.argv[1:]))
