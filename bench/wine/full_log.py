#!/usr/bin/env python3
"""A full shared log of 254 seats' runs (refused, written, in place, one number on two cards) for the Wine
benchmarks: NAME and NAME.old in FOLDER, each just under 1 MB, in UTF-8 with the tool's mark.
Usage: full_log.py FOLDER [NAME] [SEAT=ADDRESS]  (the seat's lines name that card's address: a run of the
bench card on its own number is then a re-run on the same card)."""
import sys

OUTCOMES = [('已是这些设置', '0', True), ('已写入, 已请求重启', '0', True),
            ('拒绝: 配置文件中的 DNS 不是有效的地址', '2', False), ('已写入, 部分未写入', '3', True)]


def log(size, salt, pinned):
    lines, total, i = [], 0, 0
    while total < size:
        seat = 1 + i % 254
        address = pinned.get(seat, '00-1A-2B-3C-%02X-%02X' % (seat if i % 97 else 255, (i * salt) % 3))
        outcome, code, tail = OUTCOMES[i % len(OUTCOMES)]
        line = ('2026-12-%02d %02d:%02d:%02d\t/auto\t%s\t机号=%d\t计算机名=WB-%d\tIP=192.168.0.%d\t'
                '网卡=Realtek RTL8139 Family PCI Fast Ethernet NIC\t地址=%s\t未写入=%s\t退出码=%s\t版本=1.1.0' %
                (1 + i % 28, i % 24, i % 60, (i * 7) % 60, outcome, seat, seat, seat, address,
                 'IPX 网络号' if code == '3' else '', code))
        if tail:
            line += '\t%s=%d' % (address, seat)
        encoded = (line + '\r\n').encode('utf-8')
        lines.append(encoded)
        total += len(encoded)
        i += 1
    return b'\xef\xbb\xbf' + b''.join(lines)


def main():
    folder = sys.argv[1]
    name = sys.argv[2] if len(sys.argv) > 2 else 'VexaIpSet.log'
    pinned = {}
    for arg in sys.argv[3:]:
        seat, address = arg.split('=')
        pinned[int(seat)] = address
    with open(folder + '/' + name + '.old', 'wb') as f:
        f.write(log(1024 * 1024 - 300, 3, pinned))
    with open(folder + '/' + name, 'wb') as f:
        f.write(log(1024 * 1024 - 300, 5, pinned))


main()
