// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// The page's texts: Chinese is the source, English the translation, as in the program.
const I18n = (function () {
  const EN = {
    '设备列表': 'Units',
    '没有设备': 'No units',
    '状态:在线': 'State:online',
    '状态:无响应': 'State:no answer',
    '状态:断开': 'State:offline',
    '工程模式': 'Engineering mode',
    '传输中': 'Transferring',
    '只读': 'Read only',
    '连接 ...': 'Connecting ...',
    '与 Quellmar 的连接已断开, 正在重新连接 ...': 'The link to Quellmar is lost, reconnecting ...',
    '此浏览器没有配对。请打开 Quellmar 显示的配对地址。':
        'This browser is not paired. Open the pairing address that Quellmar shows.',
    '设备无响应': 'Unit not answering',
    '报警: %1': 'Alarms: %1',
    '报警: %1 (新 %2)': 'Alarms: %1 (%2 new)',
    '全部确认': 'Acknowledge all',
    '确认': 'Acknowledge',
    '设备无响应或断开': 'not answering or lost',
    '削波': 'clip',
    '无信号': 'no signal',
    '设备已经断开!': 'The unit has been disconnected!',
    '读取中...': 'Reading...',
    '设备重新连接后有 %1 处设置与程序中的不同。':
        'Reconnected, the unit differs from the program in %1 settings.',
    '采用设备的设置': "Keep the unit's settings",
    '写入程序的设置': "Write the program's settings",
    '设备已经断开, 正在重新连接 ...': 'The unit is disconnected, reconnecting ...',
    '无法读取设备: %1': 'The unit cannot be read: %1',
    '设备忙: 正在传输数据, 请稍候 ...': 'Unit busy: a transfer is running, please wait ...',
    '正在读取设备的设置 ...': "Reading the unit's settings ...",
    '这台设备不在设备列表中。它可能已被移除或改名。':
        'This unit is not in the list of units. It may have been removed or renamed.',
    '只读: 不能修改设置': 'Read only: settings cannot be changed',
    '修改没有被接受: %1': 'The change was not accepted: %1',
    '"%1" 不是有效的数值': '"%1" is not a valid number',
    '增益': 'Gain',
    '延时': 'Delay',
    '限制': 'Limit',
    '输入': 'In',
    '输出': 'Out',
    '输入 %1': 'Input %1',
    '输出 %1': 'Output %1',
    '静音': 'Mute',
    '相位': 'Phase',
    'EQ 直通': 'EQ pass',
    'EQ PASS': 'EQ PASS',
    '点': 'Point',
    '类型:': 'Type:',
    '频率:': 'Freq:',
    '增益:': 'Gain:',
    '高通:': 'High-pass:',
    '低通:': 'Low-pass:',
    '单位:': 'Units:',
    '%1 采样': '%1 samples',
    '毫秒': 'Milliseconds',
    '米': 'Metres',
    '英尺': 'Feet',
    '限幅电平': 'Threshold',
    '启动时间': 'Attack',
    '释放时间': 'Release',
    '语言': 'Language',
    '跟随程序': 'As the program',
    '跟随浏览器': 'As the browser',
    '返回设备列表': 'Back to the units',
    '为这个浏览器命名': 'Name this browser',
    'Quellmar 用这个名称列出配对, 也可以在那里取消配对。':
        'Quellmar lists the pairing under this name, where it can also be dropped.',
    '名称': 'Name',
    '配对': 'Pair',
    '%2 上的 %1': '%1 on %2',
    '浏览器': 'Browser',
    '编组': 'Groups',
    '没有编组': 'No groups',
    '成员: %1': 'Members: %1',
    '等待设备: %1': 'Waiting for the unit: %1',
    '缺失: %1': 'Missing: %1',
  };
  let language = 'zh';
  // The program's language as it last said it, until it says it again.
  let programLanguage = localStorage.getItem('quellmar.programLanguage');
  const listeners = [];

  function browserLanguage() {
    return (navigator.language || 'zh').toLowerCase().startsWith('zh') ? 'zh' : 'en';
  }
  function choice() { return localStorage.getItem('quellmar.language') || 'program'; }
  function update() {
    const wanted = choice() === 'browser' || !programLanguage ? browserLanguage() : programLanguage;
    if (wanted === language) return;
    language = wanted;
    document.documentElement.lang = language;
    listeners.forEach(function (f) { f(); });
  }
  // The text in the page's language; %1, %2 ... take the arguments.
  function t(source) {
    let text = language === 'en' && EN[source] !== undefined ? EN[source] : source;
    for (let i = 1; i < arguments.length; ++i) text = text.replace('%' + i, arguments[i]);
    return text;
  }
  return {
    t: t,
    table: EN,
    language: function () { return language; },
    choice: choice,
    choose: function (c) { localStorage.setItem('quellmar.language', c); update(); },
    setProgramLanguage: function (l) {
      programLanguage = l === 'en' ? 'en' : 'zh';
      localStorage.setItem('quellmar.programLanguage', programLanguage);
      update();
    },
    onChange: function (f) { listeners.push(f); },
    start: function () { language = ''; update(); },
  };
})();
