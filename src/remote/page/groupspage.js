// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The groups page: one strip per group of channels across units with its gain offset, mute,
// polarity and delay offset, how many members it has, which of them wait for their unit or
// are missing, and why its last move stopped short of the value asked.
const GroupsPage = (function () {
  const el = Controls.el;
  const t = I18n.t;
  const kMaxDb = 62, kMaxMs = 682;  // the offsets a group may carry, either way
  const stopped = {};  // group name -> why its last move stopped at a member's limit

  function group(name) {
    return (Link.state.groups || []).find(function (g) { return g.name === name; });
  }
  function memberText(m) {
    const parts = m.channel.split(':');
    return m.unit + ' ' + (parts[0] === 'in' ? t('输入 %1', parts[1]) : t('输出 %1', parts[1]));
  }
  // What rebuilds the page: the groups, their members and the members' states.
  function shapeOf(groups) {
    return JSON.stringify((groups || []).map(function (g) {
      return [g.name, g.members.map(function (m) { return memberText(m) + m.state; })];
    }));
  }

  // The page, with its callbacks into the rest: refused(reason) shows a refusal,
  // unreadable(text) a typed text that is no number.
  function Page(refused, unreadable) {
    this.refused = refused;
    this.unreadable = unreadable;
    this.scopes = [];
    this.shape = '';
  }
  Page.prototype.editable = function () {
    return Link.state.status === 'open' && !Link.state.readOnly;
  };
  Page.prototype.build = function () {
    this.scopes = [];
    this.shape = shapeOf(Link.state.groups);
    const box = el('div', 'groups');
    const groups = Link.state.groups || [];
    if (!groups.length) box.append(el('p', 'empty', t('没有编组')));
    const self = this;
    groups.forEach(function (g) { box.append(self.strip(g.name)); });
    return box;
  };
  Page.prototype.refresh = function () {
    this.scopes.forEach(function (s) {
      s.bindings.forEach(function (b) { b.update(); });
    });
  };
  // Whether the groups changed so that the page is to be built again.
  Page.prototype.reshaped = function () { return shapeOf(Link.state.groups) !== this.shape; };

  // A strip's controls get and set the group's values.
  Page.prototype.scope = function (name, message) {
    const page = this;
    const showStopped = function () {
      message.textContent = stopped[name] || '';
      message.hidden = !stopped[name];
    };
    const s = {
      bindings: [],
      editable: this.editable.bind(this),
      unreadable: this.unreadable,
      get: function (path) {
        const g = group(name);
        return g && g[path];
      },
      send: function (path, value, final, done) {
        return Link.setGroup(name, path, value, final, done);
      },
      // A move that stopped at a member's limit went there: the strip says why.
      refused: function (reason, answer) {
        if (!answer || !answer.limitedBy) return page.refused(reason);
        stopped[name] = reason;
        showStopped();
      },
      accepted: function () {
        delete stopped[name];
        showStopped();
      },
    };
    showStopped();
    this.scopes.push(s);
    return s;
  };
  Page.prototype.strip = function (name) {
    const g = group(name);
    const box = el('section', 'group');
    box.dataset.group = name;
    const message = el('p', 'message');
    const s = this.scope(name, message);
    const value = el('div', 'value');
    const fader = Controls.fader(s, 'gainDb', { min: -kMaxDb, max: kMaxDb, step: 0.5 },
                                 function (v) { value.textContent = Pages.dbText(v); });
    const body = el('div', 'body');
    body.append(fader);
    const buttons = el('div', 'buttons');
    buttons.append(Controls.toggle(s, 'mute', t('静音'), true, false),
                   Controls.toggle(s, 'polarity', function (v) {
                     return t('相位') + ' ' + (v === 'inverted' ? '180°' : '0°');
                   }, 'inverted', 'normal'));
    const delay = el('label', 'field delay');
    delay.append(el('span', '', t('延时')), Controls.entry(s, 'delayMs', function (text) {
      const v = Pages.number(text);
      return v === undefined ? undefined : Math.min(kMaxMs, Math.max(-kMaxMs, v));
    }, function (ms) { return typeof ms === 'number' ? ms.toFixed(3) : ''; }),
                 el('span', 'suffix', 'ms'));
    const away = el('ul', 'away');
    g.members.forEach(function (m) {
      if (m.state === 'pending') away.append(el('li', 'pending', t('等待设备: %1', memberText(m))));
      if (m.state === 'missing') away.append(el('li', 'missing', t('缺失: %1', memberText(m))));
    });
    box.append(el('h3', 'name', name), el('span', 'count', t('成员: %1', g.members.length)), body,
               value, buttons, delay, away, message);
    return box;
  };

  return { Page: Page };
})();
