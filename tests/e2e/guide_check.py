#!/usr/bin/env python3
"""The operator's guide cannot fall behind the tool: it is UTF-8 with a byte-order mark and CR LF line ends
(what Notepad opens right on Windows 7), names every switch that the usage (/?) names, and lists every exit
code of the README's tables as a line of its own ("  N  meaning").

Usage: guide_check.py GUIDE USAGE README. Prints what is missing; exit 0 when nothing is.
"""

import re
import sys


def main(guide_path, usage_path, readme_path):
    raw = open(guide_path, "rb").read()
    problems = []
    if not raw.startswith(b"\xef\xbb\xbf"):
        problems.append("the guide has no UTF-8 byte-order mark")
    if raw.count(b"\n") != raw.count(b"\r\n"):
        problems.append("the guide has line ends other than CR LF")
    guide = raw.decode("utf-8-sig")
    usage = open(usage_path, encoding="utf-8").read()
    switches = sorted(set(re.findall(r"(?<![\w/])/(?:[a-z]+|\?)", usage)))
    if len(switches) < 5:
        problems.append(f"the usage names too few switches to be read right: {switches}")
    problems += [f"the guide does not name {s}" for s in switches if not re.search(re.escape(s) + r"(?![a-z])", guide)]
    codes = sorted(set(re.findall(r"^\| (\d+) \|", open(readme_path, encoding="utf-8").read(), re.M)), key=int)
    if not codes:
        problems.append("no exit code found in the README's tables")
    problems += [f"the guide does not list exit code {c}" for c in codes if not re.search(rf"^\s+{c}  \S", guide, re.M)]
    for p in problems:
        print(p)
    print(f"switches of /?: {' '.join(switches)}; exit codes of the README: {' '.join(codes)}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
