// Draws what the worker answers: the verdict from fdpreserve's own output, the rest from
// fdexplain's report (the JSON object of `fdexplain --json`). It decides nothing itself.
'use strict';

const kVerdictDecoder = new TextDecoder('iso-8859-2');

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
  if (value === null || value === undefined) return 'not computed';
  return value ? 'yes' : 'no';
}

function dependencyText(dependency) {
  if (dependency.left.length === 0 && dependency.right.length === 0) return '(empty: always holds)';
  return `${namesText(dependency.left)} → ${namesText(dependency.right)}`;
}

/// The verdict, as fdpreserve wrote it into its output file.
function showVerdict(preserving, verdictBytes) {
  const verdict = document.getElementById('verdict');
  verdict.textContent = kVerdictDecoder.decode(verdictBytes);
  verdict.dataset.preserving = String(preserving);
  document.getElementById('verdict-words').textContent = preserving
    ? 'Dependency-preserving: every dependency holds on the subschemas.'
    : 'Not dependency-preserving: some dependency is lost in the decomposition.';
}

function showRules(report) {
  const verdictOf = (value) =>
    value === null ? 'not computed on this input' : value ? 'preserving' : 'not preserving';
  document.querySelector('#rule-ours .rule-verdict').textContent = verdictOf(report.preserving);
  document.querySelector('#rule-textbook .rule-verdict').textContent = verdictOf(
    report.textbook_preserving,
  );
  const parted = report.dependencies.filter(
    (d) => d.textbook_preserved !== null && d.textbook_preserved !== d.preserved,
  );
  document.getElementById('rules-part').textContent =
    report.textbook_preserving === null
      ? 'The textbook rule was not worked out on this input; the notes say why.'
      : parted.length === 0
        ? 'The two rules agree on every dependency shown.'
        : `The two rules part on line${parted.length > 1 ? 's' : ''} ${parted
            .map((d) => d.line)
            .join(', ')}.`;
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
  const { dependencies, notPreserved } = report.totals;
  const shown = report.dependencies.length < dependencies ? ` (${report.dependencies.length} shown: the first ones, and the lost ones past them)` : '';
  document.getElementById('dependencies-summary').textContent =
    `${dependencies} dependenc${dependencies === 1 ? 'y' : 'ies'}, ${notPreserved} not preserved${shown}.`;
}

/// Every subschema and dependency line as the reader took it, each note beside its line; notes
/// on the whole input first.
function showLines(report) {
  const lines = new Map();
  const lineOf = (number) => {
    if (!lines.has(number)) lines.set(number, { readAs: '', notes: [] });
    return lines.get(number);
  };
  for (const s of report.subschemas) lineOf(s.line).readAs = `subschema: ${namesText(s.attributes)}`;
  for (const d of report.dependencies) lineOf(d.line).readAs = `dependency: ${dependencyText(d)}`;
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
    row.append(element('td', number === null ? 'all' : String(number)), element('td', line.readAs), notes);
    return row;
  });
  document.querySelector('#lines tbody').replaceChildren(...rows);
  const { notes } = report.totals;
  document.getElementById('lines-summary').textContent =
    notes === 0 ? 'No odd lines.' : `${notes} note${notes === 1 ? '' : 's'} on odd lines.`;
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

/// fdexplain's report, or what kept it from being made; `texts` the catalogue the parts drawn by
/// page_design.js speak.
function showReport(report, texts) {
  if (report.error !== undefined) {
    document.getElementById('rules-part').textContent = `No report: ${report.error}`;
    return;
  }
  showRules(report);
  showDependencies(report);
  showDesign(report, texts);
  showLines(report);
}
