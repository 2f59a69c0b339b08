#!/usr/bin/env python3
"""Puts the exports for a server that declares its subnets where an operator puts them: a dhcpd.conf that
declares the subnets of VexaIpSet-dhcpd.conf and includes VexaIpSet-dhcpd-hosts.conf, and a kea-dhcp4
configuration of the same subnets with each block of VexaIpSet-kea-reservations.json pasted into its subnet4.
Usage: paste_exports.py FOLDER OUT  (writes OUT-dhcpd.conf and OUT-kea.json; exits 1 when a block names no
subnet the configuration has)."""
import json
import re
import sys


def main(folder, out):
    with open('%s/VexaIpSet-dhcpd.conf' % folder, encoding='utf-8') as f:
        subnets = re.findall(r'^subnet ([0-9.]+) netmask ([0-9.]+) \{', f.read(), re.M)
    with open(out + '-dhcpd.conf', 'w') as f:
        f.write('authoritative;\n')
        for network, mask in subnets:
            f.write('subnet %s netmask %s {\n}\n' % (network, mask))
        f.write('include "%s/VexaIpSet-dhcpd-hosts.conf";\n' % folder)
    with open('%s/VexaIpSet-kea-reservations.json' % folder, encoding='utf-8') as f:
        text = f.read()
    with open('%s/VexaIpSet-kea.json' % folder, encoding='utf-8') as f:
        prefixes = re.findall(r'"subnet": "([0-9./]+)"', f.read())
    entries = []
    for i, prefix in enumerate(prefixes):
        m = re.search(r'^# subnet4 "%s"\n(.*?\n\])\n' % re.escape(prefix), text, re.M | re.S)
        if not m:
            print('no reservations for %s' % prefix)
            return 1
        entries.append('{ "id": %d, "subnet": "%s", %s }' % (i + 1, prefix, m.group(1)))
    with open(out + '-kea.json', 'w') as f:
        f.write('{ "Dhcp4": { "valid-lifetime": 4000, "subnet4": [\n%s\n] } }\n' % ',\n'.join(entries))
    # The pasted text is JSON a person could have typed: the whole must parse.
    json.loads(open(out + '-kea.json').read())
    return 0


sys.exit(main(*sys.argv[1:]))
