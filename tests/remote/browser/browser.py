# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""Headless Chromium for the page's tests: a tablet or phone sized view, touch as on a tablet,
the browser's log of WebSocket frames, and small helpers to read what the page shows."""
import json
import re
import time

from selenium import webdriver
from selenium.webdriver.common.by import By

SIZES = {'tablet': (1024, 768, False), 'phone': (390, 844, True)}
CJK = re.compile('[\u3000-\u9fff\uff00-\uffef]')


def start(lang='zh-CN'):
    o = webdriver.ChromeOptions()
    for a in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
              '--lang=' + lang, '--window-size=1024,900', '--no-first-run'):
        o.add_argument(a)
    o.add_experimental_option('prefs', {'intl.accept_languages': lang})
    o.set_capability('goog:loggingPrefs', {'browser': 'ALL', 'performance': 'ALL'})
    d = webdriver.Chrome(options=o)
    d.implicitly_wait(0)
    resize(d, 'tablet')
    return d


def resize(d, size):
    w, h, mobile = SIZES[size]
    d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                      {'width': w, 'height': h, 'deviceScaleFactor': 1, 'mobile': mobile})
    d.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': mobile})


def wait(what, timeout=5.0, every=0.02):
    """Polls what() until it is true; returns its last value."""
    end = time.monotonic() + timeout
    while True:
        v = what()
        if v or time.monotonic() > end:
            return v
        time.sleep(every)


def frames(d):
    """The WebSocket messages the browser received since the last call: (time, message)."""
    out = []
    for entry in d.get_log('performance'):
        m = json.loads(entry['message'])['message']
        if m['method'] == 'Network.webSocketFrameReceived':
            out.append((m['params']['timestamp'], json.loads(m['params']['response']['payloadData'])))
    return out


def text(d, css):
    found = d.find_elements(By.CSS_SELECTOR, css)
    return found[0].text if found else None


def errors(d):
    """Messages of the page's console above info, but not a missing favicon."""
    return [e for e in d.get_log('browser')
            if e['level'] in ('SEVERE', 'WARNING') and 'favicon' not in e['message']
            and 'willReadFrequently' not in e['message']]
