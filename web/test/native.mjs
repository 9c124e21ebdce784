// The native programs, which the page must agree with: fdpreserve for the output file and the
// verdict, fdexplain --json for the rows of dependencies and of subschemas.
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const kRoot = fileURLToPath(new URL('../..', import.meta.url));
const kBuild = resolve(kRoot, process.env.FDPRESERVE_BUILD ?? 'build');
export const kPage = resolve(kRoot, process.env.FDPRESERVE_PAGE ?? 'build-web/fdpreserve.html');

/// What the native programs make of the input file at `path`.
export function nativeAnswer(path) {
  const work = mkdtempSync(join(tmpdir(), 'fdpreserve-native-'));
  try {
    copyFileSync(path, join(work, 'input'));
    execFileSync(join(kBuild, 'src/fdpreserve'), ['input', 'out'], { cwd: work, stdio: 'ignore' });
    const output = readFileSync(join(work, 'out'));
    const report = JSON.parse(explainJson(join(work, 'input'), 'en'));
    // The negative verdict is "nem " and the positive one's 12 bytes, before which stands CR LF.
    const preserving = output.subarray(-16, -12).toString('latin1') !== 'nem ';
    return {
      output,
      preserving: String(preserving),
      verdict: preserving ? 'függőségőrző' : 'nem függőségőrző',
      rows: report.dependencies.map((d) => ({ line: d.line, preserved: String(d.preserved) })),
      forms: report.subschemas.map((s) => ({ line: s.line, normalForm: s.normal_form ?? 'none' })),
    };
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
}

/// The notes fdexplain gives on the file at `path` in `language` ("en" or "hu"), as
/// {line, kind, message}.
export function nativeNotes(path, language) {
  return JSON.parse(explainJson(path, language)).notes;
}

/// fdexplain's JSON line; it exits with 1 on a file that is not preserving, which is no failure.
function explainJson(path, language) {
  try {
    return execFileSync(join(kBuild, 'src/explain/fdexplain'), ['--json', `--lang=${language}`, path], {
      encoding: 'utf8',
    });
  } catch (error) {
    if (error.status === 1) return error.stdout;
    throw error;
  }
}

/// Writes the input of benchmark tier `tier` to `path`, with the benchmark's own generator.
export function generateTier(tier, path) {
  execFileSync(join(kBuild, 'bench/generate_input'), [tier, path], { stdio: 'ignore' });
}

/// What `fdexplain --repaired` writes for the input file at `path`.
export function nativeRepaired(path) {
  try {
    return execFileSync(join(kBuild, 'src/explain/fdexplain'), ['--repaired', path]);
  } catch (error) {
    if (error.status === 1) return error.stdout;
    throw error;
  }
}
