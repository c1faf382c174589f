// Loads the extension's grammars, as package.json declares them, into the
// TextMate engine VS Code uses, and tokenizes whole files with them.
'use strict';
const fs = require('fs');
const path = require('path');
const oniguruma = require('vscode-oniguruma');
const textmate = require('vscode-textmate');

const { extensionDir, manifest } = require('./manifest');

function languageOf(file) {
  const ext = path.extname(file).toLowerCase();
  const language = manifest.contributes.languages.find((l) => l.extensions.includes(ext));
  return language ? language.id : null;
}

async function createRegistry() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const byScope = new Map(manifest.contributes.grammars.map((g) => [g.scopeName, g]));
  return new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName) => {
      const entry = byScope.get(scopeName);
      if (!entry) return null;
      const file = path.join(extensionDir, entry.path);
      return textmate.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
}

// Returns, per line, the tokens {start, end, text, scopes} of the text.
async function tokenizeText(registry, language, text) {
  const entry = manifest.contributes.grammars.find((g) => g.language === language);
  if (!entry) throw new Error(`no grammar for language ${language}`);
  const grammar = await registry.loadGrammar(entry.scopeName);
  let state = textmate.INITIAL;
  const lines = text.split(/\r?\n/);
  return lines.map((line) => {
    const result = grammar.tokenizeLine(line, state);
    state = result.ruleStack;
    return result.tokens.map((t) => ({
      start: t.startIndex,
      end: Math.min(t.endIndex, line.length),
      text: line.slice(t.startIndex, t.endIndex),
      scopes: t.scopes,
    }));
  });
}

module.exports = { manifest, extensionDir, languageOf, createRegistry, tokenizeText };

// Run directly: print the tokens of a file, one per line, for inspection.
if (require.main === module) {
  (async () => {
    const file = process.argv[2];
    const registry = await createRegistry();
    const lines = await tokenizeText(registry, process.argv[3] || languageOf(file), fs.readFileSync(file, 'latin1'));
    lines.forEach((tokens, i) => {
      for (const t of tokens) {
        if (t.text.trim() === '') continue;
        console.log(`${i + 1}:${t.start + 1}\t${JSON.stringify(t.text)}\t${t.scopes.slice(1).join(' ')}`);
      }
    });
  })().catch((e) => { console.error(e); process.exit(1); });
}
