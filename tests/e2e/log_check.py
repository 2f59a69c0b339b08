#!/usr/bin/env python3
"""Checks a shared log as the server keeps it: every number FIRST..LAST has exactly one whole line with
exit code 0, and nothing else is in VexaIpSet.log and VexaIpSet.log.old. Usage: log_check.py FOLDER FIRST
LAST. Prints one line saying what it found; exits 1 when the log is not so."""
import os
import re
import sys


def lines_of(path):
    if not os.path.exists(path):
        return []
    text = open(path, 'rb').read().decode('utf-8-sig', errors='replace')
    parts = text.split('\r\n')
    if parts and parts[-1] == '':
        parts.pop()
    return parts


def main():
    folder, first, last = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    counts = {}
    others = []
    for name in ('VexaIpSet.log.old', 'VexaIpSet.log'):
        for line in lines_of(os.path.join(folder, name)):
            number = re.search(r'\t机号=(\d+)\t', line)
            code = re.search(r'\t退出码=(\d+)(\t|$)', line)
            if number and code and code.group(1) == '0' and line.count('\t') >= 9:
                counts[int(number.group(1))] = counts.get(int(number.group(1)), 0) + 1
            else:
                others.append(line[:120])
    wanted = range(first, last + 1)
    missing = [n for n in wanted if counts.get(n, 0) == 0]
    twice = [n for n in wanted if counts.get(n, 0) > 1]
    strays = [n for n in counts if n < first or n > last]
    if not missing and not twice and not strays and not others:
        print(f'{last - first + 1} lines, every number once')
        return 0
    print(f'missing {missing[:10]} ({len(missing)}), twice {twice[:10]} ({len(twice)}), '
          f'strays {strays[:10]}, other lines {len(others)}: {others[:3]}')
    return 1


sys.exit(main())
