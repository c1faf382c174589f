// A problem matcher of package.json, applied to one line of output as VS
// Code applies a single-line pattern: the regexp as declared there, and the
// groups its pattern names.
'use strict';
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

module.exports = { loadMatcher, applyMatcher };
