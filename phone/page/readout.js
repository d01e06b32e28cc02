// The phone's read-out: follows the laptop's shots over a WebSocket and shows every figure
// exactly as the laptop formatted it. It never sends anything back.
'use strict';

const RETRY_DELAYS_MS = [500, 1000, 2000, 4000];
const STEADY_RETRY_MS = 5000;
// More than two missed heartbeats: a laptop that went to sleep leaves a socket that never closes.
const SILENCE_LIMIT_MS = 12000;
// A laptop that is gone from the network would otherwise leave the probe hanging for minutes.
const PROBE_LIMIT_MS = 5000;
const DASH = '–';

// Until the laptop has sent its texts, the page can only speak English.
const FALLBACK_TEXTS = {
  reconnecting: 'Connection lost, reconnecting…',
  ended: 'Sharing was switched off: scan the new code.',
};

const link = { socket: null, failures: 0, retryTimer: 0, watchdog: 0, ended: false };
let texts = FALLBACK_TEXTS;

const byId = (id) => document.getElementById(id);

function showStatus(text) {
  const status = byId('status');
  status.textContent = text ?? '';
  status.classList.toggle('hidden', !text);
}

function showValue(id, text, atLimit = false) {
  const element = byId(id);
  element.textContent = text ?? DASH;
  element.classList.toggle('at-limit', Boolean(atLimit));
}

function renderTexts(message) {
  texts = { ...FALLBACK_TEXTS, ...message.texts };
  if (message.lang) document.documentElement.lang = message.lang;
  for (const element of document.querySelectorAll('[data-text]')) {
    const text = texts[element.dataset.text];
    if (typeof text === 'string') element.textContent = text;
  }
  const units = message.units ?? {};
  byId('unit-speed').textContent = units.speed ? `[${units.speed}]` : '';
  byId('unit-energy').textContent = units.energy ? `[${units.energy}]` : '';
}

// Before the first shot every value shows a dash.
function renderLast(last) {
  const shot = last ?? {};
  showValue('shot-number', shot.number);
  showValue('shot-speed', shot.speed, shot.speedAtLimit);
  showValue('shot-energy', shot.energy, shot.energyAtLimit);
  showValue('shot-weight', shot.weight);
}

function renderFigures(figures) {
  for (const id of ['count', 'mean', 'sd', 'es']) showValue(id, figures?.[id]);
}

function recentCell(text, atLimit) {
  const cell = document.createElement('td');
  cell.textContent = text ?? DASH;
  if (atLimit) cell.classList.add('at-limit');
  return cell;
}

function renderRecent(shots) {
  const rows = (shots ?? []).map((shot) => {
    const row = document.createElement('tr');
    row.append(
      recentCell(shot.number),
      recentCell(shot.speed, shot.speedAtLimit),
      recentCell(shot.energy, shot.energyAtLimit),
    );
    return row;
  });
  byId('recent').replaceChildren(...rows);
}

function render(message) {
  renderTexts(message);
  renderLast(message.last);
  renderFigures(message.figures);
  renderRecent(message.recent);
  showStatus(message.last ? '' : texts.waiting);
}

function liveUrl() {
  const url = new URL('live', location.href);
  url.protocol = url.protocol === 'https:' ? 'wss:' : 'ws:';
  return url;
}

// Every message, a heartbeat too, proves the connection alive.
function armWatchdog() {
  clearTimeout(link.watchdog);
  link.watchdog = setTimeout(() => link.socket && dropSocket(link.socket), SILENCE_LIMIT_MS);
}

function onMessage(data) {
  link.failures = 0;
  armWatchdog();
  document.body.classList.remove('stale');
  let message;
  try {
    message = JSON.parse(data);
  } catch {
    return;
  }
  if (message?.type === 'readout') render(message);
}

function connect() {
  if (link.ended || link.socket) return;
  clearTimeout(link.retryTimer);
  let socket;
  try {
    socket = new WebSocket(liveUrl());
  } catch {
    // A browser that refuses to open one now (offline, too many) may allow it on the next try.
    scheduleRetry();
    return;
  }
  link.socket = socket;
  socket.onmessage = (event) => onMessage(event.data);
  socket.onclose = () => dropSocket(socket);
  socket.onerror = () => dropSocket(socket);
  armWatchdog();
}

// Forgets the socket at once: a closing handshake over a dead connection could take minutes.
function closeQuietly(socket) {
  socket.onmessage = socket.onclose = socket.onerror = null;
  socket.close();
  link.socket = null;
  clearTimeout(link.watchdog);
}

function dropSocket(socket) {
  if (socket !== link.socket) return;
  closeQuietly(socket);
  if (link.ended) return;
  document.body.classList.add('stale');
  showStatus(texts.reconnecting);
  scheduleRetry();
  probeSharing();
}

function scheduleRetry() {
  const delay = RETRY_DELAYS_MS[link.failures] ?? STEADY_RETRY_MS;
  link.failures += 1;
  clearTimeout(link.retryTimer);
  link.retryTimer = setTimeout(connect, delay);
}

function retryNow() {
  if (!link.socket) connect();
}

// The laptop answers 403 once sharing is off and the page's address is no longer valid; any
// other answer, or none, leaves the retries going.
async function probeSharing() {
  try {
    const signal = AbortSignal.timeout?.(PROBE_LIMIT_MS);
    const response = await fetch(location.href, { method: 'HEAD', cache: 'no-store', signal });
    if (response.status === 403) endSharing();
  } catch {
    // Not reachable now: it may be back with the next retry.
  }
}

function endSharing() {
  link.ended = true;
  clearTimeout(link.retryTimer);
  if (link.socket) closeQuietly(link.socket);
  document.body.classList.add('stale');
  showStatus(texts.ended);
}

// Browsers refuse the lock on plain http and in power saving; the phone then dims as usual.
async function keepScreenAwake() {
  if (!navigator.wakeLock || document.visibilityState !== 'visible') return;
  try {
    await navigator.wakeLock.request('screen');
  } catch {
    // Refused: nothing to show for it.
  }
}

// The lock is released whenever the page is hidden, and a phone back from its pocket should
// not wait out the backoff.
function onVisibilityChange() {
  if (document.visibilityState !== 'visible') return;
  keepScreenAwake();
  retryNow();
}

window.addEventListener('online', retryNow);
document.addEventListener('visibilitychange', onVisibilityChange);
keepScreenAwake();
connect();
