// Checks the "assemble current file" tasks against what package.json
// declares: one task per program of the task definition, each running that
// program (or the configured path) on ${file} with the program's own problem
// matcher, and tasks written in tasks.json resolved with their own
// definition. VS Code's classes are replaced by ones that record their
// arguments.
//
// Then each task is run as VS Code would run it, with the real program: on
// a clean example it must succeed silently and write the program's files
// next to the source; on a broken copy every line of standard error must
// match the task's problem matcher and lead, through the matcher's
// fileLocation, to the source. So must the lines of a task written in
// tasks.json that names its source relative to the workspace folder.
//
// Usage: node tasks-check.js CTRLFORGE WORDFORGE BROKEN_DIR EXAMPLES_DIR WORK_DIR
'use strict';
const assert = require('assert');
const childProcess = require('child_process');
const fs = require('fs');
const path = require('path');
const { manifest, extensionDir } = require('./manifest');
const { loadMatcher, applyMatcher, substitute, resolveFileLocation } = require('./matcher');
const { TASK_TYPE, TASK_NAME, taskProvider } = require('../tasks');

const [ctrlforge, wordforge, brokenDir, examplesDir, workDir] = process.argv.slice(2);
if (!workDir) {
  console.error('usage: node tasks-check.js CTRLFORGE WORDFORGE BROKEN_DIR EXAMPLES_DIR WORK_DIR');
  process.exit(2);
}

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

// Running the tasks. The workspace folder holds a broken copy of each
// example in a folder whose name has a blank, and the clean examples; VS
// Code itself was started elsewhere, which is what ${cwd} names.
const programFiles = { ctrlforge, wordforge };
// The files each program writes next to its source (the whole source name
// and an extension), and the sources of the check.
const writes = { ctrlforge: ['.s', '.o', '.m'], wordforge: ['.a', '.b'] };
const broken = { ctrlforge: 'fetch.mic', wordforge: 'table.zasm' };
const clean = { ctrlforge: 'fetch.mic', wordforge: 'table.zasm' };

fs.rmSync(workDir, { recursive: true, force: true });
const workspace = path.join(workDir, 'workspace');
const startedIn = path.join(workDir, 'started-here');
for (const dir of [path.join(workspace, 'my programs'), path.join(workspace, 'examples'), startedIn]) {
  fs.mkdirSync(dir, { recursive: true });
}
for (const program of programs) {
  fs.copyFileSync(path.join(brokenDir, broken[program]), path.join(workspace, 'my programs', broken[program]));
  fs.copyFileSync(path.join(examplesDir, clean[program]), path.join(workspace, 'examples', clean[program]));
}

// The variables VS Code gives a task run while `file` is open in the editor.
function variablesFor(file) {
  return { file, fileDirname: path.dirname(file), workspaceFolder: workspace, cwd: startedIn };
}

// Runs a process execution as the task system does: variables substituted
// in the command, the arguments and the working folder, which is the
// workspace folder unless the task names one.
function runExecution(execution, variables) {
  const cwd = execution.options && execution.options.cwd ? substitute(execution.options.cwd, variables) : workspace;
  const args = execution.args.map((arg) => substitute(arg, variables));
  const result = childProcess.spawnSync(substitute(execution.command, variables), args, { cwd, encoding: 'utf8' });
  if (result.error) throw result.error;
  return { ...result, commandLine: `${execution.command} ${args.join(' ')} (in ${cwd})` };
}

// Every line of standard error is a problem of `source`.
function checkProblems(result, matcherName, variables, source) {
  const matcher = loadMatcher(matcherName.replace(/^\$/, ''));
  const lines = result.stderr.split('\n').filter((line) => line !== '');
  assert.notStrictEqual(lines.length, 0, `${result.commandLine}: no diagnostics`);
  for (const line of lines) {
    const found = applyMatcher(matcher, line);
    assert.ok(found, `${result.commandLine}: ${matcherName} does not match ${line}`);
    const file = resolveFileLocation(matcher, found.file, variables);
    assert.ok(fs.existsSync(file) && fs.realpathSync(file) === fs.realpathSync(source),
      `${result.commandLine}: ${line}\n  leads to ${file}, not to ${source}`);
  }
  return lines.length;
}

const running = taskProvider(recordingApi({
  'zorvelt.ctrlforgePath': ctrlforge, 'zorvelt.wordforgePath': wordforge,
}));
let problems = 0;
running.provideTasks().forEach((task) => {
  const program = task.definition.program;
  const example = path.join(workspace, 'examples', clean[program]);
  const good = runExecution(task.execution, variablesFor(example));
  assert.strictEqual(good.status, 0, `${good.commandLine}: exit status ${good.status}\n${good.stderr}`);
  assert.strictEqual(good.stderr + good.stdout, '', `${good.commandLine}: not silent`);
  for (const extension of writes[program]) {
    assert.ok(fs.existsSync(example + extension), `${good.commandLine}: wrote no ${clean[program]}${extension}`);
  }

  const source = path.join(workspace, 'my programs', broken[program]);
  const variables = variablesFor(source);
  const bad = runExecution(task.execution, variables);
  assert.strictEqual(bad.status, 1, `${bad.commandLine}: exit status ${bad.status}`);
  problems += checkProblems(bad, task.problemMatchers[0], variables, source);

  // A task of tasks.json naming the source relative to the workspace
  // folder, in which it runs.
  const written = { type: 'process', command: programFiles[program], args: [`my programs/${broken[program]}`] };
  const relative = runExecution(written, variables);
  problems += checkProblems(relative, `$${program}`, variables, source);
});

console.log(`tasks of ${programs.join(', ')} checked; ${problems} problems found in their sources`);
