// The page's logic that needs no browser (web/page_logic.js and
// web/note_logic.js under node): the input queue between the answers and
// the program's reads, the question a field is named by, the output's
// parts, the answer history, the key wait, the notes.
// Usage: node page_logic_test.js WEB_FOLDER TRANSCRIPTS_FOLDER
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');

const page = {
  ...require(path.resolve(process.argv[2], 'page_logic.js')),
  ...require(path.resolve(process.argv[2], 'note_logic.js')),
};

test('each read takes at most its room, in order; the end of input is an empty read', async () => {
  const queue = new page.InputQueue();
  const text = (bytes) => Buffer.from(bytes).toString();
  queue.push(Buffer.from('6 2\n'));
  assert.strictEqual(text(await queue.read(2)), '6 ');
  assert.strictEqual(text(await queue.read(100)), '2\n');
  const waiting = queue.read(100);
  assert.ok(queue.waiting);
  queue.push(page.END_OF_INPUT);
  assert.strictEqual((await waiting).length, 0);
  assert.ok(!queue.waiting);
});

test('the question is the last prompt on the line', () => {
  // the output's last line, the question
  const cases = [
    [
      'Enter Value 1 For The Length OF The Figure(Shape) Above = ',
      'Enter Value 1 For The Length OF The Figure(Shape) Above =',
    ],
    [
      'A To Point B  = Enter Value 3 For The Horizonatl Force At Point A If Available = ',
      'Enter Value 3 For The Horizonatl Force At Point A If Available =',
    ],
    [' Enter The Unit For The Length =  ', 'Enter The Unit For The Length ='],
    ['', ''],
  ];
  for (const [line, question] of cases) assert.strictEqual(page.currentQuestion(line), question);
});

// The page's line numbers for the figure hold for what the program writes:
// its rows are the block between the legend and the questions, each framed
// by an empty line, in a transcript.
test("the figure is the program's figure rows, however the output is cut", () => {
  const lines = fs.readFileSync(path.join(process.argv[3], 'typical.out'), 'latin1');
  for (const cut of [1, 7, 100, lines.length]) {
    const parts = {};
    let line = 0;
    for (let at = 0; at < lines.length; at += cut) {
      const split = page.splitByRegion(lines.slice(at, at + cut), line);
      line = split.line;
      for (const piece of split.pieces)
        parts[piece.region] = (parts[piece.region] || '') + piece.text;
    }
    const rows = parts.figure.split('\n').slice(0, -1);
    assert.ok(parts.introduction.endsWith('Shown Below\n\n'), cut);
    assert.ok(rows[0].includes('Weight(W)') && rows.every((row) => row.trim() !== ''), cut);
    assert.ok(rows[rows.length - 1].includes('Length(L)') && parts.dialogue.startsWith('\nEnter'));
  }
});

test('Up and Down walk the earlier answers and come back to the one being typed', () => {
  const history = new page.AnswerHistory();
  assert.strictEqual(history.older('x'), 'x'); // nothing earlier
  history.add('6');
  history.add('2');
  history.add('2'); // a repeat is kept once
  assert.deepStrictEqual(
    ['older', 'older', 'older', 'newer', 'newer'].map((way) => history[way]('draft')),
    ['2', '6', '6', '2', 'draft'],
  );
  history.offer('5'); // the question's answer in an earlier run comes first
  const walk = ['older', 'older', 'newer', 'newer'].map((way) => history[way]('draft'));
  assert.deepStrictEqual(walk, ['5', '2', '5', 'draft']);
});

test("the key wait ends on a key, not on a modifier, Tab or a browser's shortcut", () => {
  const altGraph = { ctrlKey: true, altKey: true, getModifierState: (name) => name === 'AltGraph' };
  // key, modifiers, ends the wait
  const cases = [
    ['q', {}, true],
    ['Q', { shiftKey: true }, true],
    ['ArrowDown', {}, true],
    ['Escape', {}, true],
    ['Unidentified', {}, true],
    ['@', altGraph, true],
    ['c', { ctrlKey: true }, false],
    ['p', { ctrlKey: true }, false],
    ['=', { ctrlKey: true }, false],
    ['f', { metaKey: true }, false],
    ['d', { altKey: true }, false],
    ['F5', {}, false],
    ['F12', {}, false],
    ['BrowserBack', {}, false],
    ['Shift', { shiftKey: true }, false],
    ['Control', {}, false],
    ['Meta', {}, false],
    ['Tab', {}, false],
  ];
  for (const [key, modifiers, ends] of cases) {
    assert.strictEqual(page.endsKeyWait({ key, ...modifiers }), ends, key);
  }
});

test('reading has stopped when a question has more after it in one write', () => {
  // one write of the program, whether it shows that reading stopped
  const cases = [
    [
      'Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The Figure Above On ' +
        'The Beam From Point A To Point B  = ',
      false,
    ],
    ['|<--Length(L)-->|\n\nEnter Value 1 For The Length OF The Figure(Shape) Above = ', false],
    ['Enter Value 4 For The Horizonatl Force At Point B If Available =  Enter The Unit', true],
    [' Enter The Unit For The Length =  \n The Ating Weight On The Beam Is  = 2 kN/m\n', true],
    [' \n The Ating Weight On The Beam Is  = 2 kN/m\n', false],
  ];
  for (const [write, stopped] of cases)
    assert.strictEqual(page.readingStopped(write), stopped, write);
  // answer, the same with a decimal point
  for (const [answer, point] of [
    ['6,5', '6.5'],
    [' -0,25e3 ', '-0.25e3'],
    ['1,000,000', null],
    ['abc', null],
    ['6.5', null],
  ]) {
    assert.strictEqual(page.withDecimalPoint(answer), point, answer);
  }
  // answer that could not be read, as typed instead, the note
  for (const [answer, mended, note] of [
    ['6,5', '6.5', /could not read "6,5".*with a point: 6\.5\. .*brings back the answer mended/],
    [
      '6\u00a0',
      '6',
      /"6\u00a0".* a no-break space \(U\+00A0\), which stands for a blank: .*type 6 /,
    ],
    ['\u22126', '-6', /a minus sign \(U\+2212\), which stands for -: .*type -6 instead/],
    ['\uff16,5\u202f', '6.5', /digit 6 \(U\+FF16\).*, and a narrow no-break .*: characters.*6\.5 /],
    ['1\u200b0 \u0662', '10 2', /a zero-width space .* stands for nothing, and an Arabic-Indic/],
    ['abc', null, /"abc" .* for them\. Press Start over .*brings back earlier answers\.$/],
    ['1e-320', null, /them\. 1e-320 is too small .* from 2\.22507e-308 to 1\.79769e\+308, and 0\./],
    ['6 -1.5e400', null, /them\. -1\.5e400 is too large for a double/],
    ['0e-400 x', null, /for them\. Press/],
  ]) {
    assert.strictEqual(page.mendedAnswer(answer), mended, answer);
    assert.match(page.unreadableNote(answer), note, answer);
  }
  // a report's words for values that are no finite number: transcript, answers, the word
  const words = (name) => fs.readFileSync(path.join(process.argv[3], name + '.out'), 'latin1');
  for (const [name, answers, note] of [
    ['zero_length', '0\n2\n0 0', /IND means "not a number": with L = 0 the working divides zero/],
    [
      'huge_length',
      '1e200 1 0 0 N',
      /^The report's 1\.#INF means .* L = 1e200 and W = 1 lead to\.$/,
    ],
    ['typical', '6 2 0 0', /^$/],
  ]) {
    assert.match(page.specialValuesNote(words(name), answers), note, name);
  }
});

test('a screen reader is given the output in pieces of a few lines, without the rules', () => {
  assert.deepStrictEqual(page.spokenPieces('A\n\n----\nB\nC\n', 2), ['A\nB', 'C']);
  const pieces = page.spokenPieces(
    fs.readFileSync(path.join(process.argv[3], 'typical.out'), 'latin1').split('Length =  ')[1],
  );
  assert.ok(
    pieces.length >= 6 &&
      pieces.every((piece) => piece.split('\n').length <= 4 && !piece.includes('---')),
    JSON.stringify(pieces),
  );
});

test('the fitted size is the largest whose real width fits, not the proportional guess', () => {
  const measure = (size) => 34.8 * size + 25; // wider at small sizes than in proportion
  // width available, largest size -> size
  for (const [available, largest, size] of [
    [400, 16, 10.7],
    [2000, 16, 16],
    [100, 16, 10],
    [2000, 12.5, 12.5],
  ]) {
    assert.strictEqual(page.fittedSize(available, measure, largest), size, String(available));
  }
});
