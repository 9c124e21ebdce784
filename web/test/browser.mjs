// Debian's Chromium, headless, driven by puppeteer-core, which never fetches a browser of its own.
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import puppeteer from 'puppeteer-core';

const kChromium = process.env.CHROMIUM ?? '/usr/bin/chromium';

// A closed network refuses what Chromium reaches out for by itself; these keep it from trying.
// As root, Chromium runs only without its sandbox.
const kArguments = [
  '--headless',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  ...(process.getuid?.() === 0 ? ['--no-sandbox'] : []),
];

/// A browser with a fresh profile; `close()` ends it and removes the profile.
export async function startBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'fdpreserve-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    userDataDir: profile,
    args: kArguments,
  });
  return {
    browser,
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

/// A new tab whose errors fail the test, and whose downloads land in a folder of their own.
export async function newPage(browser) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  const downloads = mkdtempSync(join(tmpdir(), 'fdpreserve-downloads-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  return { page, errors, downloads };
}

/// Opens `url` and waits until the page has its texts and shows itself, ready for input.
export async function open(page, url) {
  await page.goto(url);
  await page.waitForSelector('html:not([data-texts="none"])');
}

/// Waits until the page has finished with its input, well or not; gives the status's state.
export async function settled(page, timeout = 10_000) {
  const status = await page.waitForSelector(
    '#status[data-state="done"], #status[data-state="error"]',
    { timeout },
  );
  return status.evaluate((node) => node.dataset.state);
}

/// What the page shows through its stable hooks: the verdict, the dependency rows and the
/// subschema rows.
export async function shownResult(page) {
  return page.evaluate(() => {
    const verdict = document.getElementById('verdict');
    return {
      verdict: verdict.textContent,
      preserving: verdict.dataset.preserving,
      rows: [...document.querySelectorAll('#dependencies tbody tr')].map((row) => ({
        line: Number(row.dataset.line),
        preserved: row.dataset.preserved,
      })),
      forms: [...document.querySelectorAll('#subschemas tbody tr')].map((row) => ({
        line: Number(row.dataset.line),
        normalForm: row.dataset.normalForm,
      })),
    };
  });
}

/// Clicks the download button (or the one `button` selects) and gives the bytes of the file it
/// saves; `folder` must hold no other finished download.
export async function download(page, folder, button = '#download-button') {
  await page.click(button);
  for (let waited = 0; waited < 10_000; waited += 50) {
    const done = readdirSync(folder).filter((name) => !name.endsWith('.crdownload'));
    if (done.length === 1) return readFileSync(join(folder, done[0]));
    await sleep(50);
  }
  throw new Error('no download arrived');
}

/// `bytes` as the page's #input= fragment wants them: base64url without padding.
export function fragmentOf(bytes) {
  return `#input=${Buffer.from(bytes).toString('base64url')}`;
}
