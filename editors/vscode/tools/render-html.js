// Renders source files as HTML, coloured by the extension's grammars with
// colours like those of VS Code's default dark theme, for the README's
// screenshot.
// Usage: node render-html.js OUTPUT.html FILE[:LANGUAGE][@FIRST-LAST]...
'use strict';
const fs = require('fs');
const path = require('path');
const { createRegistry, tokenizeText, languageOf } = require('../test/grammar');

// The first rule whose scope prefixes one of a token's scopes (innermost
// first) gives its colour.
const THEME = [
  ['comment', '#6a9955'],
  ['invalid', '#f44747'],
  ['string', '#ce9178'],
  ['constant.numeric', '#b5cea8'],
  ['constant.language', '#569cd6'],
  ['variable.language', '#4fc1ff'],
  ['variable.other', '#9cdcfe'],
  ['entity.name.label', '#dcdcaa'],
  ['entity.name.section', '#4ec9b0'],
  ['keyword.control', '#c586c0'],
  ['keyword.operator', '#d4d4d4'],
  ['keyword', '#569cd6'],
  ['punctuation', '#d4d4d4'],
];

function colourOf(scopes) {
  for (const scope of [...scopes].reverse()) {
    const rule = THEME.find(([prefix]) => scope === prefix || scope.startsWith(`${prefix}.`));
    if (rule) return rule[1];
  }
  return '#cccccc';
}

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

(async () => {
  const [output, ...files] = process.argv.slice(2);
  const registry = await createRegistry();
  const panes = [];
  for (const argument of files) {
    const [, file, language, first, last] = /^([^:@]+)(?::([^@]+))?(?:@(\d+)-(\d+))?$/.exec(argument);
    const lang = language || languageOf(file);
    const lines = await tokenizeText(registry, lang, fs.readFileSync(file, 'latin1'));
    const from = first ? Number(first) : 1;
    const to = last ? Number(last) : lines.length;
    const rows = [];
    for (let n = from; n <= to && n <= lines.length; n++) {
      const code = lines[n - 1].map((t) => `<span style="color:${colourOf(t.scopes)}">${escape(t.text)}</span>`).join('');
      rows.push(`<div><span class="n">${n}</span>${code}</div>`);
    }
    panes.push(`<section><h1>${escape(path.basename(file))}</h1><pre>${rows.join('')}</pre></section>`);
  }
  fs.writeFileSync(output, `<!DOCTYPE html><meta charset="utf-8"><style>
body{margin:0;background:#1f1f1f;display:flex;gap:0}
section{background:#1f1f1f;border-right:1px solid #2b2b2b;padding:0 0 8px 0}
h1{font:13px sans-serif;color:#ffffff;background:#181818;margin:0 0 6px 0;padding:8px 14px;border-top:2px solid #0078d4;display:inline-block}
pre{margin:0;font:14px/20px "DejaVu Sans Mono",monospace;color:#cccccc}
.n{display:inline-block;width:3.5em;text-align:right;padding-right:1.5em;color:#6e7681}
</style>${panes.join('')}`);
})().catch((e) => { console.error(e); process.exit(1); });
