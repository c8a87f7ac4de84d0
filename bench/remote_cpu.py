#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""CPU of `quellmar-cli serve` holding a simulated QD408 (--units U: U of them): with no client,
and with 8 WebSocket clients (tools/remote-client.py's; --clients N) subscribed to the meters of
every unit at 15 readings a second (--meters R).
  bench/remote_cpu.py QUELLMAR_CLI QUELLMAR_UNITSIM [--seconds S] [--runs N] [--clients N]
                      [--units U] [--meters R]
Each run measures both, one after the other: utime+stime of the serve process from /proc over S
seconds, as a share of one core; the medians of the runs are printed."""
import importlib.util
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

sys.dont_write_bytecode = True
_spec = importlib.util.spec_from_file_location(
    'remote_client', os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools',
                                  'remote-client.py'))
remote_client = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(remote_client)

CLIENTS = 8
UNITS = 1
METERS = 15
TICK = os.sysconf('SC_CLK_TCK')


def cpu_seconds(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def share(pid, seconds):
    c0, t0 = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - c0) / (time.monotonic() - t0)


class Watcher:
    """One client subscribed to the unit's meters, counting the readings it gets."""

    def __init__(self, url, token=None):
        u = urllib.parse.urlparse(url)
        self.ws = remote_client.WebSocket(u.hostname, u.port)
        code = urllib.parse.parse_qs(u.query)['pair'][0]
        self.ws.send({'type': 'hello', 'label': 'bench'} | ({'token': token} if token else
                                                              {'pair': code}))
        self.token = token or remote_client.expect(self.ws, 'welcome')['token']
        remote_client.expect(self.ws, 'units')
        self.ws.send({'type': 'subscribe', 'units': '*', 'meters': METERS})
        self.meters = 0
        threading.Thread(target=self.loop, daemon=True).start()

    def loop(self):
        try:
            while True:
                self.meters += self.ws.receive().get('type') == 'meters'
        except (ConnectionError, OSError):
            pass

    def close(self):
        self.ws.sock.close()


def run(serve, url, seconds, token):
    idle = share(serve.pid, seconds)
    watchers = [Watcher(url, token) for _ in range(CLIENTS)]
    time.sleep(1)
    counts = [w.meters for w in watchers]
    busy = share(serve.pid, seconds)
    rate = min(w.meters - c for w, c in zip(watchers, counts)) / seconds / UNITS
    for w in watchers:
        w.close()
    time.sleep(1)
    return idle, busy, rate


def main():
    args = sys.argv[1:]
    seconds = float(args[args.index('--seconds') + 1]) if '--seconds' in args else 15
    runs = int(args[args.index('--runs') + 1]) if '--runs' in args else 3
    global CLIENTS, UNITS, METERS
    CLIENTS = int(args[args.index('--clients') + 1]) if '--clients' in args else 8
    UNITS = int(args[args.index('--units') + 1]) if '--units' in args else 1
    METERS = int(args[args.index('--meters') + 1]) if '--meters' in args else 15
    ips = [f'127.88.{i // 200}.{2 + i % 200}' for i in range(UNITS)]
    tmp = tempfile.TemporaryDirectory()
    sim = subprocess.Popen([args[1]] + [a for i, ip in enumerate(ips)
                                        for a in ('--unit', f'QD408@{ip}:Bench{i}')],
                           stdout=subprocess.PIPE)
    for _ in ips:
        sim.stdout.readline()
    serve = subprocess.Popen([args[0], 'serve', '--listen', '127.0.0.1:0', '--local-port', '0',
                              '--config', os.path.join(tmp.name, 'c.ini')] +
                             [a for ip in ips for a in ('--ip', ip)],
                             stdout=subprocess.PIPE, text=True)
    url = serve.stdout.readline().strip()
    time.sleep(1)
    try:
        pairing = Watcher(url)  # the pairing code is good once; the others use its token
        pairing.close()
        time.sleep(1)
        results = [run(serve, url, seconds, pairing.token) for _ in range(runs)]
    finally:
        serve.terminate()
        serve.wait(10)
        sim.terminate()
        sim.wait(10)
    for i, (idle, busy, rate) in enumerate(results):
        print(f'  run {i + 1}: no client {idle:.2f} %, {CLIENTS} clients {busy:.2f} % '
              f'(+{busy - idle:.2f} %), meters {rate:.1f}/s per unit and client (slowest)')
    idle = statistics.median(r[0] for r in results)
    busy = statistics.median(r[1] for r in results)
    print(f'serve CPU with {UNITS} unit(s) over {seconds:g} s, median of {runs}: no client '
          f'{idle:.2f} % of a core, {CLIENTS} meter clients at {METERS}/s {busy:.2f} %, '
          f'difference {busy - idle:+.2f} %')


if __name__ == '__main__':
    main()
