// Checks a .vsix made by vsce: a zip archive holding everything the
// extension's package.json refers to (main file, grammars, language
// settings), the README with its picture, and nothing of the development
// folders (node_modules, test, tools). The main file is the bundle of the
// extension's code with the language client: it requires nothing but
// VS Code's own module.
// Usage: node package-check.js FILE.vsix
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { isBuiltin } = require('module');
const { manifest } = require('./manifest');

// The entries of a zip archive's central directory: name, compression
// method and where the entry's local header stands.
function zipEntries(buffer) {
  const endOfDirectory = buffer.lastIndexOf(Buffer.from([0x50, 0x4b, 0x05, 0x06]));
  if (endOfDirectory < 0) throw new Error('not a zip archive');
  const count = buffer.readUInt16LE(endOfDirectory + 10);
  let at = buffer.readUInt32LE(endOfDirectory + 16);
  const entries = [];
  for (let i = 0; i < count; i++) {
    if (buffer.readUInt32LE(at) !== 0x02014b50) throw new Error(`bad directory entry ${i}`);
    const nameLength = buffer.readUInt16LE(at + 28);
    const extraLength = buffer.readUInt16LE(at + 30);
    const commentLength = buffer.readUInt16LE(at + 32);
    entries.push({
      name: buffer.toString('utf8', at + 46, at + 46 + nameLength),
      method: buffer.readUInt16LE(at + 10),
      size: buffer.readUInt32LE(at + 20),
      header: buffer.readUInt32LE(at + 42),
    });
    at += 46 + nameLength + extraLength + commentLength;
  }
  return entries;
}

// The bytes of one entry: stored (0) or deflated (8).
function entryBytes(buffer, entry) {
  const start = entry.header + 30 + buffer.readUInt16LE(entry.header + 26) + buffer.readUInt16LE(entry.header + 28);
  const data = buffer.subarray(start, start + entry.size);
  return entry.method === 8 ? zlib.inflateRawSync(data) : data;
}

const vsix = process.argv[2];
if (!vsix) {
  console.error('usage: node package-check.js FILE.vsix');
  process.exit(2);
}
const archive = fs.readFileSync(vsix);
const entries = zipEntries(archive);
const names = entries.map((e) => e.name);
const inExtension = (file) => `extension/${path.posix.normalize(file)}`;
const required = [
  'extension.vsixmanifest',
  inExtension('package.json'),
  inExtension(manifest.main),
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
// The bundle: the tasks and the language client inside, no require of
// another file or package but vscode.
const main = entries.find((e) => e.name === inExtension(manifest.main));
if (main) {
  const code = entryBytes(archive, main).toString('utf8');
  const required = [...code.matchAll(/require\(["']([^"']+)["']\)/g)].map((m) => m[1]);
  const outside = required.filter((r) => r !== 'vscode' && !isBuiltin(r));
  if (outside.length) failures.push(`${manifest.main} requires ${[...new Set(outside)].join(', ')}`);
  for (const part of ['assemble current file', 'ZORVELT language server', 'LanguageClient']) {
    if (!code.includes(part)) failures.push(`${manifest.main} does not hold "${part}"`);
  }
}
failures.forEach((f) => console.log(f));
console.log(`${path.basename(vsix)}: ${names.length} files, ${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
