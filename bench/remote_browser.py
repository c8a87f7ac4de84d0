#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""The remote page in headless Chromium against `quellmar-cli serve` and a simulated QD408 on
loopback: from the browser's input event to the gain frame at the simulator.
  bench/remote_browser.py QUELLMAR_CLI QUELLMAR_UNITSIM [--steps N]   (as root: it sniffs lo)
Input A's fader is dragged in small steps (press, one move of 12 px, release, a pause). For each
step: the first pointermove's event time (performance.timeOrigin + event.timeStamp) to the kernel's
receive time (SO_TIMESTAMPNS) of the first input gain write datagram to the unit's port after it,
taken from a packet socket on lo. Both are on the machine's real-time clock; the browser's offset
from it is measured and printed."""
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'remote',
                                'browser'))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from selenium.webdriver import ActionChains  # noqa: E402

UNIT_IP, UNIT_PORT, PATH = '127.87.0.2', 9840, 'inputs[0].gainDb'
SO_TIMESTAMPNS, PACKET_HOST = 35, 0


class Sniffer:
    """Real-time arrival of each input gain write (target 0x12, code 0x01) sent to the unit."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(0x0800))
        self.sock.bind(('lo', 0))
        self.sock.setsockopt(socket.SOL_SOCKET, SO_TIMESTAMPNS, 1)
        self.sock.settimeout(0.2)
        self.arrivals, self.running = [], True
        self.thread = threading.Thread(target=self.loop, daemon=True)
        self.thread.start()

    def loop(self):
        dst = socket.inet_aton(UNIT_IP)
        while self.running:
            try:
                data, anc, _, addr = self.sock.recvmsg(2048, socket.CMSG_SPACE(16))
            except socket.timeout:
                continue
            if addr[2] != PACKET_HOST or len(data) < 34:
                continue
            ip = data[14:]
            if ip[9] != 17 or ip[16:20] != dst:
                continue
            udp = ip[(ip[0] & 15) * 4:]
            frame = udp[8:]
            if struct.unpack('!H', udp[2:4])[0] != UNIT_PORT or len(frame) < 10:
                continue
            if frame[5] == 0x12 and frame[9] == 0x01:
                sec, nsec = struct.unpack('qq', anc[0][2][:16])
                self.arrivals.append(sec * 1000 + nsec / 1e6)

    def stop(self):
        self.running = False
        self.thread.join()


def clock_offset(d):
    """The browser's real-time clock minus Python's, in ms (best of a few tries)."""
    best = None
    for _ in range(30):
        t0 = time.time() * 1000
        b = d.execute_script('return performance.timeOrigin + performance.now()')
        t1 = time.time() * 1000
        if best is None or t1 - t0 < best[0]:
            best = (t1 - t0, b - (t0 + t1) / 2)
    return best[1], best[0]


def run(cli, unitsim, steps):
    tmp = tempfile.TemporaryDirectory()
    sim = subprocess.Popen([unitsim, '--unit', f'QD408@{UNIT_IP}:Bench'], stdout=subprocess.PIPE,
                           text=True)
    sim.stdout.readline()
    serve = subprocess.Popen([cli, 'serve', '--listen', '127.0.0.1:0', '--ip', UNIT_IP,
                              '--local-port', '0', '--config', os.path.join(tmp.name, 'c.ini')],
                             stdout=subprocess.PIPE, text=True)
    url = serve.stdout.readline().strip()
    sniffer = Sniffer()
    d = browser.start()
    try:
        d.get(url)
        wait(lambda: d.execute_script('return document.body.dataset.link') == 'open', 10)
        d.get(url.split('?')[0] + '#unit=1')
        assert wait(lambda: d.find_elements(By.CSS_SELECTOR, f'[data-path="{PATH}"]'), 10)
        fader = d.find_element(By.CSS_SELECTOR, f'[data-path="{PATH}"]')
        d.execute_script("""
            window.moves = [];
            arguments[0].addEventListener('pointermove', function (e) {
              if (e.buttons) window.moves.push([performance.timeOrigin + e.timeStamp,
                                                 performance.timeOrigin + performance.now()]);
            }, true);""", fader)
        time.sleep(1)
        offset, spread = clock_offset(d)
        latencies = []
        for i in range(steps):
            d.execute_script('window.moves = []')
            before = len(sniffer.arrivals)
            dy = -12 if (i // 10) % 2 == 0 else 12
            ActionChains(d, duration=0).click_and_hold(fader).move_by_offset(0, dy).release().perform()
            wait(lambda: len(sniffer.arrivals) > before, 2, 0.005)
            moves = d.execute_script('return window.moves')
            after = [a for a in sniffer.arrivals[before:]]
            if moves and after:
                latencies.append((after[0] - (moves[0][0] - offset), moves[0][1] - moves[0][0]))
            time.sleep(0.15)
        return latencies, offset, spread
    finally:
        d.quit()
        sniffer.stop()
        serve.terminate()
        serve.wait(10)
        sim.terminate()
        sim.wait(10)


def main():
    args = sys.argv[1:]
    steps = 100
    if '--steps' in args:
        steps = int(args[args.index('--steps') + 1])
    latencies, offset, spread = run(args[0], args[1], steps)
    handled = sorted(h for _, h in latencies)
    latencies = sorted(t for t, _ in latencies)
    n = len(latencies)
    print(f'browser input -> gain frame at the unit, steps={steps} measured={n} '
          f'(browser clock {offset:+.2f} ms off, read within {spread:.2f} ms)')
    if n:
        print(f'  p50={latencies[n // 2]:.2f} ms p90={latencies[int(0.9 * (n - 1))]:.2f} ms '
              f'min={latencies[0]:.2f} ms max={latencies[-1]:.2f} ms')
        print(f'  of which event time -> page handler running: p50={handled[n // 2]:.2f} ms')


if __name__ == '__main__':
    main()
