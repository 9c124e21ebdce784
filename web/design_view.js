// Draws what fdexplain's report says of the decomposition beyond preservation: the join under both
// rules with the final tableau of a lossy one, and the repair with its lines to add. Its words come
// from the catalogue the worker hands over; it decides nothing itself.
'use strict';

let pagePhrases = {};

/// Takes the catalogue of the page's language, from the worker's {kind: 'phrases'} message, and
/// fills every element that names its text with data-phrase.
function usePhrases(message) {
  pagePhrases = message[document.documentElement.lang] ?? message.en;
  for (const node of document.querySelectorAll('[data-phrase]')) {
    node.textContent = phrase(node.dataset.phrase);
  }
}

/// The text of `key`, each {name} in it replaced by fills[name]; the plural form when `count` is
/// not 1.
function phrase(key, fills = {}, count = 1) {
  const entry = pagePhrases[key];
  if (entry === undefined) return `[${key}]`;
  const text = count === 1 ? entry[0] : entry[1];
  return text.replace(/\{([a-z-]+)\}/g, (whole, name) => (name in fills ? String(fills[name]) : whole));
}

function ruleWords(rule) {
  return phrase(rule === 'textbook' ? 'join.rule-textbook' : 'join.rule-any');
}

function showJoinVerdict(id, value) {
  const node = document.getElementById(id);
  node.dataset.lossless = String(value);
  node.textContent = phrase(
    value === null ? 'page.join-not-computed' : value ? 'page.join-lossless' : 'page.join-lossy',
  );
}

function showTableau(report) {
  const caption = document.getElementById('tableau-caption');
  const region = document.getElementById('tableau-region');
  const tableau = report.tableau;
  region.hidden = tableau === null;
  const lossy = report.rule === 'textbook' ? report.textbook_lossless === false : report.lossless === false;
  caption.textContent =
    tableau !== null
      ? phrase('join.tableau', { rule: ruleWords(tableau.rule) })
      : lossy
        ? phrase('page.tableau-left-out')
        : '';
  if (tableau === null) return;
  const subschemas = new Map(report.subschemas.map((s) => [s.line, s.attributes]));
  const rows = tableau.rows.map((row) => {
    const tr = element('tr', '', { 'data-line': row.line });
    tr.append(
      element('td', String(row.line)),
      element('td', namesText(subschemas.get(row.line) ?? [])),
      element('td', namesText(row.undistinguished)),
    );
    return tr;
  });
  document.querySelector('#tableau tbody').replaceChildren(...rows);
}

function showRepair(report) {
  const repair = report.repair;
  document.getElementById('repair').hidden = repair === null;
  if (repair === null) return;
  const rule = ruleWords(repair.rule);
  const subschemas = report.subschemas.length;
  document.getElementById('repair-where').textContent =
    subschemas === 0
      ? phrase('repair.section-first', { rule })
      : phrase('repair.section', { rule, line: report.subschemas[subschemas - 1].line });
  const items = repair.add.map((added) => {
    const item = element('li', '', {
      'data-attributes': JSON.stringify(added.attributes),
      'data-restores': added.restores.join(','),
    });
    item.append(
      element('code', added.attributes.join(','), { class: 'repair-line' }),
      document.createTextNode(
        ` ${phrase('repair.restores', { lines: added.restores.join(', ') }, added.restores.length)}`,
      ),
    );
    return item;
  });
  document.getElementById('repair-lines').replaceChildren(...items);
  const unrepairable = repair.unrepairable;
  document.getElementById('repair-unrepairable').textContent =
    unrepairable.length === 0
      ? ''
      : phrase('repair.unrepairable', { lines: unrepairable.join(', ') }, unrepairable.length);
  const checked = !repair.verified
    ? 'repair.not-verified'
    : unrepairable.length === 0
      ? 'page.repair-verified'
      : 'repair.verified-but';
  document.getElementById('repair-verified').textContent =
    repair.add.length === 0 ? '' : phrase(checked, { rule });
  for (const id of ['repair-check-button', 'repair-download-button']) {
    document.getElementById(id).disabled = repair.add.length === 0;
  }
}

/// What the report says of the join and the repair.
function showDesign(report) {
  if (report.error !== undefined) return;
  showJoinVerdict('join-ours', report.lossless);
  showJoinVerdict('join-textbook', report.textbook_lossless);
  showTableau(report);
  showRepair(report);
}

/// Takes away what an earlier input showed.
function clearDesign() {
  document.getElementById('repair').hidden = true;
  document.getElementById('tableau-region').hidden = true;
  for (const id of ['join-ours', 'join-textbook', 'tableau-caption', 'repair-where', 'repair-unrepairable', 'repair-verified', 'repair-note']) {
    document.getElementById(id).textContent = '';
  }
  document.getElementById('repair-lines').replaceChildren();
}

/// Says what the repaired input still loses, if anything.
function showRepairedNote(stillLost) {
  document.getElementById('repair-note').textContent =
    stillLost.length === 0
      ? ''
      : phrase('repaired.still-lost', { lines: stillLost.join(', ') }, stillLost.length);
}
