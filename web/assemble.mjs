// Puts the page together as one file that needs nothing beside it:
//   node web/assemble.mjs OUT.html ENGINE.js EXAMPLE.txt...
// page.html names each part it takes in with a marker; the worker's script (the engine, with the
// WebAssembly inside it, then worker.js) and the examples go into elements the page reads back.
import { readFileSync, writeFileSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [out, engine, ...examples] = process.argv.slice(2);
if (!out || !engine) {
  console.error('usage: node assemble.mjs OUT.html ENGINE.js EXAMPLE.txt...');
  process.exit(2);
}

const read = (path) => readFileSync(path, 'utf8');

// Inside a script element, the HTML parser ends the element at "</script" and treats "<!--"
// specially, whatever the script means by them.
function scriptText(name, text) {
  if (/<\/script|<!--/i.test(text)) {
    throw new Error(`${name} holds "</script" or "<!--", which would break its script element`);
  }
  return text;
}

// Each example as its bytes, in base64, so that none is re-encoded on the way.
const exampleBytes = Object.fromEntries(
  examples.sort().map((path) => [basename(path), readFileSync(path).toString('base64')]),
);

const parts = {
  style: read(join(here, 'page.css')),
  worker: scriptText('the worker', read(engine) + '\n' + read(join(here, 'worker.js'))),
  examples: scriptText('the examples', JSON.stringify(exampleBytes)),
  view: scriptText('page_view.js', read(join(here, 'page_view.js'))),
  subschemas: scriptText('subschema_view.js', read(join(here, 'subschema_view.js'))),
  join: scriptText('join_view.js', read(join(here, 'join_view.js'))),
  script: scriptText('page.js', read(join(here, 'page.js'))),
};

let page = read(join(here, 'page.html'));
for (const [name, text] of Object.entries(parts)) {
  const marker = `/*@${name}*/`;
  if (!page.includes(marker)) throw new Error(`page.html has no marker ${marker}`);
  // A function, so that "$&" and the like in the scripts stay as they are.
  page = page.replace(marker, () => text);
}
writeFileSync(out, page);
