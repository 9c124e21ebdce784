// Draws what each subschema keeps, its keys and normal form, and the minimal cover of the
// dependencies, from fdexplain's report and with the texts of its catalogue (page_view.js draws
// the rest). It decides nothing itself.
'use strict';

/// The language of the texts drawn here: Hungarian where the browser asks for it.
function pageLanguage() {
  return (navigator.language ?? '').toLowerCase().startsWith('hu') ? 'hu' : 'en';
}

/// The catalogue's text of `key`, each {name} in it replaced by its fill; the plural form when a
/// count other than 1 is given.
function say(texts, key, fills = {}, count = null) {
  const text = (count !== null && count !== 1 ? texts[`${key}.plural`] : texts[key]) ?? `[${key}]`;
  return text.replace(/\{([a-z_]+)\}/g, (whole, name) => (name in fills ? String(fills[name]) : whole));
}

function designNames(texts, names) {
  return names.length === 0 ? say(texts, 'design.nothing') : namesText(names);
}

function designDependency(texts, dependency) {
  return `${designNames(texts, dependency.left)} → ${designNames(texts, dependency.right)}`;
}

/// The normal form and, below BCNF, the dependency that breaks the next one up.
function formText(texts, subschema) {
  const form = subschema.normal_form;
  if (form === null) return say(texts, 'design.page.not-worked-out');
  if (subschema.violation === null) return form;
  const key = { '3NF': 'design.form.3nf', '2NF': 'design.form.2nf', '1NF': 'design.form.1nf' }[form];
  return say(texts, key, {
    dependency: designDependency(texts, subschema.violation),
    left: designNames(texts, subschema.violation.left),
    right: designNames(texts, subschema.violation.right),
  });
}

function keysText(texts, keys) {
  if (keys === null) return say(texts, 'design.page.not-worked-out');
  return keys.map((key) => `{${namesText(key)}}`).join(', ');
}

function keptText(texts, projected) {
  if (projected === null) return say(texts, 'design.page.not-worked-out');
  if (projected.length === 0) return say(texts, 'design.keeps-nothing');
  return projected.map((dependency) => designDependency(texts, dependency)).join('; ');
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

function showCover(texts, report, root) {
  root.append(element('h3', say(texts, 'design.page.cover-heading')));
  const cover = report.minimal_cover;
  if (cover === null) {
    root.append(element('p', say(texts, 'design.cover-cut'), { class: 'help' }));
    return;
  }
  const total = report.totals?.minimalCover ?? cover.length;
  root.append(element('p', say(texts, 'design.page.cover-summary', { count: total }, total), { class: 'help' }));
  const rows = cover.map((dependency) => {
    const row = element('tr');
    row.append(element('td', designDependency(texts, dependency)), element('td', dependency.from.join(', ')));
    return row;
  });
  const column = (name) => say(texts, `design.page.column.${name}`);
  root.append(designTable('minimal-cover', [column('dependency'), column('from')], rows));
}

function showSubschemas(texts, report, root) {
  root.append(element('h3', say(texts, 'design.page.subschemas-heading')));
  const total = report.totals?.subschemas ?? report.subschemas.length;
  let summary = say(texts, 'design.page.subschemas-summary', { count: total }, total);
  if (report.subschemas.length < total) {
    summary += ` ${say(texts, 'design.page.shown', { shown: report.subschemas.length })}`;
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
      element('td', keptText(texts, subschema.projected)),
      element('td', keysText(texts, subschema.keys)),
      element('td', formText(texts, subschema)),
    );
    return row;
  });
  const column = (name) => say(texts, `design.page.column.${name}`);
  const headings = ['line', 'attributes', 'keeps', 'keys', 'form'].map(column);
  root.append(designTable('subschemas', headings, rows));
}

/// The minimal cover, then a row for each subschema shown.
function showDesign(report, texts) {
  const root = document.getElementById('design');
  root.replaceChildren();
  if (texts === undefined || !('minimal_cover' in report)) return;
  showCover(texts, report, root);
  showSubschemas(texts, report, root);
}
