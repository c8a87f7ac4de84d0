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


EXPECTED = ('favicon',  # none is served
            'willReadFrequently',  # tests read canvases back
            'ERR_CONNECTION_REFUSED')  # the page retrying while the server is down


def errors(d):
    """Messages of the page's console above info, but not those the tests bring about."""
    return [e for e in d.get_log('browser') if e['level'] in ('SEVERE', 'WARNING')
            and not any(x in e['message'] for x in EXPECTED)]


# Texts that do not fit their box, boxes that overlap, a page wider than the view.
LAYOUT_FAULTS = """
const faults = [];
const view = document.documentElement.clientWidth;
if (document.documentElement.scrollWidth > view) faults.push('page wider than the view');
const boxes = [];
const name = function (e) { return e.tagName + '.' + e.className + ' "' + (e.textContent || e.value) + '"'; };
document.querySelectorAll('body *').forEach(function (e) {
  const r = e.getBoundingClientRect();
  if (!r.width || !r.height || e.closest('[hidden]') || e.tagName === 'OPTION') return;
  if (e.tagName === 'INPUT' || e.tagName === 'SELECT') {
    if (e.scrollWidth > e.clientWidth + 1) faults.push('cut: ' + name(e));
    boxes.push([e, r]);
    return;
  }
  if (e.tagName === 'CANVAS' || e.classList.contains('fader')) { boxes.push([e, r]); return; }
  const own = Array.from(e.childNodes).some(function (n) { return n.nodeType === 3 && n.textContent.trim(); });
  if (!own) return;
  const range = document.createRange();
  range.selectNodeContents(e);
  const t = range.getBoundingClientRect();
  if (t.left < r.left - 1 || t.right > r.right + 1 || t.top < r.top - 1 || t.bottom > r.bottom + 1 ||
      t.left < 0 || t.right > view)
    faults.push('cut: ' + name(e));
  boxes.push([e, t]);
});
for (let i = 0; i < boxes.length; ++i)
  for (let j = i + 1; j < boxes.length; ++j) {
    const a = boxes[i], b = boxes[j];
    if (a[0].contains(b[0]) || b[0].contains(a[0])) continue;
    const x = Math.min(a[1].right, b[1].right) - Math.max(a[1].left, b[1].left);
    const y = Math.min(a[1].bottom, b[1].bottom) - Math.max(a[1].top, b[1].top);
    if (x > 1 && y > 1) faults.push('overlap: ' + name(a[0]) + ' / ' + name(b[0]));
  }
return faults;
"""


def layout_faults(d):
    return d.execute_script(LAYOUT_FAULTS)


def cjk_shown(d):
    """Chinese characters the page shows, in its text, its lists' choices and its tool tips."""
    texts = d.execute_script("""
        return [document.body.innerText].concat(
            Array.from(document.querySelectorAll('option')).map(function (o) { return o.text; }),
            Array.from(document.querySelectorAll('[title]')).map(function (e) { return e.title; }));""")
    return [t for t in texts if CJK.search(t)]
