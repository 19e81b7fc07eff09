// The page's folder on a plain static server, for the browser tests and
// the page's benchmark (bench/page_first_prompt.js):
//   sendFile(request, response, file, headers)  answers as python3 -m
//       http.server does: the type, the file's time, 304 when it is no newer
//   oldCopy(pageDir, prefix)  a copy of the folder whose files are a week
//       old (a browser's heuristics would keep them for hours)
//   deploy(folder)  a new build copied over the old one: a changed
//       beam-page.js (it sets window.beamBuild to 'B') under its new name,
//       and the index.html and sw.js that name it; returns that name
'use strict';
const crypto = require('node:crypto');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const TYPES = {
  '.html': 'text/html',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.txt': 'text/plain',
};

function sendFile(request, response, file, headers = {}) {
  const modified = new Date(Math.floor(fs.statSync(file).mtimeMs / 1000) * 1000);
  const all = {
    'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
    'Last-Modified': modified.toUTCString(),
    ...headers,
  };
  if (Date.parse(request.headers['if-modified-since']) >= modified.getTime()) {
    return response.writeHead(304, all).end();
  }
  response.writeHead(200, all).end(fs.readFileSync(file));
}

function oldCopy(pageDir, prefix) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), prefix));
  const weekAgo = Date.now() / 1000 - 7 * 86400;
  for (const name of fs.readdirSync(pageDir)) {
    fs.copyFileSync(path.join(pageDir, name), path.join(folder, name));
    fs.utimesSync(path.join(folder, name), weekAgo, weekAgo);
  }
  return folder;
}

function deploy(folder) {
  const old = fs.readdirSync(folder).find((name) => /^beam-page\.\w{10}\.js$/.test(name));
  const text = fs.readFileSync(path.join(folder, old), 'utf8') + "window.beamBuild = 'B';\n";
  const hash = crypto.createHash('sha256').update(text).digest('hex');
  const name = 'beam-page.' + hash.slice(0, 10) + '.js';
  fs.writeFileSync(path.join(folder, name), text);
  for (const file of ['index.html', 'sw.js']) {
    const named = path.join(folder, file);
    fs.writeFileSync(named, fs.readFileSync(named, 'utf8').replaceAll(old, name));
  }
  return name;
}

module.exports = { sendFile, oldCopy, deploy };
