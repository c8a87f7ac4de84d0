#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""Pictures of the page against the stand-in server, at tablet and phone size in both languages,
for looking at: pictures.py PAGE_DIR OUT_DIR"""
import os
import sys
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from pagecase import PageCase  # noqa: E402
from standin import StandIn  # noqa: E402

VIEWS = ['', '#groups', '#unit=1', '#unit=1&tab=eq&ch=out:1', '#unit=1&tab=delay',
         '#unit=1&tab=limit', '#unit=2&tab=eq']


def stage(s):
    s.desktop_set('1', 'inputs[0].gainDb', -6.5)
    s.desktop_set('1', 'outputs[1].mute', True)
    s.desktop_set('1', 'outputs[2].polarity', 'inverted')
    s.desktop_set('1', 'outputs[0].delay.ms', 2.5)
    s.desktop_set('1', 'outputs[0].limiter.thresholdDb', 6)
    s.desktop_set('1', 'inputs[0].eq.points[0]',
                  {'type': 'low-shelf', 'frequencyHz': 80, 'gainDb': 4, 'q': 1})
    s.desktop_set('1', 'inputs[0].eq.points[4]',
                  {'type': 'peak', 'frequencyHz': 250, 'gainDb': -6.4, 'q': 2.4})
    s.desktop_set('2', 'outputs[0].highPass.frequencyHz', 100)
    s.desktop_set('2', 'outputs[0].lowPass.frequencyHz', 8000)
    s.set_state('2', 'not-answering')


def shoot(d, base, out, size, lang):
    browser.resize(d, size)
    for i, view in enumerate(VIEWS):
        d.get(base + view)
        browser.wait(lambda: d.execute_script(
            "return document.body.dataset.link === 'open' && !!document.querySelector('main *')"))
        if 'ch=' in view:
            d.find_element(browser.By.CSS_SELECTOR, '.chip[data-channel="out:1"]').click()
        time.sleep(0.6)
        d.save_screenshot(os.path.join(out, f'{size}-{lang}-{i}.png'))


def main():
    page, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    s = StandIn(page)
    stage(s)
    d = browser.start()
    try:
        pairing = f'http://127.0.0.1:{s.port}/?pair={s.pair_code}'
        d.get(pairing)  # the question for a name, first
        time.sleep(0.6)
        d.save_screenshot(os.path.join(out, 'tablet-zh-pairing.png'))
        PageCase.pair(d, pairing)
        for lang in ('zh', 'en'):
            s.language = lang
            for size in ('tablet', 'phone'):
                shoot(d, f'http://127.0.0.1:{s.port}/', out, size, lang)
        browser.resize(d, 'tablet')
        s.set_busy('1', True)
        d.get(f'http://127.0.0.1:{s.port}/#unit=1')
        time.sleep(0.6)
        d.save_screenshot(os.path.join(out, 'tablet-en-busy.png'))
        s.drop_sockets()
        time.sleep(0.3)
        d.save_screenshot(os.path.join(out, 'tablet-en-lost.png'))
        print('\n'.join(str(e) for e in browser.errors(d)))
    finally:
        d.quit()
        s.stop()


if __name__ == '__main__':
    main()
