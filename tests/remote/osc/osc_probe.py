#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""A small OSC 1.0 peer for the tests, with the packet format written out here (socket and
struct only), so that it can also send what no well-behaved client sends.

usage: osc_probe.py PORT ask ADDRESS [TYPE VALUE ...]
           sends one message from its own socket and prints every reply, one a line:
           "ADDRESS TYPES VALUE ...", until none came for WAIT seconds
       osc_probe.py PORT bad ADDRESS
           sends malformed packets (cut, wrong type tags, bundles nested deep, a huge blob,
           wildcard addresses with wrong arguments) and then asks ADDRESS, printing the reply
       osc_probe.py PORT burst COUNT ADDRESS TYPE VALUE
           sends the message COUNT times at once and prints the replies
"""
import socket
import struct
import sys

WAIT = 0.5


def pad(b):
    return b + b'\0' * (4 - len(b) % 4)


def string(s):
    return pad(s.encode())


def message(address, args=()):
    tags, data = ',', b''
    for kind, value in args:
        tags += kind
        if kind == 'i':
            data += struct.pack('>i', int(value))
        elif kind == 'f':
            data += struct.pack('>f', float(value))
        elif kind == 's':
            data += string(value)
        elif kind == 'b':
            data += struct.pack('>i', len(value)) + value + b'\0' * (-len(value) % 4)
    return string(address) + string(tags) + data


def bundle(*elements):
    out = string('#bundle') + struct.pack('>Q', 1)
    for e in elements:
        out += struct.pack('>i', len(e)) + e
    return out


def parse(packet):
    def text(at):
        end = packet.index(b'\0', at)
        return packet[at:end].decode(), (end + 4) & ~3
    address, at = text(0)
    tags, at = text(at)
    values = []
    for t in tags[1:]:
        if t == 'i':
            values.append(str(struct.unpack_from('>i', packet, at)[0]))
            at += 4
        elif t == 'f':
            values.append('%g' % struct.unpack_from('>f', packet, at)[0])
            at += 4
        elif t == 's':
            s, at = text(at)
            values.append(s)
    return ' '.join([address, tags[1:]] + values)


def replies(sock):
    sock.settimeout(WAIT)
    try:
        while True:
            print(parse(sock.recv(65536)), flush=True)
    except socket.timeout:
        pass


def arguments(words):
    return [(words[i], words[i + 1]) for i in range(0, len(words), 2)]


def main():
    port, mode = int(sys.argv[1]), sys.argv[2]
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(('127.0.0.1', 0))
    target = ('127.0.0.1', port)
    if mode == 'ask':
        sock.sendto(message(sys.argv[3], arguments(sys.argv[4:])), target)
    elif mode == 'burst':
        packet = message(sys.argv[4], arguments(sys.argv[5:]))
        for _ in range(int(sys.argv[3])):
            sock.sendto(packet, target)
    elif mode == 'bad':
        good = message('/quellmar/unit/Main/out/8/mute', [('i', 1)])
        nested = message('/quellmar/unit/Main/out/8/mute', [('i', 1)])
        for _ in range(40):
            nested = bundle(nested)
        for packet in [
            good[:len(good) - 2],                                    # cut in its argument
            good[:10],                                               # cut in its address
            string('/quellmar/unit/Main/out/8/mute') + string('i') + struct.pack('>i', 1),
            string('/quellmar/unit/Main/out/8/mute') + string(',x') + struct.pack('>i', 1),
            string('/quellmar/unit/Main/out/8/mute') + string(',i'),  # tag without its value
            message('/quellmar/unit/Main/out/8/mute', [('s', '1')]),
            message('/quellmar/unit/*/out/*/mute', [('b', b'\xff' * 60000)]),
            message('/quellmar/unit/*/out/*/mute', [('i', 1), ('i', 1)]),
            message('/quellmar/unit/{Main,[/out/*/mute', [('i', 1)]),
            message('/quellmar/unit/Main/out/9/mute', [('i', 1)]),
            message('/quellmar/unit/Main/in/A/delay', [('f', 1)]),
            message('/quellmar/unit/Main/out/8/gain', [('f', 99)]),
            message('/quellmar/unit/Main/out/8/mute', [('i', 7)]),
            message('//', [('i', 1)]),
            nested,
            string('#bundle') + struct.pack('>Q', 1) + struct.pack('>i', 4000) + b'\0' * 8,
            struct.pack('>i', -1) * 8,
        ]:
            sock.sendto(packet, target)
        replies(sock)  # the refusals
        print('--', flush=True)
        sock.sendto(message(sys.argv[3]), target)
    replies(sock)


main()
