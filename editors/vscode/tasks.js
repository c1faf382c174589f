// The "assemble current file" tasks: one per program, each running its
// command line on the file open in the editor, with the problem matcher
// that turns the program's diagnostics into entries of the Problems panel.
// The VS Code API is passed in, so that this file loads outside VS Code too.
'use strict';

const TASK_TYPE = 'zorvelt';
const PROGRAMS = ['ctrlforge', 'wordforge'];
const TASK_NAME = 'assemble current file';

function createTask(vscode, definition, scope) {
  if (!definition || !PROGRAMS.includes(definition.program)) return undefined;
  const program = definition.program;
  const command = vscode.workspace.getConfiguration('zorvelt').get(`${program}Path`) || program;
  // The task system fills in ${file} and ${fileDirname} when the task runs.
  const execution = new vscode.ProcessExecution(command, ['${file}'], { cwd: '${fileDirname}' });
  const task = new vscode.Task(definition, scope, TASK_NAME, program, execution, [`$${program}`]);
  task.group = vscode.TaskGroup.Build;
  return task;
}

function taskProvider(vscode) {
  return {
    provideTasks() {
      return PROGRAMS.map((program) =>
        createTask(vscode, { type: TASK_TYPE, program }, vscode.TaskScope.Workspace));
    },
    // A task written in tasks.json ({"type": "zorvelt", "program": ...}) keeps
    // its own definition object, as the task system requires.
    resolveTask(task) {
      return createTask(vscode, task.definition, task.scope || vscode.TaskScope.Workspace);
    },
  };
}

module.exports = { TASK_TYPE, PROGRAMS, TASK_NAME, createTask, taskProvider };
