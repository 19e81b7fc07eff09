// The beam page's logic that needs no browser: the input queue, how the
// output is split into its parts, the answer history, the fitted size,
// which keys end the final wait, what a screen reader is given (the notes
// the page writes are in note_logic.js). The build joins this file with the
// page's others (web/CMakeLists.txt lists them) into the page's
// beam-page.js; under node, require() gives it to the tests.
const beamPageLogic = (function () {
  'use strict';

  const END_OF_INPUT = null; // in the queue: Ctrl+D on an empty answer

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

  // Earlier answers of this page, for Up and Down, and the one offered for
  // the question asked (its answer in an earlier run), which Up brings back
  // first; the answer being typed is kept while they are looked at.
  class AnswerHistory {
    constructor() {
      this.entries = [];
      this.offered = null;
      this.position = 0;
      this.draft = '';
    }

    get walked() {
      return this.offered === null ? this.entries : [...this.entries, this.offered];
    }

    add(answer) {
      if (answer !== '' && answer !== this.entries[this.entries.length - 1]) {
        this.entries.push(answer);
      }
      this.offer(null);
    }

    offer(answer) {
      this.offered = answer;
      this.position = this.walked.length;
      this.draft = '';
    }

    older(current) {
      const walked = this.walked;
      if (this.position === walked.length) this.draft = current;
      if (this.position > 0) this.position -= 1;
      return walked.length > 0 ? walked[this.position] : current;
    }

    newer(current) {
      const walked = this.walked;
      if (this.position >= walked.length) return current;
      this.position += 1;
      return this.position === walked.length ? this.draft : walked[this.position];
    }
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
    let tenths = Math.min(Math.floor(largest * 10), Math.floor((available * 1000) / measure(100)));
    while (tenths > SMALLEST_FONT * 10 && measure(tenths / 10) > available) tenths -= 1;
    return Math.max(SMALLEST_FONT * 10, tenths) / 10;
  }

  const MODIFIERS = [
    'Shift',
    'Control',
    'Alt',
    'AltGraph',
    'Meta',
    'OS',
    'Fn',
    'FnLock',
    'Hyper',
    'Super',
    'CapsLock',
    'NumLock',
    'ScrollLock',
    'Symbol',
    'SymbolLock',
  ];

  // Whether a key press ends the final wait: not a modifier or lock alone,
  // not Tab (the focus moves), not a browser's shortcut (with Ctrl, Alt or
  // Meta: print, find, zoom, copy), a function key (F5 reloads) or a
  // browser's or media key; a character typed with AltGr is a key.
  function endsKeyWait(event) {
    const key = event.key;
    if (
      MODIFIERS.includes(key) ||
      key === 'Tab' ||
      /^(F\d+|Browser|Audio|Media|Launch)/.test(key)
    ) {
      return false;
    }
    const altGraph =
      key.length === 1 && event.getModifierState && event.getModifierState('AltGraph');
    return Boolean(altGraph) || !(event.ctrlKey || event.altKey || event.metaKey);
  }

  // What a screen reader is given of the program's output since the last
  // answer: its lines in pieces of at most `size`, without blank lines and
  // without the report's rules (a run of dashes read out is noise).
  // Example: "A\n\n----\nB\nC\n" with size 2 -> ["A\nB", "C"].
  function spokenPieces(text, size = 4) {
    const lines = text
      .split('\n')
      .map((line) => line.trim())
      .filter((line) => line !== '' && !/^-+$/.test(line));
    const pieces = [];
    for (let at = 0; at < lines.length; at += size)
      pieces.push(lines.slice(at, at + size).join('\n'));
    return pieces;
  }

  // The figure's text alternative: one image for screen readers.
  const FIGURE_DESCRIPTION =
    'Drawing of the beam: a triangular load of height W stands over ' +
    'point A, the pin joint, and falls to nothing at point B, the rocker; C, where the load ' +
    'acts, lies one third of the length L from A.';

  // The answer field's attributes (besides its name, the question): one
  // row, text as typed, no suggestions, no capitals, the phone keyboard's
  // Enter key labelled to send, and the keys' help as its description.
  const FIELD_ATTRIBUTES = {
    rows: '1',
    autocomplete: 'off',
    spellcheck: 'false',
    autocapitalize: 'off',
    autocorrect: 'off',
    enterkeyhint: 'send',
    'aria-describedby': 'note',
  };

  return {
    InputQueue,
    FIGURE_DESCRIPTION,
    FIELD_ATTRIBUTES,
    END_OF_INPUT,
    currentQuestion,
    FIGURE_FIRST_LINE,
    FIGURE_ROWS,
    COLUMNS,
    splitByRegion,
    AnswerHistory,
    endsKeyWait,
    fittedSize,
    spokenPieces,
  };
})();
if (typeof module === 'object' && module.exports) module.exports = beamPageLogic;
