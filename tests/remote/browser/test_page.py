#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""The remote page in headless Chromium against the stand-in server: what it shows, what it
sends, two browsers on one unit, meters, pairing trouble, a dropped link and a busy unit, both
languages at tablet and phone size. test_page.py PAGE_DIR [unittest arguments]"""
import os
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from selenium.webdriver import ActionChains  # noqa: E402
from standin import StandIn  # noqa: E402

PAGE = sys.argv.pop(1) if len(sys.argv) > 1 else None


def db_text(v):
    return f'{v:+.1f} dB'


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = StandIn(PAGE)
        cls.base = f'http://127.0.0.1:{cls.s.port}/'
        cls.a = browser.start()
        cls.b = browser.start()
        cls.a.get(cls.base + '?pair=' + cls.s.pair_code)
        cls.b.get(cls.base)
        cls.b.execute_script('localStorage.setItem("quellmar.token", arguments[0])', cls.s.token)
        for d in (cls.a, cls.b):
            d.refresh()
            assert cls.linked(d)

    @classmethod
    def tearDownClass(cls):
        for d in (cls.a, cls.b):
            d.quit()
        cls.s.stop()

    def tearDown(self):
        for d in (self.a, self.b):
            self.assertEqual(browser.errors(d), [])

    @staticmethod
    def linked(d):
        return wait(lambda: d.execute_script("return document.body.dataset.link") == 'open')

    def open(self, d, view):
        d.get(self.base + view)
        self.assertTrue(self.linked(d))
        self.assertTrue(wait(lambda: d.find_elements(By.CSS_SELECTOR, '[data-path], .card')))

    def shown(self, d, path):
        """What the control of a path shows: a fader's value, a toggle's state, a box's text."""
        return d.execute_script("""
            const e = document.querySelector('[data-path="' + arguments[0] + '"]');
            if (!e) return null;
            if (e.getAttribute('role') === 'slider') return Number(e.getAttribute('aria-valuenow'));
            if (e.tagName === 'BUTTON') return e.getAttribute('aria-pressed') === 'true';
            return e.value;""", path)

    def control(self, d, path):
        return d.find_element(By.CSS_SELECTOR, f'[data-path="{path}"]')

    def drag(self, d, element, dx, dy, steps=12):
        chain = ActionChains(d, duration=25).click_and_hold(element)
        for _ in range(steps):
            chain.move_by_offset(dx / steps, dy / steps)
        chain.release().perform()

    def sets(self, path):
        return [x for x in self.s.sets if x[2] == path]

    def test_list_strips_and_eq_show_the_unit(self):
        self.s.desktop_set('1', 'inputs[1].gainDb', -7.5)
        self.s.desktop_set('1', 'outputs[2].polarity', 'inverted')
        self.open(self.a, '')
        cards = self.a.find_elements(By.CSS_SELECTOR, '.card')
        self.assertEqual([c.get_attribute('data-unit') for c in cards], ['1', '2'])
        self.assertIn('Main Stage', cards[0].text)
        self.assertIn('状态:在线', cards[0].text)
        cards[0].click()
        self.assertTrue(wait(lambda: len(self.a.find_elements(By.CSS_SELECTOR, '.strip')) == 12))
        for k, side in [(k, 'inputs') for k in range(4)] + [(j, 'outputs') for j in range(8)]:
            path = f'{side}[{k}]'
            gain = self.s.value('1', path + '.gainDb')
            self.assertEqual(self.shown(self.a, path + '.gainDb'), gain)
            self.assertEqual(self.shown(self.a, path + '.mute'), self.s.value('1', path + '.mute'))
            strip = self.a.find_elements(By.CSS_SELECTOR, '.strip')[k + (4 if side == 'outputs' else 0)]
            self.assertEqual(strip.find_element(By.CSS_SELECTOR, '.value').text, db_text(gain))
        self.assertIn('180°', self.control(self.a, 'outputs[2].polarity').text)
        self.check_curve()

    def check_curve(self):
        point = {'type': 'peak', 'frequencyHz': 1000, 'gainDb': 9.0, 'q': 1.4}
        self.s.desktop_set('1', 'outputs[3].eq.points[5]', point)
        self.s.desktop_set('1', 'outputs[3].highPass.frequencyHz', 200)
        self.open(self.a, '#unit=1&tab=eq')
        self.a.find_element(By.CSS_SELECTOR, '.chip[data-channel="out:4"]').click()
        self.a.find_elements(By.CSS_SELECTOR, '.chips.points .chip')[5].click()
        path = 'outputs[3].eq.points[5]'
        self.assertTrue(wait(lambda: self.shown(self.a, path + '.frequencyHz') == '1000'))
        self.assertEqual(self.shown(self.a, path + '.gainDb'), '+9.0')
        self.assertEqual(self.shown(self.a, path + '.q'), '1.4')
        self.assertEqual(self.shown(self.a, path + '.type'), 'peak')
        self.assertEqual(self.shown(self.a, 'outputs[3].highPass.frequencyHz'), '200')
        self.assertEqual(self.shown(self.a, 'outputs[3].lowPass.frequencyHz'), 'OFF')
        curve = self.s.call(lambda: self.s.unit('1').curves(('outputs', 3))['out:4'])
        # The drawn line passes where the server's gains put it, in the view's range.
        for j in [j for j in range(0, 256, 16) if -28 < curve[j] < 16]:
            h = self.a.execute_script("return document.querySelector('canvas.eqview').clientHeight")
            expected = 8 + (18 - curve[j]) / 48 * (h - 30)
            y = self.a.execute_script("""
                const c = document.querySelector('canvas.eqview');
                const w = c.clientWidth, x = 34 + arguments[0] / 256 * (w - 42);
                const px = c.getContext('2d').getImageData(Math.round(x), 0, 1, c.height).data;
                let best = -1;
                for (let y = 0; y < c.height; ++y)
                  if (px[4 * y] < 120 && px[4 * y + 1] > 150 && px[4 * y + 2] > 200 &&
                      (best < 0 || Math.abs(y - arguments[1]) < Math.abs(best - arguments[1])))
                    best = y;
                return best;""", j, expected)
            self.assertLess(abs(y - expected), 3, f'curve at point {j}: {curve[j]} dB')


if __name__ == '__main__':
    unittest.main()
