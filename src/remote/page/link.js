// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The WebSocket to the program: pairing, hello, keep-alive, reconnecting, and the units' state
// as the server last told it (snapshots with their changes applied).
const Link = (function () {
  const kRetryMs = 1000;
  const kPingMs = 5000;   // a ping after this much silence...
  const kDeadMs = 4000;   // ...and the link counts as lost when nothing answers it
  const state = {
    status: 'connecting',  // naming (asking the name to pair under), connecting, open, lost, unpaired
    readOnly: false,
    client: 0,
    units: [],
    listed: false,  // the units came on this link: an id missing from them is gone
    gone: {},  // ids the program said no unit has
    unit: {},  // id -> {revision, preset, curves, busy}
    groups: null,  // the program's groups as last told; null: it offers none
  };
  const handlers = {};
  const pending = {};
  let socket = null;
  let nextId = 1;
  let heard = 0;
  let pairCode = null;
  let label = '';  // the name to pair under
  let meterRate = 0;
  let opened = null;  // the unit the page shows: the program connects it if need be

  function on(type, f) { (handlers[type] = handlers[type] || []).push(f); }
  function emit(type, m) { (handlers[type] || []).forEach(function (f) { f(m); }); }
  function send(m) {
    if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(m));
  }
  function setStatus(s) {
    state.status = s;
    emit('status');
  }

  function parsePath(path) {
    const keys = [];
    path.split('.').forEach(function (part) {
      const m = /^([A-Za-z]+)(?:\[(\d+)\])?$/.exec(part);
      keys.push(m[1]);
      if (m[2] !== undefined) keys.push(Number(m[2]));
    });
    return keys;
  }
  function get(unitId, path) {
    const u = state.unit[unitId];
    let v = u && u.preset;
    for (const k of parsePath(path)) v = v === undefined || v === null ? undefined : v[k];
    return v;
  }
  function put(preset, path, value) {
    const keys = parsePath(path);
    let o = preset;
    for (let i = 0; i < keys.length - 1; ++i) {
      if (o[keys[i]] === undefined) return;
      o = o[keys[i]];
    }
    o[keys[keys.length - 1]] = value;
  }

  function hello() {
    const m = { type: 'hello' };
    const token = localStorage.getItem('quellmar.token');
    if (pairCode) { m.pair = pairCode; m.label = label; }
    else if (token) m.token = token;
    send(m);
  }
  function welcome(m) {
    if (m.token) localStorage.setItem('quellmar.token', m.token);
    pairCode = null;
    state.readOnly = !!m.readOnly;
    state.client = m.client;
    state.groups = null;  // told again after the units when the program has groups
    if (m.language) I18n.setProgramLanguage(m.language);
    send({ type: 'subscribe', units: '*', meters: meterRate });
    send({ type: 'open', unit: opened });
    setStatus('open');
  }
  function snapshot(m) {
    const old = state.unit[m.unit] || {};
    state.unit[m.unit] = { revision: m.revision, preset: m.preset, curves: m.curves || {},
                           busy: old.busy || false };
    emit('snapshot', m);
  }
  function changed(m) {
    const u = state.unit[m.unit];
    if (!u || m.revision < u.revision) return;
    u.revision = m.revision;
    Object.keys(m.values || {}).forEach(function (p) { put(u.preset, p, m.values[p]); });
    Object.assign(u.curves, m.curves || {});
    emit('changed', m);
  }
  function answer(m) {
    const done = pending[m.id];
    delete pending[m.id];
    if (done) done(m);
    emit(m.type, m);
  }
  function units(m) {
    state.units = m.units || [];
    state.listed = true;
    state.units.forEach(function (u) { delete state.gone[u.id]; });
    syncBusy();
    emit('units', m);
  }
  // The program names no unit by this id (it left the list, or the id is from before a
  // restart and the unit was removed or renamed).
  function gone(unitId) {
    state.gone[unitId] = true;
    emit('gone', { unit: unitId });
  }
  function receive(m) {
    if (m.type === 'welcome') welcome(m);
    else if (m.type === 'units') units(m);
    else if (m.type === 'snapshot') snapshot(m);
    else if (m.type === 'changed') changed(m);
    else if (m.type === 'gone') gone(m.unit);
    else if (m.type === 'nack' && m.gone && typeof m.unit === 'string') {
      gone(m.unit);
      answer(m);
    } else if (m.type === 'ack' || m.type === 'nack') answer(m);
    else if (m.type === 'busy') setBusy(m.unit, !!m.busy);
    else if (m.type === 'groups') {
      state.groups = m.groups || [];
      emit('groups', m);
    }
    else emit(m.type, m);
  }
  function syncBusy() {
    state.units.forEach(function (u) { if (state.unit[u.id]) state.unit[u.id].busy = !!u.busy; });
  }
  function setBusy(unitId, busy) {
    state.units.forEach(function (u) { if (u.id === unitId) u.busy = busy; });
    if (state.unit[unitId]) state.unit[unitId].busy = busy;
    emit('busy', { unit: unitId, busy: busy });
  }

  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    const s = new WebSocket(scheme + location.host + '/ws');
    socket = s;
    state.listed = false;
    state.gone = {};
    s.onopen = function () { heard = Date.now(); hello(); };
    s.onmessage = function (event) {
      heard = Date.now();
      let m;
      try { m = JSON.parse(event.data); } catch (e) { return; }
      if (m && typeof m.type === 'string') receive(m);
    };
    s.onclose = function (event) {
      if (socket !== s) return;
      socket = null;
      Object.keys(pending).forEach(function (id) { delete pending[id]; });
      if (event.code === 1008) return setStatus('unpaired');
      setStatus('lost');
      setTimeout(connect, kRetryMs);
    };
  }
  // A request that gets an answer (ack or nack): done(answer) is called with it, if one comes.
  function request(m, done) {
    m.id = nextId++;
    if (done) pending[m.id] = done;
    send(m);
    return m.id;
  }
  function keepAlive() {
    if (!socket || socket.readyState !== WebSocket.OPEN) return;
    const quiet = Date.now() - heard;
    if (quiet > kPingMs + kDeadMs) socket.close();
    else if (quiet > kPingMs) send({ type: 'ping' });
  }

  return {
    state: state,
    on: on,
    get: get,
    parsePath: parsePath,
    // Sends one setting; done(ack or nack) is called with the answer, if one comes.
    set: function (unitId, path, value, final, done) {
      return request({ type: 'set', unit: unitId, path: path, value: value, final: final }, done);
    },
    // Sets a value of a group (gainDb, mute, polarity, delayMs), as set does one of a unit.
    setGroup: function (group, path, value, final, done) {
      return request({ type: 'set', group: group, path: path, value: value, final: final }, done);
    },
    // Acknowledges an alarm by its number, or every alarm ('*').
    acknowledge: function (number, done) {
      return request({ type: 'acknowledge', alarm: number }, done);
    },
    // Which side wins for a unit that came back with other settings: 'unit' or 'program'.
    settle: function (unitId, keep) {
      send({ type: 'settle', id: nextId++, unit: unitId, keep: keep });
    },
    // The unit the page shows (null: the list).
    open: function (unitId) {
      opened = unitId || null;
      if (state.status === 'open') send({ type: 'open', unit: opened });
    },
    meters: function (rate) {
      meterRate = rate;
      if (state.status === 'open') send({ type: 'subscribe', units: '*', meters: rate });
    },
    // Opened with a pairing code, the page first asks for the name (status "naming").
    start: function () {
      pairCode = new URLSearchParams(location.search).get('pair');
      setInterval(keepAlive, 1000);
      if (pairCode) setStatus('naming');
      else connect();
    },
    // Pairs under that name; the code leaves the address, as it pairs only once.
    pair: function (name) {
      label = name.slice(0, 80);
      history.replaceState(null, '', location.pathname + location.hash);
      setStatus('connecting');
      connect();
    },
  };
})();
