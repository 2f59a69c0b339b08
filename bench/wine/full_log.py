#!/usr/bin/env python3
"""A full shared log of 254 seats' runs (refused, written, in place, one number on two cards) for the Wine
benchmarks: NAME and NAME.old in FOLDER, each just under 1 MB, in UTF-8 with the tool's mark.
Usage: full_log.py [--one-card] FOLDER [NAME] [SEAT=ADDRESS]  (the seat's lines name that card's address: a
run of the bench card on its own number is then a re-run on the same card; --one-card: every seat's lines
name one card of its own, so that no number is on two cards)."""
import sys

OUTCOMES = [('已是这些设置', '0', True), ('已写入, 已请求重启', '0', True),
            ('拒绝: 配置文件中的 DNS 不是有效的地址', '2', False), ('已写入, 部分未写入', '3', True)]


def log(size, salt, pinned, one_card=False):
    lines, total, i = [], 0, 0
    while total < size:
        seat = 1 + i % 254
        address = pinned.get(seat, '00-1A-2B-3C-%02X-%02X' % (seat if i % 97 else 255, (i * salt) % 3))
        if one_card:
            address = '00-1A-2B-3C-00-%02X' % seat
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
    args = sys.argv[1:]
    one_card = args[:1] == ['--one-card']
    args = args[1:] if one_card else args
    folder = args[0]
    name = args[1] if len(args) > 1 else 'VexaIpSet.log'
    pinned = {}
    for arg in args[2:]:
        seat, address = arg.split('=')
        pinned[int(seat)] = address
    with open(folder + '/' + name + '.old', 'wb') as f:
        f.write(log(1024 * 1024 - 300, 3, pinned, one_card))
    with open(folder + '/' + name, 'wb') as f:
        f.write(log(1024 * 1024 - 300, 5, pinned, one_card))


main()
