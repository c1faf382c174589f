// Checks the "assemble current file" tasks against what package.json
// declares: one task per program of the task definition, each running that
// program (or the configured path) on ${file} with the program's own problem
// matcher, and tasks written in tasks.json resolved with their own
// definition. VS Code's classes are replaced by ones that record their
// arguments.
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const { manifest, extensionDir } = require('./manifest');
const { TASK_TYPE, TASK_NAME, taskProvider } = require('../tasks');

function recordingApi(settings) {
  return {
    TaskScope: { Workspace: 'workspace-scope' },
    TaskGroup: { Build: 'build-group' },
    ProcessExecution: class { constructor(command, args, options) { Object.assign(this, { command, args, options }); } },
    Task: class {
      constructor(definition, scope, name, source, execution, problemMatchers) {
        Object.assign(this, { definition, scope, name, source, execution, problemMatchers });
      }
    },
    workspace: { getConfiguration: (section) => ({ get: (key) => settings[`${section}.${key}`] }) },
  };
}

const contributes = manifest.contributes;
const definition = contributes.taskDefinitions.find((d) => d.type === TASK_TYPE);
assert.ok(definition, `package.json declares no task type ${TASK_TYPE}`);
const programs = definition.properties.program.enum;
assert.deepStrictEqual(programs, ['ctrlforge', 'wordforge']);
assert.ok(fs.existsSync(path.join(extensionDir, manifest.main)), `${manifest.main} is missing`);

// Default settings: the programs are found on PATH.
const tasks = taskProvider(recordingApi({})).provideTasks();
assert.strictEqual(tasks.length, programs.length);
programs.forEach((program, i) => {
  const task = tasks[i];
  assert.deepStrictEqual(task.definition, { type: TASK_TYPE, program });
  assert.strictEqual(task.name, TASK_NAME);
  assert.strictEqual(task.source, program);
  assert.strictEqual(task.group, 'build-group');
  assert.strictEqual(task.execution.command, program);
  assert.deepStrictEqual(task.execution.args, ['${file}']);
  assert.strictEqual(task.execution.options.cwd, '${fileDirname}');
  assert.deepStrictEqual(task.problemMatchers, [`$${program}`]);
  const matcher = contributes.problemMatchers.find((m) => `$${m.name}` === task.problemMatchers[0]);
  assert.ok(matcher, `no problem matcher ${task.problemMatchers[0]} in package.json`);
  assert.strictEqual(matcher.owner, program);
  assert.ok(contributes.configuration.properties[`zorvelt.${program}Path`],
    `setting zorvelt.${program}Path is not declared`);
});

// A configured path replaces the program name.
const configured = taskProvider(recordingApi({ 'zorvelt.wordforgePath': '/opt/zorvelt/bin/wordforge' }));
assert.strictEqual(configured.provideTasks()[1].execution.command, '/opt/zorvelt/bin/wordforge');
assert.strictEqual(configured.provideTasks()[0].execution.command, 'ctrlforge');

// A task from tasks.json keeps its definition object; an unknown program
// gives no task.
const provider = taskProvider(recordingApi({}));
const written = { type: TASK_TYPE, program: 'wordforge' };
const resolved = provider.resolveTask({ definition: written, scope: 'folder-scope' });
assert.strictEqual(resolved.definition, written);
assert.strictEqual(resolved.scope, 'folder-scope');
assert.strictEqual(resolved.execution.command, 'wordforge');
assert.strictEqual(provider.resolveTask({ definition: { type: TASK_TYPE, program: 'gcc' } }), undefined);

console.log(`tasks of ${programs.join(', ')} checked`);
