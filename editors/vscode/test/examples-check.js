// Tokenizes every bundled example with the extension's grammars and checks
// that each character that is not blank gets a scope of its own (none left
// to the bare language scope), that none is marked invalid or ignored (the
// examples assemble cleanly), and that the hand-chosen positions of
// tests/editors/example-points.tsv have their scopes.
// Usage: node examples-check.js EXAMPLES_DIR POINTS_FILE
'use strict';
const fs = require('fs');
const path = require('path');
const { createRegistry, tokenizeText, languageOf } = require('./grammar');

const [examplesDir, pointsFile] = process.argv.slice(2);
if (!examplesDir || !pointsFile) {
  console.error('usage: node examples-check.js EXAMPLES_DIR POINTS_FILE');
  process.exit(2);
}

// .asm is claimed by many assemblers; the README shows how to give it to
// wordforge, as done here.
function exampleLanguage(file) {
  return path.extname(file).toLowerCase() === '.asm' ? 'zorvelt-asm' : languageOf(file);
}

function scopesAt(tokens, column) {
  const token = tokens.find((t) => t.start <= column && column < t.end);
  return token ? token.scopes : [];
}

(async () => {
  const registry = await createRegistry();
  const failures = [];
  let checked = 0;
  const points = fs.readFileSync(pointsFile, 'utf8').split('\n')
    .filter((row) => row.includes('\t') && !row.startsWith('#'))
    .map((row) => row.split('\t'));
  // The sources among the examples (a Makefile and scripts sit there too);
  // both languages must have one.
  const examples = fs.readdirSync(examplesDir).filter((f) => /\.(mic|asm|zasm)$/i.test(f)).sort();
  const languages = new Set(examples.map(exampleLanguage));
  for (const language of ['zorvelt-micro', 'zorvelt-asm']) {
    if (!languages.has(language)) failures.push(`no ${language} example in ${examplesDir}`);
  }
  for (const name of examples) {
    // The "find the mistakes" examples are wrong on purpose: their errors
    // are scoped as errors.
    if (name.startsWith('mistakes.')) continue;
    const language = exampleLanguage(name);
    const text = fs.readFileSync(path.join(examplesDir, name), 'latin1');
    const lines = text.split(/\r?\n/);
    const tokens = await tokenizeText(registry, language, text);
    lines.forEach((line, i) => {
      for (let column = 0; column < line.length; column++) {
        if (/\s/.test(line[column])) continue;
        checked++;
        const scopes = scopesAt(tokens[i], column);
        const where = `${name}:${i + 1}:${column + 1}: ${JSON.stringify(line[column])}`;
        if (scopes.length < 2) failures.push(`${where} has no scope`);
        const bad = scopes.find((s) => /^invalid\.|\.ignored\.|\.unread\./.test(s));
        if (bad) failures.push(`${where} is ${bad}`);
      }
    });
    for (const [file, lineText, columnText, expectedText, scope] of points) {
      if (path.basename(file) !== name) continue;
      const lineIndex = Number(lineText) - 1;
      const start = Number(columnText) - 1;
      if (lines[lineIndex].slice(start, start + expectedText.length) !== expectedText) {
        failures.push(`${file}:${lineText}: the example no longer holds ${JSON.stringify(expectedText)}`);
        continue;
      }
      const wanted = `${scope}.${language}`;
      for (let column = start; column < start + expectedText.length; column++) {
        checked++;
        const scopes = scopesAt(tokens[lineIndex], column);
        if (!scopes.includes(wanted)) {
          failures.push(`${file}:${lineText}:${column + 1}: expected ${wanted}, found ${scopes.join(' ')}`);
        }
      }
    }
  }
  failures.forEach((f) => console.log(f));
  console.log(`${checked} positions checked, ${failures.length} failures`);
  process.exit(failures.length === 0 && checked > 0 ? 0 : 1);
})().catch((e) => { console.error(e); process.exit(1); });
