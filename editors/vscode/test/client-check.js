// Checks how the extension starts the language server, with VS Code and the
// language client replaced by objects that record what they are asked:
// - with the server found (on PATH, or named by zorvelt.serverPath), a
//   client is made for both languages, running that program, passing the
//   settings the server reads and following the section "zorvelt";
// - with the server missing, the extension says so once, makes no client,
//   and still registers its tasks; a change of zorvelt.serverPath to the
//   server then starts it.
// Usage: node client-check.js ZORVELT_LSP WORK_DIR
'use strict';
const assert = require('assert');
const fs = require('fs');
const Module = require('module');
const path = require('path');
const { manifest } = require('./manifest');
const { findServer, serverController, DEFAULT_SERVER } = require('../server');

const [serverProgram, workDir] = process.argv.slice(2);
if (!workDir) {
  console.error('usage: node client-check.js ZORVELT_LSP WORK_DIR');
  process.exit(2);
}

function fakeVscode(settings) {
  const api = {
    warnings: [],
    errors: [],
    providers: [],
    listeners: [],
    tasks: { registerTaskProvider: (type, provider) => { api.providers.push(type); return { dispose() {} }; } },
    window: {
      showWarningMessage: (text) => { api.warnings.push(text); },
      showErrorMessage: (text) => { api.errors.push(text); },
    },
    workspace: {
      getConfiguration: (section) => ({ get: (key) => settings[`${section}.${key}`] }),
      onDidChangeConfiguration: (listener) => { api.listeners.push(listener); return { dispose() {} }; },
    },
  };
  return api;
}

function fakeClientModule() {
  const made = [];
  class LanguageClient {
    constructor(id, name, serverOptions, clientOptions) {
      Object.assign(this, { id, name, serverOptions, clientOptions, running: false });
      made.push(this);
    }
    async start() { this.running = true; }
    async stop() { this.running = false; }
  }
  return { LanguageClient, made };
}

(async () => {
  fs.rmSync(workDir, { recursive: true, force: true });
  const bin = path.join(workDir, 'bin');
  fs.mkdirSync(bin, { recursive: true });
  fs.copyFileSync(serverProgram, path.join(bin, DEFAULT_SERVER));
  fs.chmodSync(path.join(bin, DEFAULT_SERVER), 0o755);
  fs.writeFileSync(path.join(bin, 'not-a-program'), 'text');

  // Found on PATH by its bare name, or by a path; not found otherwise.
  assert.strictEqual(findServer(DEFAULT_SERVER, { PATH: `/nonexistent${path.delimiter}${bin}` }),
    path.join(bin, DEFAULT_SERVER));
  assert.strictEqual(findServer(DEFAULT_SERVER, { PATH: '/nonexistent' }), null);
  assert.strictEqual(findServer(serverProgram, { PATH: '' }), serverProgram);
  assert.strictEqual(findServer(path.join(bin, 'not-a-program'), {}), null);
  assert.strictEqual(findServer('', { PATH: bin }), null);

  // The setting is declared with the default the code uses.
  const properties = manifest.contributes.configuration.properties;
  assert.strictEqual(properties['zorvelt.serverPath'].default, DEFAULT_SERVER);
  assert.strictEqual(properties['zorvelt.inlayHints'].default, false);
  for (const key of ['zorvelt.ctrlforgeWarnings', 'zorvelt.wordforgeWarnings']) {
    assert.deepStrictEqual(properties[key].default, [], key);
  }
  assert.ok(manifest.dependencies['vscode-languageclient'], 'vscode-languageclient is no dependency');

  // The server on PATH: one client for both languages.
  {
    const vscode = fakeVscode({ 'zorvelt.ctrlforgeWarnings': ['-Wall'], 'zorvelt.inlayHints': true });
    const client = fakeClientModule();
    const controller = serverController(vscode, client, { PATH: bin });
    const started = await controller.start();
    assert.strictEqual(client.made.length, 1);
    assert.strictEqual(started, client.made[0]);
    assert.ok(started.running);
    assert.deepStrictEqual(started.serverOptions, { command: path.join(bin, DEFAULT_SERVER), args: [] });
    const options = started.clientOptions;
    assert.deepStrictEqual(options.documentSelector.map((s) => s.language).sort(),
      ['zorvelt-asm', 'zorvelt-asm', 'zorvelt-micro', 'zorvelt-micro']);
    const declared = manifest.contributes.languages.map((l) => l.id).sort();
    assert.deepStrictEqual([...new Set(options.documentSelector.map((s) => s.language))].sort(), declared);
    assert.strictEqual(options.synchronize.configurationSection, 'zorvelt');
    assert.deepStrictEqual(options.initializationOptions,
      { ctrlforgeWarnings: ['-Wall'], wordforgeWarnings: [], inlayHints: true });
    await controller.stop();
    assert.ok(!started.running);
    assert.deepStrictEqual(vscode.warnings, []);
  }

  // The whole extension, as VS Code loads it, with the server missing.
  const settings = { 'zorvelt.serverPath': path.join(bin, 'missing-lsp') };
  const vscode = fakeVscode(settings);
  const client = fakeClientModule();
  const load = Module._load;
  Module._load = function (request, ...rest) {
    if (request === 'vscode') return vscode;
    if (request === 'vscode-languageclient/node') return client;
    return load.call(this, request, ...rest);
  };
  const extension = require('../extension');
  const context = { subscriptions: [] };
  extension.activate(context);
  await new Promise((resolve) => setImmediate(resolve));
  assert.deepStrictEqual(vscode.providers, ['zorvelt'], 'the tasks are registered all the same');
  assert.strictEqual(client.made.length, 0);
  assert.strictEqual(vscode.warnings.length, 1);
  assert.ok(vscode.warnings[0].includes('missing-lsp') && vscode.warnings[0].includes('zorvelt.serverPath'),
    vscode.warnings[0]);
  // Another change of the settings does not say it again.
  const change = (key) => ({ affectsConfiguration: (name) => name === key });
  vscode.listeners.forEach((listener) => listener(change('zorvelt.serverPath')));
  await new Promise((resolve) => setImmediate(resolve));
  assert.strictEqual(vscode.warnings.length, 1);
  // The setting names the server: it starts.
  settings['zorvelt.serverPath'] = serverProgram;
  vscode.listeners.forEach((listener) => listener(change('zorvelt.serverPath')));
  await new Promise((resolve) => setImmediate(resolve));
  assert.strictEqual(client.made.length, 1);
  assert.strictEqual(client.made[0].serverOptions.command, serverProgram);
  assert.deepStrictEqual(vscode.errors, []);
  await extension.deactivate();
  Module._load = load;
  assert.ok(!client.made[0].running);
  fs.rmSync(workDir, { recursive: true, force: true });
  console.log('the language client starts as set, and the extension works without the server');
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
