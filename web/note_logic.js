// The notes the beam page writes, which need no browser: that the program
// stopped reading an answer, and why (a decimal comma, characters that only
// look like a blank, a sign or a digit), and what a value that is not a
// finite number in the report means. The build joins this file with the
// page's others; under node, require() gives it to the tests.
const beamNoteLogic = (function () {
  'use strict';

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
    ' ':
      '\u00a0no-break space|\u202fnarrow no-break space|\u2009thin space|\u200ahair space|' +
      '\u2007figure space|\u2008punctuation space|\u2002en space|\u2003em space|' +
      '\u205fmedium mathematical space|\u3000ideographic space',
    '': '\u200bzero-width space|\u2060word joiner|\ufeffzero-width no-break space|\u00adsoft hyphen',
    '-':
      '\u2212minus sign|\u2013en dash|\u2014em dash|\u2010hyphen|\u2011non-breaking hyphen|' +
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
  const DIGITS = [
    [0xff10, 'full-width'],
    [0x660, 'Arabic-Indic'],
    [0x6f0, 'Eastern Arabic-Indic'],
    [0x966, 'Devanagari'],
    [0x1d7ce, 'mathematical bold'],
    [0x1d7d8, 'double-struck'],
    [0x1d7e2, 'sans-serif'],
    [0x1d7ec, 'sans-serif bold'],
    [0x1d7f6, 'monospace'],
  ];
  function lookalike(character) {
    const code = character.codePointAt(0);
    for (const [zero, style] of DIGITS) {
      if (code >= zero && code < zero + 10)
        return [style + ' digit ' + (code - zero), String(code - zero)];
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
      const what =
        (/^[aeiAEI]/.test(name) ? 'an ' : 'a ') +
        name +
        ' (U+' +
        code +
        '), which ' +
        'stands for ' +
        (plain === ' ' ? 'a blank' : plain === '' ? 'nothing' : plain);
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

  // An answer's first number too small or too large for a double (beam
  // reads sizes from the smallest normal double to the largest, and 0), and
  // which. Example: "6 1e400" -> ["1e400", "large"]; "6" -> null.
  function outOfRange(answer) {
    for (const word of answer.trim().split(/\s+/)) {
      const [number, digits] = word.match(/^[+-]?(\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?$/) || [];
      if (!number) continue;
      const size = Math.abs(Number(number));
      if (size === Infinity) return [word, 'large'];
      if (size < 2.2250738585072014e-308 && /[1-9]/.test(digits)) return [word, 'small'];
    }
    return null;
  }

  // What the page says when an answer could not be read as a number: the
  // characters that only look right, by name, and what to type instead;
  // for a number out of a double's range, the range.
  function unreadableNote(answer) {
    const { found } = withoutLookalikes(answer);
    const mended = mendedAnswer(answer);
    const range = outOfRange(answer);
    const instead = range
      ? ` ${range[0]} is too ${range[1]} for a double, the numbers beam works with: it reads ` +
        'sizes from 2.22507e-308 to 1.79769e+308, and 0.'
      : found.length > 0
        ? ' It holds ' +
          found.join(', and ') +
          (found.length > 1 ? ': characters' : ': a character') +
          ' beam does not read; type ' +
          mended +
          ' instead.'
        : mended === null
          ? ''
          : ' Write the number with a point: ' + mended + '.';
    return (
      'beam could not read "' +
      answer.replace(/^[ \t]+|[ \t]+$/g, '') +
      '" as a number, so ' +
      'it skipped the remaining questions and used 0 for them.' +
      instead +
      ' Press Start over to ' +
      'answer again; Up brings back ' +
      (mended === null ? 'earlier answers.' : 'the answer mended.')
    );
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
      notes.push(
        'The report\'s -1.#IND means "not a number": ' +
          (Number(L) === 0
            ? 'with L = ' + L + ' the working divides zero by zero.'
            : 'a step of the working has no numeric result (L = ' + L + ', W = ' + W + ').'),
      );
    }
    if (output.includes('1.#INF')) {
      notes.push(
        "The report's 1.#INF means a number too large for the arithmetic (beyond " +
          'about 1.8e308), which L = ' +
          L +
          ' and W = ' +
          W +
          ' lead to.',
      );
    }
    return notes.join(' ');
  }

  return {
    readingStopped,
    withDecimalPoint,
    withoutLookalikes,
    mendedAnswer,
    unreadableNote,
    specialValuesNote,
  };
})();
if (typeof module === 'object' && module.exports) module.exports = beamNoteLogic;
