// The page: takes an input (a file, a drop, an example, typed text or the link's fragment) as
// bytes, hands it to the worker, and shows what comes back (page_view.js). The input is kept in
// the address as #input= and its bytes in base64url, so that a link brings the same case back.
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
let current = { name: 'input.txt', bytes: new Uint8Array(0), typed: false };
let output = null;

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
  worker.onerror = (event) => failed(event.message || 'the worker stopped');
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
  setStatus('error', `Something went wrong: ${message}`);
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
    $('link-info').textContent = 'This input is too large to be kept in a link.';
    return;
  }
  const fragment = `#input=${toBase64Url(bytes)}`;
  history.replaceState(null, '', fragment);
  $('share-link').href = fragment;
  $('share-link').hidden = false;
  $('link-info').textContent = 'The address of this page holds the input: share it to share the case.';
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
  clearDesign();
  setStatus('busy', `Checking ${name} (${bytes.length} bytes)…`);
  $('input-info').textContent = `${name}: ${bytes.length} bytes.`;
  if (!typed) textArea.value = '';
  keepInAddress(bytes);
  worker.postMessage({ id: jobId, name, bytes: bytes.slice().buffer });
}

function showInTextArea(encoding) {
  if (current.typed) return;
  if (current.bytes.length > kShownBytes) {
    textArea.value = '';
    textArea.placeholder = 'This file is too large to be shown here; it was checked as it is.';
    return;
  }
  textArea.value = new TextDecoder(encoding ?? 'utf-8').decode(current.bytes);
}

function answered(message) {
  if (message.kind === 'phrases') {
    usePhrases(message);
    return;
  }
  if (message.id !== jobId) return;
  if (message.kind === 'error') {
    failed(message.message);
  } else if (message.kind === 'job') {
    output = message.output;
    showVerdict(message.preserving, message.verdict);
    $('result').hidden = false;
    setStatus('busy', `Verdict in ${Math.round(message.milliseconds)} ms; writing the report…`);
  } else if (message.kind === 'repaired') {
    repaired(message);
  } else if (message.kind === 'report') {
    running = false;
    showReport(message.report);
    showDesign(message.report);
    showInTextArea(message.report.encoding);
    setStatus('done', `Checked ${current.name}; the report took ${Math.round(message.milliseconds)} ms.`);
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
    setStatus('error', 'The link does not hold an input: its #input= part is not base64url.');
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
  if (running || worker === null) return;
  const { name, bytes } = current;
  worker.postMessage({ id: jobId, kind: 'repair', purpose, name, bytes: bytes.slice().buffer });
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

startWorker();
if (!openFragment()) setStatus('idle', 'Give an input above.');
