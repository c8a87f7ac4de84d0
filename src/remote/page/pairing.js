// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The name a browser is paired under, asked for when the page opens with a pairing code. The
// proposal is made from what the browser says of itself: "Chromium on Linux", "Safari on iPad".
const Pairing = (function () {
  const el = Controls.el;
  const t = I18n.t;
  let typed = null;  // what the person wrote, kept when the page's language changes

  // Brands as Chromium's browsers tell them apart; the user agent alone reads "Chrome" in all.
  const kBrands = [['Google Chrome', 'Chrome'], ['Microsoft Edge', 'Edge'], ['Opera', 'Opera'],
                   ['Brave', 'Brave'], ['Chromium', 'Chromium']];

  function browserOf(ua, brands) {
    if (/Edg(A|iOS)?\//.test(ua)) return 'Edge';
    if (/OPR\/|Opera/.test(ua)) return 'Opera';
    if (/SamsungBrowser\//.test(ua)) return 'Samsung Internet';
    if (/Firefox\/|FxiOS\//.test(ua)) return 'Firefox';
    if (/CriOS\//.test(ua)) return 'Chrome';
    for (const [brand, name] of kBrands)
      if (brands.indexOf(brand) >= 0) return name;
    if (/Chromium\//.test(ua)) return 'Chromium';
    if (/Chrome\//.test(ua)) return 'Chrome';
    if (/Version\/.*Safari\//.test(ua)) return 'Safari';
    return '';
  }
  // An iPad asks for the desktop page as a Mac does; its touch screen tells it apart.
  function systemOf(ua, touchPoints) {
    if (/iPad/.test(ua) || (/Macintosh/.test(ua) && touchPoints > 1)) return 'iPad';
    if (/iPhone/.test(ua)) return 'iPhone';
    if (/Android/.test(ua)) return 'Android';
    if (/CrOS/.test(ua)) return 'ChromeOS';
    if (/Windows/.test(ua)) return 'Windows';
    if (/Macintosh|Mac OS X/.test(ua)) return 'Mac';
    if (/Linux|X11/.test(ua)) return 'Linux';
    return '';
  }
  function proposedName(ua, brands, touchPoints) {
    const browser = browserOf(ua, brands || []), system = systemOf(ua, touchPoints || 0);
    if (browser && system) return t('%2 上的 %1', browser, system);
    return browser || system || t('浏览器');
  }
  function ownBrands() {
    const data = navigator.userAgentData;
    return data && data.brands ? data.brands.map(function (b) { return b.brand; }) : [];
  }

  // Shows the question in box; done(name) once it is answered.
  function ask(box, done) {
    const form = el('form', 'pairing');
    const input = el('input', 'name');
    input.type = 'text';
    input.id = 'pair-name';
    input.maxLength = 80;
    input.autocomplete = 'off';
    input.value = typed !== null ? typed
                : proposedName(navigator.userAgent, ownBrands(), navigator.maxTouchPoints);
    input.addEventListener('input', function () { typed = input.value; });
    const label = el('label', '', t('名称'));
    label.htmlFor = input.id;
    const button = el('button', 'pair', t('配对'));
    button.type = 'submit';
    form.append(el('h2', 'title', t('为这个浏览器命名')),
                el('p', 'hint', t('Quellmar 用这个名称列出配对, 也可以在那里取消配对。')),
                label, input, button);
    form.addEventListener('submit', function (e) {
      e.preventDefault();
      done(input.value.trim() || proposedName(navigator.userAgent, ownBrands(),
                                              navigator.maxTouchPoints));
    });
    box.replaceChildren(form);
    input.focus();
  }

  return { proposedName: proposedName, ask: ask };
})();
