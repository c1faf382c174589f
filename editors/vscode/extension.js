// Entry point of the extension: highlighting, the language settings and
// the problem matchers are declared in package.json; the code adds the
// "assemble current file" tasks and starts the language server.
'use strict';
const vscode = require('vscode');
const { TASK_TYPE, taskProvider } = require('./tasks');
const { serverController } = require('./server');

let controller = null;

function activate(context) {
  context.subscriptions.push(vscode.tasks.registerTaskProvider(TASK_TYPE, taskProvider(vscode)));
  // The client is required here, not at the top, so that a copy of the
  // folder without it (not the bundled package) keeps its tasks.
  let client;
  try {
    client = require('vscode-languageclient/node');
  } catch {
    vscode.window.showWarningMessage(
      'This copy of the ZORVELT extension holds no language client (install the .vsix package for it): ' +
        'highlighting and the assemble tasks work, live diagnostics do not.');
    return;
  }
  controller = serverController(vscode, client);
  context.subscriptions.push(vscode.workspace.onDidChangeConfiguration((change) => {
    if (change.affectsConfiguration('zorvelt.serverPath')) controller.restart().catch(report);
  }));
  controller.start().catch(report);
}

function report(error) {
  vscode.window.showErrorMessage(`The ZORVELT language server did not start: ${error && error.message}`);
}

function deactivate() {
  return controller ? controller.stop() : undefined;
}

module.exports = { activate, deactivate };
