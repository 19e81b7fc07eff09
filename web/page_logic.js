// The beam page's logic that needs no browser: the input queue, how the
// output is split into its parts, the answer history, the notes the page
// writes, the fitted size, which keys end the final wait. The build joins
// this file and the page's own (web/CMakeLists.txt lists them) into the
// page's beam-page.js; under node, require() gives it to the tests.
const beamPageLogic = (function () {
  'use strict';

  const END_OF_INPUT = null;  // in the queue: Ctrl+D on an empty answer

  // The answers waiting for the program's reads, and the read waiting for
  // them: each read takes at most its room; an empty array is the end of
  // the input.
  class InputQueue {
    constructor() {
      this.chunks = [];
      this.reader = null;
    }

    push(chunk) {
      this.chunks.push(chunk);
      this.deliver();
    }

    read(room) {
      return new Promise((resolve) => {
        this.reader = { room, resolve };
        this.deliver();
      });
    }

    // True while a read waits and nothing is there for it.
    get waiting() {
      return this.reader !== null;
    }

    clear() {
      this.chunks = [];
    }

    deliver() {
      if (this.reader === null || this.chunks.length === 0) return;
      const { room, resolve } = this.reader;
      this.reader = null;
      let chunk = this.chunks[0];
      if (chunk === END_OF_INPUT) {
        this.chunks.shift();
        resolve(new Uint8Array(0));
        return;
      }
      if (chunk.length > room) {
        this.chunks[0] = chunk.subarray(room);
        chunk = chunk.subarray(0, room);
      } else {
        this.chunks.shift();
      }
      resolve(chunk);
    }
  }

  // The question being asked, from the output's last line: its last prompt
  // (each ends in "=" and blanks; answers typed ahead put several on a line).
  // Example: "A = B =  " -> "B ="; "" -> "".
  function currentQuestion(line) {
    const text = line.trimEnd();
    const boundary = /=\s+(?=\S)/g;
    let start = 0;
    for (let found; (found = boundary.exec(text)) !== null;) start = found.index + found[0].length;
    return text.slice(start).trim();
  }

  // The output's parts: the banner and legend (lines 0 to 9), the figure's
  // 36 rows, then the questions and the report. A line's end belongs to it.
  const FIGURE_FIRST_LINE = 10;
  const FIGURE_ROWS = 36;
  function regionOf(line) {
    if (line < FIGURE_FIRST_LINE) return 'introduction';
    return line < FIGURE_FIRST_LINE + FIGURE_ROWS ? 'figure' : 'dialogue';
  }

  // Splits text that starts on line `line` into pieces by part; returns the
  // pieces and the line the next text starts on.
  function splitByRegion(text, line) {
    const pieces = [];
    let start = 0;
    while (start < text.length) {
      const region = regionOf(line);
      let end = start;
      while (end < text.length && regionOf(line) === region) {
        const newline = text.indexOf('\n', end);
        if (newline < 0) {
          end = text.length;
          break;
        }
        end = newline + 1;
        line += 1;
      }
      if (pieces.length > 0 && pieces[pieces.length - 1].region === region) {
        pieces[pieces.length - 1].text += text.slice(start, end);
      } else {
        pieces.push({ region, text: text.slice(start, end) });
      }
      start = end;
    }
    return { pieces, line };
  }

  // Earlier answers of this page, for Up and Down; the answer being typed is
  // kept while they are looked at.
  class AnswerHistory {
    constructor() {
      this.entries = [];
      this.position = 0;
      this.draft = '';
    }

    add(answer) {
      if (answer !== '' && answer !== this.entries[this.entries.length - 1]) {
        this.entries.push(answer);
      }
      this.position = this.entries.length;
      this.draft = '';
    }

    older(current) {
      if (this.position === this.entries.length) this.draft = current;
      if (this.position > 0) this.position -= 1;
      return this.entries.length > 0 ? this.entries[this.position] : current;
    }

    newer(current) {
      if (this.position >= this.entries.length) return current;
      this.position += 1;
      return this.position === this.entries.length ? this.draft : this.entries[this.position];
    }
  }

  // Whether a write shows that the program has stopped reading. While it
  // reads, it flushes its output right after each question, so a question
  // ends its write; a question followed by more in the same write (the next
  // questions, the report) was asked without reading its answer.
  // Example: "...From Point A To Point B  = " -> false;
  // "...At Point B If Available =  Enter The Unit For..." -> true.
  function readingStopped(text) {
    return /Enter [^\n]*=\s*\S/.test(text);
  }

  // An answer written with a decimal comma, with a point instead: "6,5" ->
  // "6.5", "-0,25e3" -> "-0.25e3"; anything else -> null.
  function withDecimalPoint(answer) {
    const text = answer.trim();
    return /^[+-]?\d*,\d+(?:[eE][+-]?\d+)?$/.test(text) ? text.replace(',', '.') : null;
  }

  // Characters in text copied from PDFs and chats that look like a blank, a
  // sign, a point or a digit and are none to the program, by what they look
  // like ('' for those that show nothing): each with its name.
  const LOOKS_LIKE = {
    ' ': '\u00a0no-break space|\u202fnarrow no-break space|\u2009thin space|\u200ahair space|' +
      '\u2007figure space|\u2008punctuation space|\u2002en space|\u2003em space|' +
      '\u205fmedium mathematical space|\u3000ideographic space',
    '': '\u200bzero-width space|\u2060word joiner|\ufeffzero-width no-break space|\u00adsoft hyphen',
    '-': '\u2212minus sign|\u2013en dash|\u2014em dash|\u2010hyphen|\u2011non-breaking hyphen|' +
      '\u2012figure dash|\ufe63small hyphen-minus|\uff0dfull-width hyphen-minus',
    '+': '\uff0bfull-width plus sign',
    '.': '\uff0efull-width full stop|\u00b7middle dot|\u066bArabic decimal separator',
    ',': '\uff0cfull-width comma',
  };
  const LOOKALIKES = new Map();
  for (const [plain, names] of Object.entries(LOOKS_LIKE)) {
    for (const entry of names.split('|')) LOOKALIKES.set(entry[0], [entry.slice(1), plain]);
  }
  // Digits of other scripts and styles, by the code point of their zero.
  const DIGITS = [[0xff10, 'full-width'], [0x660, 'Arabic-Indic'], [0x6f0, 'Eastern Arabic-Indic'],
    [0x966, 'Devanagari'], [0x1d7ce, 'mathematical bold'], [0x1d7d8, 'double-struck'],
    [0x1d7e2, 'sans-serif'], [0x1d7ec, 'sans-serif bold'], [0x1d7f6, 'monospace']];
  function lookalike(character) {
    const code = character.codePointAt(0);
    for (const [zero, style] of DIGITS) {
      if (code >= zero && code < zero + 10) return [style + ' digit ' + (code - zero), String(code - zero)];
    }
    return LOOKALIKES.get(character) || null;
  }

  // The answer with each lookalike character as what it looks like, and
  // what each it held is (each once). Example: "\u22126\u00a0" -> { text:
  // "-6", found: ["a minus sign (U+2212), which stands for -", "a no-break
  // space (U+00A0), which stands for a blank"] }.
  function withoutLookalikes(answer) {
    let text = '';
    const found = [];
    for (const character of answer) {
      const [name, plain] = lookalike(character) || [null, character];
      text += plain;
      if (name === null) continue;
      const code = character.codePointAt(0).toString(16).toUpperCase().padStart(4, '0');
      const what = (/^[aeiAEI]/.test(name) ? 'an ' : 'a ') + name + ' (U+' + code + '), which ' +
        'stands for ' + (plain === ' ' ? 'a blank' : plain === '' ? 'nothing' : plain);
      if (!found.includes(what)) found.push(what);
    }
    return { text: text.replace(/^[ \t]+|[ \t]+$/g, ''), found };
  }

  // An unreadable answer as it should have been typed, or null when the page
  // knows no better: its lookalike characters as what they look like, then
  // a decimal comma as a point. Example: "\uff16,5\u00a0" -> "6.5".
  function mendedAnswer(answer) {
    const plain = withoutLookalikes(answer);
    return withDecimalPoint(plain.text) || (plain.found.length > 0 ? plain.text : null);
  }

  // What the page says when an answer could not be read as a number: the
  // characters that only look right, by name, and what to type instead.
  function unreadableNote(answer) {
    const { found } = withoutLookalikes(answer);
    const mended = mendedAnswer(answer);
    const instead = found.length > 0 ? ' It holds ' + found.join(', and ') + (found.length > 1
      ? ': characters' : ': a character') + ' beam does not read; type ' + mended + ' instead.'
      : mended === null ? '' : ' Write the number with a point: ' + mended + '.';
    return 'beam could not read "' + answer.replace(/^[ \t]+|[ \t]+$/g, '') + '" as a number, so ' +
      'it skipped the remaining questions and used 0 for them.' + instead + ' Press Start over to ' +
      'answer again; Up brings back ' + (mended === null ? 'earlier answers.' : 'the answer mended.');
  }

  // The figure's and the report's rules' width in columns.
  const COLUMNS = 58;

  // The size for the figure and the rules: the largest from 10 px up to
  // `largest`, in tenths of a pixel, at which COLUMNS columns measure no wider
  // than `available` (measure(size) is their width at that size). One
  // measure at 100 px gives the estimate; then the size goes down until the
  // real width fits, since an engine's widths at small sizes need not be in
  // proportion (WebKit's are not).
  const SMALLEST_FONT = 10;
  function fittedSize(available, measure, largest) {
    let tenths = Math.min(Math.floor(largest * 10), Math.floor(available * 1000 / measure(100)));
    while (tenths > SMALLEST_FONT * 10 && measure(tenths / 10) > available) tenths -= 1;
    return Math.max(SMALLEST_FONT * 10, tenths) / 10;
  }

  const MODIFIERS = ['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'Fn', 'FnLock', 'Hyper',
                     'Super', 'CapsLock', 'NumLock', 'ScrollLock', 'Symbol', 'SymbolLock'];

  // Whether a key press ends the final wait: not a modifier or lock alone,
  // not Tab (the focus moves), not a browser's shortcut (with Ctrl, Alt or
  // Meta: print, find, zoom, copy), a function key (F5 reloads) or a
  // browser's or media key; a character typed with AltGr is a key.
  function endsKeyWait(event) {
    const key = event.key;
    if (MODIFIERS.includes(key) || key === 'Tab' || /^(F\d+|Browser|Audio|Media|Launch)/.test(key)) {
      return false;
    }
    const altGraph = key.length === 1 && event.getModifierState && event.getModifierState('AltGraph');
    return Boolean(altGraph) || !(event.ctrlKey || event.altKey || event.metaKey);
  }

  // What a screen reader is given of the program's output since the last
  // answer: its lines in pieces of at most `size`, without blank lines and
  // without the report's rules (a run of dashes read out is noise).
  // Example: "A\n\n----\nB\nC\n" with size 2 -> ["A\nB", "C"].
  function spokenPieces(text, size = 4) {
    const lines = text.split('\n').map((line) => line.trim())
      .filter((line) => line !== '' && !/^-+$/.test(line));
    const pieces = [];
    for (let at = 0; at < lines.length; at += size) pieces.push(lines.slice(at, at + size).join('\n'));
    return pieces;
  }

  // What the page says when the report holds a value that is not a finite
  // number, naming the answers it came from (`answers`: everything typed,
  // in order; L and W are its first two words). The program's text stays
  // as it is. Example: a report with -1.#IND after the answers "0 2 0 0" ->
  // 'The report's -1.#IND means "not a number": with L = 0 ...'.
  function specialValuesNote(output, answers) {
    const [L = '?', W = '?'] = answers.trim().split(/\s+/);
    const notes = [];
    if (output.includes('1.#IND')) {
      notes.push('The report\'s -1.#IND means "not a number": ' + (Number(L) === 0
        ? 'with L = ' + L + ' the working divides zero by zero.'
        : 'a step of the working has no numeric result (L = ' + L + ', W = ' + W + ').'));
    }
    if (output.includes('1.#INF')) {
      notes.push('The report\'s 1.#INF means a number too large for the arithmetic (beyond ' +
        'about 1.8e308), which L = ' + L + ' and W = ' + W + ' lead to.');
    }
    return notes.join(' ');
  }

  return { InputQueue, END_OF_INPUT, currentQuestion, FIGURE_FIRST_LINE, FIGURE_ROWS, COLUMNS,
           splitByRegion, AnswerHistory, endsKeyWait, readingStopped, withDecimalPoint,
           withoutLookalikes, mendedAnswer, unreadableNote, fittedSize, spokenPieces, specialValuesNote };
})();
if (typeof module === 'object' && module.exports) module.exports = beamPageLogic;
