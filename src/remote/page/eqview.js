// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The EQ view of one channel: the response the program computed, its EQ points, and points
// dragged with a finger (frequency across, gain up and down).
const EqView = (function () {
  const kTop = 18, kBottom = -30;        // dB shown
  const kLowHz = 10, kDecades = 3.4;     // 10 Hz .. 25 kHz, as the curves are computed
  const kGrabPx = 30;                    // how near a finger must land to take a point
  const kFreqs = [20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000];

  function hzText(f) { return f >= 1000 ? f / 1000 + 'k' : String(f); }
  function curveOf(c) {
    if (Array.isArray(c)) return c;
    return c && (c.gains || c.sum || null);
  }

  // channel: "in:A" or "out:3"; path: the channel's preset path ("outputs[2]").
  function EqView(view, channel, path, onSelect) {
    this.view = view;
    this.channel = channel;
    this.path = path;
    this.onSelect = onSelect;
    this.selected = 0;
    this.dragged = null;  // {index, point} while a finger holds a point
    this.canvas = Controls.el('canvas', 'eqview');
    this.canvas.dataset.channel = channel;
    this.bindings = [];
    this.listen();
  }
  EqView.prototype.points = function () {
    const eq = Link.get(this.view.unitId, this.path + '.eq');
    return eq ? eq.points : [];
  };
  EqView.prototype.geometry = function () {
    const c = this.canvas;
    const dpr = window.devicePixelRatio || 1;
    const w = c.clientWidth, h = c.clientHeight;
    if (c.width !== Math.round(w * dpr) || c.height !== Math.round(h * dpr)) {
      c.width = Math.round(w * dpr);
      c.height = Math.round(h * dpr);
    }
    const g = { w: w, h: h, dpr: dpr, left: 34, right: w - 8, top: 8, bottom: h - 22 };
    g.x = function (f) {
      return g.left + (Math.log10(f) - Math.log10(kLowHz)) / kDecades * (g.right - g.left);
    };
    g.y = function (db) { return g.top + (kTop - db) / (kTop - kBottom) * (g.bottom - g.top); };
    g.f = function (x) {
      return Math.pow(10, Math.log10(kLowHz) + (x - g.left) / (g.right - g.left) * kDecades);
    };
    g.db = function (y) { return kTop - (y - g.top) / (g.bottom - g.top) * (kTop - kBottom); };
    return g;
  };
  EqView.prototype.draw = function () {
    const g = this.geometry();
    const ctx = this.canvas.getContext('2d');
    ctx.setTransform(g.dpr, 0, 0, g.dpr, 0, 0);
    ctx.clearRect(0, 0, g.w, g.h);
    this.drawGrid(ctx, g);
    this.drawCurve(ctx, g);
    this.drawPass(ctx, g);
    this.drawPoints(ctx, g);
  };
  // "EQ PASS" over the curve while the channel's EQ is switched off, as the program shows it.
  EqView.prototype.drawPass = function (ctx, g) {
    const eq = Link.get(this.view.unitId, this.path + '.eq');
    if (!eq || eq.on !== false) return;
    ctx.font = 'bold 28px sans-serif';
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.fillStyle = 'rgba(255, 255, 255, 0.9)';
    ctx.fillText(I18n.t('EQ PASS'), (g.left + g.right) / 2, g.y(12));
  };
  EqView.prototype.drawGrid = function (ctx, g) {
    ctx.font = '11px sans-serif';
    ctx.lineWidth = 1;
    ctx.fillStyle = '#9aa3ad';
    ctx.textAlign = 'right';
    ctx.textBaseline = 'middle';
    for (let db = kBottom; db <= kTop; db += 6) {
      ctx.strokeStyle = db === 0 ? '#5d6873' : '#333a42';
      ctx.beginPath();
      ctx.moveTo(g.left, Math.round(g.y(db)) + 0.5);
      ctx.lineTo(g.right, Math.round(g.y(db)) + 0.5);
      ctx.stroke();
      ctx.fillText((db > 0 ? '+' : '') + db, g.left - 4, g.y(db));
    }
    ctx.textAlign = 'center';
    ctx.textBaseline = 'top';
    kFreqs.forEach(function (f) {
      const x = Math.round(g.x(f)) + 0.5;
      ctx.strokeStyle = '#333a42';
      ctx.beginPath();
      ctx.moveTo(x, g.top);
      ctx.lineTo(x, g.bottom);
      ctx.stroke();
      ctx.fillText(hzText(f), x, g.bottom + 5);
    });
  };
  EqView.prototype.drawCurve = function (ctx, g) {
    const u = Link.state.unit[this.view.unitId];
    const gains = curveOf(u && u.curves[this.channel]);
    if (!gains || !gains.length) return;
    ctx.save();
    ctx.beginPath();
    ctx.rect(g.left, g.top, g.right - g.left, g.bottom - g.top);
    ctx.clip();
    ctx.beginPath();
    gains.forEach(function (db, j) {
      const x = g.left + j / gains.length * (g.right - g.left);
      const y = g.y(Math.max(kBottom - 10, Math.min(kTop + 10, db)));
      if (j === 0) ctx.moveTo(x, y);
      else ctx.lineTo(x, y);
    });
    ctx.strokeStyle = '#4fc3ff';
    ctx.lineWidth = 2.5;
    ctx.stroke();
    ctx.lineTo(g.right, g.y(0));
    ctx.lineTo(g.left, g.y(0));
    ctx.fillStyle = 'rgba(79, 195, 255, 0.15)';
    ctx.fill();
    ctx.restore();
  };
  EqView.prototype.drawPoints = function (ctx, g) {
    const self = this;
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.font = 'bold 11px sans-serif';
    this.points().forEach(function (p, i) {
      if (self.dragged && self.dragged.index === i) p = self.dragged.point;
      const x = g.x(p.frequencyHz), y = g.y(p.gainDb);
      const selected = i === self.selected;
      ctx.beginPath();
      ctx.arc(x, y, selected ? 12 : 9, 0, 2 * Math.PI);
      ctx.fillStyle = selected ? '#ffd54a' : '#1a8fd8';
      ctx.fill();
      ctx.fillStyle = selected ? '#1d2024' : '#ffffff';
      ctx.fillText(String(i + 1), x, y + 0.5);
    });
  };
  EqView.prototype.nearest = function (e) {
    const g = this.geometry();
    const r = this.canvas.getBoundingClientRect();
    const x = e.clientX - r.left, y = e.clientY - r.top;
    let best = -1, bestD = kGrabPx;
    this.points().forEach(function (p, i) {
      const d = Math.hypot(g.x(p.frequencyHz) - x, g.y(p.gainDb) - y);
      if (d < bestD) { best = i; bestD = d; }
    });
    return best;
  };
  EqView.prototype.select = function (i) {
    this.selected = i;
    this.draw();
    this.onSelect(i);
  };
  EqView.prototype.listen = function () {
    const self = this;
    const c = this.canvas;
    let start = null;
    c.addEventListener('pointerdown', function (e) {
      const i = self.nearest(e);
      if (i < 0) return;
      if (i !== self.selected) self.select(i);
      if (!self.view.editable()) return;
      c.setPointerCapture(e.pointerId);
      const p = Object.assign({}, self.points()[i]);
      const g = self.geometry();
      start = { x: e.clientX, y: e.clientY, px: g.x(p.frequencyHz), py: g.y(p.gainDb), g: g };
      self.dragged = { index: i, point: p, binding: self.pointBinding(i) };
      self.dragged.binding.hold();
    });
    c.addEventListener('pointermove', function (e) {
      if (!start) return;
      const g = start.g;
      const p = self.dragged.point;
      const f = g.f(start.px + e.clientX - start.x);
      p.frequencyHz = Number(Math.min(21513, Math.max(19.8, f)).toPrecision(3));
      const db = g.db(start.py + e.clientY - start.y);
      p.gainDb = Math.round(Math.min(12, Math.max(-24, db)) * 5) / 5;
      self.dragged.binding.drag(Object.assign({}, p));
      if (self.onDrag) self.onDrag(p);
      self.draw();
    });
    const end = function () {
      if (!start) return;
      start = null;
      self.dragged.binding.commit(Object.assign({}, self.dragged.point));
    };
    c.addEventListener('pointerup', end);
    c.addEventListener('pointercancel', end);
  };
  // A dragged point is drawn where the finger put it until the server answers the release.
  EqView.prototype.pointBinding = function (i) {
    const self = this;
    const path = this.path + '.eq.points[' + i + ']';
    const b = new Controls.Binding(this.view, path, function () { self.draw(); });
    b.release = function () {
      if (self.dragged && self.dragged.binding === b) {
        self.dragged = null;
        if (self.onDrag) self.onDrag(null);
      }
      const at = self.view.bindings.indexOf(b);
      if (at >= 0) self.view.bindings.splice(at, 1);
      Controls.Binding.prototype.release.call(this);
    };
    return b;
  };

  return EqView;
})();
