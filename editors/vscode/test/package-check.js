// Checks a .vsix made by vsce: a zip archive holding everything the
// extension's package.json refers to (main file, grammars, language
// settings), the README with its picture, and nothing of the development
// folders (node_modules, test, tools).
// Usage: node package-check.js FILE.vsix
'use strict';
const fs = require('fs');
const path = require('path');
const { manifest } = require('./manifest');

// The names in a zip archive's central directory.
function zipEntries(buffer) {
  const endOfDirectory = buffer.lastIndexOf(Buffer.from([0x50, 0x4b, 0x05, 0x06]));
  if (endOfDirectory < 0) throw new Error('not a zip archive');
  const count = buffer.readUInt16LE(endOfDirectory + 10);
  let at = buffer.readUInt32LE(endOfDirectory + 16);
  const names = [];
  for (let i = 0; i < count; i++) {
    if (buffer.readUInt32LE(at) !== 0x02014b50) throw new Error(`bad directory entry ${i}`);
    const nameLength = buffer.readUInt16LE(at + 28);
    const extraLength = buffer.readUInt16LE(at + 30);
    const commentLength = buffer.readUInt16LE(at + 32);
    names.push(buffer.toString('utf8', at + 46, at + 46 + nameLength));
    at += 46 + nameLength + extraLength + commentLength;
  }
  return names;
}

const vsix = process.argv[2];
if (!vsix) {
  console.error('usage: node package-check.js FILE.vsix');
  process.exit(2);
}
const names = zipEntries(fs.readFileSync(vsix));
const inExtension = (file) => `extension/${path.posix.normalize(file)}`;
const required = [
  'extension.vsixmanifest',
  inExtension('package.json'),
  inExtension(manifest.main),
  inExtension('tasks.js'),
  inExtension('images/screenshot.png'),
  ...manifest.contributes.grammars.map((g) => inExtension(g.path)),
  ...manifest.contributes.languages.map((l) => inExtension(l.configuration)),
];
const failures = [];
for (const name of required) {
  if (!names.includes(name)) failures.push(`${name} is missing`);
}
if (!names.some((n) => n.toLowerCase() === 'extension/readme.md')) failures.push('the README is missing');
for (const name of names) {
  if (/^extension\/(node_modules|test|tools)\//.test(name)) failures.push(`${name} should not be packaged`);
}
failures.forEach((f) => console.log(f));
console.log(`${path.basename(vsix)}: ${names.length} files, ${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
