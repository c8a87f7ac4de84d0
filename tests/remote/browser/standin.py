# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""A stand-in for the program's remote server on loopback: serves the page files and speaks the
WebSocket protocol of docs/remote-api.md. It runs its own event loop on a thread; tests call
its methods from theirs (desktop edits, transfers that make a unit busy, dropped sockets)."""
import asyncio
import json
import math
import os
import threading
import time

from wsproto import ConnectionType, WSConnection
from wsproto.events import AcceptConnection, CloseConnection, Ping, Request, TextMessage

from units import Refused, Unit

GROUP_GAIN_LIMIT = 6.0  # the stand-in's groups stop there, named by their first member
TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
         '.css': 'text/css; charset=utf-8'}


def group(name, *members):
    return {'name': name, 'gainDb': 0.0, 'mute': False, 'polarity': 'normal', 'delayMs': 0.0,
            'members': [{'unit': u, 'model': model, 'channel': ch, 'state': state}
                        for u, model, ch, state in members]}


class Client:
    def __init__(self, server, writer):
        self.server, self.writer = server, writer
        self.ws = WSConnection(ConnectionType.SERVER)
        self.id = 0
        self.read_only = False
        self.units = []
        self.meter_task = None

    def write(self, event):
        if not self.writer.is_closing():
            self.writer.write(self.ws.send(event))

    def send(self, message):
        if self.id:
            self.write(TextMessage(data=json.dumps(message)))

    def close(self, code, reason):
        self.write(CloseConnection(code=code, reason=reason))
        self.writer.close()

    def hello(self, m):
        s = self.server
        s.hellos.append(m)
        token = m.get('token')
        if m.get('pair') and m['pair'] == s.pair_code:
            token = s.token
        if token not in (s.token, s.read_only_token):
            return self.close(1008, 'not paired')
        self.id = s.next_client
        s.next_client += 1
        self.read_only = token == s.read_only_token
        welcome = {'type': 'welcome', 'client': self.id, 'readOnly': self.read_only,
                   'language': s.language}
        if m.get('pair'):
            welcome['token'] = token
        self.send(welcome)
        self.send({'type': 'units', 'units': s.units_json()})
        self.send({'type': 'groups', 'groups': s.groups})

    def subscribe(self, m):
        s = self.server
        wanted = m.get('units', '*')
        self.units = [u for u in s.units if wanted == '*' or u.info['id'] in wanted]
        for u in self.units:
            self.send(s.snapshot(u))
        if self.meter_task:
            self.meter_task.cancel()
        rate = min(25, int(m.get('meters', 0)))
        if rate:
            self.meter_task = asyncio.ensure_future(self.meters(rate))

    async def meters(self, rate):
        while True:
            await asyncio.sleep(1 / rate)
            for u in self.units:
                self.send(self.server.meters(u))

    def handle(self, m):
        kind = m.get('type')
        if not self.id:
            return self.hello(m) if kind == 'hello' else self.close(1008, 'hello first')
        if kind == 'subscribe':
            self.subscribe(m)
        elif kind == 'set':
            self.server.client_set(self, m)
        elif kind == 'acknowledge':
            self.server.acknowledged.append(m.get('alarm'))
            self.send({'type': 'ack' if not self.read_only else 'nack', 'id': m.get('id')})
        elif kind == 'ping':
            self.send({'type': 'pong'})


class StandIn:
    def __init__(self, page_dir, language='zh'):
        self.acknowledged = []  # the alarms' numbers the pages acknowledged
        self.page_dir = page_dir
        self.language = language
        self.token = '0f3c' * 8
        self.read_only_token = 'a5a5' * 8
        self.pair_code = 'k7m3q9tx2c'
        self.units = [Unit('1', 'QD408', 'Main Stage', '127.0.0.2'),
                      Unit('2', 'QD206', 'Delay Tower', '127.0.0.3')]
        self.groups = [group('Mains', ('Main Stage', 'QD408', 'out:1', 'online'),
                             ('Delay Tower', 'QD206', 'out:1', 'pending')),
                       group('Front fills and delays', ('Main Stage', 'QD408', 'in:A', 'online'),
                             ('Side Fill', 'QD206', 'out:2', 'missing'))]
        self.clients = []
        self.next_client = 1
        self.sets = []  # (time, client, path, value, final) as received
        self.hellos = []  # as received
        self.loop = asyncio.new_event_loop()
        started = threading.Event()
        self.thread = threading.Thread(target=self.run, args=(started,), daemon=True)
        self.thread.start()
        started.wait()

    # The event loop's side.
    def run(self, started):
        asyncio.set_event_loop(self.loop)
        self.server = self.loop.run_until_complete(
            asyncio.start_server(self.connection, '127.0.0.1', 0))
        self.port = self.server.sockets[0].getsockname()[1]
        started.set()
        self.loop.run_forever()

    async def connection(self, reader, writer):
        head = await reader.readuntil(b'\r\n\r\n')
        if b'upgrade: websocket' not in head.lower():
            return self.serve_file(head, writer)
        client = Client(self, writer)
        client.ws.receive_data(head)
        self.clients.append(client)
        try:
            await self.talk(client, reader)
        finally:
            self.clients.remove(client)
            if client.meter_task:
                client.meter_task.cancel()
            writer.close()

    async def talk(self, client, reader):
        while True:
            for event in client.ws.events():
                if isinstance(event, Request):
                    client.write(AcceptConnection())
                elif isinstance(event, TextMessage):
                    client.handle(json.loads(event.data))
                elif isinstance(event, Ping):
                    client.write(event.response())
                elif isinstance(event, CloseConnection):
                    client.write(event.response())
                    return
            data = await reader.read(65536)
            if not data:
                return
            client.ws.receive_data(data)

    def serve_file(self, head, writer):
        path = head.split(b' ')[1].decode().split('?')[0]
        name = 'index.html' if path == '/' else path.lstrip('/')
        file = os.path.join(self.page_dir, name)
        ext = os.path.splitext(name)[1]
        if '/' in name or ext not in TYPES or not os.path.isfile(file):
            writer.write(b'HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n')
        else:
            with open(file, 'rb') as f:
                body = f.read()
            writer.write(b'HTTP/1.1 200 OK\r\nContent-Type: %s\r\nContent-Length: %d\r\n'
                         b'Cache-Control: no-cache\r\n'
                         b"Content-Security-Policy: default-src 'self'\r\n\r\n"
                         % (TYPES[ext].encode(), len(body)) + body)
        writer.close()

    def units_json(self):
        return [u.info for u in self.units]

    def snapshot(self, u):
        return {'type': 'snapshot', 'unit': u.info['id'], 'revision': u.revision,
                'preset': u.preset, 'curves': u.curves()}

    def meters(self, u):
        t = time.monotonic()
        level = lambda i: max(0, min(32, round(20 + 10 * math.sin(t * 2.1 + i * 0.7))))
        return {'type': 'meters', 'unit': u.info['id'],
                'inputs': [level(i) for i in range(len(u.preset['inputs']))],
                'outputs': [level(i + 4) for i in range(len(u.preset['outputs']))]}

    def broadcast(self, message, unit=None):
        for c in self.clients:
            if unit is None or unit in c.units:
                c.send(message)

    def apply(self, u, path, value, by):
        held, curves = u.set(path, value)
        self.broadcast({'type': 'changed', 'unit': u.info['id'], 'revision': u.revision,
                        'by': by, 'values': {path: held}, 'curves': curves}, u)

    def group_set(self, client, m):
        """A set of a group's value; a gain past the stand-in's limit stops there."""
        name, path, value = m.get('group'), m.get('path'), m.get('value')
        self.sets.append((time.monotonic(), client.id, f'{name}:{path}', value, m.get('final', True)))
        g = next((g for g in self.groups if g['name'] == name), None)
        answer = {'id': m.get('id'), 'group': name}
        if client.read_only or g is None or path not in ('gainDb', 'mute', 'polarity', 'delayMs'):
            return client.send({'type': 'nack', **answer, 'reason': 'refused'})
        limited = path == 'gainDb' and value > GROUP_GAIN_LIMIT
        g[path] = answer['value'] = min(value, GROUP_GAIN_LIMIT) if path == 'gainDb' else value
        self.broadcast({'type': 'groups', 'groups': self.groups})
        if not limited:
            return client.send({'type': 'ack', **answer})
        by = g['members'][0]
        client.send({'type': 'nack', **answer, 'limitedBy': {k: by[k] for k in ('unit', 'model', 'channel')},
                     'reason': f"{by['unit']} {by['channel']} is at its limit: the group stopped at "
                               f"+{GROUP_GAIN_LIMIT:.1f} dB"})

    def group(self, name):
        return self.call(lambda: dict(next(g for g in self.groups if g['name'] == name)))

    def client_set(self, client, m):
        if 'group' in m:
            return self.group_set(client, m)
        self.sets.append((time.monotonic(), client.id, m.get('path'), m.get('value'),
                          m.get('final', True)))
        u = self.unit(m.get('unit'))
        try:
            if client.read_only:
                raise Refused('read only')
            if u is None or u.info['busy'] or u.info['state'] != 'online':
                raise Refused('the unit cannot take edits now')
            self.apply(u, m['path'], m['value'], {'kind': 'client', 'client': client.id})
        except Refused as e:
            return client.send({'type': 'nack', 'id': m.get('id'), 'reason': str(e)})
        client.send({'type': 'ack', 'id': m.get('id'), 'revision': u.revision})

    def unit(self, uid):
        return next((u for u in self.units if u.info['id'] == uid), None)

    # The tests' side: each runs on the loop and waits for it.
    def call(self, f, *args):
        async def run():
            return f(*args)
        return asyncio.run_coroutine_threadsafe(run(), self.loop).result(5)

    def desktop_set(self, uid, path, value):
        self.call(lambda: self.apply(self.unit(uid), path, value, {'kind': 'desktop'}))

    def value(self, uid, path):
        return self.call(lambda: self.unit(uid).get(path))

    def set_busy(self, uid, busy):
        def run():
            u = self.unit(uid)
            u.info['busy'] = busy
            self.broadcast({'type': 'busy', 'unit': uid, 'busy': busy}, u)
            if not busy:
                self.broadcast(self.snapshot(u), u)
        self.call(run)

    def set_state(self, uid, state):
        def run():
            self.unit(uid).info['state'] = state
            self.broadcast({'type': 'units', 'units': self.units_json()})
        self.call(run)

    def set_alarms(self, alarms):
        new = sum(1 for a in alarms if not a['acknowledged'])
        self.call(lambda: self.broadcast({'type': 'alarms', 'alarms': alarms,
                                          'count': len(alarms), 'new': new}))

    def drop_sockets(self):
        self.call(lambda: [c.writer.transport.abort() for c in list(self.clients)])

    def stop(self):
        self.call(self.server.close)
        self.loop.call_soon_threadsafe(self.loop.stop)
        self.thread.join(5)
        self.loop.close()
