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

    log = []  # every message the page received

    def messages(self, kind):
        self.log += [m for t, m in browser.frames(self.a)]
        return [m for m in self.log if m['type'] == kind and m.get('unit') == UNIT]

    def point_shown(self, path):
        return {'frequencyHz': float(self.shown(self.a, path + '.frequencyHz')),
                'gainDb': float(self.shown(self.a, path + '.gainDb'))}

    def test_pair_drag_and_see_the_desktop_undo(self):
        d, channel = self.a, f'out:{int(OUTPUT) + 1}'
        path = f'outputs[{OUTPUT}].eq.points[{POINT}]'
        d.get(URL)
        self.assertTrue(self.linked(d))
        self.assertTrue(d.execute_script('return localStorage.getItem("quellmar.token")'))
        self.open(d, f'#unit={UNIT}&tab=eq')
        self.channel(d, channel).click()
        d.find_elements(By.CSS_SELECTOR, '.chips.points .chip')[int(POINT)].click()
        before = self.messages('snapshot')[-1]['preset']['outputs'][int(OUTPUT)]['eq']['points'][int(POINT)]

        canvas = d.find_element(By.CSS_SELECTOR, 'canvas.eqview')
        x, y = self.point_offset(d, before)
        self.drag_from(canvas, x, y, 60, -90)
        # On release the page takes the program's value: the last change it was told of.
        self.assertTrue(wait(lambda: self.point_shown(path) != {
            k: before[k] for k in ('frequencyHz', 'gainDb')}))
        changes = self.messages('changed')
        self.assertTrue(changes)
        self.assertEqual(changes[-1]['by']['kind'], 'client')
        after = changes[-1]['values'][path]
        self.assertTrue(wait(lambda: self.point_shown(path) == {
            k: after[k] for k in ('frequencyHz', 'gainDb')}))
        say({'before': before, 'after': after, 'curve': changes[-1]['curves'][channel]})

        self.assertEqual(sys.stdin.readline().strip(), 'undone')
        back = {k: before[k] for k in ('frequencyHz', 'gainDb')}
        self.assertTrue(wait(lambda: self.point_shown(path) == back))
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
