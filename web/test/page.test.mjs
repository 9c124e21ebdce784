// The page in a real browser against the native programs: every end-to-end case and example opened
// through its link, one through the file picker, typed text, a broken link, and benchmark tier T1
// within 2 s. Needs the native build (build/) and the page (build-web/fdpreserve.html).
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { download, fragmentOf, newPage, settled, shownResult, startBrowser } from './browser.mjs';
import { generateTier, kPage, kRoot, nativeAnswer, nativeRepaired } from './native.mjs';

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
      await tab.page.goto(pageUrl);
      await (await tab.page.$('#file-input')).uploadFile(path);
      await agreesWithNative(tab, path);
      // The address now holds the file's bytes as they are.
      const hash = await tab.page.evaluate(() => location.hash);
      assert.equal(hash, fragmentOf(readFileSync(path)));
    }));

  test('an example from the menu', () =>
    withTab(async (tab) => {
      await tab.page.goto(pageUrl);
      await tab.page.select('#example-select', 'not_preserving.txt');
      await agreesWithNative(tab, join(kRoot, 'examples/not_preserving.txt'));
    }));

  test('typed text: both rules side by side where they part', () =>
    withTab(async (tab) => {
      await tab.page.goto(pageUrl);
      await tab.page.type('#input-text', 'K,M\nL,M\n\nK,L->M');
      assert.equal(await settled(tab.page), 'done');
      const shown = await shownResult(tab.page);
      assert.equal(shown.preserving, 'true');
      const rules = await tab.page.$$eval('.rule-verdict', (nodes) => nodes.map((n) => n.textContent));
      assert.deepEqual(rules, ['preserving', 'not preserving']);
    }));

  test('a link whose #input= is not base64url says so', () =>
    withTab(async (tab) => {
      await tab.page.goto(`${pageUrl}#input=A`);
      assert.equal(await settled(tab.page), 'error');
      assert.equal(await tab.page.$eval('#result', (node) => node.hidden), true);
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

  test('a lossy join shows its final tableau', () =>
    withTab(async (tab) => {
      await tab.page.goto(pageUrl);
      await tab.page.type('#input-text', 'A,B\nB,C\nC,D\n\nA->B\nC->D');
      assert.equal(await settled(tab.page), 'done');
      const shown = await tab.page.evaluate(() => ({
        ours: document.getElementById('join-ours').textContent,
        rows: [...document.querySelectorAll('#tableau tbody tr')].map((tr) =>
          [...tr.children].map((td) => td.textContent),
        ),
      }));
      assert.deepEqual(shown, {
        ours: 'lossy',
        rows: [
          ['1', 'A, B', 'C, D'],
          ['2', 'B, C', 'A'],
          ['3', 'C, D', 'A, B'],
        ],
      });
    }));
});

describe('benchmark tier T1 in the page', () => {
  test('finishes within 2 s through the file picker', async () => {
    const work = mkdtempSync(join(tmpdir(), 'fdpreserve-t1-'));
    try {
      const path = join(work, 'T1.txt');
      generateTier('T1', path);
      await withTab(async (tab) => {
        await tab.page.goto(pageUrl);
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
