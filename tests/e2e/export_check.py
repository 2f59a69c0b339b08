#!/usr/bin/env python3
"""Checks the exports of venue_log.py --hostile: no binding of any file in FOLDER holds an address or card
address the log's seats were left out for, each of them is named on the console with the column that is
wrong, the name that differs only in case is in no file that needs unique names, and the table offers no
key that is no card's. Usage: export_check.py FOLDER EXPECTED CONSOLE
  EXPECTED  venue_log.py --hostile's output (the seats a server gets, then NUMBER<TAB>WORDS<TAB>VALUE lines)
  CONSOLE   the console's output of every /export and /table, in UTF-8
Prints what is wrong, one line each; exits 1 when anything is."""
import re
import sys

# The bindings of each file: (IP, card address as six lowercase hex pairs joined by ':').
PATTERNS = {
    'VexaIpSet-dnsmasq.conf': r'^dhcp-host=([0-9a-f:]{17}),([0-9.]+)',
    'VexaIpSet-dhcpd.conf': r'hardware ethernet ([0-9a-f:]{17});\s+fixed-address ([0-9.]+);',
    'VexaIpSet-dhcpd-hosts.conf': r'hardware ethernet ([0-9a-f:]{17});\s+fixed-address ([0-9.]+);',
    'VexaIpSet-kea.json': r'"hw-address": "([0-9a-f:]{17})", "ip-address": "([0-9.]+)"',
    'VexaIpSet-kea-reservations.json': r'"hw-address": "([0-9a-f:]{17})", "ip-address": "([0-9.]+)"',
    'VexaIpSet-netsh.bat': r'reservedip ([0-9.]+) ([0-9a-fA-F]{12})',
    'VexaIpSet-arp.bat': r'add neighbors "%~1" ([0-9.]+) ([0-9a-fA-F-]{17})',
    'VexaIpSet-arp.sh': r'ip neigh replace ([0-9.]+) lladdr ([0-9a-f:]{17})',
}


def mac_of(text):
    hexes = re.sub('[^0-9a-fA-F]', '', text).lower()
    return ':'.join(hexes[i:i + 2] for i in range(0, 12, 2))


def bindings(folder, name):
    with open('%s/%s' % (folder, name), encoding='utf-8', errors='replace') as f:
        text = f.read()
    found = []
    for m in re.finditer(PATTERNS[name], text, re.M):
        a, b = m.groups()
        ip, mac = (b, a) if '.' in b else (a, b)
        found.append((ip, mac_of(mac)))
    return text, found


def main(folder, expected_file, console_file):
    with open(expected_file) as f:
        lines = f.read().split('\n')
    count, left = int(lines[0]), [l.split('\t') for l in lines[1:] if l]
    with open(console_file, encoding='utf-8', errors='replace') as f:
        console = f.read()
    wrong = []
    for name in PATTERNS:
        text, found = bindings(folder, name)
        named = not name.startswith('VexaIpSet-arp')
        if len(found) != count + (0 if named else 1):
            wrong.append('%s: %d bindings, not %d' % (name, len(found), count + (0 if named else 1)))
        ips, macs = {ip for ip, _ in found}, {mac for _, mac in found}
        for number, _, value in left:
            if value in ips or ('-' in value and mac_of(value) in macs):
                wrong.append('%s: seat %s bound with %s' % (name, number, value))
        if named and re.search(r'^(?!#|rem )[^\n]*\b1f-30\b', text, re.M):
            wrong.append('%s: the name that differs only in case is in the file' % name)
    for number, words, value in left:
        if not re.search(r'没有导出机号 %s: [^\r\n]*%s[^\r\n]*%s' % (number, re.escape(value), re.escape(words)),
                         console):
            wrong.append('the console does not name seat %s with "%s %s"' % (number, value, words))
    if '没有导出机号 31: 计算机名只有大小写不同: 机号 30 和 31(1f-30)' not in console:
        wrong.append('the console does not name seat 31 left out for its name')
    if '跳过了日志中无法信任的 1 行' not in console:
        wrong.append('the console does not name the malformed line as skipped')
    for key in ('FF-FF-FF-FF-FF-FF', '01-00-5E-00-00-0A', '00-00-00-00-00-00'):
        if re.search('^%s=' % key, console, re.M):
            wrong.append('/table offers %s as a [Machines] line' % key)
        if '没有列出 %s' % key not in console:
            wrong.append('/table does not name %s as left out' % key)
    for line in wrong:
        print(line)
    return 1 if wrong else 0


sys.exit(main(*sys.argv[1:]))
