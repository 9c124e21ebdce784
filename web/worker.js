// The page's worker: runs the library (createEngine, the script before this one) off the page's
// thread. For each input it answers twice: first with what fdpreserve writes, which is quick, then
// with fdexplain's report, which takes longer on a large input. It also gives the page its texts.
//   in:  {id, name, bytes, language}            bytes: an ArrayBuffer, the input file's content
//   out: {id, kind: 'job', preserving, verdict, output, milliseconds}
//        {id, kind: 'report', report, milliseconds}
//        {id, kind: 'error', message}
//   in:  {id, kind: 'repair', purpose, name, bytes, language}
//   out: {id, kind: 'repaired', purpose, bytes, preserving, stillLost}   the repaired input
//   in:  {kind: 'texts', preferred}  or  {kind: 'texts', language}
//   out: {kind: 'texts', language, texts}    the language of the browser's preferred ones, or the
//                                            one asked for, and the page's texts in it
'use strict';

// A page cannot show millions of rows; it gets the first ones, and the failures past them.
const kRowsShown = 2000;

const engineReady = createEngine();

/// The report with its long lists cut to what the page shows, and how long they were.
function shownPart(report) {
  const cut = (list, keep) => {
    let kept = 0;
    return list.filter((item, index) => {
      const shown = index < kRowsShown || (keep(item) && kept < kRowsShown);
      if (index >= kRowsShown && shown) kept += 1;
      return shown;
    });
  };
  if (report.error !== undefined) return report;
  // The empty entry after a final line feed has its note, and no count.
  const finalEmpty = report.notes.some((n) => n.kind === 'final-empty-entry') ? 1 : 0;
  const totals = {
    subschemas: report.subschemas.length,
    minimalCover: report.minimal_cover?.length ?? null,
    dependencies: report.dependencies.length - finalEmpty,
    listed: report.dependencies.length,
    notPreserved: report.dependencies.filter((d) => !d.preserved).length,
    notes: report.notes.length,
  };
  return {
    ...report,
    subschemas: report.subschemas.slice(0, kRowsShown),
    minimal_cover: report.minimal_cover?.slice(0, kRowsShown) ?? null,
    dependencies: cut(report.dependencies, (d) => !d.preserved),
    notes: report.notes.slice(0, kRowsShown),
    totals,
  };
}

async function giveTexts({ preferred, language }) {
  const engine = await engineReady;
  const chosen = language ?? engine.pageLanguage(preferred);
  postMessage({ kind: 'texts', language: chosen, texts: engine.pageTexts(chosen) });
}

/// The repaired input, for the page to check or to download.
async function repair({ id, purpose, name, bytes, language }) {
  const engine = await engineReady;
  const repaired = engine.repairedInput(name, new Uint8Array(bytes), language);
  if (repaired.error !== undefined) {
    postMessage({ id, kind: 'error', message: repaired.error });
    return;
  }
  const { preserving, stillLost } = repaired;
  postMessage({ id, kind: 'repaired', purpose, bytes: repaired.bytes, preserving, stillLost }, [
    repaired.bytes.buffer,
  ]);
}

async function answer({ id, name, bytes, language }) {
  const engine = await engineReady;
  const input = new Uint8Array(bytes);
  let started = performance.now();
  const job = engine.runJob(input, language);
  if (job.error !== undefined) {
    postMessage({ id, kind: 'error', message: job.error });
    return;
  }
  postMessage(
    {
      id,
      kind: 'job',
      preserving: job.preserving,
      verdict: job.verdict,
      output: job.output,
      milliseconds: performance.now() - started,
    },
    [job.output.buffer],
  );
  started = performance.now();
  const report = shownPart(JSON.parse(engine.explainJson(name, input, language)));
  postMessage({ id, kind: 'report', report, milliseconds: performance.now() - started });
}

onmessage = (event) => {
  const { kind } = event.data;
  const work =
    kind === 'texts' ? giveTexts(event.data) : kind === 'repair' ? repair(event.data) : answer(event.data);
  work.catch((error) => {
    postMessage({ id: event.data.id, kind: 'error', message: String(error?.message ?? error) });
  });
};
