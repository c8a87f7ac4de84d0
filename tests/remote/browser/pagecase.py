# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""What the page's browser tests share: two browsers on one page, reading what a control shows,
dragging it, watching it, and finding the EQ curve in its picture."""
import os
import unittest

from selenium.webdriver import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput

import browser
from browser import By, wait


def loopback_subnet():
    """A 127.a.b subnet of this process's own, so that tests running side by side never meet."""
    key = (os.getpid() * 8 + 7) % (254 * 254)
    return f'127.{1 + key // 254}.{1 + key % 254}'


def db_text(v):
    return f'{v:+.1f} dB'


class PageCase(unittest.TestCase):
    a = b = base = None

    def tearDown(self):
        for d in (self.a, self.b):
            if d:
                self.assertEqual(browser.errors(d), [])

    @staticmethod
    def linked(d, timeout=5):
        return wait(lambda: d.execute_script("return document.body.dataset.link") == 'open',
                    timeout)

    @staticmethod
    def pair(d, url, name=None):
        """Opens a pairing address and answers the page's question for a name (with the one
        it proposes unless given one); the name the page paired under, None when it did not."""
        d.get(url)
        if not wait(lambda: d.find_elements(By.ID, 'pair-name')):
            return None
        field = d.find_element(By.ID, 'pair-name')
        if name is not None:
            field.clear()
            field.send_keys(name)
        name = field.get_attribute('value')
        d.find_element(By.CSS_SELECTOR, '.pairing .pair').click()
        return name if PageCase.linked(d) else None

    def open(self, d, view):
        d.get(self.base + view)
        self.assertTrue(self.linked(d))
        self.assertTrue(wait(lambda: d.find_elements(By.CSS_SELECTOR, '[data-path], .card')))

    def channel(self, d, name):
        """The EQ tab's chip of a channel, once the unit's snapshot has drawn it."""
        css = f'.chip[data-channel="{name}"]'
        self.assertTrue(wait(lambda: d.find_elements(By.CSS_SELECTOR, css)), name)
        return d.find_element(By.CSS_SELECTOR, css)

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

    def drag(self, d, element, dx, dy, steps=12, step_ms=25):
        chain = ActionChains(d, duration=step_ms).click_and_hold(element)
        for _ in range(steps):
            chain.move_by_offset(dx / steps, dy / steps)
        chain.release().perform()

    def swipe(self, d, element, dx, dy, steps=12, x=0, y=0):
        """A finger's drag from (x, y) off the element's centre, as on a phone."""
        touch = ActionBuilder(d, mouse=PointerInput(interaction.POINTER_TOUCH, 'finger'),
                              duration=25)
        touch.pointer_action.move_to(element, round(x), round(y)).pointer_down()
        for _ in range(steps):
            touch.pointer_action.move_by(round(dx / steps), round(dy / steps))
        touch.pointer_action.pointer_up()
        touch.perform()

    def record(self, d, path):
        """From now on, every value the control shows, with the time and whether a finger is on it."""
        d.execute_script("""
            const e = document.querySelector('[data-path="' + arguments[0] + '"]');
            window.seen = [];
            new MutationObserver(function () {
              window.seen.push([Number(e.getAttribute('aria-valuenow')), e.classList.contains('active')]);
            }).observe(e, { attributes: true, attributeFilter: ['aria-valuenow', 'class'] });""", path)

    def point_offset(self, d, point):
        """Where an EQ point sits in the EQ view, off the view's centre."""
        return d.execute_script("""
            const c = document.querySelector('canvas.eqview'), p = arguments[0];
            const w = c.clientWidth, h = c.clientHeight;
            const x = 34 + (Math.log10(p.frequencyHz) - 1) / 3.4 * (w - 42);
            return [x - w / 2, 8 + (18 - p.gainDb) / 48 * (h - 30) - h / 2];""", point)

    def watch_touch(self, d, path):
        """From now on, when (ms of the clock) the control was last clicked or let go of."""
        d.execute_script("""
            const path = arguments[0], e = document.querySelector('[data-path="' + path + '"]');
            window.touched = window.touched || {};
            ['click', 'pointerup'].forEach(function (kind) {
              e.addEventListener(kind, function () { window.touched[path] = Date.now(); }, true);
            });""", path)

    def watch_shown(self, d, path):
        """From now on, when (ms of the clock) the control showed which value or state."""
        d.execute_script("""
            const path = arguments[0], e = document.querySelector('[data-path="' + path + '"]');
            window.shownAt = window.shownAt || {};
            const list = window.shownAt[path] = [];
            new MutationObserver(function () {
              const v = e.getAttribute('aria-valuenow');
              list.push([Date.now(), v === null ? e.getAttribute('aria-pressed') : v]);
            }).observe(e, { attributes: true, attributeFilter: ['aria-valuenow', 'aria-pressed'] });
            """, path)

    def latency(self, a, b, path, shows):
        """Seconds from the last touch of the control in browser a until browser b showed what
        shows() accepts for good (0 when it already did), None if it never did. The browsers
        share the machine's clock, so Selenium's own time does not count."""
        touched = a.execute_script('return window.touched[arguments[0]]', path)
        since = None
        for at, value in b.execute_script('return window.shownAt[arguments[0]]', path):
            if not shows(value):
                since = None
            elif since is None:
                since = at
        return None if since is None else max(0, since - touched) / 1000

    def curve_y(self, d, j, db):
        """Where the EQ view's line crosses the column of curve point j, and where db belongs."""
        h = d.execute_script("return document.querySelector('canvas.eqview').clientHeight")
        expected = 8 + (18 - db) / 48 * (h - 30)
        y = d.execute_script("""
            const c = document.querySelector('canvas.eqview');
            const w = c.clientWidth, x = 34 + arguments[0] / 256 * (w - 42);
            const px = c.getContext('2d').getImageData(Math.round(x), 0, 1, c.height).data;
            let best = -1;
            for (let y = 0; y < c.height; ++y)
              if (px[4 * y] < 120 && px[4 * y + 1] > 150 && px[4 * y + 2] > 200 &&
                  (best < 0 || Math.abs(y - arguments[1]) < Math.abs(best - arguments[1])))
                best = y;
            return best;""", j, expected)
        return y, expected

    def bright_pixels(self, d):
        """Near-white pixels of the EQ view between +16 and +7 dB across its middle half, where
        neither the grid, the curve nor points at 0 dB draw any."""
        return d.execute_script("""
            const c = document.querySelector('canvas.eqview'), r = c.width / c.clientWidth;
            const h = c.clientHeight, y = function (db) { return (8 + (18 - db) / 48 * (h - 30)) * r; };
            const px = c.getContext('2d').getImageData(c.width / 4, y(16), c.width / 2, y(7) - y(16)).data;
            let n = 0;
            for (let i = 0; i < px.length; i += 4) n += px[i] > 200 && px[i + 1] > 200 && px[i + 2] > 200;
            return n;""")
