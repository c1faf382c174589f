// The language server behind the editor: live diagnostics, hover, labels to
// follow and rename, the outline, completion, inlay hints and semantic
// colours, all from zorvelt-lsp. The program is the setting
// zorvelt.serverPath, by default zorvelt-lsp found on PATH. When it cannot
// be found the extension says so once and goes on without it: highlighting
// and the tasks need no server.
//
// The VS Code API and the language client's module are passed in, so that
// this file loads outside VS Code too.
'use strict';
const fs = require('fs');
const path = require('path');

const DEFAULT_SERVER = 'zorvelt-lsp';
const LANGUAGES = ['zorvelt-micro', 'zorvelt-asm'];

function isProgram(file) {
  try {
    fs.accessSync(file, fs.constants.X_OK);
    return fs.statSync(file).isFile();
  } catch {
    return false;
  }
}

// The program a setting names: a path as it stands, or a bare name looked up
// on PATH (with the extensions of PATHEXT on Windows). Null when there is
// none.
function findServer(command, env = process.env, platform = process.platform) {
  if (!command) return null;
  if (command.includes('/') || command.includes('\\')) return isProgram(command) ? command : null;
  const extensions = platform === 'win32' ? (env.PATHEXT || '.EXE').split(';') : [''];
  for (const dir of (env.PATH || '').split(path.delimiter)) {
    if (!dir) continue;
    for (const extension of extensions) {
      const candidate = path.join(dir, command + extension);
      if (isProgram(candidate)) return candidate;
    }
  }
  return null;
}

// The settings the server reads (lsp/settings.hpp), from the section
// "zorvelt" of the editor's settings.
function serverSettings(vscode) {
  const section = vscode.workspace.getConfiguration('zorvelt');
  return {
    ctrlforgeWarnings: section.get('ctrlforgeWarnings') || [],
    wordforgeWarnings: section.get('wordforgeWarnings') || [],
    inlayHints: section.get('inlayHints') === true,
  };
}

function clientOptions(vscode) {
  const documentSelector = [];
  for (const language of LANGUAGES) {
    documentSelector.push({ scheme: 'file', language }, { scheme: 'untitled', language });
  }
  return {
    documentSelector,
    // Every change of the section is sent as workspace/didChangeConfiguration.
    synchronize: { configurationSection: 'zorvelt' },
    initializationOptions: serverSettings(vscode),
  };
}

// Starts and stops the client; `client` is the module vscode-languageclient/node.
function serverController(vscode, client, env = process.env) {
  let running = null;
  const warned = new Set();

  async function start() {
    const command = vscode.workspace.getConfiguration('zorvelt').get('serverPath') || DEFAULT_SERVER;
    const program = findServer(command, env);
    if (!program) {
      // Once per setting: a missing server is no error worth repeating.
      if (!warned.has(command)) {
        warned.add(command);
        vscode.window.showWarningMessage(
          `The ZORVELT language server "${command}" was not found, so there are no live diagnostics, ` +
            'hover or label navigation. Highlighting and the assemble tasks work without it. ' +
            'Install zorvelt-lsp on the PATH or set zorvelt.serverPath to it.');
      }
      return null;
    }
    running = new client.LanguageClient('zorvelt', 'ZORVELT language server', { command: program, args: [] },
      clientOptions(vscode));
    await running.start();
    return running;
  }

  async function stop() {
    const stopping = running;
    running = null;
    if (stopping) await stopping.stop();
  }

  return {
    start,
    stop,
    async restart() {
      await stop();
      return start();
    },
    current: () => running,
  };
}

module.exports = { DEFAULT_SERVER, LANGUAGES, findServer, serverSettings, clientOptions, serverController };
