// A scripted client of zorvelt-lsp: the built server started as an editor
// starts it, over stdio, driven through whole exchanges with the protocol's
// own node modules (vscode-languageserver-protocol). Every expected value is
// worked out from the golden cases' files (source, object file, map,
// standard error) and the guides, not taken from the server.
//
// Usage: node client_test.js SUITE SERVER GOLDEN_DIR
//   SUITE: ctrlforge, wordforge, positions or robustness
'use strict';
const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const path = require('path');
const rpc = require('vscode-languageserver-protocol/node');

const [suite, server, golden] = process.argv.slice(2);
if (!golden) {
  console.error('usage: node client_test.js SUITE SERVER GOLDEN_DIR');
  process.exit(2);
}

const TIMEOUT = 20000;

function within(promise, what) {
  let timer;
  const limit = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`no answer in time: ${what}`)), TIMEOUT);
  });
  return Promise.race([promise, limit]).finally(() => clearTimeout(timer));
}

// The server as a child process with a protocol connection to it.
function startServer() {
  const child = childProcess.spawn(server, [], { stdio: ['pipe', 'pipe', 'pipe'] });
  let log = '';
  child.stderr.on('data', (data) => { log += data; });
  const connection = rpc.createProtocolConnection(new rpc.StreamMessageReader(child.stdout),
    new rpc.StreamMessageWriter(child.stdin));
  const waiting = new Map();  // uri -> resolvers of the next publication
  const messages = [];
  connection.onNotification(rpc.PublishDiagnosticsNotification.type, (params) => {
    const resolvers = waiting.get(params.uri) || [];
    waiting.delete(params.uri);
    resolvers.forEach((resolve) => resolve(params));
  });
  connection.onNotification('window/showMessage', (params) => messages.push(params));
  connection.onRequest('workspace/inlayHint/refresh', () => null);
  connection.listen();
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  return {
    child,
    connection,
    messages,
    exited,
    log: () => log,
    // The next diagnostics published for the document; ask before sending
    // what makes them.
    nextDiagnostics(uri) {
      return within(new Promise((resolve) => {
        if (!waiting.has(uri)) waiting.set(uri, []);
        waiting.get(uri).push(resolve);
      }), `diagnostics of ${uri}`);
    },
    request(method, params) { return within(connection.sendRequest(method, params), method); },
    notify(method, params) { return connection.sendNotification(method, params); },
    async close() {
      assert.strictEqual(await this.request('shutdown'), null);
      await this.notify('exit');
      const code = await within(exited, 'exit');
      connection.dispose();
      assert.strictEqual(code, 0, 'exit after shutdown ends with status 0');
    },
  };
}

const CAPABILITIES = {
  textDocument: {
    hover: { contentFormat: ['markdown', 'plaintext'] },
    documentSymbol: { hierarchicalDocumentSymbolSupport: true },
    rename: { prepareSupport: true },
    synchronization: { didSave: true },
  },
  workspace: { inlayHint: { refreshSupport: true }, configuration: false },
};

async function initialize(session, capabilities = CAPABILITIES, initializationOptions = undefined) {
  const result = await session.request('initialize', {
    processId: process.pid, rootUri: null, capabilities, initializationOptions,
  });
  await session.notify('initialized', {});
  return result;
}

function read(file) { return fs.readFileSync(path.join(golden, file), 'latin1'); }
function readUtf8(file) { return fs.readFileSync(path.join(golden, file), 'utf8'); }

// The source's lines, whatever ends them, as the protocol counts them.
function linesOf(text) { return text.split(/\r\n|\r|\n/); }

function range(line, from, to = from) {
  return { start: { line, character: from }, end: { line, character: to } };
}

// Where each whole-word occurrence of `word` stands, case ignored.
function occurrences(text, word) {
  const found = [];
  linesOf(text).forEach((line, number) => {
    const pattern = new RegExp(`(?<![A-Za-z0-9_])${word}(?![A-Za-z0-9_])`, 'gi');
    for (const match of line.matchAll(pattern)) found.push(range(number, match.index, match.index + word.length));
  });
  return found;
}

function byPosition(a, b) {
  return a.start.line - b.start.line || a.start.character - b.start.character;
}

// Applies a rename's edits to a text, last first.
function applyEdits(text, edits) {
  const lines = linesOf(text);
  const ends = text.match(/\r\n|\r|\n/g) || [];
  const sorted = [...edits].sort((a, b) => byPosition(b.range, a.range));
  for (const edit of sorted) {
    assert.strictEqual(edit.range.start.line, edit.range.end.line);
    const line = lines[edit.range.start.line];
    lines[edit.range.start.line] = line.slice(0, edit.range.start.character) + edit.newText +
      line.slice(edit.range.end.character);
  }
  return lines.map((line, i) => line + (ends[i] || '')).join('');
}

// ---------------------------------------------------------------- ctrlforge

// The golden case "fetch": its source, object file and map.
async function ctrlforgeSuite() {
  const source = read('ctrlforge/fetch/input/PROG');
  const object = linesOf(read('ctrlforge/fetch/expected/PROG.o')).filter((l) => l.length > 0);
  const map = linesOf(read('ctrlforge/fetch/expected/PROG.m')).filter((l) => l.length > 0);
  const title = object[0].slice(5).trim();                 // "CM   FETCHER "
  const words = object.slice(1).map((l) => ({ address: l.slice(0, 3), word: l.slice(5, 15) }));
  // Map lines: label in 1-8, address 10-12, branch label from column 54.
  const mapped = map.slice(2).map((l) => ({ label: l.slice(0, 8).trim(), address: l.slice(9, 12),
    target: l.slice(53).trim() }));
  const lines = linesOf(source);
  const statementLines = lines.map((l, i) => (l.startsWith('*') ? i : -1)).filter((i) => i >= 0);
  assert.strictEqual(statementLines.length, words.length, 'one word a statement');

  const uri = 'file:///golden/fetch.mic';
  const session = startServer();
  const init = await initialize(session, CAPABILITIES, { inlayHints: true });
  assert.strictEqual(init.capabilities.positionEncoding, 'utf-16');
  assert.strictEqual(init.capabilities.textDocumentSync.change, rpc.TextDocumentSyncKind.Incremental);

  // Open: the case assembles without an error (its console says NORMAL
  // TERMINATION!). The command line's default warnings add one: the
  // conditional branch of the word at 003 (line 11) to DONE at 345, in the
  // next 512-word page, whose word keeps the low nine bits 145.
  assert.ok(read('ctrlforge/fetch/console').includes('NORMAL TERMINATION!'));
  let published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didOpen', { textDocument: { uri, languageId: 'zorvelt-micro', version: 1,
    text: source } });
  const branchLine = lines.findIndex((l) => l === 'IF CRY = 1 THEN DONE');
  assert.strictEqual(branchLine, 10);
  const pageWarning = { range: range(branchLine, 16, 20), severity: 2, code: '-Wbranch-page', source: 'ctrlforge',
    message: "the branch target 'DONE' at 345 lies in another 512-word page than this word at 003; " +
      'a conditional branch keeps only the low 9 bits of its target, so the word holds 145' };
  assert.deepStrictEqual((await published).diagnostics, [pageWarning]);

  // Hover on each statement's "*": the address and word of the object file.
  for (let i = 0; i < statementLines.length; i++) {
    const hover = await session.request('textDocument/hover',
      { textDocument: { uri }, position: { line: statementLines[i], character: 0 } });
    assert.strictEqual(hover.contents.kind, 'markdown');
    assert.ok(hover.contents.value.includes(`statement at ${words[i].address}** — word \`${words[i].word}\``),
      `hover on line ${statementLines[i] + 1}: ${hover.contents.value}`);
  }

  // The labels of the map, each followed from every use to its heading.
  const labels = mapped.filter((m) => m.label).map((m) => m.label);
  assert.deepStrictEqual(labels, ['LOOP', 'DONE']);
  for (const label of labels) {
    const sites = occurrences(source, label);
    const definition = sites.find((s) => lines[s.start.line].startsWith('*'));
    for (const site of sites) {
      const found = await session.request('textDocument/definition', { textDocument: { uri }, position: site.start });
      assert.deepStrictEqual(found, { uri, range: definition.range || definition }, `definition of ${label}`);
    }
    const references = await session.request('textDocument/references',
      { textDocument: { uri }, position: sites[0].start, context: { includeDeclaration: true } });
    assert.deepStrictEqual(references.map((r) => r.range).sort(byPosition), sites.sort(byPosition));
    const highlights = await session.request('textDocument/documentHighlight',
      { textDocument: { uri }, position: sites[0].start });
    assert.deepStrictEqual(highlights.map((h) => h.kind).sort(), sites.map((s) => (s === definition ? 3 : 2)).sort());
    // Hover on the label: its address in the map, and its uses.
    const hover = await session.request('textDocument/hover', { textDocument: { uri }, position: definition.start });
    const address = mapped.find((m) => m.label === label).address;
    assert.ok(hover.contents.value.includes(`**label ${label}** — address ${address}`), hover.contents.value);
    assert.ok(hover.contents.value.includes(`${sites.length - 1} use`), hover.contents.value);
  }

  // The outline: the title of the object file, the labels of the map.
  const symbols = await session.request('textDocument/documentSymbol', { textDocument: { uri } });
  assert.strictEqual(symbols.length, 1);
  assert.strictEqual(symbols[0].name, title);
  assert.deepStrictEqual(symbols[0].children.map((c) => c.name), labels);
  assert.deepStrictEqual(symbols[0].children.map((c) => c.detail.slice(1, 4)),
    labels.map((l) => mapped.find((m) => m.label === l).address));

  // Inlay hints: "@address word" for each line of the object file.
  const hints = await session.request('textDocument/inlayHint',
    { textDocument: { uri }, range: range(0, 0, 0).start && { start: { line: 0, character: 0 },
      end: { line: lines.length, character: 0 } } });
  assert.deepStrictEqual(hints.map((h) => h.label), words.map((w) => `@${w.address} ${w.word}`));

  // Completion after GOTO on a new clause line: FETCH and the labels.
  const gotoLine = lines.findIndex((l) => l === 'GOTO FETCH');
  assert.ok(gotoLine > 0);
  const completion = await session.request('textDocument/completion',
    { textDocument: { uri }, position: { line: gotoLine, character: 5 } });
  assert.deepStrictEqual(completion.items.map((i) => i.label).sort(), ['FETCH', ...labels].sort());
  assert.ok(completion.items.every((i) => typeof i.documentation === 'string' && i.documentation.length > 0));

  // Semantic tokens: every occurrence of a label is typed label.
  const legend = init.capabilities.semanticTokensProvider.legend;
  const tokens = await session.request('textDocument/semanticTokens/full', { textDocument: { uri } });
  const decoded = [];
  let line = 0, character = 0;
  for (let i = 0; i < tokens.data.length; i += 5) {
    line += tokens.data[i];
    character = tokens.data[i] === 0 ? character + tokens.data[i + 1] : tokens.data[i + 1];
    decoded.push({ range: range(line, character, character + tokens.data[i + 2]),
      type: legend.tokenTypes[tokens.data[i + 3]] });
  }
  const labelTokens = decoded.filter((t) => t.type === 'label').map((t) => t.range).sort(byPosition);
  assert.deepStrictEqual(labelTokens, labels.flatMap((l) => occurrences(source, l)).sort(byPosition));

  // Edit into an error and back: GOTO without its label is error 6, found at
  // the line's end (the guide's "Errors found at a line end"); its message
  // names the clause's keyword.
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 2 },
    contentChanges: [{ range: range(gotoLine, 4, 10), text: '' }] });
  let diagnostics = (await published).diagnostics;
  assert.strictEqual(diagnostics.length, 1, JSON.stringify(diagnostics));
  assert.deepStrictEqual(diagnostics[0], { range: range(gotoLine, 4), severity: 1, source: 'ctrlforge',
    message: "'GOTO' needs the label to branch to", code: 'E6' });
  // Hover on the error: the message and its fix.
  const hover = await session.request('textDocument/hover',
    { textDocument: { uri }, position: { line: gotoLine, character: 4 } });
  assert.ok(hover.contents.value.includes('[E6]') && hover.contents.value.includes('Fix: '), hover.contents.value);
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 3 },
    contentChanges: [{ range: range(gotoLine, 4), text: ' FETCH' }] });
  assert.deepStrictEqual((await published).diagnostics, [pageWarning]);

  // Rename: refused for a taken name, a keyword, a name too long; done for
  // a free one, every occurrence and nothing else changed.
  const done = occurrences(source, 'DONE');
  const refusals = { LOOP: 'is taken', FETCH: 'is a keyword', FINISHED1: 'only the first 8' };
  for (const [name, why] of Object.entries(refusals)) {
    await assert.rejects(session.request('textDocument/rename',
      { textDocument: { uri }, position: done[0].start, newName: name }),
    (error) => error.code === -32803 && error.message.includes(why), name);
  }
  const prepared = await session.request('textDocument/prepareRename', { textDocument: { uri }, position: done[1].start });
  assert.deepStrictEqual(prepared, { range: done[1], placeholder: 'DONE' });
  const edit = await session.request('textDocument/rename',
    { textDocument: { uri }, position: done[0].start, newName: 'FINISH' });
  assert.deepStrictEqual(Object.keys(edit.changes), [uri]);
  const renamed = applyEdits(source, edit.changes[uri]);
  assert.strictEqual(renamed, source.replace(/DONE/g, 'FINISH'));
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 4 }, contentChanges: [{ text: renamed }] });
  assert.deepStrictEqual((await published).diagnostics, [{ ...pageWarning, range: range(branchLine, 16, 22),
    message: pageWarning.message.replace("'DONE'", "'FINISH'") }]);

  await session.close();
}

// ---------------------------------------------------------------- wordforge

// The golden case "example-demo": its source and object file.
async function wordforgeSuite() {
  const source = read('wordforge/example-demo/input/PROG');
  const object = linesOf(read('wordforge/example-demo/expected/PROG.b')).filter((l) => l.length > 0);
  const words = object.slice(1).map((l) => ({ address: l.slice(0, 4), word: l.slice(6, 10) }));
  const lines = linesOf(source);
  const uri = 'file:///golden/demo.asm';
  const session = startServer();
  await initialize(session, CAPABILITIES, { zorvelt: { inlayHints: true } });
  let published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didOpen', { textDocument: { uri, languageId: 'zorvelt-asm', version: 1,
    text: source } });
  assert.deepStrictEqual((await published).diagnostics, []);

  // The lines with words, in the order of the object file.
  const wordLines = lines.map((l, i) => (/^\S*:?\s+(L|HLT|DC)\s/.test(l + ' ') ? i : -1)).filter((i) => i >= 0);
  assert.strictEqual(wordLines.length, words.length);
  for (let i = 0; i < words.length; i++) {
    const hover = await session.request('textDocument/hover',
      { textDocument: { uri }, position: { line: wordLines[i], character: lines[wordLines[i]].length } });
    assert.ok(hover.contents.value.includes(`address ${words[i].address}** — word \`${words[i].word}\``) ||
      hover.contents.value.includes(`address ${words[i].address} — word \`${words[i].word}\``),
    `hover on line ${wordLines[i] + 1}: ${hover && hover.contents.value}`);
  }
  const hints = await session.request('textDocument/inlayHint',
    { textDocument: { uri }, range: { start: { line: 0, character: 0 }, end: { line: lines.length, character: 0 } } });
  assert.deepStrictEqual(hints.map((h) => h.label), words.map((w) => `@${w.address} ${w.word}`));

  // DATA: defined on its line, used by L; followed both ways.
  const data = occurrences(source, 'DATA');
  assert.strictEqual(data.length, 2);
  const definition = data.find((s) => s.start.character === 0);
  const use = data.find((s) => s !== definition);
  assert.deepStrictEqual(await session.request('textDocument/definition', { textDocument: { uri }, position: use.start }),
    { uri, range: definition });
  const references = await session.request('textDocument/references',
    { textDocument: { uri }, position: definition.start, context: { includeDeclaration: false } });
  assert.deepStrictEqual(references.map((r) => r.range), [use]);
  // The label's address: where DC stands in the object file.
  const dataWord = words[wordLines.indexOf(definition.start.line)];
  const hover = await session.request('textDocument/hover', { textDocument: { uri }, position: use.start });
  assert.ok(hover.contents.value.includes(`**label DATA** — address ${dataWord.address}`), hover.contents.value);

  // Completion: the mnemonics at a statement's start, the labels after a
  // branch, the devices after WIO.
  const completeAt = async (line, text) => {
    published = session.nextDiagnostics(uri);
    await session.notify('textDocument/didChange', { textDocument: { uri, version: 2 },
      contentChanges: [{ range: range(line, 0, lines[line].length), text }] });
    await published;
    const list = await session.request('textDocument/completion',
      { textDocument: { uri }, position: { line, character: text.length } });
    return list.items.map((i) => i.label);
  };
  const hltLine = lines.findIndex((l) => l.trim() === 'HLT');
  assert.strictEqual((await completeAt(hltLine, '        ')).length, 44);
  assert.deepStrictEqual((await completeAt(hltLine, '        B     ')).sort(), ['DATA', 'START']);
  assert.deepStrictEqual(await completeAt(hltLine, '        WIO   '), ['CR', 'LPT']);
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 3 },
    contentChanges: [{ range: range(hltLine, 0, 14), text: lines[hltLine] }] });
  assert.deepStrictEqual((await published).diagnostics, []);

  // Edit into an error and back: an undefined label is flag F, reported
  // where the label begins (assembly guide, section 10).
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 4 },
    contentChanges: [{ range: use, text: 'DATB' }] });
  const diagnostics = (await published).diagnostics;
  assert.deepStrictEqual(diagnostics, [{ range: range(use.start.line, use.start.character, use.end.character),
    severity: 1, source: 'wordforge', message: 'undefined label DATB; did you mean DATA?', code: 'F' }]);
  published = session.nextDiagnostics(uri);
  await session.notify('textDocument/didChange', { textDocument: { uri, version: 5 },
    contentChanges: [{ range: use, text: 'DATA' }] });
  assert.deepStrictEqual((await published).diagnostics, []);

  // Rename DATA; a mnemonic is refused.
  await assert.rejects(session.request('textDocument/rename', { textDocument: { uri }, position: use.start, newName: 'HLT' }),
    (error) => error.message.includes('mnemonic'));
  const edit = await session.request('textDocument/rename', { textDocument: { uri }, position: use.start, newName: 'VALUE' });
  assert.strictEqual(applyEdits(source, edit.changes[uri]), source.replace(/DATA/g, 'VALUE'));
  // The outline: no TITLE, so the labels stand alone.
  const symbols = await session.request('textDocument/documentSymbol', { textDocument: { uri } });
  assert.deepStrictEqual(symbols.map((s) => s.name), ['START', 'DATA']);
  await session.close();
}

// ---------------------------------------------------------------- positions

// A comment holding characters of two, three and four bytes and a tab,
// and a diagnostic after it on the same line: the end of a source without
// its final line end, where ctrlforge misses .END (error 19) and wordforge
// END. Counted by hand: "    NSQ ; " (and "    NOP ; ") is 10 bytes and units, "é" 2 bytes
// 1 unit, "€" 3 bytes 1 unit, the tab 1, "𝄞" 4 bytes 2 units, " end" 4.
async function positionsSuite() {
  const comment = '; é€\t𝄞 end';
  const cases = [
    { uri: 'file:///p/positions.mic', text: `.TITLE POS\r\n*\r\n\tR1 := R2\t€\r\n    NSQ ${comment}`,
      code: 'E19', message: "the source ends without '.END'; end the program with a line '.END'" },
    { uri: 'file:///p/positions.asm', text: `        NOP\r\n    NOP ${comment}`, code: 'F', message: 'the source ends without END; end the program with an END line' },
  ];
  for (const encoding of ['utf-16', 'utf-8']) {
    const session = startServer();
    const capabilities = { ...CAPABILITIES, general: { positionEncodings: encoding === 'utf-8' ? ['utf-8', 'utf-16'] : ['utf-16'] } };
    const init = await initialize(session, capabilities);
    assert.strictEqual(init.capabilities.positionEncoding, encoding);
    const units = (text) => (encoding === 'utf-8' ? Buffer.byteLength(text, 'utf8') : text.length);
    for (const c of cases) {
      const published = session.nextDiagnostics(c.uri);
      await session.notify('textDocument/didOpen', { textDocument: { uri: c.uri, languageId: '', version: 1, text: c.text } });
      const diagnostics = (await published).diagnostics;
      const last = linesOf(c.text).length - 1;
      // By hand: 19 UTF-16 units, 24 bytes, in both ("    NOP " is as long
      // as "    NSQ ").
      const expected = encoding === 'utf-8' ? 24 : 19;
      const end = diagnostics.find((d) => d.code === c.code && d.message === c.message);
      assert.ok(end, JSON.stringify(diagnostics));
      assert.deepStrictEqual(end.range, range(last, expected), `${c.uri} in ${encoding}`);
      assert.strictEqual(units(linesOf(c.text)[last]), expected);
      if (c.code === 'E19') {
        // The illegal "€" after a tab: 10 bytes in, one unit or three bytes long.
        const illegal = diagnostics.find((d) => d.message.startsWith("'€' cannot stand in a transfer"));
        assert.deepStrictEqual(illegal.range, range(2, 10, encoding === 'utf-8' ? 13 : 11));
        // A hover there, a position inside the surrogate pair and one past
        // the line's end are all answered.
        const hover = await session.request('textDocument/hover', { textDocument: { uri: c.uri }, position: { line: 2, character: 10 } });
        assert.ok(hover.contents.value.includes("'€' cannot stand in a transfer") &&
          hover.contents.value.includes('Fix: remove the character'), JSON.stringify(hover));
      }
      await session.request('textDocument/hover', { textDocument: { uri: c.uri }, position: { line: last, character: 14 } });
      await session.request('textDocument/hover', { textDocument: { uri: c.uri }, position: { line: last, character: 999 } });
      // An edit inside the line, after the four-byte character, in the
      // encoding's units: " end" becomes " END".
      const published2 = session.nextDiagnostics(c.uri);
      const at = units(linesOf(c.text)[last]) - 3;
      await session.notify('textDocument/didChange', { textDocument: { uri: c.uri, version: 2 },
        contentChanges: [{ range: range(last, at, at + 3), text: 'END' }] });
      const after = (await published2).diagnostics.find((d) => d.code === c.code && d.message === c.message);
      assert.deepStrictEqual(after.range, range(last, expected));
    }
    await session.close();
  }
}

// ---------------------------------------------------------------- robustness

// The raw stream: bytes written as they come, the exit status read.
function rawSession(bytes, { close = true } = {}) {
  const child = childProcess.spawn(server, [], { stdio: ['pipe', 'pipe', 'pipe'] });
  const out = [];
  child.stdout.on('data', (data) => out.push(data));
  child.stderr.on('data', () => {});
  child.stdin.on('error', () => {});
  child.stdin.write(bytes);
  if (close) child.stdin.end();
  return within(new Promise((resolve) => child.on('exit', (code) => resolve({ code, out: Buffer.concat(out) }))),
    'the server to end');
}

function frame(message) {
  const body = Buffer.from(typeof message === 'string' ? message : JSON.stringify(message), 'utf8');
  return Buffer.concat([Buffer.from(`Content-Length: ${body.length}\r\n\r\n`), body]);
}

function answers(out) {
  const found = [];
  let at = 0;
  while (at < out.length) {
    const headerEnd = out.indexOf('\r\n\r\n', at);
    const length = Number(/Content-Length: (\d+)/.exec(out.toString('latin1', at, headerEnd))[1]);
    found.push(JSON.parse(out.toString('utf8', headerEnd + 4, headerEnd + 4 + length)));
    at = headerEnd + 4 + length;
  }
  return found;
}

async function robustnessSuite() {
  const init = { jsonrpc: '2.0', id: 1, method: 'initialize', params: { capabilities: {} } };
  // exit without shutdown: 1; with: 0; the input closed: it ends, with 1.
  assert.strictEqual((await rawSession(Buffer.concat([frame(init), frame({ jsonrpc: '2.0', method: 'exit' })]))).code, 1);
  assert.strictEqual((await rawSession(Buffer.concat([frame(init), frame({ jsonrpc: '2.0', id: 2, method: 'shutdown' }),
    frame({ jsonrpc: '2.0', method: 'exit' })]))).code, 0);
  assert.strictEqual((await rawSession(frame(init))).code, 1);

  // Malformed headers and JSON, an unknown method, a request before
  // initialize: each answered or dropped, and the session goes on.
  const { code, out } = await rawSession(Buffer.concat([
    frame({ jsonrpc: '2.0', id: 10, method: 'textDocument/hover', params: {} }),
    Buffer.from('Content-Lenght: 5\r\n\r\nhello'),
    Buffer.from('Content-Length: twelve\r\n\r\n'),
    frame('{"jsonrpc": "2.0", "id": 11, "method": '),
    frame(init),
    frame({ jsonrpc: '2.0', id: 12, method: 'zorvelt/unknown' }),
    frame({ jsonrpc: '2.0', id: 13, method: 'textDocument/hover',
      params: { textDocument: { uri: 'file:///never-opened.mic' }, position: { line: 0, character: 0 } } }),
    frame({ jsonrpc: '2.0', id: 14, method: 'shutdown' }),
    frame({ jsonrpc: '2.0', method: 'exit' }),
  ]));
  const got = answers(out);
  const error = (id) => (got.find((m) => m.id === id) || {}).error;
  assert.strictEqual(error(10).code, -32002);
  assert.strictEqual(got.find((m) => m.id === null && m.error).error.code, -32700);
  assert.strictEqual(error(12).code, -32601);
  assert.strictEqual(got.find((m) => m.id === 13).result, null);
  assert.strictEqual(code, 0);

  // A 10 MB document holding every byte value, in both languages: its
  // diagnostics arrive, hover and tokens are answered, and it ends cleanly.
  const pieces = [];
  let size = 0;
  for (let i = 0; size < 10 * 1024 * 1024; i++) {
    const piece = i % 3 === 0 ? '* L' + i + ':\r\n    GOTO L' + i + '\r\n' :
      String.fromCharCode(...Array.from({ length: 64 }, (_, k) => (i * 64 + k) % 256)) + '\n';
    pieces.push(piece);
    size += piece.length;
  }
  const big = '.TITLE BIG\r\n' + pieces.join('') + '.END\r\n';
  for (const uri of ['file:///big.mic', 'file:///big.asm']) {
    const session = startServer();
    await initialize(session);
    const published = session.nextDiagnostics(uri);
    await session.notify('textDocument/didOpen', { textDocument: { uri, languageId: '', version: 1, text: big } });
    const diagnostics = (await published).diagnostics;
    assert.ok(diagnostics.length > 0 && diagnostics.length <= 2000, `${diagnostics.length} diagnostics`);
    const hover = await session.request('textDocument/hover', { textDocument: { uri }, position: { line: 1, character: 3 } });
    assert.ok(hover === null || typeof hover.contents.value === 'string');
    const tokens = await session.request('textDocument/semanticTokens/full', { textDocument: { uri } });
    assert.strictEqual(tokens.data.length % 5, 0);
    await session.close();
  }
}

const suites = { ctrlforge: ctrlforgeSuite, wordforge: wordforgeSuite, positions: positionsSuite,
  robustness: robustnessSuite };
if (!suites[suite]) {
  console.error(`unknown suite ${suite}`);
  process.exit(2);
}
suites[suite]().then(() => {
  console.log(`${suite}: every exchange as expected`);
}, (error) => {
  console.error(error);
  process.exit(1);
});
