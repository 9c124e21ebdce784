// Draws what the worker answers: the verdict from fdpreserve's own output, the rest from
// fdexplain's report (the JSON object of `fdexplain --json`). It decides nothing itself.
'use strict';

const kVerdictDecoder = new TextDecoder('iso-8859-2');

/// The page's texts in its language, by catalogue key, as the worker gives them.
let pageTexts = {};

/// The text of `key` with each {name} filled from `fills`.
function say(key, fills = {}) {
  const text = pageTexts[key] ?? `[${key}]`;
  return text.replace(/\{(\w+)\}/g, (mark, name) => (name in fills ? String(fills[name]) : mark));
}

/// The same for a counted text: its singular when `count` is 1, its plural otherwise.
function sayCounted(key, count, fills = {}) {
  return say(count === 1 ? key : `${key}.plural`, { count, ...fills });
}

/// Takes the texts of a language and puts them in every element that names one.
function applyTexts(language, texts) {
  pageTexts = texts;
  document.documentElement.lang = language;
  document.documentElement.dataset.texts = language;
  document.title = say('page.title');
  for (const node of document.querySelectorAll('[data-text]')) node.textContent = say(node.dataset.text);
  document.getElementById('language').value = language;
}

/// A name as the page shows it: every blank made visible, and a control byte written as \xNN.
function visibleName(name) {
  return name.replace(/[\u0000-\u0020\u007f]/g, (c) =>
    c === ' ' ? '␣' : `\\x${c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')}`,
  );
}

function namesText(names) {
  return names.map(visibleName).join(', ');
}

/// A new element with its text and attributes.
function element(tag, text = '', attributes = {}) {
  const node = document.createElement(tag);
  if (text !== '') node.textContent = text;
  for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
  return node;
}

function answerWord(value) {
  if (value === null || value === undefined) return say('page.answer.not-computed');
  return say(value ? 'page.answer.yes' : 'page.answer.no');
}

function dependencyText(dependency) {
  if (dependency.empty) return say('page.dependency-empty');
  return `${namesText(dependency.left)} → ${namesText(dependency.right)}`;
}

/// The verdict, as fdpreserve wrote it into its output file.
function showVerdict(preserving, verdictBytes) {
  const verdict = document.getElementById('verdict');
  verdict.textContent = kVerdictDecoder.decode(verdictBytes);
  verdict.dataset.preserving = String(preserving);
  document.getElementById('verdict-words').textContent = say(
    preserving ? 'page.verdict-words.preserving' : 'page.verdict-words.not-preserving',
  );
}

function showRules(report) {
  const verdictOf = (value) =>
    say(
      value === null
        ? 'page.rule-verdict.not-computed'
        : value
          ? 'page.rule-verdict.preserving'
          : 'page.rule-verdict.not-preserving',
    );
  document.querySelector('#rule-ours .rule-verdict').textContent = verdictOf(report.preserving);
  document.querySelector('#rule-textbook .rule-verdict').textContent = verdictOf(
    report.textbook_preserving,
  );
  const parted = report.dependencies.filter(
    (d) => d.textbook_preserved !== null && d.textbook_preserved !== d.preserved,
  );
  document.getElementById('rules-part').textContent =
    report.textbook_preserving === null
      ? say('page.rules.not-computed')
      : parted.length === 0
        ? say('page.rules.agree')
        : sayCounted('page.rules.part', parted.length, {
            lines: parted.map((d) => d.line).join(', '),
          });
}

function showDependencies(report) {
  const body = document.querySelector('#dependencies tbody');
  const rows = report.dependencies.map((d) => {
    const row = element('tr', '', { 'data-line': d.line, 'data-preserved': d.preserved });
    row.className = d.preserved ? 'kept' : 'lost';
    row.append(
      element('td', String(d.line)),
      element('td', dependencyText(d)),
      element('td', answerWord(d.preserved)),
      element('td', namesText(d.missing)),
      element('td', answerWord(d.textbook_preserved)),
    );
    return row;
  });
  body.replaceChildren(...rows);
  const { dependencies, listed, notPreserved } = report.totals;
  const cut = report.dependencies.length < listed;
  document.getElementById('dependencies-summary').textContent = sayCounted(
    cut ? 'page.dependencies-summary-cut' : 'page.dependencies-summary',
    dependencies,
    { lost: notPreserved, shown: report.dependencies.length },
  );
}

/// Every subschema and dependency line as the reader took it, each note beside its line; notes
/// on the whole input first.
function showLines(report) {
  const lines = new Map();
  const lineOf = (number) => {
    if (!lines.has(number)) lines.set(number, { readAs: '', notes: [] });
    return lines.get(number);
  };
  for (const s of report.subschemas) {
    lineOf(s.line).readAs = say('page.read-as.subschema', { names: namesText(s.attributes) });
  }
  for (const d of report.dependencies) {
    lineOf(d.line).readAs = say('page.read-as.dependency', { dependency: dependencyText(d) });
  }
  for (const n of report.notes) lineOf(n.line).notes.push(n);
  const order = [...lines.keys()].sort((a, b) => (a ?? 0) - (b ?? 0));
  const rows = order.map((number) => {
    const line = lines.get(number);
    const row = element('tr', '', line.notes.length > 0 ? { class: 'noted' } : {});
    const notes = element('td');
    for (const note of line.notes) {
      const item = element('p', '', { class: 'note' });
      item.append(element('code', note.kind), document.createTextNode(` ${note.message}`));
      notes.append(item);
    }
    row.append(
      element('td', number === null ? say('page.line-all') : String(number)),
      element('td', line.readAs),
      notes,
    );
    return row;
  });
  document.querySelector('#lines tbody').replaceChildren(...rows);
  const { notes } = report.totals;
  document.getElementById('lines-summary').textContent =
    notes === 0 ? say('page.lines-summary.none') : sayCounted('page.lines-summary', notes);
}

/// Takes away the answers on an earlier input.
function clearReport() {
  for (const body of document.querySelectorAll('#result tbody')) body.replaceChildren();
  for (const id of ['rules-part', 'dependencies-summary', 'lines-summary']) {
    document.getElementById(id).textContent = '';
  }
  for (const verdict of document.querySelectorAll('.rule-verdict')) verdict.textContent = '';
  document.getElementById('design').replaceChildren();
}

/// fdexplain's report, or what kept it from being made.
function showReport(report) {
  if (report.error !== undefined) {
    document.getElementById('rules-part').textContent = say('page.no-report', { error: report.error });
    return;
  }
  showRules(report);
  showDependencies(report);
  showSubschemaFindings(report);
  showLines(report);
}
