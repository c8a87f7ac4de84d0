#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""The remote page in headless Chromium against `quellmar-cli serve` and simulated units on
loopback: the page shows the units as they are, edits reach them and the other browser,
meters flow, pairing is enforced, a reopened link shows the unit again, and a group moved on
the page moves its members on both units.
test_serve.py QUELLMAR_CLI QUELLMAR_UNITSIM [unittest arguments]"""
import json
import os
import select
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from pagecase import PageCase, db_text, loopback_subnet  # noqa: E402

CLI = sys.argv.pop(1) if len(sys.argv) > 2 else None
UNITSIM = sys.argv.pop(1) if len(sys.argv) > 1 else None
# The ids serve gives the units, from model and name: the same after each restart.
MAIN, FILL = 'QD408-Main-Stage', 'QD206-Fill'
# A group of a channel of each unit that no other test touches.
GROUPS = {'format': 'quellmar-groups', 'version': 1, 'groups': [
    {'name': 'Mains', 'gainDb': 0.0, 'mute': False, 'polarity': 'normal', 'delayMs': 0.0,
     'members': [{'unit': 'Main Stage', 'model': 'QD408', 'channel': 'in:C'},
                 {'unit': 'Fill', 'model': 'QD206', 'channel': 'out:1'}]}]}


class Rig:
    """Two simulated units (a QD408 and a QD206) and the serve command that holds them."""

    def __init__(self):
        subnet = loopback_subnet()
        self.ips = [subnet + '.2', subnet + '.3']
        self.dir = tempfile.TemporaryDirectory()
        # The window program's language, which the page takes: English here, so that the
        # page differs from the browser's Chinese.
        with open(os.path.join(self.dir.name, 'QelConfig.ini'), 'w', encoding='utf-8') as f:
            f.write('[View]\nLanguage=en\n')
        self.groups = os.path.join(self.dir.name, 'groups.json')
        with open(self.groups, 'w', encoding='utf-8') as f:
            json.dump(GROUPS, f)
        self.sim = subprocess.Popen([UNITSIM, '--unit', f'QD408@{self.ips[0]}:Main Stage',
                                     '--unit', f'QD206@{self.ips[1]}:Fill'],
                                    stdout=subprocess.PIPE, text=True)
        for _ in self.ips:
            self.sim.stdout.readline()
        with socket.socket() as s:
            s.bind(('127.0.0.1', 0))
            self.port = s.getsockname()[1]
        self.serve = None
        self.exits = []  # how each serve ended

    def cli(self, *args):
        return subprocess.run([CLI, *args, '--local-port', '0'], capture_output=True, text=True,
                              check=True, timeout=60).stdout

    def preset(self, unit=0):
        """The unit's settings as the unit itself holds them."""
        out = os.path.join(self.dir.name, 'read.bin')
        return json.loads(self.cli('read', '--ip', self.ips[unit], '--out', out, '--json'))

    def write(self, preset, unit=0):
        path = os.path.join(self.dir.name, 'preset.json')
        with open(path, 'w', encoding='utf-8') as f:
            json.dump(preset, f)
        self.cli('import', path, '--ip', self.ips[unit])

    def kept_gain(self):
        """The gain offset of the group as its file keeps it."""
        with open(self.groups, encoding='utf-8') as f:
            return json.load(f)['groups'][0]['gainDb']

    def start(self, read_only=False):
        args = [CLI, 'serve', '--listen', f'127.0.0.1:{self.port}', '--ip', self.ips[0], '--ip',
                self.ips[1], '--local-port', '0', '--config',
                os.path.join(self.dir.name, 'QelConfig.ini'), '--groups', self.groups]
        args += ['--read-only'] if read_only else []
        self.serve = subprocess.Popen(args, stdout=subprocess.PIPE, text=True)
        self.url = self.serve.stdout.readline().strip()
        self.base = self.url.split('?')[0]

    def next_url(self, timeout=5):
        """The next pairing address serve prints."""
        ready, _, _ = select.select([self.serve.stdout], [], [], timeout)
        return self.serve.stdout.readline().strip() if ready else None

    def stop(self):
        if self.serve:
            self.serve.terminate()
            self.exits.append(self.serve.wait(10))
            self.serve.stdout.close()
            self.serve = None

    def close(self):
        self.stop()
        self.sim.terminate()
        self.sim.wait(10)
        self.sim.stdout.close()
        self.dir.cleanup()


def stage(preset):
    """Settings that differ from a fresh unit's, so that showing them proves something."""
    preset['inputs'][1]['gainDb'] = -7.5
    preset['outputs'][0]['mute'] = True
    preset['outputs'][2]['polarity'] = 'inverted'
    preset['outputs'][2]['gainDb'] = 5.0
    preset['outputs'][3]['eq']['on'] = True
    preset['outputs'][3]['eq']['points'][5] = {'type': 'peak', 'frequencyHz': 1000,
                                               'gainDb': 9.0, 'q': 1.4}
    preset['outputs'][3]['highPass']['frequencyHz'] = 200
    return preset


class ServeTest(PageCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig()
        cls.rig.write(stage(cls.rig.preset()))
        cls.rig.start()
        cls.base = cls.rig.base
        cls.a = browser.start()
        cls.b = browser.start()
        # Two tablets, each with the address serve printed when it came to pair.
        cls.label = cls.pair(cls.a, cls.rig.url)
        assert cls.label
        assert cls.pair(cls.b, cls.rig.next_url(), 'Stage left') == 'Stage left'

    @classmethod
    def tearDownClass(cls):
        for d in (cls.a, cls.b):
            d.quit()
        cls.rig.close()

    def channels(self):
        return [f'inputs[{k}]' for k in range(4)] + [f'outputs[{j}]' for j in range(8)]

    def check_strips(self, d, unit):
        for path in self.channels():
            side, k = path[:-3], int(path[-2])
            ch = unit[side][k]
            self.assertEqual(self.shown(d, path + '.gainDb'), ch['gainDb'], path)
            self.assertEqual(self.shown(d, path + '.mute'), ch['mute'], path)
            if side == 'outputs':
                phase = self.control(d, path + '.polarity').text
                self.assertTrue(phase.endswith('180°' if ch['polarity'] == 'inverted' else ' 0°'))

    def test_units_strips_and_curve_show_the_unit(self):
        self.open(self.a, '')
        cards = self.a.find_elements(By.CSS_SELECTOR, '.card')
        self.assertEqual(['Main Stage' in cards[0].text, 'Fill' in cards[1].text], [True, True])
        self.assertTrue(all('State:online' in c.text for c in cards))
        unit = self.rig.preset()
        self.open(self.a, f'#unit={MAIN}')
        self.check_strips(self.a, unit)
        browser.frames(self.a)
        self.open(self.a, f'#unit={MAIN}&tab=eq')
        self.a.refresh()
        self.assertTrue(self.linked(self.a))
        self.channel(self.a, 'out:4').click()
        self.a.find_elements(By.CSS_SELECTOR, '.chips.points .chip')[5].click()
        point = unit['outputs'][3]['eq']['points'][5]
        path = 'outputs[3].eq.points[5]'
        self.assertEqual(self.shown(self.a, path + '.frequencyHz'), f"{point['frequencyHz']:g}")
        self.assertEqual(self.shown(self.a, path + '.gainDb'), f"{point['gainDb']:+.1f}")
        self.assertEqual(self.shown(self.a, 'outputs[3].highPass.frequencyHz'),
                         f"{unit['outputs'][3]['highPass']['frequencyHz']:g}")
        snapshot = [m for t, m in browser.frames(self.a) if m['type'] == 'snapshot'
                    and m['unit'] == MAIN][-1]
        curve = snapshot['curves']['out:4']
        self.assertGreater(max(curve), 6)  # the program's curve has the point's peak
        for j in [j for j in range(0, 256, 16) if -28 < curve[j] < 16]:
            y, expected = self.curve_y(self.a, j, curve[j])
            self.assertLess(abs(y - expected), 3, f'curve at point {j}: {curve[j]} dB')

    def test_fader_and_mute_reach_the_unit_and_the_other_browser(self):
        self.open(self.a, f'#unit={MAIN}')
        self.open(self.b, f'#unit={MAIN}')
        mute, gain = 'outputs[4].mute', 'outputs[5].gainDb'
        self.watch_touch(self.a, mute)
        self.watch_shown(self.b, mute)
        self.control(self.a, mute).click()
        self.assertTrue(wait(lambda: self.shown(self.b, mute) is True))
        self.assertLess(self.latency(self.a, self.b, mute, lambda v: v == 'true'), 0.5)
        self.watch_touch(self.a, gain)
        self.watch_shown(self.b, gain)
        self.drag(self.a, self.control(self.a, gain), 0, -100)
        shown = self.shown(self.a, gain)
        self.assertTrue(wait(lambda: self.shown(self.b, gain) == shown))
        self.assertLess(self.latency(self.a, self.b, gain, lambda v: float(v) == shown), 0.5)
        self.assertGreater(shown, 0)
        self.assertTrue(wait(lambda: self.rig.preset()['outputs'][5]['gainDb'] == shown, 2, 0.2))
        self.assertTrue(self.rig.preset()['outputs'][4]['mute'])
        strip = self.b.find_elements(By.CSS_SELECTOR, '.strip')[9]
        self.assertEqual(strip.find_element(By.CSS_SELECTOR, '.value').text, db_text(shown))

    def test_two_browsers_dragging_one_fader_never_jump_back(self):
        path = 'outputs[6].gainDb'
        for d in (self.a, self.b):
            self.open(d, f'#unit={MAIN}')
            self.record(d, path)
        ta = threading.Thread(target=self.drag, args=(self.a, self.control(self.a, path), 0, -150, 25))
        tb = threading.Thread(target=self.drag, args=(self.b, self.control(self.b, path), 0, 250, 25))
        ta.start(), tb.start()
        ta.join(), tb.join()
        time.sleep(0.5)
        held = self.rig.preset()['outputs'][6]['gainDb']
        for d, direction in ((self.a, 1), (self.b, -1)):
            dragging = [v for v, active in d.execute_script('return window.seen') if active]
            self.assertGreater(len(dragging), 5)
            steps = [direction * (b - a) for a, b in zip(dragging, dragging[1:])]
            self.assertGreaterEqual(min(steps), 0, f'jumped back: {dragging}')
            self.assertTrue(wait(lambda: self.shown(d, path) == held))

    def test_a_group_dragged_on_the_page_moves_both_units(self):
        own = [self.rig.preset(0)['inputs'][2]['gainDb'], self.rig.preset(1)['outputs'][0]['gainDb']]
        self.open(self.b, '#groups')
        self.open(self.a, '#groups')
        fader = self.a.find_element(By.CSS_SELECTOR, '.group[data-group="Mains"] [data-path="gainDb"]')
        self.drag(self.a, fader, 0, 40)
        shown = lambda d: float(d.find_element(By.CSS_SELECTOR, '.group[data-group="Mains"] '
                                               '[data-path="gainDb"]').get_attribute('aria-valuenow'))
        offset = shown(self.a)
        self.assertLess(offset, -3)
        self.assertTrue(wait(lambda: shown(self.b) == offset))
        held = lambda: [self.rig.preset(0)['inputs'][2]['gainDb'],
                        self.rig.preset(1)['outputs'][0]['gainDb']]
        self.assertTrue(wait(lambda: held() == [v + offset for v in own], 3, 0.2), held())
        self.assertTrue(wait(lambda: self.rig.kept_gain() == offset), 'kept in the groups file')

    def test_meters_arrive_and_move(self):
        self.open(self.a, f'#unit={MAIN}')
        browser.frames(self.a)
        time.sleep(2)
        times = [t for t, m in browser.frames(self.a)
                 if m['type'] == 'meters' and m['unit'] == MAIN]
        rate = (len(times) - 1) / (times[-1] - times[0])
        self.assertTrue(12 <= rate <= 20, rate)
        picture = "return Array.from(document.querySelectorAll('.meter canvas'))" \
                  ".map(function (c) { return c.toDataURL(); })"
        first = self.a.execute_script(picture)
        self.assertTrue(wait(lambda: self.a.execute_script(picture) != first, 2))

    def close_code(self, d, hello):
        """The code that closes a WebSocket of the page's origin after this hello."""
        return d.execute_async_script("""
            const hello = arguments[0], done = arguments[arguments.length - 1];
            const s = new WebSocket('ws://' + location.host + '/ws');
            s.onopen = function () { s.send(JSON.stringify(hello)); };
            s.onmessage = function (e) {
              const m = JSON.parse(e.data);
              if (m.type === 'welcome')
                s.send(JSON.stringify({type: 'set', id: 5, unit: 'QD408-Main-Stage', path: 'outputs[7].mute', value: true}));
              if (m.type === 'nack' || m.type === 'ack') { done(m.type); s.close(); }
            };
            s.onclose = function (e) { done(e.code); };""", hello)

    def test_each_browser_is_paired_under_its_name(self):
        listed = json.loads(self.rig.cli('paired', '--json', '--config',
                                         os.path.join(self.rig.dir.name, 'QelConfig.ini')))
        self.assertEqual([p['label'] for p in listed['pairings']], [self.label, 'Stage left'])

    def test_wrong_token_is_closed_and_read_only_gets_nack(self):
        d = self.b
        self.open(d, f'#unit={MAIN}')
        self.assertEqual(self.close_code(d, {'type': 'hello', 'token': '0' * 32}), 1008)
        token = d.execute_script('return localStorage.getItem("quellmar.token")')
        self.rig.stop()
        self.rig.start(read_only=True)
        try:
            d.refresh()
            self.assertTrue(self.linked(d))
            self.assertTrue(d.find_element(By.ID, 'readonly').is_displayed())
            self.assertEqual(self.close_code(d, {'type': 'hello', 'token': token}), 'nack')
            self.assertFalse(self.rig.preset()['outputs'][7]['mute'])
        finally:
            self.rig.stop()
            self.rig.start()
        self.assertTrue(self.linked(d))
        self.assertTrue(self.linked(self.a))

    def test_reopened_link_shows_the_unit_as_it_is(self):
        d = self.a
        self.open(d, f'#unit={MAIN}')
        self.rig.stop()
        self.assertTrue(wait(lambda: d.execute_script('return document.body.dataset.link') == 'lost'))
        self.assertIn('lost', d.find_element(By.ID, 'banner').text)
        unit = self.rig.preset()
        unit['outputs'][1]['gainDb'] = -12.0
        unit['inputs'][3]['mute'] = True
        self.rig.write(unit)
        self.rig.start()
        self.assertTrue(self.linked(d, 15))
        self.assertTrue(wait(lambda: self.shown(d, 'outputs[1].gainDb') == -12.0))
        self.check_strips(d, self.rig.preset())
        self.assertFalse(d.find_element(By.ID, 'banner').is_displayed())

    def test_serve_ends_cleanly_with_browsers_on_it(self):
        self.open(self.a, f'#unit={MAIN}')
        self.open(self.b, f'#unit={FILL}')
        try:
            self.rig.stop()
        finally:
            self.rig.start()
        self.assertTrue(self.linked(self.a, 15))
        self.assertEqual(self.rig.exits, [0] * len(self.rig.exits))


if __name__ == '__main__':
    unittest.main()
