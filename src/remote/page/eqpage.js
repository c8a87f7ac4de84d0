// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The EQ page: a channel's curve and points, the chosen point's values typed, and an output's
// high-pass and low-pass.
const EqPage = (function () {
  const el = Controls.el;
  const t = I18n.t;
  const kTypes = [['peak', 'PEQ'], ['low-shelf', 'LS'], ['high-shelf', 'HS']];
  const kShapes = [['butterworth-12', 'BtWorth -12dB'], ['butterworth-24', 'BtWorth -24dB'],
                   ['butterworth-36', 'BtWorth -36dB'], ['bessel-12', 'Bessel -12dB'],
                   ['bessel-24', 'Bessel -24dB'], ['bessel-36', 'Bessel -36dB'],
                   ['linkwitz-riley-12', 'Lik-Riley  -12dB'],
                   ['linkwitz-riley-24', 'Lik-Riley  -24dB'],
                   ['linkwitz-riley-36', 'Lik-Riley  -36dB']];

  function hz(v) {
    if (v === 'off') return 'OFF';
    return typeof v === 'number' ? String(v) : '';
  }
  function frequency(text) {
    if (/^\s*(off|关)\s*$/i.test(text)) return 'off';
    const v = Pages.number(text);
    return v === undefined || v <= 0 ? undefined : v;
  }
  function field(caption, control, suffix) {
    const f = el('label', 'field');
    f.append(el('span', '', caption), control);
    if (suffix) f.append(el('span', 'suffix', suffix));
    return f;
  }
  // The values of one point, in a scope of their own that is rebuilt when another is chosen.
  function pointFields(scope, path) {
    const box = el('div', 'fields');
    const gain = Controls.entry(scope, path + '.gainDb', Pages.number, function (v) {
      return typeof v === 'number' ? (v >= 0 ? '+' : '') + v.toFixed(1) : '';
    });
    const freq = Controls.entry(scope, path + '.frequencyHz', frequency, hz);
    const q = Controls.entry(scope, path + '.q', Pages.number, function (v) {
      return typeof v === 'number' ? v.toFixed(1) : '';
    });
    box.append(field(t('类型:'), Controls.choice(scope, path + '.type', kTypes)),
               field(t('频率:'), freq, 'Hz'), field(t('增益:'), gain, 'dB'), field('Q:', q));
    // While a finger drags the point, its numbers follow the finger.
    scope.follow = function (p) {
      [freq, gain].forEach(function (input) {
        if (!p) return input.binding.release();
        input.binding.hold();
        input.binding.render(input === freq ? p.frequencyHz : p.gainDb);
      });
    };
    return box;
  }
  function filterRow(view, ch, key, caption) {
    const row = el('div', 'filter');
    const path = ch.path + '.' + key;
    row.append(el('span', 'caption', caption), Controls.choice(view, path + '.shape', kShapes));
    const input = Controls.entry(view, path + '.frequencyHz', frequency, hz);
    const box = field('', input, 'Hz');
    const b = input.binding, render = b.render;
    b.render = function (v) {
      render(v);
      box.lastChild.hidden = v === 'off';  // "OFF" needs no unit
    };
    row.append(box);
    return row;
  }
  function chips(view, list, current) {
    const nav = el('nav', 'chips');
    list.forEach(function (ch) {
      const b = el('button', ch.key === current.key ? 'chip on' : 'chip', ch.short);
      b.type = 'button';
      b.dataset.channel = ch.key;
      b.addEventListener('click', function () { view.eqChannel = ch.key; view.rebuild(); });
      nav.append(b);
    });
    return nav;
  }
  function pointChips(count, eqview) {
    const nav = el('nav', 'chips points');
    for (let i = 0; i < count; ++i) {
      const b = el('button', 'chip', String(i + 1));
      b.type = 'button';
      b.addEventListener('click', function () { eqview.select(i); });
      nav.append(b);
    }
    return nav;
  }

  function build(view, preset) {
    const list = Pages.channels(preset);
    const ch = list.find(function (c) { return c.key === view.eqChannel; }) || list[0];
    const box = el('div', 'eq');
    const fields = el('div');
    let scope = null;
    const eqview = new EqView(view, ch.key, ch.path, function (i) {
      if (view.children.indexOf(scope) >= 0) view.children.splice(view.children.indexOf(scope), 1);
      view.eqPoint = i;
      scope = view.scope();
      fields.replaceChildren(pointFields(scope, ch.path + '.eq.points[' + i + ']'));
      scope.refresh();
      Array.from(nav.children).forEach(function (b, k) { b.classList.toggle('on', k === i); });
    });
    eqview.onDrag = function (p) { if (scope) scope.follow(p); };
    view.eqview = eqview;
    const count = Link.get(view.unitId, ch.path + '.eq.points').length;
    const nav = pointChips(count, eqview);
    const bar = el('div', 'eqbar');
    bar.append(Controls.toggle(view, ch.path + '.eq.on', t('EQ 直通'), false, true), nav);
    box.append(chips(view, list, ch), eqview.canvas, bar, fields);
    if (ch.output) {
      box.append(filterRow(view, ch, 'highPass', t('高通:')),
                 filterRow(view, ch, 'lowPass', t('低通:')));
    }
    eqview.select(Math.min(view.eqPoint || 0, count - 1));
    return box;
  }

  return { build: build };
})();
