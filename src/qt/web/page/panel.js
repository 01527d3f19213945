'use strict';
// The front panel: shows what the server pushes over /live, sends each change as the window
// applies it (Enter in a field, a click on a radio or the box) and shows the window's message
// for a refused value beside its field.
(() => {
  const texts = document.body.dataset;
  const byId = (id) => document.getElementById(id);
  let reconnectDelayMs = 250;

  function show(state) {
    byId('frequency-shown').textContent = state.frequency;
    byId('amplitude-shown').textContent = state.amplitude;
    byId('connection').textContent = state.connected ? texts.connected : texts.disconnected;
    byId('connection').dataset.state = state.connected ? 'connected' : 'disconnected';
    byId('firmware').textContent = state.connected ? `${texts.firmware} ${state.firmware}` : '';
    for (const [id, value] of [['frequency', state.frequency], ['amplitude', state.amplitude]]) {
      const field = byId(id);
      if (document.activeElement !== field) field.value = value;
    }
    for (const name of ['waveform', 'mode']) {
      for (const radio of document.getElementsByName(name)) radio.checked = radio.value === state[name];
    }
    byId('filter').checked = state.filter;
  }

  async function post(path, body) {
    const response = await fetch(path, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(body),
    });
    const answer = await response.json().catch(() => ({}));
    return { ok: response.ok, answer };
  }

  function say(messageId, field, text) {
    byId(messageId).textContent = text || '';
    if (field) field.setAttribute('aria-invalid', text ? 'true' : 'false');
  }

  async function change(control, value, messageId, field) {
    try {
      const { ok, answer } = await post('/change', { control, value });
      say(messageId, field, ok ? '' : answer.message);
      if (ok) show(answer);
    } catch (error) {
      say(messageId, field, texts.serverLost);
    }
  }

  for (const id of ['frequency', 'amplitude']) {
    byId(`${id}-form`).addEventListener('submit', (event) => {
      event.preventDefault();
      change(id, byId(id).value, `${id}-message`, byId(id));
    });
  }
  for (const name of ['waveform', 'mode']) {
    for (const radio of document.getElementsByName(name)) {
      radio.addEventListener('change', () => change(name, radio.value, 'change-message', null));
    }
  }
  byId('filter').addEventListener('change', (event) =>
    change('filter', event.target.checked ? 'on' : 'off', 'change-message', null));

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
    try {
      const { ok, answer } = await post('/profile', {
        action, number: Number(list.value), name: byId('profile-name').value,
      });
      if (ok) showProfiles(answer);
      else say('profile-message', null, answer.message);
    } catch (error) {
      say('profile-message', null, texts.serverLost);
    }
  }
  byId('profile-load').addEventListener('click', () => profileAction('load'));
  byId('profile-store').addEventListener('click', () => profileAction('store'));

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

  function connectLive() {
    const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
    const live = new WebSocket(`${scheme}//${location.host}/live`);
    live.addEventListener('open', () => {
      reconnectDelayMs = 250;
      byId('server').hidden = true;
      document.body.dataset.live = 'open';
      loadProfiles().catch(() => {});
      loadIdentity().catch(() => {});
    });
    live.addEventListener('message', (event) => show(JSON.parse(event.data)));
    live.addEventListener('close', () => {
      byId('server').hidden = false;
      document.body.dataset.live = 'closed';
      setTimeout(connectLive, reconnectDelayMs);
      reconnectDelayMs = Math.min(reconnectDelayMs * 2, 2000);
    });
  }
  connectLive();
})();
