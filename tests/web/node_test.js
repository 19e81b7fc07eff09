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

// The picture's description by its contract (kPictureLines in
// analysis/beam_picture.h, which the page's reading must equal), laid out
// at every width for long, negative, huge, tiny and right-to-left values:
// every label inside the picture, apart from every other label and off
// every shape; each force's arrow pointing its way, its label nearer it
// than other forces' arrows (a horizontal force's, under its support's
// vertical one: than that one's label); right-to-left unit words embedded
// and marked, no other label marked; each graph from its own column, all
// sections kept; each mark on its curve, its label on the side told; each
// part a report line marks (kMarkedLines) drawn and worded, or neither.
test('the picture, by its contract, at every width', () => {
  const tree = path.resolve(transcripts, '..', '..');
  const picture = require(path.join(tree, 'web', 'picture_logic.js'));
  const header = fs.readFileSync(path.join(tree, 'analysis', 'beam_picture.h'), 'utf8');
  const contract = {};
  for (const [, name, columns] of header.matchAll(/\{"(\w+)", (-?\d+),/g))
    contract[name] = +columns;
  assert.deepStrictEqual(picture.PICTURE_COLUMNS, contract);
  const tableParts = new Set(
    [...header.matchAll(/(?:Block|\)), \d+, "([\w ]+)"\},/g)].flatMap((m) => m[1].split(' ')),
  );
  const drawnParts = new Set();
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'beam-picture-'));
  const meets = (p, q) =>
    p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height;
  for (const typed of [
    '12.5 48.75 0 0 kN/m kN m',
    '1e-300 1 0 0 N/m N m',
    '1e155 1e-10 0 0 N/m N m',
    '5 0 3 -2 kN/m kN m',
    '10 -3 -5 0 kN/m kN m',
    '6 2 0 4 kN/m kN m',
    '6 2 5 -3 \u0643\u0646/\u0645 \u0643\u0646 \u0645',
    '1e6 123456.789 -98765.4321 0 kN/m kilonewtons metres',
    '7 3.3 12.5 -3 \u05e7"\u05d2/\u05de kN \u05de\u05d8\u05e8',
    '1e-300 1e-300 2 3 N/m N m',
  ]) {
    const input = path.join(dir, 'answers.in');
    fs.writeFileSync(input, typed + '\n');
    const text = run(input, '--picture').toString();
    for (const [name, ...columns] of text
      .trimEnd()
      .split('\n')
      .map((l) => l.split(' '))) {
      assert.ok(name in contract && [-1, columns.length].includes(contract[name]), name);
    }
    const d = picture.parsePicture(text);
    const sides = { 1: 'below', 2: d.largestMoment?.[3], 3: d.largestDeflection?.[2] };
    const distance = (p, { x1, y1, x2, y2 }) =>
      Math.hypot(
        Math.max(p.x - Math.max(x1, x2), Math.min(x1, x2) - p.x - p.width, 0),
        Math.max(p.y - Math.max(y1, y2), Math.min(y1, y2) - p.y - p.height, 0),
      );
    for (const width of [...Array(30).keys()].map((k) => 280 + 5 * k).concat(768, 2000)) {
      const font = 14;
      const layout = picture.layoutPicture(d, width, font, (t) => t.length * 0.6 * font);
      const parts = [...layout.shapes, ...layout.labels].map((s) => s.part);
      const words = picture.partWords(d);
      for (const marked of Object.values(d.marks)) {
        for (const part of marked.filter((p) => words[p] || parts.includes(p))) {
          assert.ok(parts.includes(part) && !/undefined/.test(words[part]), `${typed}: ${part}`);
          drawnParts.add(part);
        }
      }
      for (const [k, { text: label, box }] of layout.labels.entries()) {
        const where = `${typed} at ${width}: ${label}`;
        assert.ok(box.x >= 0 && box.x + box.width <= width && box.y >= 0, where);
        assert.ok(box.y + box.height <= layout.height, where);
        assert.ok(!layout.labels.slice(k + 1).some((other) => meets(box, other.box)), where);
        assert.ok(!layout.shapes.some((shape) => meets(box, shape.box)), where);
      }
      const arrows = layout.shapes.filter((s) => s.of);
      for (const { of, x1, y1, x2, y2 } of arrows) {
        const way = { up: y2 < y1, down: y2 > y1, left: x2 < x1, right: x2 > x1 };
        assert.ok(way[d[of][1]], `${typed}: ${of}`);
      }
      const box = (name) => layout.labels.find((l) => l.of === name).box;
      for (const own of arrows) {
        for (const arrow of arrows.filter((s) => s !== own)) {
          const below = own.of[1] === 'x' && arrow.of === own.of[0] + 'y';
          const bar = below ? distance(box(arrow.of), arrow) : distance(box(own.of), own);
          assert.ok(bar < distance(box(own.of), arrow), `${typed} at ${width}: ${own.of}`);
        }
      }
      for (const { text: label } of layout.labels) {
        const marked = /[\u200e\u202a-\u202e\u2066-\u2069]/.test(label);
        assert.ok(
          /[\u0590-\u06ff]/.test(label) ? /\u202b[^ ]*[\u0590-\u06ff]/.test(label) : !marked,
          label,
        );
      }
      for (const graph of layout.shapes.filter((s) => s.style === 'graph')) {
        const points = graph.points.split(' ').map((p) => p.split(',').map(Number));
        const axis = points[0][1];
        assert.strictEqual(points.length, d.sections.length + 2);
        d.sections.forEach((section, i) => {
          assert.ok(
            Math.abs((axis - points[i + 1][1]) / (2.5 * font) - section[graph.column]) < 1e-9,
          );
        });
        const mark = layout.shapes.find((s) => s.style === 'mark' && s.column === graph.column);
        const after = points.findIndex(([x]) => x >= mark.cx);
        const [[x0, y0], [x1, y1]] = [points[after - 1], points[after]];
        assert.ok(Math.abs(y0 + ((y1 - y0) * (mark.cx - x0)) / (x1 - x0) - mark.cy) < 0.5);
        const { box } = layout.labels.find((l) => l.of === graph.column);
        const band = [axis - 2.5 * font, axis + 2.5 * font];
        assert.ok(
          sides[graph.column] === 'above' ? box.y + box.height <= band[0] : box.y >= band[1],
        );
      }
    }
  }
  assert.deepStrictEqual([...drawnParts].sort(), [...tableParts].sort());
});
