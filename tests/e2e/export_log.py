#!/usr/bin/env python3
"""A cafe's shared log for the export's end-to-end case: VexaIpSet.log and VexaIpSet.log.old in FOLDER, in
UTF-8 with the tool's mark. Seats 1-254 on cards 02-00-00-00-00-NN, written or found in place; seat 3 only
in .old; seat 7 with a Chinese host name (kept, without its name); seat 8's last run refused (left out);
seat 9 on two cards (a conflict: left out with /force); seat 1 at the gateway's address of the sample
config.ini (left out). Usage: export_log.py FOLDER. Prints the number of seats a DHCP server gets: 251."""
import sys


def line(second, number, address, host, outcome='已写入', code='0'):
    tail = '\t%s=%d' % (address, number) if code != '2' else ''
    return ('2026-12-01 10:%02d:%02d\t/auto\t%s\t机号=%d\t计算机名=%s\tIP=192.168.0.%d\t网卡=NIC\t地址=%s\t未写入=\t'
            '退出码=%s\t版本=1.1.0%s\r\n' % (second // 60, second % 60, outcome, number, host, number, address, code, tail))


def main(folder):
    mac = lambda n, card=2: '%02X-00-00-00-00-%02X' % (card, n)
    old = [line(0, 3, mac(3), 'WB-3')]
    log = []
    for n in range(1, 255):
        if n == 3:
            continue
        log.append(line(n, n, mac(n), '网吧%d' % n if n == 7 else 'WB-%d' % n, '已是这些设置' if n % 2 else '已写入'))
    log.append(line(300, 8, mac(8), 'WB-8', '拒绝: 配置文件中的 DNS 不是有效的地址', '2'))
    log.append(line(301, 9, mac(9, 4), 'WB-9'))
    for name, lines in (('VexaIpSet.log.old', old), ('VexaIpSet.log', log)):
        with open(folder + '/' + name, 'wb') as f:
            f.write(b'\xef\xbb\xbf' + ''.join(lines).encode('utf-8'))
    print(251)


main(sys.argv[1])
