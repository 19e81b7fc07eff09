// Readies the program for the page, after emscripten has linked it:
//   node build_module.js LINKED_DIR PAGE_DIR
// beam.js, emscripten's loader, minified with terser (pinned by the tree's
// package-lock.json); beam.wasm, the program, kept for browsers without
// DecompressionStream; beam.wasm.gz, the same gzipped by zopfli (1.4 KB
// less than zlib's best), which a served page fetches (a server that does
// not compress sends it as it is);
// beam-wasm.js, the program as base64 text for a page opened from disk,
// where browsers fetch no .wasm file. The same input gives the same bytes.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const { minify } = require('terser');
const { gzipAsync } = require('@gfx/zopfli');

// After the loader, the served page's request for the module, made as soon
// as beam.js runs: it arrives well before beam-page.js, whose
// ProgramModule takes the response (web/program_module.js). The build
// names the file by its content (web/build_page.js).
const EARLY_REQUEST =
  'var beamModuleRequest;' +
  "if(typeof location=='object'&&/^https?:$/.test(location.protocol)&&self.origin!=='null'&&" +
  "typeof DecompressionStream=='function')(beamModuleRequest=fetch('beam.wasm.gz')).catch(()=>{});\n";

const [linked, page] = process.argv.slice(2);
const file = (name) => path.join(page, name);
const wasm = fs.readFileSync(path.join(linked, 'beam.wasm'));
fs.mkdirSync(page, { recursive: true });
fs.writeFileSync(file('beam.wasm'), wasm);
fs.writeFileSync(file('beam-wasm.js'), `window.beamWasm = '${wasm.toString('base64')}';\n`);
(async () => {
  fs.writeFileSync(file('beam.wasm.gz'), await gzipAsync(wasm, { numiterations: 15 }));
  const loader = await minify(fs.readFileSync(path.join(linked, 'beam.js'), 'utf8'), {
    ecma: 2020,
    compress: { passes: 2 },
    mangle: true,
    format: { comments: false },
  });
  fs.writeFileSync(file('beam.js'), loader.code + '\n' + EARLY_REQUEST);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
