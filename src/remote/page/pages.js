// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The pages of one unit: strips (gain, mute, phase, meter), delay and limiter per output.
const Pages = (function () {
  const el = Controls.el;
  const t = I18n.t;
  const kLetters = 'ABCD';
  const kMsPerSample = 0.020833332;
  const kMaxMs = 682;
  const kDelayUnits = [['ms', '毫秒', 1, 'ms'], ['m', '米', 0.346, 'm'],
                       ['ft', '英尺', 1.1351706054, 'ft']];
  const kAttack = [1, 2, 5, 10, 20, 30, 40, 50, 60, 70, 80, 90];
  const kRelease = [10, 20, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000];
  const kGreen = ['#3ddc84', '#243a2c'], kYellow = ['#ffc53d', '#3a3424'];  // lit, dark
  const kRed = ['#ff5a4a', '#3a2624'];

  function signed(v, digits) { return (v >= 0 ? '+' : '') + v.toFixed(digits); }
  function dbText(v) { return typeof v === 'number' ? signed(v, 1) + ' dB' : ''; }
  function number(text) {
    const v = Number(String(text).replace(',', '.').trim());
    return text.trim() !== '' && isFinite(v) ? v : undefined;
  }
  // The channels of a preset: {kind, index, path, name, short, meter}.
  function channels(preset) {
    const list = [];
    preset.inputs.forEach(function (c, k) {
      list.push({ output: false, index: k, path: 'inputs[' + k + ']', key: 'in:' + kLetters[k],
                  name: t('输入 %1', kLetters[k]), short: t('输入') + ' ' + kLetters[k] });
    });
    preset.outputs.forEach(function (c, j) {
      list.push({ output: true, index: j, path: 'outputs[' + j + ']', key: 'out:' + (j + 1),
                  name: t('输出 %1', j + 1), short: t('输出') + ' ' + (j + 1) });
    });
    return list;
  }

  // A meter: level in segments 0..32 (1.5 dB each, 32 = +18 dB), drawn as it arrives; its
  // number is written by the page twice a second.
  // The canvas fills a box of the layout's size and adds no size of its own.
  function meter(view, ch) {
    const box = el('div', 'meter');
    const canvas = el('canvas');
    box.append(canvas);
    const text = el('span', 'level');
    view.meters.push({ output: ch.output, index: ch.index, canvas: canvas, text: text });
    return { box: box, text: text };
  }
  function drawMeter(m, level) {
    const c = m.canvas;
    const dpr = window.devicePixelRatio || 1;
    const w = c.clientWidth, h = c.clientHeight;
    if (!w || !h) return;
    if (c.width !== Math.round(w * dpr)) c.width = Math.round(w * dpr);
    if (c.height !== Math.round(h * dpr)) c.height = Math.round(h * dpr);
    const ctx = c.getContext('2d');
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    ctx.clearRect(0, 0, w, h);
    const vertical = h > w;
    const length = vertical ? h : w;
    const cell = length / 32;
    for (let s = 0; s < 32; ++s) {
      const lit = s < level;
      const colours = s >= 28 ? kRed : s >= 20 ? kYellow : kGreen;  // above +12 dB, above 0 dB
      ctx.fillStyle = colours[lit ? 0 : 1];
      if (vertical) ctx.fillRect(0, h - (s + 1) * cell + 1, w, cell - 1);
      else ctx.fillRect(s * cell, 0, cell - 1, h);
    }
  }
  function levelText(level) { return level > 0 ? signed(level * 1.5 - 30, 1) : '-∞'; }

  function strip(view, ch) {
    const box = el('section', 'strip' + (ch.output ? ' out' : ' in'));
    box.dataset.channel = ch.key;
    const m = meter(view, ch);
    const value = el('div', 'value');
    const fader = Controls.fader(view, ch.path + '.gainDb', { min: -50, max: 12, step: 0.5 },
                                 function (v) { value.textContent = dbText(v); });
    const body = el('div', 'body');
    body.append(m.box, fader);
    const buttons = el('div', 'buttons');
    buttons.append(Controls.toggle(view, ch.path + '.mute', t('静音'), true, false));
    if (ch.output) buttons.append(phaseButton(view, ch));
    box.append(el('h3', 'name', ch.name), body, value, m.text, buttons);
    return box;
  }
  function phaseButton(view, ch) {
    return Controls.toggle(view, ch.path + '.polarity', function (v) {
      return t('相位') + ' ' + (v === 'inverted' ? '180°' : '0°');
    }, 'inverted', 'normal');
  }
  function strips(view, preset) {
    const box = el('div', 'strips');
    channels(preset).forEach(function (ch) { box.append(strip(view, ch)); });
    return box;
  }

  function delayUnit() {
    const u = localStorage.getItem('quellmar.delayUnit');
    return kDelayUnits.find(function (d) { return d[0] === u; }) || kDelayUnits[0];
  }
  function delayRow(view, ch, unit) {
    const row = el('div', 'row');
    row.dataset.channel = ch.key;
    const m = meter(view, ch);
    const input = Controls.entry(view, ch.path + '.delay.ms', function (text) {
      const v = number(text);
      return v === undefined ? undefined : Math.min(kMaxMs, Math.max(0, v / unit[2]));
    }, function (ms) { return typeof ms === 'number' ? (ms * unit[2]).toFixed(3) : ''; });
    const samples = el('span', 'note');
    const b = input.binding, render = b.render;
    b.render = function (ms) {
      render(ms);
      samples.textContent = typeof ms === 'number' ? t('%1 采样', Math.round(ms / kMsPerSample)) : '';
    };
    const field = el('label', 'field');
    field.append(input, el('span', 'suffix', unit[3]));
    row.append(el('h3', 'name', ch.name), field, samples, m.box);
    return row;
  }
  function delays(view, preset) {
    const box = el('div', 'table delays');
    const unit = delayUnit();
    const select = el('select', 'choice');
    kDelayUnits.forEach(function (d) {
      const o = el('option', '', t(d[1]));
      o.value = d[0];
      select.append(o);
    });
    select.value = unit[0];
    select.addEventListener('change', function () {
      localStorage.setItem('quellmar.delayUnit', select.value);
      view.rebuild();
    });
    const head = el('label', 'field head');
    head.append(el('span', '', t('单位:')), select);
    box.append(head);
    channels(preset).filter(function (c) { return c.output; }).forEach(function (ch) {
      box.append(delayRow(view, ch, unit));
    });
    return box;
  }

  function limiterRow(view, ch) {
    const row = el('div', 'row');
    row.dataset.channel = ch.key;
    const value = el('span', 'value');
    const fader = Controls.fader(view, ch.path + '.limiter.thresholdDb',
                                 { min: -10, max: 20, step: 0.5 },
                                 function (v) { value.textContent = dbText(v); });
    const times = function (list) { return list.map(function (ms) { return [ms, ms + ' ms']; }); };
    const attack = el('label', 'field');
    attack.append(el('span', '', t('启动时间')),
                  Controls.choice(view, ch.path + '.limiter.attackMs', times(kAttack)));
    const release = el('label', 'field');
    release.append(el('span', '', t('释放时间')),
                   Controls.choice(view, ch.path + '.limiter.releaseMs', times(kRelease)));
    const level = el('div', 'threshold');
    level.append(el('span', 'caption', t('限幅电平')), fader, value);
    row.append(el('h3', 'name', ch.name), level, attack, release);
    return row;
  }
  function limiters(view, preset) {
    const box = el('div', 'table limiters');
    channels(preset).filter(function (c) { return c.output; }).forEach(function (ch) {
      box.append(limiterRow(view, ch));
    });
    return box;
  }

  return { channels: channels, strips: strips, delays: delays, limiters: limiters,
           drawMeter: drawMeter, levelText: levelText, number: number, dbText: dbText };
})();
