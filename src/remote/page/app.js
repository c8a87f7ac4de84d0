// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
'use strict';
// Pairs with the program (the code in the address is traded for a token kept by the browser)
// and keeps a WebSocket open to it.
(function () {
  const params = new URLSearchParams(location.search);
  const code = params.get('pair');
  if (code) history.replaceState(null, '', location.pathname);
  const link = document.getElementById('link');
  let socket = null;

  function connect() {
    socket = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/ws');
    socket.onopen = function () {
      const token = localStorage.getItem('quellmar.token');
      const hello = { type: 'hello', label: navigator.userAgent.slice(0, 80) };
      if (token) hello.token = token;
      if (code) hello.pair = code;
      socket.send(JSON.stringify(hello));
    };
    socket.onmessage = function (event) {
      const m = JSON.parse(event.data);
      if (m.type === 'welcome') {
        if (m.token) localStorage.setItem('quellmar.token', m.token);
        link.textContent = '';
        link.classList.remove('lost');
      }
    };
    socket.onclose = function (event) {
      link.textContent = event.code === 1008 ? 'not paired' : 'link lost';
      link.classList.add('lost');
      if (event.code !== 1008) setTimeout(connect, 1000);
    };
  }
  connect();
})();
