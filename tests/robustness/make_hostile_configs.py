#!/usr/bin/env python3
"""Writes a corpus of hostile config.ini files into the given folder: what hand-edited files on public
machines can hold. Deterministic: the same files on every run."""
import os
import random
import sys

FORBIDDEN = '"/\\[]:|<>+=;,?*'


def gbk(text):
    return text.encode('gbk')


def net(body, section='[NetWork]', eol='\r\n'):
    return gbk(section + eol + body.replace('\n', eol) + eol)


def main(out):
    os.makedirs(out, exist_ok=True)
    files = {}
    rnd = random.Random(20261207)
    for i, size in enumerate([1, 7, 64, 253, 254, 255, 1000, 4096, 65536, 300000]):
        files['junk-%02d' % i] = bytes(rnd.randrange(256) for _ in range(size))
    files['junk-with-section'] = b'[NetWork]\r\n' + bytes(rnd.randrange(256) for _ in range(5000))
    files['nul-in-section-name'] = b'[Net\x00Work]\r\nIP=10.0.0\r\n'
    files['nul-in-value'] = b'[NetWork]\r\nIP=10.0\x00.0\r\nNetPrefix=WB\x00-\r\n'
    files['nul-in-key'] = b'[NetWork]\r\nI\x00P=10.0.0\r\n'
    files['only-nuls'] = b'\x00' * 1000
    files['megabyte-prefix'] = b'[NetWork]\r\nNetPrefix=' + b'A' * (1 << 20) + b'\r\n'
    files['megabyte-line-first'] = b'x' * (1 << 20) + b'\r\n[NetWork]\r\nIP=10.0.0\r\n'
    files['megabyte-section-name'] = b'[' + b'N' * (1 << 20) + b']\r\nIP=1\r\n'
    files['no-sections'] = gbk('IP=10.0.0\r\nIPOffset=3\r\nNetPrefix=WB-\r\n')
    files['empty'] = b''
    files['only-blanks'] = b' \t\r\n \x1a\r\n'
    files['duplicate-sections'] = net('IP=10.0.0\n[NetWork]\nIP=10.9.9\nNetPrefix=A-')
    files['duplicate-keys'] = net('IP=10.0.0\nIP=10.1.1\nIPOffset=1\nIPOffset=abc')
    files['utf8-bom'] = b'\xef\xbb\xbf' + '[NetWork]\r\nNetPrefix=网吧\r\nIP=10.0.0\r\n'.encode('utf-8')
    files['utf8-bom-too-long'] = b'\xef\xbb\xbf' + '[NetWork]\r\nNetPrefix=网吧网吧网吧网吧\r\n'.encode('utf-8')
    files['utf16le-bom'] = b'\xff\xfe' + '[NetWork]\r\nNetPrefix=网吧-\r\n'.encode('utf-16-le')
    files['utf16be-bom'] = b'\xfe\xff' + '[NetWork]\r\nNetPrefix=网吧-\r\n'.encode('utf-16-be')
    files['utf16-odd-length'] = b'\xff\xfe' + '[NetWork]\r\nIP=1'.encode('utf-16-le') + b'\x00\x31\x00'
    files['utf8-without-bom'] = '[NetWork]\r\nNetPrefix=网\r\n'.encode('utf-8')
    files['cr-only'] = net('IP=10.0.0\nNetPrefix=WB-', eol='\r')
    files['lf-only'] = net('IP=10.0.0\nNetPrefix=WB-', eol='\n')
    files['mixed-eol'] = b'[NetWork]\rIP=10.0.0\nNetPrefix=X-\r\n'
    files['dbcs-cut-at-253'] = gbk('[NetWork]\r\nNetPrefix=A' + '网' * 140 + '\r\n')
    files['dbcs-exact-253'] = gbk('[NetWork]\r\nNetPrefix=A' + '网' * 126 + '\r\n')
    files['lone-lead-byte'] = b'[NetWork]\r\nNetPrefix=A\x81\r\n'
    files['lead-byte-before-eol'] = b'[NetWork]\r\nNetPrefix=\xcd\r\nIP=10.0.0\r\n'
    files['invalid-gbk'] = b'[NetWork]\r\nNetPrefix=\x80\xff\xfe\r\n'
    files['quoted-values'] = net('IP="10.0.0"\nNetPrefix=\'WB-\'\nMask="255.0.0.0')
    files['semicolon-comments'] = net(';IP=1.1.1\nIP=10.0.0 ; comment\nNetPrefix=WB')
    files['section-without-close'] = gbk('[NetWork\r\nIP=10.0.0\r\n')
    files['key-without-equals'] = net('IP\nIPOffset\nNetPrefix')
    files['equals-only'] = net('=\n==\n=IP=1')
    files['fullwidth-space-prefix'] = net('NetPrefix=\u3000WB')
    files['tab-around'] = net('\tIP\t=\t10.0.0\t\nNetPrefix = WB- ')
    files['lowercase-names'] = gbk('[network]\r\nip=10.0.0\r\nnetprefix=wb-\r\n')
    offsets = ['1e308', '1e309', '-1e309', '-0', '0x10', '&H10', '&O7', '1,000', '１', 'NaN', 'nan', 'inf',
               '-inf', '+', '-', '.', '5.', '.5', '1e-400', '99999999999999999999', '2147483647',
               '-2147483648', '4294967296', '1e2', '1E+2', '1D2', '2.5', '-254', '-255', '254', '255',
               '0.0000001', '3 4', '三', '']
    for i, offset in enumerate(offsets):
        files['offset-%02d' % i] = net('IP=10.0.0\nIPOffset=' + offset)
    ips = ['', '10', '10.0', '10.0.0.0', '256.0.0', '1.2.3 x', 'a.b.c', '10..0', '-1.0.0', '010.0.0', '10.0.0.',
           '.10.0', '1 0.0.0', '１０.0.0', '10.0.0\t', '0.0.0', '255.255.255', '999.999.999']
    for i, ip in enumerate(ips):
        files['ip-%02d' % i] = net('IP=' + ip)
    for i, symbol in enumerate(FORBIDDEN):
        files['prefix-forbidden-%02d' % i] = net('NetPrefix=A' + symbol)
    for code in list(range(1, 32)) + [127]:
        files['prefix-control-%02x' % code] = b'[NetWork]\r\nNetPrefix=A' + bytes([code]) + b'B\r\n'
    for length in range(12, 17):
        files['prefix-bytes-%d' % length] = net('NetPrefix=' + 'P' * length)
    files['prefix-chinese-7'] = net('NetPrefix=网吧一二三四五六')
    files['game-keys-odd'] = net('[CSCDK]\n15=bare\nCDKey015=padded\nCDKey15=' + 'K' * 300, section='')
    files['game-key-chinese'] = gbk('[CSCDK]\r\nCDKey15=序列号-一\r\n')
    for name, data in files.items():
        with open(os.path.join(out, name + '.ini'), 'wb') as f:
            f.write(data)
    print('%d files' % len(files))


if __name__ == '__main__':
    main(sys.argv[1])
