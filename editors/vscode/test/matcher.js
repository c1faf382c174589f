// A problem matcher of package.json, applied to one line of output as VS
// Code applies a single-line pattern: the regexp as declared there, and the
// groups its pattern names. Also how VS Code turns the matched file name
// into a file, following its fileLocation.
'use strict';
const fs = require('fs');
const path = require('path');
const { manifest } = require('./manifest');

function loadMatcher(name) {
  const matcher = manifest.contributes.problemMatchers.find((m) => m.name === name);
  if (!matcher) throw new Error(`package.json has no problem matcher ${name}`);
  return matcher;
}

// The groups of one line, or null when the line does not match. A group
// that took no part in the match (the code of a message without one) is
// null.
function applyMatcher(matcher, line) {
  const pattern = matcher.pattern;
  const m = new RegExp(pattern.regexp).exec(line);
  if (!m) return null;
  const group = (index) => (index === undefined || m[index] === undefined ? null : m[index]);
  return {
    file: group(pattern.file),
    line: Number(group(pattern.line)),
    column: Number(group(pattern.column)),
    severity: group(pattern.severity),
    message: group(pattern.message),
    code: group(pattern.code),
  };
}

// ${name} replaced from variables; a variable not given is an error, so
// that a misspelt or unsupported one is found.
function substitute(text, variables) {
  return text.replace(/\$\{([^}]*)\}/g, (whole, name) => {
    if (!(name in variables)) throw new Error(`no value for ${whole}`);
    return variables[name];
  });
}

// The file a matched name stands for, as VS Code documents fileLocation:
// "absolute" takes the name as it is, ["relative", base] joins it to base,
// and ["autoDetect", base] takes an absolute name that exists as it is and
// otherwise joins the name to base.
function resolveFileLocation(matcher, fileName, variables) {
  const location = [].concat(matcher.fileLocation || 'relative');
  const kind = location[0];
  const base = substitute(location[1] || '${workspaceFolder}', variables);
  if (kind === 'absolute') return fileName;
  if (kind === 'autoDetect' && path.isAbsolute(fileName) && fs.existsSync(fileName)) return fileName;
  if (kind === 'relative' || kind === 'autoDetect') return path.join(base, fileName);
  throw new Error(`fileLocation ${JSON.stringify(matcher.fileLocation)} is not one this check knows`);
}

module.exports = { loadMatcher, applyMatcher, substitute, resolveFileLocation };
