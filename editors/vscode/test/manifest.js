// The extension's package.json, read once for the checks.
'use strict';
const fs = require('fs');
const path = require('path');

const extensionDir = path.resolve(__dirname, '..');
const manifest = JSON.parse(fs.readFileSync(path.join(extensionDir, 'package.json'), 'utf8'));

module.exports = { extensionDir, manifest };
