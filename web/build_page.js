// Names the page's files by their content and writes the page's folder:
//   node build_page.js PARTS_DIR SERVICE_WORKER PAGE_DIR
// Every file the page loads but the page itself is copied from PARTS_DIR
// (where the other build steps wrote them under their plain names) as
// NAME.HASH.EXT, HASH the first 10 hex digits of its SHA-256: beam.js ->
// beam.3f0c9a1b2d.js. The names in the files that name others (beam.js,
// beam-page.js, index.html and the service worker) are replaced, in that
// order, so that
// a file's name changes with the names it holds: a page and the files it
// names are always of one build, and a browser's or a server's cache of one
// build cannot stand in for another's. Files of earlier builds in PAGE_DIR
// are removed (a folder copied over an old one keeps the old files: an
// older page still open may fetch them). The same parts give the same
// bytes.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const crypto = require('node:crypto');
const { minify } = require('terser');

const [parts, serviceWorker, page] = process.argv.slice(2);
const PROGRAM = ['beam.wasm', 'beam.wasm.gz', 'beam-wasm.js'];
const NAMED = /^(beam|beam-page|beam-wasm)\.[0-9a-f]{10}\.(js|css|wasm|wasm\.gz)$/;

const names = {};
const hashed = (name, bytes) => {
  const hash = crypto.createHash('sha256').update(bytes).digest('hex').slice(0, 10);
  const dot = name.indexOf('.');
  return name.slice(0, dot) + '.' + hash + name.slice(dot);
};
// The plain names in quotes (a script's strings, the markup's attributes)
// replaced by the hashed ones.
const renamed = (text) =>
  text.replace(/(["'])([\w.-]+)\1/g, (whole, quote, name) =>
    names[name] ? quote + names[name] + quote : whole,
  );
const write = (name, bytes) => {
  names[name] = hashed(name, bytes);
  fs.writeFileSync(path.join(page, names[name]), bytes);
};
const read = (name) => fs.readFileSync(path.join(parts, name));

(async () => {
  fs.mkdirSync(page, { recursive: true });
  for (const name of PROGRAM) write(name, read(name));
  write('beam.js', renamed(read('beam.js').toString()));
  write('beam-page.css', read('beam-page.css'));
  write('beam-page.js', renamed(read('beam-page.js').toString()));
  const html = renamed(read('index.html').toString());
  fs.writeFileSync(path.join(page, 'index.html'), html);
  const worker = await minify(renamed(fs.readFileSync(serviceWorker, 'utf8')), {
    ecma: 2020,
    compress: { passes: 2 },
    mangle: true,
    format: { comments: false },
  });
  fs.writeFileSync(path.join(page, 'sw.js'), worker.code + '\n');
  for (const name of ['beam.js', 'beam-page.js', 'beam-page.css']) {
    if (!html.includes(`"${names[name]}"`)) throw new Error('index.html does not name ' + name);
  }
  const current = new Set(Object.values(names));
  for (const name of fs.readdirSync(page)) {
    if (NAMED.test(name) && !current.has(name)) fs.rmSync(path.join(page, name));
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
