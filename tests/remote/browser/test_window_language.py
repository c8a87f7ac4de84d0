#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 the Quellmar developers
"""The window program started with --lang en while its settings keep no language (Chinese):
a page set to follow the program shows English, in a browser that prefers Chinese. The
browser comes back with a pairing the settings file kept from before.
test_window_language.py QUELLMAR [unittest arguments]"""
import hashlib
import os
import signal
import socket
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from browser import By, wait  # noqa: E402
from pagecase import PageCase, loopback_subnet  # noqa: E402

QUELLMAR = sys.argv.pop(1) if len(sys.argv) > 1 else None
TOKEN = '5e1f' * 8


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def can_connect(port):
    with socket.socket() as s:
        return s.connect_ex(('127.0.0.1', port)) == 0


class WindowLanguageTest(PageCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        work, config, locks = (os.path.join(self.dir.name, n) for n in ('work', 'config', 'locks'))
        for folder in (work, os.path.join(config, 'Quellmar'), locks):
            os.makedirs(folder, mode=0o700)
        self.port = free_port()
        ports = ''.join(f'COM{n}=/nonexistent\n' for n in range(1, 17))
        token_hash = hashlib.sha256(TOKEN.encode()).hexdigest()
        with open(os.path.join(work, 'QelConfig.ini'), 'w', encoding='utf-8') as f:
            f.write(f'[NetConfig]\nGateWay={loopback_subnet()}.1\nAutoIP=0\n\n'
                    f'[SerialPorts]\n{ports}\n'
                    f'[Remote]\nEnabled=true\nAddress=127.0.0.1\nPort={self.port}\n'
                    f'Paired\\1\\hash={token_hash}\nPaired\\1\\label=Old tablet\nPaired\\size=1\n')
        with open(os.path.join(config, 'Quellmar', 'Quellmar.conf'), 'w', encoding='utf-8') as f:
            f.write('[General]\nQuellmar_Once=1\n')  # a later start: no address window
        env = dict(os.environ, QT_QPA_PLATFORM='offscreen', XDG_CONFIG_HOME=config,
                   XDG_RUNTIME_DIR=locks, QT_LOGGING_RULES='qel.*=false')
        self.program = subprocess.Popen(
            [QUELLMAR, '--lang', 'en', '--work-dir', work, '--local-port', '0', '--search-port',
             '0'], env=env, stdout=subprocess.DEVNULL)
        self.assertTrue(wait(lambda: can_connect(self.port) or self.program.poll() is not None,
                             30, 0.1))
        self.assertIsNone(self.program.poll())
        self.a = browser.start('zh-CN')

    def tearDown(self):
        super().tearDown()
        self.a.quit()
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(20), 0)
        self.dir.cleanup()

    def test_a_page_following_the_program_shows_its_english(self):
        d = self.a
        base = f'http://127.0.0.1:{self.port}/'
        d.get(base)
        d.execute_script('localStorage.setItem("quellmar.token", arguments[0])', TOKEN)
        d.refresh()
        self.assertTrue(self.linked(d, 10))
        self.assertEqual(d.find_element(By.ID, 'language').get_attribute('value'), 'program')
        self.assertTrue(wait(lambda: d.execute_script('return document.documentElement.lang') == 'en'))
        # The window program has groups: the units and the groups are two tabs.
        tabs = lambda: [e.text for e in d.find_elements(By.CSS_SELECTOR, '.list .tab')]
        self.assertTrue(wait(lambda: tabs() == ['Units', 'Groups']), tabs())
        self.assertEqual(browser.cjk_shown(d), [])


if __name__ == '__main__':
    unittest.main()
