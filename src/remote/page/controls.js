// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// Controls bound to one value of a unit: they show the server's value, and while a finger or
// the keyboard works on them they hold what is being entered until the server answers.
const Controls = (function () {
  const kSendMs = 40;     // at most one set per control this often while dragging
  const kHoldMs = 2000;   // the longest a released control waits for its answer

  function el(tag, cls, text) {
    const e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // One value (a preset path of the view's unit, or one the view gets and sends itself) and
  // what shows it.
  function Binding(view, path, render) {
    this.view = view;
    this.path = path;
    this.render = render;
    this.held = false;
    this.timer = 0;
    this.lastSent = 0;
    this.queued = undefined;
    this.waiting = false;
    view.bindings.push(this);
  }
  Binding.prototype.value = function () {
    return this.view.get ? this.view.get(this.path) : Link.get(this.view.unitId, this.path);
  };
  Binding.prototype.send = function (value, final, done) {
    if (this.view.send) return this.view.send(this.path, value, final, done);
    return Link.set(this.view.unitId, this.path, value, final, done);
  };
  Binding.prototype.update = function () { if (!this.held) this.render(this.value()); };
  Binding.prototype.hold = function () { this.held = true; clearTimeout(this.timer); };
  Binding.prototype.release = function () {
    this.held = false;
    this.waiting = false;
    clearTimeout(this.timer);
    this.update();
  };
  // While dragging: at most one set every 40 ms, the newest value last.
  Binding.prototype.drag = function (value) {
    this.hold();
    this.queued = value;
    const wait = this.lastSent + kSendMs - Date.now();
    if (wait > 0) {
      this.timer = setTimeout(this.flush.bind(this), wait);
      return;
    }
    this.flush();
  };
  Binding.prototype.flush = function () {
    if (this.queued === undefined) return;
    this.lastSent = Date.now();
    this.send(this.queued, false);
    this.queued = undefined;
  };
  // The last value: sent as final, shown until the server answers it.
  Binding.prototype.commit = function (value) {
    this.hold();
    this.queued = undefined;
    const self = this;
    if (!this.view.editable()) return this.release();
    this.waiting = true;
    this.send(value, true, function (answer) {
      if (answer.type === 'nack') self.view.refused(answer.reason, answer);
      else if (self.view.accepted) self.view.accepted(answer);
      self.release();
    });
    this.timer = setTimeout(function () { self.release(); }, kHoldMs);
  };

  // A fader over [min, max] in steps; vertical when it is taller than wide. Moves by the
  // finger's travel, not to where it lands, so a touch alone changes nothing.
  function fader(view, path, range, format) {
    const box = el('div', 'fader');
    const fill = el('div', 'fill');
    const knob = el('div', 'knob');
    box.append(fill, knob);
    box.tabIndex = 0;
    box.setAttribute('role', 'slider');
    box.dataset.path = path;
    let shown = range.min;
    const show = function (v) {
      if (typeof v !== 'number') return;
      shown = v;
      box.style.setProperty('--f', String((v - range.min) / (range.max - range.min)));
      box.setAttribute('aria-valuenow', String(v));
      if (format) format(v);
    };
    const b = new Binding(view, path, show);
    const snap = function (v) {
      const s = Math.round((v - range.min) / range.step) * range.step + range.min;
      return Math.min(range.max, Math.max(range.min, Number(s.toFixed(3))));
    };
    let start = null;
    box.addEventListener('pointerdown', function (e) {
      if (!view.editable()) return;
      box.setPointerCapture(e.pointerId);
      const r = box.getBoundingClientRect();
      const vertical = r.height > r.width;
      start = { x: e.clientX, y: e.clientY, v: shown, vertical: vertical,
                length: vertical ? r.height : r.width, moved: false };
      box.classList.add('active');
      b.hold();
    });
    box.addEventListener('pointermove', function (e) {
      if (!start) return;
      const d = start.vertical ? start.y - e.clientY : e.clientX - start.x;
      const v = snap(start.v + d / start.length * (range.max - range.min));
      if (v === shown && !start.moved) return;
      start.moved = true;
      show(v);
      b.drag(v);
    });
    const end = function () {
      if (!start) return;
      const moved = start.moved;
      start = null;
      box.classList.remove('active');
      if (moved) b.commit(shown);
      else b.release();
    };
    box.addEventListener('pointerup', end);
    box.addEventListener('pointercancel', end);
    box.addEventListener('keydown', function (e) {
      const d = { ArrowUp: 1, ArrowRight: 1, ArrowDown: -1, ArrowLeft: -1 }[e.key];
      if (!d || !view.editable()) return;
      e.preventDefault();
      const v = snap(shown + d * range.step);
      show(v);
      b.commit(v);
    });
    return box;
  }

  // A button that switches a value between two states; text may be a function of the value.
  function toggle(view, path, text, on, off) {
    const button = el('button', 'toggle', typeof text === 'function' ? '' : text);
    button.type = 'button';
    button.dataset.path = path;
    const b = new Binding(view, path, function (v) {
      if (typeof text === 'function') button.textContent = text(v);
      button.classList.toggle('on', v === on);
      button.setAttribute('aria-pressed', String(v === on));
    });
    button.addEventListener('click', function () {
      if (!view.editable()) return;
      const next = b.value() === on ? off : on;
      button.classList.toggle('on', next === on);
      b.commit(next);
    });
    return button;
  }

  // A typed number: read when it is confirmed, shown as the server holds it otherwise.
  // parse(text) gives the value to send or undefined; format(value) the text to show.
  function entry(view, path, parse, format) {
    const input = el('input', 'entry');
    input.type = 'text';
    input.inputMode = 'decimal';
    input.autocomplete = 'off';
    input.dataset.path = path;
    const b = new Binding(view, path, function (v) { input.value = format(v); });
    input.addEventListener('focus', function () { b.hold(); input.select(); });
    input.addEventListener('blur', function () { if (!b.waiting) b.release(); });
    input.addEventListener('keydown', function (e) { if (e.key === 'Enter') input.blur(); });
    input.addEventListener('change', function () {
      const v = parse(input.value);
      if (v === undefined && view.editable()) view.unreadable(input.value);
      if (v === undefined || !view.editable()) return b.release();
      b.commit(v);
    });
    input.binding = b;
    return input;
  }

  // A list of choices; options are [value, text] pairs.
  function choice(view, path, options) {
    const select = el('select', 'choice');
    select.dataset.path = path;
    options.forEach(function (o) {
      const option = el('option', '', o[1]);
      option.value = String(o[0]);
      select.append(option);
    });
    const b = new Binding(view, path, function (v) { select.value = String(v); });
    select.addEventListener('change', function () {
      const o = options.find(function (x) { return String(x[0]) === select.value; });
      if (o && view.editable()) b.commit(o[0]);
      else b.release();
    });
    select.binding = b;
    return select;
  }

  return { el: el, Binding: Binding, fader: fader, toggle: toggle, entry: entry, choice: choice };
})();
