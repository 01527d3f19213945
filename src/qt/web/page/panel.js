'use strict';
// The front panel: shows what the server pushes over /live and sends each change back over the
// same WebSocket as the window applies it (Enter in a field, a click, a digit stepped), showing
// the window's message for a refused value beside its field. The server checks everything.
(() => {
  const texts = document.body.dataset;
  const byId = (id) => document.getElementById(id);
  const lang = document.documentElement.lang;
  const pending = new Map();
  let live = null;
  let nextId = 1;
  let reconnectDelayMs = 250;
  let state = null;
  let countdown = null;

  // Digits: the frequency in Hz with two decimals, at least eight places before the point; the
  // amplitude in mV with four. Position 0 is the lowest digit; one of each row is chosen.
  const rows = {
    frequency: { element: byId('frequency-digits'), decimals: 2, places: 10, chosen: 5 },
    amplitude: { element: byId('amplitude-digits'), decimals: 0, places: 4, chosen: 2 },
  };

  function groupedText(value, decimals) {
    const [whole, fraction] = String(value).split('.');
    const grouped = whole.replace(/\B(?=(\d{3})+(?!\d))/g, '\u2009');
    return decimals && fraction !== undefined ? `${grouped}.${fraction}` : grouped;
  }

  function digitLabel(position, decimals, unit) {
    const decade = position - decimals;
    return `10^${decade} ${unit}`;
  }

  // Draws the digits of `value`; the buttons stay when their number does, so that focus and
  // the chosen digit stay under the user's finger while the value changes.
  function renderDigits(name, value) {
    const row = rows[name];
    const plain = String(value).replace('.', '');
    const places = Math.max(row.places, plain.length);
    const padded = plain.padStart(places, '0');
    const firstShown = padded.length - Math.max(plain.replace(/^0+(?=\d)/, '').length,
      row.decimals + 1);
    const unit = name === 'frequency' ? 'Hz' : 'mV';
    let buttons = [...row.element.querySelectorAll('.digit')];
    if (buttons.length !== places) {
      const focused = row.element.contains(document.activeElement);
      const parts = [];
      for (let index = 0; index < places; index += 1) {
        const position = places - 1 - index;
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'digit';
        button.dataset.position = String(position);
        parts.push(button);
        if (position === row.decimals && row.decimals > 0) {
          const point = document.createElement('span');
          point.className = 'point';
          point.textContent = '.';
          parts.push(point);
        } else if (position > row.decimals && (position - row.decimals) % 3 === 0) {
          const gap = document.createElement('span');
          gap.className = 'gap';
          parts.push(gap);
        }
      }
      row.element.replaceChildren(...parts);
      buttons = [...row.element.querySelectorAll('.digit')];
      choose(name, row.chosen);
      if (focused) chosenButton(name).focus();
    }
    buttons.forEach((button, index) => {
      const position = places - 1 - index;
      button.className = index < firstShown ? 'digit lead' : 'digit';
      button.textContent = padded[index];
      button.setAttribute('aria-label', `${padded[index]}, ${digitLabel(position, row.decimals, unit)}`);
    });
  }

  function chosenButton(name) {
    return rows[name].element.querySelector(`[data-position="${rows[name].chosen}"]`);
  }

  function choose(name, position) {
    const row = rows[name];
    const count = row.element.querySelectorAll('.digit').length;
    row.chosen = Math.min(Math.max(position, 0), count - 1);
    for (const button of row.element.querySelectorAll('.digit')) {
      const chosen = Number(button.dataset.position) === row.chosen;
      button.tabIndex = chosen ? 0 : -1;
      button.setAttribute('aria-pressed', chosen ? 'true' : 'false');
    }
  }

  function stepDigit(name, up) {
    change(`${name}-${up ? 'up' : 'down'}`, String(rows[name].chosen), 'step-message', null);
  }

  for (const name of Object.keys(rows)) {
    const element = rows[name].element;
    element.addEventListener('click', (event) => {
      const button = event.target.closest('.digit');
      if (!button) return;
      choose(name, Number(button.dataset.position));
      button.focus();
    });
    element.addEventListener('keydown', (event) => {
      const moves = { ArrowLeft: 1, ArrowRight: -1 };
      if (event.key in moves) {
        choose(name, rows[name].chosen + moves[event.key]);
        chosenButton(name).focus();
      } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
        stepDigit(name, event.key === 'ArrowUp');
      } else {
        return;
      }
      event.preventDefault();
    });
    element.addEventListener('wheel', (event) => {
      if (event.deltaY === 0) return;
      event.preventDefault();
      stepDigit(name, event.deltaY < 0);
    }, { passive: false });
    let touchY = null;
    element.addEventListener('touchstart', (event) => {
      touchY = event.touches[0].clientY;
    }, { passive: true });
    element.addEventListener('touchend', (event) => {
      const moved = touchY === null ? 0 : touchY - event.changedTouches[0].clientY;
      touchY = null;
      if (Math.abs(moved) >= 24) stepDigit(name, moved > 0);
    });
  }
  for (const arrow of document.querySelectorAll('.arrow')) {
    arrow.addEventListener('click', () =>
      stepDigit(arrow.dataset.control, arrow.dataset.direction === 'up'));
  }
  byId('step-up').addEventListener('click', () => change('step-up', '', 'step-message', null));
  byId('step-down').addEventListener('click', () => change('step-down', '', 'step-message', null));

  const fields = ['frequency', 'amplitude', 'minimum', 'maximum', 'step', 'sweep-start',
    'sweep-stop', 'sweep-rate', 'modulation-rate', 'phase-deviation', 'frequency-deviation',
    'pll-factor', 'pll-offset'];

  function showConnection(connected) {
    const known = connected !== null;
    document.body.dataset.generator = !known ? 'unknown' : connected ? 'connected' : 'disconnected';
    byId('connection').textContent = !known ? texts.unknown
      : connected ? texts.connected : texts.disconnected;
    byId('connection').dataset.state = document.body.dataset.generator;
    byId('connect').textContent = connected ? texts.disconnect : texts.connect;
    byId('connect').disabled = !known;
  }

  function show(shown) {
    state = shown;
    showConnection(shown.connected);
    byId('firmware').textContent = shown.connected ? `${texts.firmware} ${shown.firmware}` : '';
    byId('frequency-shown').textContent = groupedText(shown.frequency, 2);
    byId('amplitude-shown').textContent = String(shown.amplitude);
    renderDigits('frequency', shown.frequency);
    renderDigits('amplitude', String(shown.amplitude));
    const slider = byId('amplitude-slider');
    if (document.activeElement !== slider) slider.value = String(shown.amplitude);
    for (const id of fields) {
      const field = byId(id);
      const value = String(shown[id] ?? '');
      if (document.activeElement !== field) field.value = value;
    }
    for (const name of ['waveform', 'mode', 'keying', 'modulation-source']) {
      for (const radio of document.getElementsByName(name)) radio.checked = radio.value === shown[name];
    }
    byId('filter').checked = shown.filter;
    byId('am').checked = shown.am;
    byId('depth').textContent = String(shown.depth);
    showTaskList(shown.taskList, shown.taskListFailure);
  }

  function showTaskList(run, failure) {
    clearInterval(countdown);
    countdown = null;
    if (!run) {
      const wasRunning = byId('task-list-step').dataset.running === 'true';
      byId('task-list-step').dataset.running = 'false';
      // A list that stopped on a failure did not end: the failure says why.
      if (failure) {
        byId('task-list-step').textContent = '\u2014';
        say('task-list-message', null, failure[lang] || failure.de);
      } else if (wasRunning) {
        byId('task-list-step').textContent = texts.taskListEnded;
      }
      byId('task-list-remaining').textContent = '\u2014';
      return;
    }
    byId('task-list-step').dataset.running = 'true';
    byId('task-list-step').textContent = `${run.step} / ${run.steps}${run.name ? ` (${run.name})` : ''}`;
    const endsAt = Date.now() + run.remainingMs;
    const tick = () => {
      const seconds = Math.max(0, Math.ceil((endsAt - Date.now()) / 1000));
      byId('task-list-remaining').textContent = `${seconds} s`;
    };
    tick();
    countdown = setInterval(tick, 1000);
  }

  function say(messageId, field, text) {
    byId(messageId).textContent = text || '';
    if (field) field.setAttribute('aria-invalid', text ? 'true' : 'false');
  }

  // Sends an action over the open WebSocket; the server's answer, {ok, message, ...}.
  function send(action) {
    return new Promise((resolve, reject) => {
      if (!live || live.readyState !== WebSocket.OPEN) {
        reject(new Error('closed'));
        return;
      }
      const id = nextId;
      nextId += 1;
      pending.set(id, { resolve, reject });
      live.send(JSON.stringify({ id, lang, ...action }));
    });
  }

  async function act(action, messageId, field) {
    try {
      const answer = await send(action);
      say(messageId, field, answer.ok ? '' : answer.message);
      return answer;
    } catch (error) {
      say(messageId, field, texts.serverLost);
      return { ok: false };
    }
  }

  function change(control, value, messageId, field, offset) {
    return act({ action: 'change', control, value, offset }, messageId, field);
  }

  for (const form of document.querySelectorAll('form.entry[data-control]')) {
    const control = form.dataset.control;
    const field = form.querySelector('input');
    const messageId = field.getAttribute('aria-describedby');
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      change(control, field.value, messageId, field);
    });
  }
  byId('pll-form').addEventListener('submit', (event) => {
    event.preventDefault();
    change('pll', byId('pll-factor').value, 'pll-message', byId('pll-factor'),
      byId('pll-offset').value);
  });
  for (const name of ['waveform', 'mode', 'keying', 'modulation-source']) {
    const messageId = name === 'keying' || name === 'modulation-source'
      ? 'modulation-message' : 'change-message';
    for (const radio of document.getElementsByName(name)) {
      radio.addEventListener('change', () => change(name, radio.value, messageId, null));
    }
  }
  for (const [id, messageId] of [['filter', 'change-message'], ['am', 'modulation-message']]) {
    byId(id).addEventListener('change', (event) =>
      change(id, event.target.checked ? 'on' : 'off', messageId, null));
  }
  byId('amplitude-slider').addEventListener('change', (event) =>
    change('amplitude', event.target.value, 'step-message', null));
  byId('connect').addEventListener('click', () =>
    act({ action: 'connect' }, 'connect-message', null));

  function showProfiles(answer) {
    const list = byId('profile-list');
    const chosen = list.selectedIndex;
    list.replaceChildren(...(answer.profiles || []).map((name, index) => {
      const option = document.createElement('option');
      option.value = String(index + 1);
      option.textContent = `${index + 1}: ${name}`;
      option.dataset.name = name;
      return option;
    }));
    list.selectedIndex = chosen;
    say('profile-message', null, answer.message);
  }

  async function loadProfiles() {
    const response = await fetch('/profiles');
    showProfiles(await response.json());
  }

  byId('profile-list').addEventListener('change', (event) => {
    const option = event.target.selectedOptions[0];
    if (option) byId('profile-name').value = option.dataset.name;
  });

  async function profileAction(action) {
    const list = byId('profile-list');
    if (list.selectedIndex < 0) return;
    byId('profile-done').textContent = '';
    const answer = await act({ action, number: Number(list.value), name: byId('profile-name').value },
      'profile-message', null);
    if (answer.ok) {
      showProfiles(answer);
      byId('profile-done').textContent = answer.done;
    }
  }
  byId('profile-load').addEventListener('click', () => profileAction('load'));
  byId('profile-store').addEventListener('click', () => profileAction('store'));

  async function loadTaskLists() {
    const response = await fetch('/tasklists');
    const answer = await response.json();
    const list = byId('task-list-file');
    const chosen = list.value;
    list.replaceChildren(...answer.files.map((name) => {
      const option = document.createElement('option');
      option.value = name;
      option.textContent = name;
      return option;
    }));
    if (answer.files.includes(chosen)) list.value = chosen;
  }

  function base64(buffer) {
    let binary = '';
    for (const byte of new Uint8Array(buffer)) binary += String.fromCharCode(byte);
    return btoa(binary);
  }

  byId('task-list-start').addEventListener('click', async () => {
    const upload = byId('task-list-upload').files[0];
    const loop = byId('task-list-loop').checked;
    // The file's bytes as they are (Windows-1252), carried as base64 in the JSON text.
    const action = upload
      ? { action: 'play', name: upload.name, content: base64(await upload.arrayBuffer()), loop }
      : { action: 'play', file: byId('task-list-file').value, loop };
    act(action, 'task-list-message', null);
  });
  byId('task-list-file').addEventListener('change', () => {
    byId('task-list-upload').value = '';
  });
  byId('task-list-stop').addEventListener('click', () =>
    act({ action: 'stop' }, 'task-list-message', null));

  async function loadIdentity() {
    const response = await fetch('/identity');
    const identity = await response.json();
    byId('identity').textContent =
      `${identity.manufacturer} ${identity.model}, ${identity.serial}, ${identity.firmware}`;
    byId('addresses').replaceChildren(...identity.addresses.map((address) => {
      const item = document.createElement('li');
      item.textContent = address;
      return item;
    }));
  }

  function received(event) {
    const message = JSON.parse(event.data);
    if ('reply' in message) {
      const waiting = pending.get(message.reply);
      pending.delete(message.reply);
      if (waiting) waiting.resolve(message);
    } else {
      show(message);
    }
  }

  function connectLive() {
    const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
    live = new WebSocket(`${scheme}//${location.host}/live`);
    live.addEventListener('open', () => {
      reconnectDelayMs = 250;
      byId('server').hidden = true;
      document.body.dataset.live = 'open';
      loadProfiles().catch(() => {});
      loadTaskLists().catch(() => {});
      loadIdentity().catch(() => {});
    });
    live.addEventListener('message', received);
    live.addEventListener('close', () => {
      // What the server last said is no longer known: the banner and the status agree.
      byId('server').hidden = false;
      document.body.dataset.live = 'closed';
      showConnection(null);
      for (const waiting of pending.values()) waiting.reject(new Error('closed'));
      pending.clear();
      setTimeout(connectLive, reconnectDelayMs);
      reconnectDelayMs = Math.min(reconnectDelayMs * 2, 2000);
    });
  }
  renderDigits('frequency', '0.00');
  renderDigits('amplitude', '0');
  showConnection(null);
  connectLive();
})();
