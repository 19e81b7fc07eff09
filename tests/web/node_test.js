// The browser build under node, run as the page runs it (beam_node.js):
// every transcript byte for byte, answers that arrive late, and a byte that
// is not UTF-8 passed through unchanged.
// Usage: node node_test.js BEAM_JS TRANSCRIPTS_DIR
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const [beamJs, transcripts] = process.argv.slice(2);
const runner = path.join(__dirname, 'beam_node.js');

function run(inputFile, ...options) {
  return execFileSync(process.execPath, [runner, beamJs, inputFile, ...options], {
    timeout: 60000,
  });
}

const names = fs
  .readdirSync(transcripts)
  .filter((f) => f.endsWith('.in'))
  .map((f) => f.slice(0, -3));

test('every transcript, byte for byte', () => {
  assert.ok(names.length >= 12);
  for (const name of names) {
    const expected = fs.readFileSync(path.join(transcripts, name + '.out'));
    assert.ok(run(path.join(transcripts, name + '.in')).equals(expected), name);
  }
});

test('answers that arrive late, a few bytes at a time', () => {
  const expected = fs.readFileSync(path.join(transcripts, 'typical.out'));
  assert.ok(run(path.join(transcripts, 'typical.in'), '--late').equals(expected));
});

test('a unit word that is not UTF-8 comes back byte for byte', () => {
  const input = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'beam-web-')), 'latin1.in');
  fs.writeFileSync(input, Buffer.from('6 2 0 0 k\xb5N/m kN m\n', 'latin1'));
  const output = run(input);
  const line = Buffer.from(' The Ating Weight On The Beam Is  = 2 k\xb5N/m\n', 'latin1');
  assert.ok(output.includes(line), output.toString('latin1'));
});
