// Applies a problem matcher of package.json to the real standard error of
// its program, line by line, as VS Code does to a task's output.
//
// Usage: node matcher-check.js MATCHER PROGRAM RUNS_JSON SOURCES_DIR WORK_DIR [GOLDEN_DIR]
//
// RUNS_JSON ({folder, runs}) lists command lines of PROGRAM; WORK_DIR is
// emptied and SOURCES_DIR copied into WORK_DIR/folder, where each run takes
// place. Each run gives its exit status and, per line of standard error in
// order, either the groups the matcher must find ({file, line, column,
// severity, message, code}, no code for a message without one) or
// {unmatched: TEXT} for a line that must be TEXT and must not match.
//
// With GOLDEN_DIR (tests/golden/PROGRAM), the standard error of every
// golden case is read too: each diagnostic line must match and give back
// the line from its groups; the program's own messages (PROGRAM: ...,
// Try '...') must not match. Cases that ask for JSON diagnostics
// (-fdiagnostics-format=json) are for scripts, not matchers, and are left out.
'use strict';
const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const path = require('path');
const { loadMatcher, applyMatcher } = require('./matcher');

// What follows the message in brackets: ctrlforge's error numbers, the
// assemblers' flags, and warning names (with -Werror, -Werror=NAME).
const CODES = { ctrlforge: /^(E\d+|-W[\w=-]+)$/, wordforge: /^([FLD]|-W[\w=-]+)$/ };

const [name, program, runsFile, sourcesDir, workDir, goldenDir] = process.argv.slice(2);
if (!workDir) {
  console.error('usage: node matcher-check.js MATCHER PROGRAM RUNS_JSON SOURCES_DIR WORK_DIR [GOLDEN_DIR]');
  process.exit(2);
}
const matcher = loadMatcher(name);
const failures = [];
let linesRead = 0;

function check(where, line, test) {
  linesRead++;
  try {
    test();
  } catch (e) {
    failures.push(`${where}: ${line}\n  ${e.message.split('\n').join('\n  ')}`);
  }
}

function expectLine(line, expected) {
  const found = applyMatcher(matcher, line);
  if ('unmatched' in expected) {
    assert.strictEqual(line, expected.unmatched);
    assert.strictEqual(found, null, 'the line matches');
    return;
  }
  const { file, line: lineNumber, column, severity, message } = expected;
  assert.deepStrictEqual(found, { file, line: lineNumber, column, severity, message, code: expected.code ?? null });
}

function errorLines(text) {
  const lines = text.split('\n');
  if (lines[lines.length - 1] !== '') failures.push(`standard error does not end with a line end: ${JSON.stringify(text)}`);
  return lines.slice(0, -1);
}

// The hand-worked runs.
const { folder, runs } = JSON.parse(fs.readFileSync(runsFile, 'utf8'));
fs.rmSync(workDir, { recursive: true, force: true });
fs.mkdirSync(path.join(workDir, folder), { recursive: true });
for (const source of fs.readdirSync(sourcesDir)) {
  fs.copyFileSync(path.join(sourcesDir, source), path.join(workDir, folder, source));
}
for (const run of runs) {
  const command = `${name} ${run.args.join(' ')}`;
  const result = childProcess.spawnSync(program, run.args, { cwd: workDir, encoding: 'utf8' });
  if (result.error) throw result.error;
  if (result.status !== run.status) failures.push(`${command}: exit status ${result.status}, expected ${run.status}`);
  if (result.stdout !== '') failures.push(`${command}: wrote to standard output: ${result.stdout}`);
  const lines = errorLines(result.stderr);
  if (lines.length !== run.lines.length) {
    failures.push(`${command}: ${lines.length} lines of standard error, expected ${run.lines.length}:\n${result.stderr}`);
  }
  lines.forEach((line, i) => {
    if (i < run.lines.length) check(`${command}, line ${i + 1}`, line, () => expectLine(line, run.lines[i]));
  });
}

// The golden cases' standard error.
if (goldenDir) {
  const ownMessage = (line) => line.startsWith(`${name}: `) || line.startsWith(`Try '${name} --help'`);
  let diagnostics = 0;
  for (const testCase of fs.readdirSync(goldenDir).sort()) {
    const stderrFile = path.join(goldenDir, testCase, 'stderr');
    if (!fs.existsSync(stderrFile)) continue;
    const argsFile = path.join(goldenDir, testCase, 'args');
    if (fs.existsSync(argsFile) && fs.readFileSync(argsFile, 'utf8').split('\n').includes('-fdiagnostics-format=json')) continue;
    for (const line of errorLines(fs.readFileSync(stderrFile, 'utf8'))) {
      check(`${testCase}/stderr`, line, () => {
        const found = applyMatcher(matcher, line);
        if (ownMessage(line)) {
          assert.strictEqual(found, null, 'the line matches');
          return;
        }
        diagnostics++;
        assert.ok(found, 'does not match');
        assert.ok(found.line >= 1 && found.column >= 1, `line ${found.line}, column ${found.column}`);
        assert.ok(found.code === null || CODES[name].test(found.code), `code ${found.code}`);
        const code = found.code === null ? '' : ` [${found.code}]`;
        assert.strictEqual(`${found.file}:${found.line}:${found.column}: ${found.severity}: ${found.message}${code}`, line,
          'the groups do not give back the line');
      });
    }
  }
  if (diagnostics === 0) failures.push(`no diagnostics in the golden cases of ${goldenDir}`);
}

failures.forEach((f) => console.log(f));
console.log(`${linesRead} lines read with the ${name} matcher, ${failures.length} failures`);
process.exit(failures.length === 0 && linesRead > 0 ? 0 : 1);
