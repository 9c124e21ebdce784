// The page in a real browser against the native programs: every end-to-end case and example opened
// through its link, one through the file picker, typed text, a broken link, and benchmark tier T1
// within 2 s. Needs the native build (build/) and the page (build-web/fdpreserve.html).
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { download, fragmentOf, newPage, open, settled, shownResult, startBrowser } from './browser.mjs';
import { generateTier, kPage, kRoot, nativeAnswer, nativeNotes, nativeRepaired } from './native.mjs';

const pageUrl = pathToFileURL(kPage).href;
const inputs = [
  ...readdirSync(join(kRoot, 'tests/cases')).map((name) => `tests/cases/${name}/input`),
  ...readdirSync(join(kRoot, 'examples'))
    .filter((name) => name.endsWith('.txt'))
    .map((name) => `examples/${name}`),
];
const screenshot = process.env.FDPRESERVE_SCREENSHOT ?? join(kRoot, 'build-web/web-page.png');

let chromium;
before(async () => {
  chromium = await startBrowser();
});
after(async () => {
  await chromium?.close();
});

/// Checks that the open page shows what the native programs give on `path`, download included.
async function agreesWithNative(tab, path) {
  const expected = nativeAnswer(path);
  assert.equal(await settled(tab.page), 'done');
  const shown = await shownResult(tab.page);
  assert.equal(shown.verdict, expected.verdict);
  assert.equal(shown.preserving, expected.preserving);
  assert.deepEqual(shown.rows, expected.rows);
  assert.deepEqual(shown.forms, expected.forms);
  assert.ok((await download(tab.page, tab.downloads)).equals(expected.output), 'downloaded bytes');
  assert.deepEqual(tab.errors, []);
}

async function withTab(body) {
  const tab = await newPage(chromium.browser);
  try {
    await body(tab);
  } finally {
    await tab.page.close();
    rmSync(tab.downloads, { recursive: true, force: true });
  }
}

describe('each case and example through #input=', () => {
  for (const input of inputs) {
    test(input, () =>
      withTab(async (tab) => {
        const path = join(kRoot, input);
        await tab.page.goto(pageUrl + fragmentOf(readFileSync(path)));
        await agreesWithNative(tab, path);
        if (input === 'examples/road.txt') {
          await tab.page.setViewport({ width: 900, height: 800 });
          await tab.page.screenshot({ path: screenshot, fullPage: true });
        }
      }),
    );
  }
});

describe('inputs from the page itself', () => {
  test('a file through the file picker, CR LF and all, keeps its bytes', () =>
    withTab(async (tab) => {
      const path = join(kRoot, 'examples/crlf_windows.txt');
      await open(tab.page, pageUrl);
      await (await tab.page.$('#file-input')).uploadFile(path);
      await agreesWithNative(tab, path);
      // The address now holds the file's bytes as they are.
      const hash = await tab.page.evaluate(() => location.hash);
      assert.equal(hash, fragmentOf(readFileSync(path)));
    }));

  test('an example from the menu', () =>
    withTab(async (tab) => {
      await open(tab.page, pageUrl);
      await tab.page.select('#example-select', 'not_preserving.txt');
      await agreesWithNative(tab, join(kRoot, 'examples/not_preserving.txt'));
    }));

  test('typed text: both rules side by side where they part', () =>
    withTab(async (tab) => {
      await open(tab.page, pageUrl);
      await tab.page.type('#input-text', 'K,M\nL,M\n\nK,L->M');
      assert.equal(await settled(tab.page), 'done');
      const shown = await shownResult(tab.page);
      assert.equal(shown.preserving, 'true');
      const rules = await tab.page.$$eval('.rule-verdict', (nodes) => nodes.map((n) => n.textContent));
      assert.deepEqual(rules, ['preserving', 'not preserving']);
    }));

  test('what each subschema keeps, in English and, through the switch, in Hungarian', () =>
    withTab(async (tab) => {
      const path = join(kRoot, 'examples/normal_forms.txt');
      await tab.page.goto(pageUrl + fragmentOf(readFileSync(path)));
      await agreesWithNative(tab, path);
      const forms = await tab.page.$$eval('#subschemas tbody tr', (rows) =>
        rows.map((row) => row.lastElementChild.textContent),
      );
      assert.match(forms[0], /^3NF, not BCNF: Teacher → Course holds/);
      assert.equal(await tab.page.$$eval('#minimal-cover tbody tr', (rows) => rows.length), 6);
      await tab.page.select('#language', 'hu');
      await tab.page.waitForFunction(
        (text) => document.querySelector('#design h3:last-of-type')?.textContent === text,
        { timeout: 10_000 },
        'Mit őriznek meg az egyes részsémák (tankönyvi szabály)',
      );
    }));

  test('a link whose #input= is not base64url says so', () =>
    withTab(async (tab) => {
      await tab.page.goto(`${pageUrl}#input=A`);
      assert.equal(await settled(tab.page), 'error');
      assert.equal(await tab.page.$eval('#result', (node) => node.hidden), true);
    }));
});

/// What the page shows in words: its language, each text that names a catalogue key, and the
/// notes beside the lines.
async function shownWords(page) {
  return page.evaluate(() => ({
    language: document.documentElement.lang,
    texts: Object.fromEntries(
      [...document.querySelectorAll('[data-text]')].map((node) => [node.dataset.text, node.textContent]),
    ),
    notes: [...document.querySelectorAll('#lines .note')].map((node) => ({
      kind: node.querySelector('code').textContent,
      message: node.textContent.slice(node.querySelector('code').textContent.length + 1),
    })),
  }));
}

/// Checks that the page shows every text of its own in one language, and the notes as the native
/// fdexplain words them in it.
async function speaks(tab, language, path) {
  await tab.page.waitForFunction((code) => document.documentElement.lang === code, {}, language);
  assert.equal(await settled(tab.page), 'done');
  const shown = await shownWords(tab.page);
  for (const [key, text] of Object.entries(shown.texts)) {
    assert.ok(text !== '' && text !== `[${key}]`, `${key} has no text`);
  }
  const expected = nativeNotes(path, language).map(({ kind, message }) => ({ kind, message }));
  assert.deepEqual(shown.notes, expected);
  return shown;
}

describe('the language of the page', () => {
  test('follows the browser, Hungarian first, and the switch changes it at once', () =>
    withTab(async (tab) => {
      await tab.page.evaluateOnNewDocument(() => {
        Object.defineProperty(navigator, 'languages', { get: () => ['hu-HU', 'hu', 'en-US'] });
      });
      const path = join(kRoot, 'examples/odd_lines.txt');
      await tab.page.goto(pageUrl + fragmentOf(readFileSync(path)));
      const hungarian = await speaks(tab, 'hu', path);
      await tab.page.select('#language', 'en');
      const english = await speaks(tab, 'en', path);
      assert.notEqual(hungarian.texts['page.download'], english.texts['page.download']);
      assert.notEqual(hungarian.notes[0].message, english.notes[0].message);
      assert.equal(await tab.page.$eval('#language', (node) => node.value), 'en');
      await agreesWithNative(tab, path);
    }));

  test('any other browser language gives English', () =>
    withTab(async (tab) => {
      await tab.page.evaluateOnNewDocument(() => {
        Object.defineProperty(navigator, 'languages', { get: () => ['de-DE', 'fr'] });
      });
      const path = join(kRoot, 'examples/road.txt');
      await tab.page.goto(pageUrl + fragmentOf(readFileSync(path)));
      await speaks(tab, 'en', path);
    }));
});

describe('the join and the repair', () => {
  test('the repair of an example, checked in the page and downloaded as fdexplain writes it', () =>
    withTab(async (tab) => {
      const path = join(kRoot, 'examples/not_preserving.txt');
      await tab.page.goto(pageUrl + fragmentOf(readFileSync(path)));
      assert.equal(await settled(tab.page), 'done');
      const shown = await tab.page.evaluate(() => ({
        hidden: document.getElementById('repair').hidden,
        lines: [...document.querySelectorAll('#repair-lines li')].map((li) => ({
          line: li.querySelector('code').textContent,
          restores: li.dataset.restores,
        })),
        ours: document.getElementById('join-ours').dataset.lossless,
        textbook: document.getElementById('join-textbook').dataset.lossless,
        heading: document.getElementById('repair-heading').textContent,
      }));
      assert.deepEqual(shown, {
        hidden: false,
        lines: [{ line: 'L,M', restores: '5' }],
        ours: 'true',
        textbook: 'true',
        heading: 'Repair',
      });
      const expected = nativeRepaired(path);
      const saved = await download(tab.page, tab.downloads, '#repair-download-button');
      assert.ok(saved.equals(expected), 'downloaded repaired bytes');
      // Checked in the page, the repaired input is preserving, and the address holds it.
      await tab.page.click('#repair-check-button');
      await tab.page.waitForSelector('#verdict[data-preserving="true"]');
      assert.equal(await settled(tab.page), 'done');
      assert.equal(await tab.page.evaluate(() => location.hash), fragmentOf(expected));
      assert.equal(await tab.page.$eval('#repair', (node) => node.hidden), true);
      assert.deepEqual(tab.errors, []);
    }));

  test('a lossy join shows its final tableau, in Hungarian too', () =>
    withTab(async (tab) => {
      await open(tab.page, pageUrl);
      await tab.page.type('#input-text', 'A,B\nB,C\nC,D\n\nA->B\nC->D');
      assert.equal(await settled(tab.page), 'done');
      const shown = () =>
        tab.page.evaluate(() => ({
          ours: document.getElementById('join-ours').textContent,
          rows: [...document.querySelectorAll('#tableau tbody tr')].map((tr) =>
            [...tr.children].map((td) => td.textContent),
          ),
        }));
      const rows = [
        ['1', 'A, B', 'C, D'],
        ['2', 'B, C', 'A'],
        ['3', 'C, D', 'A, B'],
      ];
      assert.deepEqual(await shown(), { ours: 'lossy', rows });
      await tab.page.select('#language', 'hu');
      await tab.page.waitForSelector('html[data-texts="hu"]');
      assert.equal(await settled(tab.page), 'done');
      assert.deepEqual(await shown(), { ours: 'veszteséges', rows });
    }));
});

describe('benchmark tier T1 in the page', () => {
  test('finishes within 2 s through the file picker', async () => {
    const work = mkdtempSync(join(tmpdir(), 'fdpreserve-t1-'));
    try {
      const path = join(work, 'T1.txt');
      generateTier('T1', path);
      await withTab(async (tab) => {
        await open(tab.page, pageUrl);
        const picker = await tab.page.$('#file-input');
        const started = performance.now();
        await picker.uploadFile(path);
        await settled(tab.page);
        const milliseconds = performance.now() - started;
        console.log(`T1 in the page: ${Math.round(milliseconds)} ms`);
        assert.ok(milliseconds < 2000, `T1 took ${milliseconds} ms`);
        await agreesWithNative(tab, path);
      });
    } finally {
      rmSync(work, { recursive: true, force: true });
    }
  });
});
