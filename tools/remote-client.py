#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""A small client of Quellmar's remote control (see docs/remote-api.md), standard library only.

  remote-client.py 'http://HOST:PORT/?pair=CODE'            pairs, prints the token
  remote-client.py --token T http://HOST:PORT units         lists the units
  remote-client.py --token T http://HOST:PORT set UNIT PATH VALUE
  remote-client.py --token T http://HOST:PORT watch UNIT    prints every change of the unit

VALUE is JSON: -3.5, true, '"inverted"', '{"shape": "butterworth-24", "frequencyHz": 80}'.
The token may also come from the environment variable QUELLMAR_TOKEN.
"""
import argparse
import base64
import json
import os
import socket
import struct
import sys
import urllib.parse


class WebSocket:
    """Just enough of RFC 6455 for text messages from a client."""

    def __init__(self, host, port):
        self.sock = socket.create_connection((host, port), timeout=10)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall((f"GET /ws HTTP/1.1\r\nHost: {host}:{port}\r\nUpgrade: websocket\r\n"
                           f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                           "Sec-WebSocket-Version: 13\r\n\r\n").encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(1)
            if not chunk:
                raise ConnectionError("the server closed the connection")
            head += chunk
        if not head.startswith(b"HTTP/1.1 101"):
            raise ConnectionError(head.split(b"\r\n")[0].decode(errors="replace"))

    def send(self, message):
        data = json.dumps(message).encode()
        mask = os.urandom(4)
        if len(data) < 126:
            header = struct.pack("!BB", 0x81, 0x80 | len(data))
        else:
            header = struct.pack("!BBH", 0x81, 0x80 | 126, len(data))
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(data))
        self.sock.sendall(header + mask + masked)

    def _read(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise ConnectionError("the server closed the connection")
            data += chunk
        return data

    def receive(self):
        """The next text message as JSON; raises on a close."""
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack("!H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack("!Q", self._read(8))[0]
            payload = self._read(length)
            opcode = first & 0x0F
            if opcode == 8:
                code = struct.unpack("!H", payload[:2])[0] if len(payload) >= 2 else 1005
                raise ConnectionError(f"closed with {code}: {payload[2:].decode(errors='replace')}")
            if opcode == 1:
                return json.loads(payload)


def expect(ws, kind, request=None):
    while True:
        m = ws.receive()
        if m.get("type") == kind or (request is not None and m.get("id") == request):
            return m


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("url")
    parser.add_argument("--token", default=os.environ.get("QUELLMAR_TOKEN"))
    parser.add_argument("command", nargs="*")
    args = parser.parse_args()
    url = urllib.parse.urlparse(args.url)
    ws = WebSocket(url.hostname, url.port or 8740)
    code = urllib.parse.parse_qs(url.query).get("pair", [None])[0]
    hello = {"type": "hello", "label": "remote-client.py"}
    if args.token:
        hello["token"] = args.token
    elif code:
        hello["pair"] = code
    else:
        sys.exit("give the pairing address or --token")
    ws.send(hello)
    welcome = expect(ws, "welcome")
    if "token" in welcome:
        print(welcome["token"])
    units = expect(ws, "units")["units"]
    command = args.command or []
    if command[:1] == ["units"]:
        for u in units:
            print(f'{u["id"]}\t{u["model"]}\t{u["name"]}\t{u["address"]}\t{u["state"]}')
    elif command[:1] == ["set"] and len(command) == 4:
        ws.send({"type": "set", "id": 1, "unit": command[1], "path": command[2],
                 "value": json.loads(command[3])})
        answer = expect(ws, "ack", request=1)
        if answer.get("type") == "nack":
            sys.exit(answer["reason"])
    elif command[:1] == ["watch"] and len(command) == 2:
        ws.send({"type": "subscribe", "units": [command[1]]})
        while True:
            m = ws.receive()
            if m.get("type") == "changed":
                print(json.dumps(m["values"]), flush=True)
    elif command:
        sys.exit("commands: units | set UNIT PATH VALUE | watch UNIT")


if __name__ == "__main__":
    try:
        main()
    except (ConnectionError, OSError) as e:
        sys.exit(str(e))
