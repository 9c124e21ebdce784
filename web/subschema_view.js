// Draws what each subschema keeps, its keys and normal form, and the minimal cover of the
// dependencies, from fdexplain's report, in the texts the text report uses (page_view.js draws
// the rest, and gives `say`). It decides nothing itself.
'use strict';

function designNames(names) {
  return names.length === 0 ? say('design.nothing') : namesText(names);
}

function designDependency(dependency) {
  return `${designNames(dependency.left)} → ${designNames(dependency.right)}`;
}

/// The normal form and, below BCNF, the dependency that breaks the next one up.
function formText(subschema) {
  const form = subschema.normal_form;
  if (form === null) return say('design.page.not-worked-out');
  if (subschema.violation === null) return form;
  const key = { '3NF': 'design.form.3nf', '2NF': 'design.form.2nf', '1NF': 'design.form.1nf' }[form];
  return say(key, {
    dependency: designDependency(subschema.violation),
    left: designNames(subschema.violation.left),
    right: designNames(subschema.violation.right),
  });
}

function keysText(keys) {
  if (keys === null) return say('design.page.not-worked-out');
  return keys.map((key) => `{${namesText(key)}}`).join(', ');
}

function keptText(projected) {
  if (projected === null) return say('design.page.not-worked-out');
  if (projected.length === 0) return say('design.keeps-nothing');
  return projected.map((dependency) => designDependency(dependency)).join('; ');
}

/// A table with the given column headings and rows.
function designTable(id, headings, rows) {
  const table = element('table', '', { id });
  const head = element('tr');
  head.append(...headings.map((heading) => element('th', heading, { scope: 'col' })));
  const thead = element('thead');
  thead.append(head);
  const body = element('tbody');
  body.append(...rows);
  table.append(thead, body);
  const scroll = element('div', '', { class: 'scroll', tabindex: '0', role: 'region' });
  scroll.append(table);
  return scroll;
}

function showCover(report, root) {
  root.append(element('h3', say('design.page.cover-heading')));
  const cover = report.minimal_cover;
  if (cover === null) {
    root.append(element('p', say('design.cover-cut'), { class: 'help' }));
    return;
  }
  const total = report.totals?.minimalCover ?? cover.length;
  root.append(element('p', sayCounted('design.page.cover-summary', total), { class: 'help' }));
  const rows = cover.map((dependency) => {
    const row = element('tr');
    row.append(element('td', designDependency(dependency)), element('td', dependency.from.join(', ')));
    return row;
  });
  const column = (name) => say(`design.page.column.${name}`);
  root.append(designTable('minimal-cover', [column('dependency'), column('from')], rows));
}

function showSubschemas(report, root) {
  root.append(element('h3', say('design.page.subschemas-heading')));
  const total = report.totals?.subschemas ?? report.subschemas.length;
  let summary = sayCounted('design.page.subschemas-summary', total);
  if (report.subschemas.length < total) {
    summary += ` ${say('design.page.shown', { shown: report.subschemas.length })}`;
  }
  root.append(element('p', summary, { class: 'help' }));
  const rows = report.subschemas.map((subschema) => {
    const row = element('tr', '', {
      'data-line': subschema.line,
      'data-normal-form': subschema.normal_form ?? 'none',
    });
    row.append(
      element('td', String(subschema.line)),
      element('td', namesText(subschema.attributes)),
      element('td', keptText(subschema.projected)),
      element('td', keysText(subschema.keys)),
      element('td', formText(subschema)),
    );
    return row;
  });
  const column = (name) => say(`design.page.column.${name}`);
  const headings = ['line', 'attributes', 'keeps', 'keys', 'form'].map(column);
  root.append(designTable('subschemas', headings, rows));
}

/// The minimal cover, then a row for each subschema shown.
function showSubschemaFindings(report) {
  const root = document.getElementById('design');
  root.replaceChildren();
  if (!('minimal_cover' in report)) return;
  showCover(report, root);
  showSubschemas(report, root);
}
