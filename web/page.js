// The page: takes an input (a file, a drop, an example, typed text or the link's fragment) as
// bytes, hands it to the worker, and shows what comes back (page_view.js). The input is kept in
// the address as #input= and its bytes in base64url, so that a link brings the same case back.
// The page speaks the first of the browser's languages that the catalogue has, and its switch
// changes the language at once: the texts, and the report on the input shown.
'use strict';

/// Inputs up to this size are kept in the address; browsers refuse far longer ones.
const kLinkBytes = 1 << 20;
/// Inputs up to this size are shown in the text area.
const kShownBytes = 1 << 20;

const $ = (id) => document.getElementById(id);
const textArea = $('input-text');

let worker = null;
let workerUrl = null;
let jobId = 0;
let running = false;
let current = null;
let output = null;
let language = null;

function setStatus(state, text) {
  $('status').dataset.state = state;
  $('status-text').textContent = text;
  $('result-section').setAttribute('aria-busy', String(state === 'busy'));
}

function startWorker() {
  const source = $('worker-source').textContent;
  workerUrl ??= URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  worker = new Worker(workerUrl);
  worker.onmessage = (event) => answered(event.data);
  worker.onerror = (event) => failed(event.message || say('page.worker-stopped'));
}

/// Asks the worker for the page's texts: in `chosen`, or in the browser's language.
function askForTexts(chosen) {
  worker.postMessage({ kind: 'texts', preferred: [...navigator.languages], language: chosen });
}

/// A worker still busy with an earlier input cannot be interrupted: a fresh one takes over.
function freshWorker() {
  if (worker === null || running) {
    worker?.terminate();
    startWorker();
  }
}

function failed(message) {
  running = false;
  // Without its texts the page still shows, and says what went wrong in the browser's own words.
  if (language === null) document.documentElement.dataset.texts = '';
  setStatus('error', language === null ? message : say('page.status.failed', { message }));
  worker?.terminate();
  worker = null;
}

// ---- base64url without padding, for the address ----

function toBase64Url(bytes) {
  let binary = '';
  for (let at = 0; at < bytes.length; at += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

function keepInAddress(bytes) {
  if (bytes.length > kLinkBytes) {
    history.replaceState(null, '', location.pathname + location.search);
    $('share-link').hidden = true;
    $('link-info').textContent = say('page.link-too-large');
    return;
  }
  const fragment = `#input=${toBase64Url(bytes)}`;
  history.replaceState(null, '', fragment);
  $('share-link').href = fragment;
  $('share-link').hidden = false;
  $('link-info').textContent = say('page.link-info');
}

// ---- running a check ----

/// Checks `bytes`, the content of a file named `name`. `typed` when they come from the text area,
/// which then keeps what the person is typing.
function check(name, bytes, typed = false) {
  freshWorker();
  jobId += 1;
  running = true;
  current = { name, bytes, typed };
  output = null;
  $('result').hidden = true;
  $('verdict').removeAttribute('data-preserving');
  clearReport();
  clearJoinAndRepair();
  setStatus('busy', say('page.status.checking', { name, bytes: bytes.length }));
  $('input-info').textContent = say('page.input-info', { name, bytes: bytes.length });
  if (!typed) textArea.value = '';
  keepInAddress(bytes);
  worker.postMessage({ id: jobId, name, bytes: bytes.slice().buffer, language });
}

function showInTextArea(encoding) {
  if (current.typed) return;
  if (current.bytes.length > kShownBytes) {
    textArea.value = '';
    textArea.placeholder = say('page.too-large-to-show');
    return;
  }
  textArea.value = new TextDecoder(encoding ?? 'utf-8').decode(current.bytes);
}

/// The texts of a language: the first ones start the page, later ones come from the switch and
/// show the input again in the new language.
function textsArrived(message) {
  const first = language === null;
  language = message.language;
  applyTexts(message.language, message.texts);
  if (first) {
    if (!openFragment()) setStatus('idle', say('page.status.idle'));
  } else if (current !== null) {
    check(current.name, current.bytes, current.typed);
  } else {
    setStatus('idle', say('page.status.idle'));
  }
}

function answered(message) {
  if (message.kind === 'texts') {
    textsArrived(message);
    return;
  }
  if (message.id !== jobId) return;
  if (message.kind === 'error') {
    failed(message.message);
  } else if (message.kind === 'job') {
    output = message.output;
    showVerdict(message.preserving, message.verdict);
    $('result').hidden = false;
    setStatus('busy', say('page.status.verdict', { ms: Math.round(message.milliseconds) }));
  } else if (message.kind === 'repaired') {
    repaired(message);
  } else if (message.kind === 'report') {
    running = false;
    showReport(message.report);
    showJoinAndRepair(message.report);
    showInTextArea(message.report.encoding);
    setStatus(
      'done',
      say('page.status.done', { name: current.name, ms: Math.round(message.milliseconds) }),
    );
  }
}

// ---- where inputs come from ----

async function openFile(file) {
  if (file) check(file.name, new Uint8Array(await file.arrayBuffer()));
}

function openFragment() {
  const match = /^#input=([A-Za-z0-9_-]*)$/.exec(location.hash);
  if (!match) return false;
  try {
    check('input.txt', fromBase64Url(match[1]));
  } catch {
    setStatus('error', say('page.bad-link'));
  }
  return true;
}

/// Saves `bytes` as a file named `name`.
function saveBytes(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
}

function downloadOutput() {
  if (output !== null) saveBytes(output, `${current.name.replace(/\.[^.]*$/, '')}.out`);
}

// ---- the repaired input: the worker makes it, the page checks it or saves it ----

function repairedName() {
  return `${current.name.replace(/\.[^.]*$/, '')}.repaired.txt`;
}

function requestRepaired(purpose) {
  if (running || worker === null || current === null) return;
  const { name, bytes } = current;
  const message = { id: jobId, kind: 'repair', purpose, name, bytes: bytes.slice().buffer, language };
  worker.postMessage(message);
}

function repaired(message) {
  const bytes = new Uint8Array(message.bytes);
  if (message.purpose === 'download') {
    saveBytes(bytes, repairedName());
    showRepairedNote(message.stillLost);
    return;
  }
  check(repairedName(), bytes);
}

const examples = JSON.parse($('examples').textContent);
for (const name of Object.keys(examples)) $('example-select').append(new Option(name, name));
$('example-select').addEventListener('change', (event) => {
  const name = event.target.value;
  if (name) check(name, fromBase64Url(examples[name].replace(/=+$/, '')));
});

$('file-input').addEventListener('change', (event) => {
  openFile(event.target.files[0]);
  event.target.value = '';  // the same file again is a change too
});

let typingTimer = 0;
textArea.addEventListener('input', () => {
  clearTimeout(typingTimer);
  typingTimer = setTimeout(() => {
    $('example-select').value = '';
    check('input.txt', new TextEncoder().encode(textArea.value), true);
  }, 300);
});

document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  openFile(event.dataTransfer.files[0]);
});

$('download-button').addEventListener('click', downloadOutput);
$('repair-check-button').addEventListener('click', () => requestRepaired('check'));
$('repair-download-button').addEventListener('click', () => requestRepaired('download'));
window.addEventListener('hashchange', openFragment);
$('language').addEventListener('change', (event) => {
  // A check under way is dropped: the same input is checked again in the new language.
  freshWorker();
  askForTexts(event.target.value);
});

startWorker();
askForTexts(undefined);
