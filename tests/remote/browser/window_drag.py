#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""One tablet-sized browser on the window program's remote control, driven by the Qt test that
runs the window and the simulated unit. It pairs, drags an output's EQ point with the pointer
and writes what the page then shows as one JSON line; it waits for "undone" on its input and
writes what the page shows after the desktop's undo.
window_drag.py PAIRING_URL UNIT_ID OUTPUT POINT   (OUTPUT and POINT count from 0)"""
import json
import os
import sys
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from pagecase import PageCase  # noqa: E402
from selenium.webdriver import ActionChains  # noqa: E402

URL, UNIT, OUTPUT, POINT = (sys.argv.pop(1) for _ in range(4)) if len(sys.argv) > 4 else [None] * 4


def plain(point):
    """What the page shows of a point: its frequency and gain."""
    return {k: point[k] for k in ('frequencyHz', 'gainDb')}


def say(message):
    print(json.dumps(message), flush=True)


class WindowDragTest(PageCase):
    @classmethod
    def setUpClass(cls):
        cls.base = URL.split('?')[0]
        cls.a = browser.start()

    @classmethod
    def tearDownClass(cls):
        cls.a.quit()

    log = []  # every message the page sent or received: (sent, message)

    def messages(self, kind, sent=False):
        for entry in self.a.get_log('performance'):
            m = json.loads(entry['message'])['message']
            if m['method'] in ('Network.webSocketFrameSent', 'Network.webSocketFrameReceived'):
                self.log.append((m['method'].endswith('Sent'),
                                 json.loads(m['params']['response']['payloadData'])))
        return [m for out, m in self.log if out == sent and m['type'] == kind]

    def point_shown(self, path):
        return {'frequencyHz': float(self.shown(self.a, path + '.frequencyHz')),
                'gainDb': float(self.shown(self.a, path + '.gainDb'))}

    def test_pair_drag_and_see_the_desktop_undo(self):
        d, channel = self.a, f'out:{int(OUTPUT) + 1}'
        path = f'outputs[{OUTPUT}].eq.points[{POINT}]'
        self.assertTrue(self.pair(d, URL))
        self.assertTrue(d.execute_script('return localStorage.getItem("quellmar.token")'))
        self.open(d, f'#unit={UNIT}&tab=eq')
        self.channel(d, channel).click()
        d.find_elements(By.CSS_SELECTOR, '.chips.points .chip')[int(POINT)].click()
        preset = [m for m in self.messages('snapshot') if m['unit'] == UNIT][-1]['preset']
        before = preset['outputs'][int(OUTPUT)]['eq']['points'][int(POINT)]

        canvas = d.find_element(By.CSS_SELECTOR, 'canvas.eqview')
        x, y = self.point_offset(d, before)
        self.drag_from(canvas, x, y, 60, -50)
        # Once the release is answered, the page shows the program's value.
        final = wait(lambda: [m['id'] for m in self.messages('set', True) if m['final']])
        self.assertTrue(final)
        self.assertTrue(wait(lambda: [m for m in self.messages('ack') if m['id'] == final[-1]]))
        last = [m for m in self.messages('changed') if path in m['values']][-1]
        self.assertTrue(wait(lambda: self.point_shown(path) == plain(last['values'][path])))
        self.assertEqual(last['by']['kind'], 'client')
        after = last['values'][path]
        self.assertNotEqual(plain(after), plain(before))
        say({'before': before, 'after': after, 'curve': last['curves'][channel]})

        self.assertEqual(sys.stdin.readline().strip(), 'undone')
        self.assertTrue(wait(lambda: self.point_shown(path) == plain(before)),
                        [(m['by'], m['values']) for m in self.messages('changed')])
        undo = self.messages('changed')[-1]
        self.assertEqual(undo['by']['kind'], 'desktop')
        self.assertEqual(undo['values'][path], before)
        say({'undone': self.point_shown(path)})

    def drag_from(self, canvas, x, y, dx, dy, steps=10):
        chain = ActionChains(self.a, duration=25).move_to_element_with_offset(canvas, x, y)
        chain.click_and_hold()
        for _ in range(steps):
            chain.move_by_offset(dx / steps, dy / steps)
        chain.release().perform()


if __name__ == '__main__':
    unittest.main()
