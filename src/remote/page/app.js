// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The page: the unit list, one unit's pages, the groups, and the state of both links on top.
(function () {
  const el = Controls.el;
  const t = I18n.t;
  const kMeterRate = 15;
  const kMeterAgeMs = 1000;
  const kTabs = [['strips', '增益'], ['eq', 'EQ'], ['delay', '延时'], ['limit', '限制']];
  const main = document.getElementById('main');
  const banner = document.getElementById('banner');
  const toast = document.getElementById('toast');
  let view = null;  // the unit shown, or null for the list
  let groupsPage = null;  // the groups, while they show
  let naming = false;  // the name to pair under is being asked

  // What a unit page holds: the controls bound to values, meters, and scopes of its own.
  function UnitView(unitId, tab) {
    this.unitId = unitId;
    this.tab = tab;
    this.bindings = [];
    this.children = [];
    this.meters = [];
    this.levels = null;
    this.eqview = null;
  }
  UnitView.prototype.unit = function () {
    const id = this.unitId;
    return Link.state.units.find(function (u) { return u.id === id; });
  };
  // The program has no unit of this id: told so, or the list came without it.
  UnitView.prototype.gone = function () {
    return this.unitId in Link.state.gone || (Link.state.listed && !this.unit());
  };
  UnitView.prototype.editable = function () {
    const u = this.unit(), s = Link.state.unit[this.unitId];
    return Link.state.status === 'open' && !Link.state.readOnly && !!u && u.state === 'online' &&
           !!s && !s.busy;
  };
  function refused(reason) { showToast(t('修改没有被接受: %1', reason)); }
  function unreadable(text) { showToast(t('"%1" 不是有效的数值', text)); }
  UnitView.prototype.refused = refused;
  UnitView.prototype.unreadable = unreadable;
  UnitView.prototype.scope = function () {
    const parent = this;
    const s = { unitId: this.unitId, bindings: [], editable: this.editable.bind(this),
                refused: this.refused.bind(this), unreadable: this.unreadable.bind(this) };
    s.refresh = function () { s.bindings.forEach(function (b) { b.update(); }); };
    this.children.push(s);
    s.rebuild = function () { parent.rebuild(); };
    return s;
  };
  UnitView.prototype.refresh = function () {
    this.bindings.forEach(function (b) { b.update(); });
    this.children.forEach(function (c) { c.refresh(); });
    if (this.eqview) this.eqview.draw();
    document.body.classList.toggle('locked', !this.editable());
  };
  UnitView.prototype.rebuild = function () {
    this.bindings = [];
    this.children = [];
    this.meters = [];
    this.eqview = null;
    main.replaceChildren(this.build());
    this.refresh();
    this.drawMeters();
    this.writeLevels();
  };
  UnitView.prototype.build = function () {
    const s = Link.state.unit[this.unitId];
    this.shape = s && s.preset ? shapeOf(s.preset) : '';
    this.shownGone = this.gone();
    if (this.shownGone) return goneBox();
    const box = el('div', 'unit');
    box.append(tabs(this));
    if (!s || !s.preset) {
      box.append(el('p', 'empty', t('正在读取设备的设置 ...')));
      return box;
    }
    const page = this.tab === 'eq' ? EqPage.build(this, s.preset)
               : this.tab === 'delay' ? Pages.delays(this, s.preset)
               : this.tab === 'limit' ? Pages.limiters(this, s.preset)
               : Pages.strips(this, s.preset);
    box.append(page);
    return box;
  };
  UnitView.prototype.drawMeters = function () {
    const levels = this.levels || {};
    this.meters.forEach(function (m) {
      const list = m.output ? levels.outputs : levels.inputs;
      Pages.drawMeter(m, (list && list[m.index]) || 0);
    });
  };
  // Levels older than a second are not shown: the meters stopped coming.
  UnitView.prototype.writeLevels = function () {
    if (this.levels && Date.now() - this.levels.at > kMeterAgeMs) {
      this.levels = null;
      this.drawMeters();
    }
    const levels = this.levels;
    this.meters.forEach(function (m) {
      const list = levels && (m.output ? levels.outputs : levels.inputs);
      m.text.textContent = list ? Pages.levelText(list[m.index] || 0) + ' dB' : '';
    });
  };

  function goneBox() {
    const box = el('div', 'gone');
    const back = el('a', 'card', t('返回设备列表'));
    back.href = '#';
    box.append(el('p', 'empty', t('这台设备不在设备列表中。它可能已被移除或改名。')), back);
    return box;
  }
  function shapeOf(preset) { return preset.inputs.length + '/' + preset.outputs.length; }
  function tabs(v) {
    const nav = el('nav', 'tabs');
    kTabs.forEach(function (tab) {
      const a = el('a', tab[0] === v.tab ? 'tab on' : 'tab', t(tab[1]));
      a.href = '#unit=' + encodeURIComponent(v.unitId) + '&tab=' + tab[0];
      a.dataset.tab = tab[0];
      nav.append(a);
    });
    return nav;
  }

  function readingText(u) { return t('读取中...') + ' ' + (u.progress || 0) + '%'; }
  function stateText(u) {
    return u.state === 'online' ? t('状态:在线')
         : u.state === 'reading' ? readingText(u)
         : u.state === 'not-answering' ? t('状态:无响应') : t('状态:断开');
  }
  function unitCard(u) {
    const a = el('a', 'card ' + u.state);
    a.href = '#unit=' + encodeURIComponent(u.id);
    a.dataset.unit = u.id;
    const badges = el('div', 'badges');
    badges.append(el('span', 'badge state', stateText(u)));
    if (u.busy) badges.append(el('span', 'badge busy', t('传输中')));
    if (u.engineering) badges.append(el('span', 'badge', t('工程模式')));
    a.append(el('h2', 'name', u.name || u.model), el('div', 'model', u.model + ' · ' + u.address),
             badges);
    return a;
  }
  // The units and the groups, as two tabs when the program has groups.
  function homeTabs(on) {
    const nav = el('nav', 'tabs home');
    [['', '设备列表'], ['groups', '编组']].forEach(function (tab) {
      const a = el('a', tab[0] === on ? 'tab on' : 'tab', t(tab[1]));
      a.href = '#' + tab[0];
      a.dataset.tab = tab[0] || 'units';
      nav.append(a);
    });
    return nav;
  }
  function showList() {
    const box = el('div', 'list');
    if (Link.state.groups) box.append(homeTabs(''));
    else box.append(el('h2', 'title', t('设备列表')));
    if (!Link.state.units.length) box.append(el('p', 'empty', t('没有设备')));
    Link.state.units.forEach(function (u) { box.append(unitCard(u)); });
    main.replaceChildren(box);
    document.body.classList.remove('locked');
  }
  function showGroups() {
    const box = el('div', 'home');
    box.append(homeTabs('groups'), groupsPage.build());
    main.replaceChildren(box);
    groupsPage.refresh();
    document.body.classList.toggle('locked', !groupsPage.editable());
  }
  function showHome() {
    if (groupsPage) showGroups();
    else showList();
  }

  function header() {
    const u = view && view.unit();
    document.getElementById('back').hidden = !view;
    document.getElementById('back').textContent = '‹ ' + t('设备列表');
    document.getElementById('back').title = t('返回设备列表');
    document.getElementById('title').textContent = u ? (u.name || u.model) : 'Quellmar';
    document.getElementById('readonly').hidden = !Link.state.readOnly;
    document.getElementById('readonly').textContent = t('只读');
    const lang = document.getElementById('language');
    lang.options[0].textContent = t('跟随程序');
    lang.options[1].textContent = t('跟随浏览器');
    lang.title = t('语言');
    lang.value = I18n.choice();
  }
  // The most important trouble first: the link to the program, then the unit's own.
  function showBanner() {
    const s = Link.state.status;
    const u = view && view.unit();
    const unit = view && Link.state.unit[view.unitId];
    let text = '', kind = 'lost';
    if (s === 'unpaired') text = t('此浏览器没有配对。请打开 Quellmar 显示的配对地址。');
    else if (s === 'lost') text = t('与 Quellmar 的连接已断开, 正在重新连接 ...');
    else if (s === 'connecting') { text = t('连接 ...'); kind = 'info'; }
    else if (u && u.state === 'reading') { text = readingText(u); kind = 'info'; }
    else if (u && u.failure) text = t('无法读取设备: %1', u.failure);
    else if (u && u.reconnecting) text = t('设备已经断开, 正在重新连接 ...');
    else if (u && u.state === 'offline') text = t('设备已经断开!');
    else if (u && u.state === 'not-answering') text = t('设备无响应');
    else if (unit && unit.busy) { text = t('设备忙: 正在传输数据, 请稍候 ...'); kind = 'busy'; }
    else if ((view || groupsPage) && Link.state.readOnly) { text = t('只读: 不能修改设置'); kind = 'info'; }
    const differs = !text && u && u.differs && !Link.state.readOnly;
    if (differs) {
      text = t('设备重新连接后有 %1 处设置与程序中的不同。', u.differs);
      kind = 'busy';
    }
    banner.textContent = text;
    if (differs) {
      [[t('采用设备的设置'), 'unit'], [t('写入程序的设置'), 'program']].forEach(function (c) {
        const b = el('button', 'choice', c[0]);
        b.dataset.keep = c[1];
        b.addEventListener('click', function () { Link.settle(view.unitId, c[1]); });
        banner.append(' ', b);
      });
    }
    banner.className = 'banner ' + kind;
    banner.hidden = !text;
    document.body.dataset.link = s;
  }
  // The program's alarms, on every page: a line each, flashing while one is new; a client
  // that may edit acknowledges them.
  const alarmsBox = document.getElementById('alarms');
  let alarms = { alarms: [], count: 0, new: 0 };
  const kAlarmKinds = { link: '设备无响应或断开', clip: '削波', silence: '无信号' };
  function showAlarms() {
    alarmsBox.textContent = '';
    alarmsBox.hidden = !alarms.count;
    alarmsBox.classList.toggle('new', alarms.new > 0);
    if (!alarms.count) return;
    const head = el('div', 'head', alarms.new ? t('报警: %1 (新 %2)', alarms.count, alarms.new)
                                              : t('报警: %1', alarms.count));
    if (alarms.new && !Link.state.readOnly) {
      const all = el('button', 'acknowledge', t('全部确认'));
      all.addEventListener('click', function () { Link.acknowledge('*'); });
      head.append(' ', all);
    }
    alarmsBox.append(head);
    alarms.alarms.forEach(function (a) {
      const line = el('div', 'alarm' + (a.acknowledged ? ' seen' : ''));
      line.dataset.number = a.number;
      line.textContent = a.unitName + ': ' + t(kAlarmKinds[a.kind] || a.kind) +
                         (a.channel ? ' ' + a.channel : '') +
                         ' (' + new Date(a.since).toLocaleTimeString() + ')';
      if (!a.acknowledged && !Link.state.readOnly) {
        const b = el('button', 'acknowledge', t('确认'));
        b.addEventListener('click', function () { Link.acknowledge(a.number); });
        line.append(' ', b);
      }
      alarmsBox.append(line);
    });
  }
  Link.on('alarms', function (m) {
    alarms = { alarms: m.alarms || [], count: m.count || 0, new: m.new || 0 };
    showAlarms();
  });

  let toastTimer = 0;
  function showToast(text) {
    toast.textContent = text;
    toast.hidden = false;
    clearTimeout(toastTimer);
    toastTimer = setTimeout(function () { toast.hidden = true; }, 4000);
  }

  function route() {
    const p = new URLSearchParams(location.hash.slice(1));
    const id = p.get('unit');
    groupsPage = null;
    if (naming) {
      view = null;
      Pairing.ask(main, Link.pair);
      document.body.classList.remove('locked');
    } else if (!id) {
      view = null;
      Link.open(null);
      if (p.has('groups')) groupsPage = new GroupsPage.Page(refused, unreadable);
      showHome();
    } else {
      const keep = view && view.unitId === id ? view : null;
      if (!keep) Link.open(id);
      view = new UnitView(id, p.get('tab') || 'strips');
      if (keep) { view.eqChannel = keep.eqChannel; view.eqPoint = keep.eqPoint; }
      view.levels = keep && keep.levels;
      view.rebuild();
    }
    header();
    showBanner();
  }
  function redraw() {
    if (naming) route();
    else if (view) view.rebuild();
    else showHome();
    header();
    showBanner();
    showAlarms();
  }

  Link.on('status', function () {
    if (naming !== (Link.state.status === 'naming')) {
      naming = !naming;
      return route();
    }
    header();
    showBanner();
    if (groupsPage) {
      groupsPage.refresh();
      document.body.classList.toggle('locked', !groupsPage.editable());
    }
    if (!view) return;
    if (Link.state.status !== 'open') view.levels = null;
    view.refresh();
    view.drawMeters();
    view.writeLevels();
  });
  Link.on('units', function () {
    if (!view) {
      if (!groupsPage) showList();
    } else if (view.gone() !== view.shownGone) view.rebuild();
    else view.refresh();
    header();
    showBanner();
  });
  Link.on('busy', function () {
    if (view) view.refresh();
    else if (!groupsPage) showList();
    showBanner();
  });
  // The groups' values only refresh the strips, so that a finger on a fader keeps it.
  Link.on('groups', function () {
    if (groupsPage && groupsPage.reshaped()) showGroups();
    else if (groupsPage) groupsPage.refresh();
    else if (!view && !naming && !main.querySelector('.home')) showList();
  });
  // A snapshot of the same model only refreshes, so that a finger on a control keeps it.
  Link.on('snapshot', function (m) {
    if (view && m.unit === view.unitId) {
      if (view.shape === shapeOf(m.preset)) view.refresh();
      else view.rebuild();
    }
    showBanner();
  });
  Link.on('gone', function (m) {
    if (view && m.unit === view.unitId && !view.shownGone) view.rebuild();
  });
  Link.on('changed', function (m) { if (view && m.unit === view.unitId) view.refresh(); });
  Link.on('meters', function (m) {
    if (!view || m.unit !== view.unitId) return;
    view.levels = m;
    view.levels.at = Date.now();
    view.drawMeters();
  });
  setInterval(function () { if (view) view.writeLevels(); }, 500);
  window.addEventListener('hashchange', route);
  window.addEventListener('resize', function () {
    if (view && view.eqview) view.eqview.draw();
    if (view) view.drawMeters();
  });
  document.getElementById('back').addEventListener('click', function () { location.hash = ''; });
  document.getElementById('language').addEventListener('change', function (e) {
    I18n.choose(e.target.value);
  });
  I18n.onChange(redraw);
  I18n.start();
  Link.meters(kMeterRate);
  route();
  Link.start();
})();
