#!/usr/bin/env python3
"""A venue of 1,000 seats in four zones, for the end-to-end cases and the benchmark: config.ini (in GBK, as
Notepad on a Chinese Windows saves it) and VexaIpSet.log in FOLDER.

  venue_log.py FOLDER             every seat written once on a card of its own; prints 1000, the seats a
                                  DHCP server gets
  venue_log.py --full FOLDER      the same seats run again and again until VexaIpSet.log and .old are each
                                  just under 1 MB (the benchmark's log)
  venue_log.py --hostile FOLDER   the first floor's seats, some with an address or a card address no machine
                                  could use, two names that differ only in case, a malformed card address, a
                                  name that is no DNS label beside a seat named as its fallback (seat-15);
                                  prints the seats a server gets, then one line per binding left out:
                                  "NUMBER<TAB>WORDS THE CONSOLE NAMES IT WITH<TAB>VALUE NO FILE MAY HOLD"
"""
import sys

# name, first, last, IP, IPOffset, Mask, GateWay, NetPrefix
ZONES = [('一楼', 1, 250, '192.168.0', 0, '255.255.255.0', '192.168.0.254', '1F-'),
         ('二楼', 251, 500, '192.168.1', -250, '255.255.255.0', '192.168.1.254', '2F-'),
         ('三楼', 501, 750, '10.20.0', -500, '255.255.254.0', '10.20.1.254', '3F-'),
         ('包间', 751, 1000, '10.30.0', -750, '255.255.255.0', '10.30.0.254', 'VIP-')]

# number: (IP, card address, words the console says it with); the value no file may hold is the one named.
HOSTILE = {
    2: ('10.0.0.2', None, '不在这个机号按 config.ini 应在的子网中'),
    3: ('192.168.1.5', None, '不在这个机号按 config.ini 应在的子网中'),
    4: ('192.168.0.0', None, '是子网的网络地址'),
    5: ('192.168.0.255', None, '是子网的广播地址'),
    6: ('0.0.0.0', None, '不在这个机号按 config.ini 应在的子网中'),
    7: ('255.255.255.255', None, '不在这个机号按 config.ini 应在的子网中'),
    8: ('224.0.0.8', None, '不在这个机号按 config.ini 应在的子网中'),
    9: ('192.168.0.254', None, '是网关的地址'),
    10: (None, '01-00-5E-00-00-0A', '不是网卡的地址'),
    11: (None, '33-33-00-00-00-0B', '不是网卡的地址'),
    12: (None, '00-00-00-00-00-00', '不是网卡的地址'),
    13: (None, 'FF-FF-FF-FF-FF-FF', '不是网卡的地址'),
}


def config():
    lines = ['; 一座四个区的网吧', '[NetWork]', 'IP=192.168.0', 'Mask=255.255.255.0', 'GateWay=192.168.0.254',
             'DNS=202.102.224.68', 'NetPrefix=WB-', '[Zones]', '; 区名=起始机号-结束机号']
    lines += ['%s=%d-%d' % (z[0], z[1], z[2]) for z in ZONES]
    for name, _, _, ip, offset, mask, gateway, prefix in ZONES:
        lines += ['[%s]' % name, 'IP=' + ip, 'IPOffset=%d' % offset, 'Mask=' + mask, 'GateWay=' + gateway,
                  'NetPrefix=' + prefix]
    return ('\r\n'.join(lines) + '\r\n').encode('gbk')


def zone_of(number):
    return next(z for z in ZONES if z[1] <= number <= z[2])


def card(number):
    return '02-00-00-00-%02X-%02X' % (number >> 8, number & 255)


def line(i, number, address=None, ip=None, host=None):
    _, _, _, prefix, offset, _, _, name_prefix = zone_of(number)
    address = address or card(number)
    ip = ip or '%s.%d' % (prefix, number + offset)
    host = host or '%s%d' % (name_prefix, number)
    outcome = '已是这些设置' if i % 2 else '已写入'
    return ('2026-12-%02d %02d:%02d:%02d\t/auto\t%s\t机号=%d\t计算机名=%s\tIP=%s\t网卡=Intel(R) PRO/1000 MT\t'
            '地址=%s\t未写入=\t退出码=0\t版本=1.2.0\t%s=%d\r\n' %
            (1 + i // 86400 % 28, i // 3600 % 24, i // 60 % 60, i % 60, outcome, number, host, ip, address,
             address, number)).encode('utf-8')


def write(folder, name, lines):
    with open(folder + '/' + name, 'wb') as f:
        f.write(b'\xef\xbb\xbf' + b''.join(lines))


def main():
    mode = sys.argv[1] if sys.argv[1].startswith('--') else ''
    folder = sys.argv[-1]
    with open(folder + '/config.ini', 'wb') as f:
        f.write(config())
    if mode == '--hostile':
        lines, left = [], []
        # Seat 15's name is no DNS label: dhcpd gets a name of the tool's making, never seat 25's.
        hosts = {15: '网吧15', 25: 'seat-15'}
        for n in range(1, 251):
            ip, address, words = HOSTILE.get(n, (None, None, None))
            lines.append(line(n, n, address, ip, hosts.get(n)))
            if words:
                left.append('%d\t%s\t%s' % (n, words, ip or address))
        lines.append(line(300, 31, host='1f-30'))  # 1F-30 in other letters: one name to Windows
        lines.append(line(301, 14).replace(card(14).encode(), b'02000000000E'))  # no line of the tool's
        write(folder, 'VexaIpSet.log', lines)
        print(250 - len(HOSTILE) - 1)
        print('\n'.join(left))
        return
    if mode == '--full':
        for name in ('VexaIpSet.log.old', 'VexaIpSet.log'):
            lines, total, i = [], 0, 0
            while total < 1_000_000:
                lines.append(line(i, 1 + i % 1000))
                total += len(lines[-1])
                i += 1
            write(folder, name, lines)
    else:
        write(folder, 'VexaIpSet.log', [line(n, n) for n in range(1, 1001)])
    print(1000)


main()
