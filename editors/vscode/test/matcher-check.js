// Applies a problem matcher of package.json (its regexp as declared there)
// to a file of diagnostics lines, as VS Code does to a task's output.
// Usage: node matcher-check.js MATCHER DIAGNOSTICS_FILE [EXPECTED_JSON]
// Without EXPECTED_JSON every line must match, with a file, a line and a
// column counted from 1, the severity error or warning, a message, and the
// program's code in brackets. With it, the file holds one entry per line in
// order: the groups expected ({file, line, column, severity, message, code})
// or null for a line that must not match.
'use strict';
const assert = require('assert');
const fs = require('fs');
const { manifest } = require('./manifest');

const CODES = { ctrlforge: /^(E\d+|-W[\w-]+)$/, wordforge: /^([FLD]|-W[\w-]+)$/ };

const [name, diagnosticsFile, expectedFile] = process.argv.slice(2);
if (!name || !diagnosticsFile) {
  console.error('usage: node matcher-check.js MATCHER DIAGNOSTICS_FILE [EXPECTED_JSON]');
  process.exit(2);
}
const matcher = manifest.contributes.problemMatchers.find((m) => m.name === name);
if (!matcher) {
  console.error(`package.json has no problem matcher ${name}`);
  process.exit(2);
}
const pattern = matcher.pattern;
const regexp = new RegExp(pattern.regexp);

function apply(line) {
  const m = regexp.exec(line);
  if (!m) return null;
  return {
    file: m[pattern.file],
    line: Number(m[pattern.line]),
    column: Number(m[pattern.column]),
    severity: m[pattern.severity],
    message: m[pattern.message],
    code: m[pattern.code],
  };
}

const lines = fs.readFileSync(diagnosticsFile, 'utf8').split(/\r?\n/).filter((l) => l !== '');
const expected = expectedFile ? JSON.parse(fs.readFileSync(expectedFile, 'utf8')) : null;
const failures = [];
if (lines.length === 0) failures.push(`${diagnosticsFile} holds no lines`);
if (expected && expected.length !== lines.length) {
  failures.push(`${lines.length} lines but ${expected.length} expectations`);
}
lines.forEach((line, i) => {
  const found = apply(line);
  try {
    if (expected) {
      assert.deepStrictEqual(found, expected[i]);
    } else {
      assert.ok(found, 'does not match');
      assert.ok(found.file.length > 0, 'no file');
      assert.ok(Number.isInteger(found.line) && found.line >= 1, `line ${found.line}`);
      assert.ok(Number.isInteger(found.column) && found.column >= 1, `column ${found.column}`);
      assert.ok(['error', 'warning'].includes(found.severity), `severity ${found.severity}`);
      assert.ok(found.message.length > 0, 'no message');
      assert.match(found.code || '', CODES[name] || /./, `code ${found.code}`);
    }
  } catch (e) {
    failures.push(`line ${i + 1}: ${line}\n  ${e.message.split('\n').join('\n  ')}`);
  }
});
failures.forEach((f) => console.log(f));
console.log(`${lines.length} lines read with the ${name} matcher, ${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
