// Entry point of the extension: highlighting, the language settings and
// the problem matchers are declared in package.json; the code adds only
// the "assemble current file" tasks.
'use strict';
const vscode = require('vscode');
const { TASK_TYPE, taskProvider } = require('./tasks');

function activate(context) {
  context.subscriptions.push(vscode.tasks.registerTaskProvider(TASK_TYPE, taskProvider(vscode)));
}

function deactivate() {}

module.exports = { activate, deactivate };
