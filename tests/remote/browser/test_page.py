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

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from selenium.webdriver import ActionChains, Keys  # noqa: E402
from selenium.webdriver.support.ui import Select  # noqa: E402
from pagecase import PageCase, db_text  # noqa: E402
from standin import StandIn  # noqa: E402

PAGE = sys.argv.pop(1) if len(sys.argv) > 1 else None


class PageTest(PageCase):
    @classmethod
    def setUpClass(cls):
        cls.s = StandIn(PAGE)
        cls.base = f'http://127.0.0.1:{cls.s.port}/'
        cls.a = browser.start()
        cls.b = browser.start()
        assert cls.pair(cls.a, cls.base + '?pair=' + cls.s.pair_code)
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
        self.channel(self.a, 'out:4').click()
        self.a.find_elements(By.CSS_SELECTOR, '.chips.points .chip')[5].click()
        path = 'outputs[3].eq.points[5]'
        self.assertTrue(wait(lambda: self.shown(self.a, path + '.frequencyHz') == '1000'))
        self.assertEqual(self.shown(self.a, path + '.gainDb'), '+9.0')
        self.assertEqual(self.shown(self.a, path + '.q'), '1.4')
        self.assertEqual(self.shown(self.a, path + '.type'), 'peak')
        self.assertEqual(self.shown(self.a, 'outputs[3].highPass.frequencyHz'), '200')
        self.assertEqual(self.shown(self.a, 'outputs[3].lowPass.frequencyHz'), 'OFF')
        # "EQ PASS" shows over the view while the EQ is switched off, and only then.
        self.assertEqual(self.bright_pixels(self.a), 0)
        self.s.desktop_set('1', 'outputs[3].eq.on', False)
        self.assertTrue(wait(lambda: self.bright_pixels(self.a) > 100))
        self.s.desktop_set('1', 'outputs[3].eq.on', True)
        self.assertTrue(wait(lambda: self.bright_pixels(self.a) == 0))
        curve = self.s.call(lambda: self.s.unit('1').curves(('outputs', 3))['out:4'])
        # The drawn line passes where the server's gains put it, in the view's range.
        for j in [j for j in range(0, 256, 16) if -28 < curve[j] < 16]:
            y, expected = self.curve_y(self.a, j, curve[j])
            self.assertLess(abs(y - expected), 3, f'curve at point {j}: {curve[j]} dB')

    def test_edits_reach_the_unit_and_the_other_browser(self):
        self.open(self.a, '#unit=1')
        self.open(self.b, '#unit=1')
        mute, gain = 'outputs[3].mute', 'outputs[4].gainDb'
        self.assertFalse(self.s.value('1', mute))
        self.watch_touch(self.a, mute)
        self.watch_shown(self.b, mute)
        self.control(self.a, mute).click()
        self.assertTrue(wait(lambda: self.shown(self.b, mute) is True))
        self.assertTrue(self.s.value('1', mute))
        self.assertLess(self.latency(self.a, self.b, mute, lambda v: v == 'true'), 0.5)
        self.watch_touch(self.a, gain)
        self.watch_shown(self.b, gain)
        self.drag(self.a, self.control(self.a, gain), 0, -120, 30, 10)
        self.assertTrue(wait(lambda: self.sets(gain)[-1][4]))
        held = self.s.value('1', gain)
        self.assertGreater(held, 0)
        self.assertTrue(wait(lambda: self.shown(self.b, gain) == held))
        self.assertLess(self.latency(self.a, self.b, gain, lambda v: float(v) == held), 0.5)
        self.assertEqual(self.shown(self.a, gain), held)
        sent = self.sets(gain)
        self.assertEqual([x[4] for x in sent], [False] * (len(sent) - 1) + [True])
        # At most one set every 40 ms as the browser sends them; they arrive with some jitter.
        gaps = [b[0] - a[0] for a, b in zip(sent, sent[1:-1])]
        self.assertGreater(len(gaps), 2)
        self.assertLessEqual(len(gaps), sum(gaps) / 0.040 + 1)
        self.assertGreaterEqual(min(gaps), 0.020)

    def test_two_browsers_dragging_one_fader_never_jump_back(self):
        path = 'outputs[5].gainDb'
        for d in (self.a, self.b):
            self.open(d, '#unit=1')
            self.record(d, path)
        self.assertEqual(self.s.value('1', path), 0)
        ta = threading.Thread(target=self.drag, args=(self.a, self.control(self.a, path), 0, -150, 25))
        tb = threading.Thread(target=self.drag, args=(self.b, self.control(self.b, path), 0, 250, 25))
        ta.start(), tb.start()
        ta.join(), tb.join()
        clients = {x[1] for x in self.sets(path)}
        self.assertEqual(len(clients), 2)
        time.sleep(0.3)
        held = self.s.value('1', path)
        for d, direction in ((self.a, 1), (self.b, -1)):
            seen = d.execute_script('return window.seen')
            dragging = [v for v, active in seen if active]
            self.assertGreater(len(dragging), 5)
            steps = [direction * (b - a) for a, b in zip(dragging, dragging[1:])]
            self.assertGreaterEqual(min(steps), 0, f'jumped back: {dragging}')
            self.assertTrue(wait(lambda: self.shown(d, path) == held))

    def test_meters_arrive_and_move(self):
        self.open(self.a, '#unit=1')
        browser.frames(self.a)
        time.sleep(2)
        times = [t for t, m in browser.frames(self.a) if m['type'] == 'meters' and m['unit'] == '1']
        rate = (len(times) - 1) / (times[-1] - times[0])
        self.assertTrue(12 <= rate <= 20, rate)
        picture = "return document.querySelectorAll('.meter canvas')[4].toDataURL()"
        first = self.a.execute_script(picture)
        self.assertTrue(wait(lambda: self.a.execute_script(picture) != first, 1))
        # The level numbers are rewritten twice a second, not at the meters' rate.
        self.a.execute_script("""
            window.levels = [];
            const e = document.querySelectorAll('.level')[4];
            new MutationObserver(function () { window.levels.push(e.textContent); })
              .observe(e, { childList: true, characterData: true, subtree: true });""")
        time.sleep(2.1)
        levels = self.a.execute_script('return window.levels')
        self.assertTrue(2 <= len(levels) <= 5, levels)
        self.assertRegex(levels[-1], r'^([+-]\d+\.\d|-∞) dB$')

    def test_wrong_token_is_refused_and_read_only_gets_nack(self):
        d = self.b
        d.execute_script('localStorage.setItem("quellmar.token", "0123")')
        d.refresh()
        self.assertTrue(wait(lambda: d.execute_script('return document.body.dataset.link') == 'unpaired'))
        self.assertIn('没有配对', d.find_element(By.ID, 'banner').text)
        d.execute_script('localStorage.setItem("quellmar.token", arguments[0])',
                         self.s.read_only_token)
        d.get(self.base + '#unit=1')
        d.refresh()
        self.assertTrue(self.linked(d))
        self.assertTrue(wait(lambda: d.find_elements(By.CSS_SELECTOR, '.strip')))
        self.assertTrue(d.find_element(By.ID, 'readonly').is_displayed())
        path = 'inputs[2].mute'
        before = len(self.sets(path))
        self.control(d, path).click()
        self.assertFalse(self.shown(d, path))
        self.assertEqual(len(self.sets(path)), before)  # read-only: the page offers no edits
        d.execute_script('localStorage.setItem("quellmar.token", arguments[0])', self.s.token)
        d.refresh()
        self.assertTrue(self.linked(d))
        # A set the server refuses: the reason shows and the control goes back to the unit's value.
        self.s.call(lambda: self.s.unit('1').info.update(busy=True))
        try:
            self.control(d, path).click()
            self.assertTrue(wait(lambda: d.find_element(By.ID, 'toast').is_displayed()))
            self.assertIn('the unit cannot take edits now', d.find_element(By.ID, 'toast').text)
            self.assertTrue(wait(lambda: self.shown(d, path) is False))
            self.assertFalse(self.s.value('1', path))
        finally:
            self.s.set_busy('1', False)

    def test_dropped_link_comes_back_with_the_unit_and_busy_shows(self):
        d = self.a
        self.open(d, '#unit=1')
        path = 'outputs[6].gainDb'
        self.s.drop_sockets()
        self.s.desktop_set('1', path, -12)
        self.assertTrue(wait(lambda: d.execute_script('return document.body.dataset.link') == 'lost'))
        self.assertIn('连接已断开', d.find_element(By.ID, 'banner').text)
        levels = "return Array.from(document.querySelectorAll('.level'), e => e.textContent)"
        self.assertEqual(set(d.execute_script(levels)), {''})  # no levels from a lost link
        self.assertTrue(self.linked(d))
        self.assertTrue(wait(lambda: self.shown(d, path) == -12))
        for side, count in (('inputs', 4), ('outputs', 8)):
            for k in range(count):
                p = f'{side}[{k}].gainDb'
                self.assertEqual(self.shown(d, p), self.s.value('1', p))
        self.assertFalse(d.find_element(By.ID, 'banner').is_displayed())
        self.s.set_busy('1', True)
        self.assertTrue(wait(lambda: '正在传输数据' in d.find_element(By.ID, 'banner').text))
        before = len(self.s.sets)
        self.control(d, 'outputs[6].mute').click()
        self.s.set_busy('1', False)
        self.assertTrue(wait(lambda: not d.find_element(By.ID, 'banner').is_displayed()))
        self.assertEqual(len(self.s.sets), before)
        self.assertFalse(self.shown(d, 'outputs[6].mute'))

    def test_typed_delay_in_metres_and_bad_text(self):
        d = self.a
        self.open(d, '#unit=1&tab=delay')
        Select(d.find_element(By.CSS_SELECTOR, '.delays .head select')).select_by_value('m')
        box = self.control(d, 'outputs[1].delay.ms')
        box.send_keys(Keys.CONTROL, 'a')
        box.send_keys('10', Keys.ENTER)
        self.assertTrue(wait(lambda: self.s.value('1', 'outputs[1].delay.ms') > 0))
        ms = self.s.value('1', 'outputs[1].delay.ms')
        self.assertAlmostEqual(ms, 10 / 0.346, delta=0.021)
        self.assertTrue(wait(lambda: self.shown(d, 'outputs[1].delay.ms') == f'{ms * 0.346:.3f}'))
        box = self.control(d, 'outputs[1].delay.ms')
        box.send_keys(Keys.CONTROL, 'a')
        box.send_keys('ten', Keys.ENTER)
        self.assertEqual(self.shown(d, 'outputs[1].delay.ms'), f'{ms * 0.346:.3f}')
        self.assertTrue(wait(lambda: d.find_element(By.ID, 'toast').is_displayed()))
        self.assertEqual(d.find_element(By.ID, 'toast').text, '"ten" 不是有效的数值')
        self.assertEqual(self.s.value('1', 'outputs[1].delay.ms'), ms)
        Select(d.find_element(By.CSS_SELECTOR, '.delays .head select')).select_by_value('ms')

    def test_eq_point_dragged_by_finger(self):
        d = self.a
        self.open(d, '#unit=1&tab=eq')
        self.channel(d, 'in:C').click()
        path = 'inputs[2].eq.points[7]'
        before = self.s.value('1', path)
        canvas = d.find_element(By.CSS_SELECTOR, 'canvas.eqview')
        x, y = self.point_offset(d, before)
        chain = ActionChains(d, duration=25).move_to_element_with_offset(canvas, x, y)
        chain.click_and_hold()
        for _ in range(10):
            chain.move_by_offset(6, -8)
        chain.release().perform()
        self.assertTrue(wait(lambda: self.sets(path)[-1][4]))
        after = self.s.value('1', path)
        self.assertGreater(after['frequencyHz'], before['frequencyHz'])
        self.assertGreater(after['gainDb'], before['gainDb'])
        self.assertTrue(wait(lambda: self.shown(d, path + '.gainDb') == f"{after['gainDb']:+.1f}"))
        self.assertEqual(self.shown(d, path + '.frequencyHz'), f"{after['frequencyHz']:g}")

    def language_shown(self, d):
        return d.execute_script('return document.documentElement.lang')

    def test_languages_and_fit_at_tablet_and_phone_size(self):
        d = self.a
        views = ['', '#unit=1', '#unit=1&tab=eq', '#unit=1&tab=delay', '#unit=1&tab=limit',
                 '#unit=2&tab=eq']
        self.s.set_state('2', 'not-answering')
        try:
            for language in ('zh', 'en'):
                self.s.language = language
                d.refresh()
                self.assertTrue(self.linked(d))
                self.assertEqual(self.language_shown(d), language)
                for size in ('tablet', 'phone'):
                    browser.resize(d, size)
                    for view in views:
                        self.open(d, view)
                        if view.endswith('eq') and view.startswith('#unit=1'):
                            self.channel(d, 'out:8').click()
                        where = f'{language} {size} {view}'
                        self.assertEqual(browser.layout_faults(d), [], where)
                        if language == 'en':
                            self.assertEqual(browser.cjk_shown(d), [], where)
            # Asked to, the page takes the browser's language (Chinese here) over the program's.
            Select(d.find_element(By.ID, 'language')).select_by_value('browser')
            self.assertEqual(self.language_shown(d), 'zh')
            self.assertIn('延时', d.find_element(By.CSS_SELECTOR, '.tabs').text)
            Select(d.find_element(By.ID, 'language')).select_by_value('program')
            self.assertEqual(self.language_shown(d), 'en')
        finally:
            self.s.language = 'zh'
            self.s.set_state('2', 'online')
            browser.resize(d, 'tablet')

    def in_group(self, d, name, css):
        return d.find_element(By.CSS_SELECTOR, f'.group[data-group="{name}"] {css}')

    def group_shown(self, d, name, path):
        return float(self.in_group(d, name, f'[data-path="{path}"]').get_attribute('aria-valuenow'))

    def test_groups_show_and_move_and_fit(self):
        d, b = self.a, self.b
        self.open(b, '#groups')
        self.open(d, '')
        d.find_element(By.CSS_SELECTOR, '.tabs.home [data-tab="groups"]').click()
        self.assertTrue(wait(lambda: len(d.find_elements(By.CSS_SELECTOR, '.group')) == 2))
        self.assertEqual(self.in_group(d, 'Mains', '.count').text, '成员: 2')
        self.assertEqual(self.in_group(d, 'Mains', '.away').text, '等待设备: Delay Tower 输出 1')
        self.assertEqual(self.in_group(d, 'Front fills and delays', '.away').text,
                         '缺失: Side Fill 输出 2')
        # A drag: sets while the finger moves, the last one final; the other browser follows.
        fader = self.in_group(d, 'Mains', '[data-path="gainDb"]')
        self.drag(d, fader, 0, 60)
        self.assertTrue(wait(lambda: self.sets('Mains:gainDb') and self.sets('Mains:gainDb')[-1][4]))
        sent = self.sets('Mains:gainDb')
        self.assertEqual([x[4] for x in sent], [False] * (len(sent) - 1) + [True])
        held = self.s.group('Mains')['gainDb']
        self.assertLess(held, -5)
        for browser_ in (d, b):
            self.assertTrue(wait(lambda: self.group_shown(browser_, 'Mains', 'gainDb') == held))
        self.assertEqual(self.in_group(b, 'Mains', '.value').text, db_text(held))
        self.in_group(d, 'Mains', '[data-path="mute"]').click()
        box = self.in_group(d, 'Mains', '[data-path="delayMs"]')
        box.send_keys(Keys.CONTROL, 'a')
        box.send_keys('-2.5', Keys.ENTER)
        self.assertTrue(wait(lambda: self.s.group('Mains')['delayMs'] == -2.5))
        self.assertTrue(self.s.group('Mains')['mute'])
        # Past a member's limit: the group stops there and its strip says why.
        self.drag(d, fader, 0, -250)
        message = lambda: self.in_group(d, 'Mains', '.message')
        self.assertTrue(wait(lambda: message().is_displayed()))
        self.assertIn('is at its limit', message().text)
        self.assertTrue(wait(lambda: self.group_shown(d, 'Mains', 'gainDb') == 6.0))
        try:
            for language in ('zh', 'en'):
                d.execute_script('I18n.setProgramLanguage(arguments[0])', language)
                for size in ('tablet', 'phone'):
                    browser.resize(d, size)
                    self.assertEqual(browser.layout_faults(d), [], f'{language} {size}')
                    if language == 'en':
                        self.assertEqual(browser.cjk_shown(d), [], size)
            self.assertEqual(self.in_group(d, 'Mains', '.away').text,
                             'Waiting for the unit: Delay Tower Output 1')
        finally:
            d.execute_script('I18n.setProgramLanguage("zh")')
            browser.resize(d, 'tablet')

    def test_pairing_asks_for_a_name_made_from_the_browser(self):
        d = self.b
        cases = [  # user agent, touch points, brands: the name proposed
            ('Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) '
             'Chrome/120.0.0.0 Safari/537.36', 0, ['Not_A Brand', 'Chromium'], 'Chromium on Linux'),
            ('Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like '
             'Gecko) Version/17.2 Safari/605.1.15', 5, [], 'Safari on iPad'),
            ('Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like '
             'Gecko) Version/17.2 Safari/605.1.15', 0, [], 'Safari on Mac'),
            ('Mozilla/5.0 (iPhone; CPU iPhone OS 17_2 like Mac OS X) AppleWebKit/605.1.15 (KHTML, '
             'like Gecko) CriOS/120.0.6099.119 Mobile/15E148 Safari/604.1', 5, [], 'Chrome on iPhone'),
            ('Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) '
             'Chrome/120.0.0.0 Mobile Safari/537.36', 5, ['Google Chrome', 'Chromium'],
             'Chrome on Android'),
            ('Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:121.0) Gecko/20100101 Firefox/121.0',
             0, [], 'Firefox on Windows'),
            ('Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) '
             'Chrome/120.0.0.0 Safari/537.36 Edg/120.0.2210.91', 0, ['Microsoft Edge'],
             'Edge on Windows'),
            ('curl/8.0', 0, [], 'Browser'),
        ]
        d.refresh()
        self.assertTrue(self.linked(d))
        d.execute_script('I18n.setProgramLanguage("en")')
        proposed = [d.execute_script('return Pairing.proposedName.apply(null, arguments)', ua,
                                     brands, touch) for ua, touch, brands, _ in cases]
        self.assertEqual(proposed, [name for *_, name in cases])
        d.execute_script('I18n.setProgramLanguage("zh")')
        self.assertEqual(d.execute_script('return Pairing.proposedName(arguments[0], [], 5)',
                                          cases[1][0]), 'iPad 上的 Safari')

        # This browser, opened with the pairing address: its own name is proposed, the
        # question fits in both languages at both sizes, and the name given goes with the code.
        token = d.execute_script('return localStorage.getItem("quellmar.token")')
        url = self.base + '?pair=' + self.s.pair_code
        try:
            for language in ('en', 'zh'):
                d.execute_script('I18n.setProgramLanguage(arguments[0])', language)
                d.get(url)
                self.assertTrue(wait(lambda: d.find_elements(By.ID, 'pair-name')))
                self.assertEqual(d.execute_script('return document.body.dataset.link'), 'naming')
                self.assertEqual(d.find_element(By.ID, 'pair-name').get_attribute('value'),
                                 'Chromium on Linux' if language == 'en' else 'Linux 上的 Chromium')
                for size in ('tablet', 'phone'):
                    browser.resize(d, size)
                    self.assertEqual(browser.layout_faults(d), [], f'{language} {size}')
                    if language == 'en':
                        self.assertEqual(browser.cjk_shown(d), [], size)
            browser.resize(d, 'tablet')
            hellos = len(self.s.hellos)
            self.assertEqual(self.pair(d, url, 'FOH tablet'), 'FOH tablet')
            self.assertEqual(self.s.hellos[hellos:], [{'type': 'hello', 'pair': self.s.pair_code,
                                                       'label': 'FOH tablet'}])
            self.assertNotIn('pair=', d.current_url)
        finally:
            browser.resize(d, 'tablet')
            d.execute_script('localStorage.setItem("quellmar.token", arguments[0])', token)
            d.get(self.base)
            self.assertTrue(self.linked(d))

    def test_eq_point_swiped_on_a_phone(self):
        d = self.a
        browser.resize(d, 'phone')
        try:
            self.open(d, '#unit=1&tab=eq')
            self.channel(d, 'in:D').click()
            path = 'inputs[3].eq.points[2]'
            before = self.s.value('1', path)
            canvas = d.find_element(By.CSS_SELECTOR, 'canvas.eqview')
            d.execute_script('arguments[0].scrollIntoView({block: "end"})', canvas)
            x, y = self.point_offset(d, before)
            self.swipe(d, canvas, 10, -60, 12, x, y)
            self.assertTrue(wait(lambda: self.sets(path) and self.sets(path)[-1][4]))
            after = self.s.value('1', path)
            self.assertGreater(after['gainDb'], before['gainDb'] + 3)
            self.assertTrue(wait(lambda: self.shown(d, path + '.gainDb') == f"{after['gainDb']:+.1f}"))
        finally:
            browser.resize(d, 'tablet')

    def test_unit_trouble_shows(self):
        d = self.a
        self.open(d, '#unit=1')
        for state, text in (('not-answering', '设备无响应'), ('offline', '设备已经断开!')):
            self.s.set_state('1', state)
            self.assertTrue(wait(lambda: d.find_element(By.ID, 'banner').text == text))
            self.assertIn('locked', d.find_element(By.TAG_NAME, 'body').get_attribute('class'))
        self.s.set_state('1', 'online')
        self.assertTrue(wait(lambda: not d.find_element(By.ID, 'banner').is_displayed()))

    def test_alarms_show_on_every_page_and_are_acknowledged(self):
        d = self.a
        self.open(d, '#unit=1')
        alarm = {'number': 7, 'unit': '1', 'unitName': 'Stage-L (QD408)', 'kind': 'clip',
                 'channel': 'out:3', 'since': '2026-12-09T20:14:03.120+01:00', 'acknowledged': False}
        self.s.set_alarms([alarm])
        box = lambda: d.find_element(By.ID, 'alarms')
        self.assertTrue(wait(lambda: box().is_displayed() and '报警: 1 (新 1)' in box().text))
        self.assertIn('new', box().get_attribute('class'))
        self.assertIn('Stage-L (QD408): 削波 out:3', box().text)
        box().find_element(By.CSS_SELECTOR, '.alarm .acknowledge').click()
        self.assertTrue(wait(lambda: self.s.acknowledged == [7]))
        self.s.set_alarms([dict(alarm, acknowledged=True)])
        self.assertTrue(wait(lambda: 'new' not in box().get_attribute('class')))
        self.assertEqual(box().find_elements(By.CSS_SELECTOR, '.acknowledge'), [])
        self.s.set_alarms([])
        self.assertTrue(wait(lambda: not box().is_displayed()))

    def test_a_unit_gone_from_the_list_says_so(self):
        d = self.a
        self.open(d, '#unit=QD408-Removed')
        gone = lambda: d.find_elements(By.CSS_SELECTOR, '.gone')
        self.assertTrue(wait(gone))
        self.assertIn('这台设备不在设备列表中', gone()[0].text)
        gone()[0].find_element(By.CSS_SELECTOR, 'a').click()
        self.assertTrue(wait(lambda: len(d.find_elements(By.CSS_SELECTOR, '.list .card')) == 2))


if __name__ == '__main__':
    unittest.main()
