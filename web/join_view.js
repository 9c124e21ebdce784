// Draws what fdexplain's report says of the decomposition beyond preservation: the join under both
// rules with the final tableau of a lossy one, and the repair with its lines to add. Its words are
// the page's own, from the catalogue (say, in page_view.js); it decides nothing itself.
'use strict';

function ruleWords(rule) {
  return say(rule === 'textbook' ? 'page.join-rule-textbook' : 'page.join-rule-any');
}

function showJoinVerdict(id, value) {
  const node = document.getElementById(id);
  node.dataset.lossless = String(value);
  node.textContent = say(
    value === null ? 'page.join-not-computed' : value ? 'page.join-lossless' : 'page.join-lossy',
  );
}

function showTableau(report) {
  const tableau = report.tableau;
  document.getElementById('tableau-region').hidden = tableau === null;
  const decided = report.rule === 'textbook' ? report.textbook_lossless : report.lossless;
  document.getElementById('tableau-caption').textContent =
    tableau !== null
      ? say('page.tableau-caption', { rule: ruleWords(tableau.rule) })
      : decided === false
        ? say('page.tableau-left-out')
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
  const count = report.subschemas.length;
  document.getElementById('repair-where').textContent =
    count === 0
      ? say('page.repair-where-first', { rule })
      : say('page.repair-where', { rule, line: report.subschemas[count - 1].line });
  const items = repair.add.map((added) => {
    const item = element('li', '', {
      'data-attributes': JSON.stringify(added.attributes),
      'data-restores': added.restores.join(','),
    });
    const restores = sayCounted('page.repair-restores', added.restores.length, {
      lines: added.restores.join(', '),
    });
    item.append(
      element('code', added.attributes.join(','), { class: 'repair-line' }),
      document.createTextNode(` ${restores}`),
    );
    return item;
  });
  document.getElementById('repair-lines').replaceChildren(...items);
  const unrepairable = repair.unrepairable;
  document.getElementById('repair-unrepairable').textContent =
    unrepairable.length === 0
      ? ''
      : sayCounted('page.repair-unrepairable', unrepairable.length, {
          lines: unrepairable.join(', '),
        });
  const checked = !repair.verified
    ? 'page.repair-not-verified'
    : unrepairable.length === 0
      ? 'page.repair-verified'
      : 'page.repair-verified-but';
  document.getElementById('repair-verified').textContent =
    repair.add.length === 0 ? '' : say(checked, { rule });
  for (const id of ['repair-check-button', 'repair-download-button']) {
    document.getElementById(id).disabled = repair.add.length === 0;
  }
}

/// What the report says of the join and the repair.
function showJoinAndRepair(report) {
  if (report.error !== undefined) return;
  showJoinVerdict('join-ours', report.lossless);
  showJoinVerdict('join-textbook', report.textbook_lossless);
  showTableau(report);
  showRepair(report);
}

/// Takes away what an earlier input showed.
function clearJoinAndRepair() {
  document.getElementById('repair').hidden = true;
  document.getElementById('tableau-region').hidden = true;
  for (const id of [
    'join-ours',
    'join-textbook',
    'tableau-caption',
    'repair-where',
    'repair-unrepairable',
    'repair-verified',
    'repair-note',
  ]) {
    document.getElementById(id).textContent = '';
  }
  document.getElementById('repair-lines').replaceChildren();
}

/// Says which lines the repaired input just saved still loses, if any.
function showRepairedNote(stillLost) {
  document.getElementById('repair-note').textContent =
    stillLost.length === 0
      ? ''
      : sayCounted('page.repair-still-lost', stillLost.length, { lines: stillLost.join(', ') });
}
