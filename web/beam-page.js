// The beam page: the program (beam.js) with its output as the browser's own
// text and each answer in the browser's own text field.
//
// The output is laid out as text: selectable, zoomable, read by screen
// readers, in the largest monospace size (10 px to 16 px) at which the
// figure's and the rules' 58 columns fit the window; longer lines wrap at
// blanks. The figure is one image for screen readers, with a short text
// alternative. When the program reads, a text field stands right after the
// question, named by it: Enter sends the answer, which stays in the output
// after its question as on a terminal; Ctrl+U clears it, Ctrl+D on an empty
// answer ends the input, Up and Down bring back earlier answers. At "Press
// Any Key To Continue" any key press ends the run (not a modifier alone, not
// Tab, not a copy of a selection), and so does the Continue button. The
// controls below the output are always in view: Start over, Copy report,
// Save as text.
//
// For tests: window.beamOutput holds everything the program wrote, byte for
// byte (one character per byte), and window.beamEnded tells whether the run
// has ended. Under node, the part that needs no browser is exported.
(function () {
  'use strict';

  // ---- What needs no browser ---------------------------------------------

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

  // What the page says when an answer could not be read as a number.
  function unreadableNote(answer) {
    const point = withDecimalPoint(answer);
    return 'beam could not read "' + answer.trim() + '" as a number, so it skipped the ' +
      'remaining questions and used 0 for them.' +
      (point === null ? '' : ' Write the number with a point: ' + point + '.') +
      ' Press Start over to answer again; Up brings back earlier answers.';
  }

  // The size for the figure and the rules: the largest from 10 px up to
  // `largest`, in tenths of a pixel, at which 58 columns measure no wider
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
  // not Tab (the focus moves), not a copy while text is selected.
  function endsKeyWait(event, hasSelection) {
    if (MODIFIERS.includes(event.key) || event.key === 'Tab') return false;
    const command = event.ctrlKey || event.metaKey;
    const copy = (command && (event.key === 'c' || event.key === 'C')) ||
                 (event.ctrlKey && event.key === 'Insert');
    return !(copy && hasSelection);
  }

  if (typeof document === 'undefined') {
    module.exports = { InputQueue, END_OF_INPUT, currentQuestion, splitByRegion, AnswerHistory,
                       endsKeyWait, readingStopped, withDecimalPoint, unreadableNote, fittedSize };
    return;
  }

  // ---- The page ----------------------------------------------------------

  const byId = (id) => document.getElementById(id);
  const status = byId('status');
  const screen = byId('screen');
  const spoken = byId('spoken');
  const restart = byId('restart');
  const copyButton = byId('copy');
  const saveButton = byId('save');
  const continueButton = byId('continue');
  const message = byId('message');

  // index.html's (its inline script, there before any file loads): shows
  // the message and turns the controls off.
  const fail = window.beamFailed;
  let run = null;

  // Every error of the page and of the program's run ends here: a message,
  // never silence. (The program's own I/O passes its errors to beamError.)
  // The browser's console still shows the error itself.
  function stopWithError() {
    if (run) run.ended = true;
    continueButton.hidden = true;
    fail('beam stopped with an error. Reload the page to start again.');
  }
  window.addEventListener('error', stopWithError);
  window.addEventListener('unhandledrejection', stopWithError);

  if (status.className === 'failed') return;
  if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which beam needs. Open the page in a current ' +
         'Chrome, Edge, Firefox or Safari.');
    return;
  }
  if (typeof createBeam !== 'function') {
    window.beamLoadFailed('beam.js');
    return;
  }

  // The figure's and the rules' size (--fitted): the largest at which their
  // 58 columns fit the window, at most the reader's own size.
  const COLUMNS = 58;
  let fittedFor = '';
  function fitFont() {
    const width = screen.clientWidth;
    const largest = parseFloat(getComputedStyle(screen).fontSize);
    if (width === 0 || fittedFor === width + '/' + largest) return;
    fittedFor = width + '/' + largest;
    const ruler = document.createElement('span');
    ruler.style.cssText = 'position:absolute;visibility:hidden;white-space:pre';
    ruler.textContent = '-'.repeat(COLUMNS);
    screen.appendChild(ruler);
    const measure = (size) => {
      ruler.style.fontSize = size + 'px';
      return ruler.getBoundingClientRect().width;
    };
    screen.style.setProperty('--fitted', fittedSize(width, measure, largest) + 'px');
    ruler.remove();
  }
  // What is scrolled into view (the answer field) stops above the controls
  // where they are pinned below the output.
  function keepClearOfControls() {
    const footer = document.querySelector('footer');
    const pinned = getComputedStyle(footer).position === 'sticky';
    document.documentElement.style.scrollPaddingBottom =
      pinned ? (footer.offsetHeight + 8) + 'px' : '';
  }
  function showField() {
    if (run && run.field) run.field.input.scrollIntoView({ block: 'nearest' });
  }
  // On every resize, rotation and zoom, and when a phone's keyboard opens or
  // closes (a ResizeObserver on the output would see its own change of
  // font): the focused answer field, with what is typed in it, stays in view.
  function relayout() {
    fitFont();
    keepClearOfControls();
    if (run && run.field && document.activeElement === run.field.input) showField();
  }
  window.addEventListener('resize', relayout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', relayout);
  keepClearOfControls();

  const FIGURE_DESCRIPTION = 'Drawing of the beam: a triangular load of height W stands over ' +
    'point A, the pin joint, and falls to nothing at point B, the rocker; C, where the load ' +
    'acts, lies one third of the length L from A.';
  const encoder = new TextEncoder();
  const history = new AnswerHistory();

  function say(text) {
    message.textContent = text;
    keepClearOfControls();  // a longer message may take another row
  }

  // What the program wrote since the last answer, read out once (the first
  // question is read as the answer field's name instead).
  function speakPending() {
    const text = run.unspoken.trim();
    run.unspoken = '';
    if (text === '') return;
    const entry = document.createElement('div');
    entry.textContent = text;
    spoken.appendChild(entry);
  }

  function region(name) {
    if (!run.regions[name]) {
      const element = document.createElement('div');
      if (name === 'figure') {
        element.setAttribute('role', 'img');
        element.setAttribute('aria-label', FIGURE_DESCRIPTION);
      }
      screen.appendChild(element);
      run.regions[name] = element;
    }
    return run.regions[name];
  }

  // Adds to a part of the output, before the answer field where it stands.
  function addText(element, text, className) {
    const before = run.field && run.field.form.parentNode === element ? run.field.form : null;
    const previous = before ? before.previousSibling : element.lastChild;
    if (!className && previous && previous.nodeType === Node.TEXT_NODE) {
      previous.appendData(text);
      return;
    }
    let node = document.createTextNode(text);
    if (className) {
      node = document.createElement('span');
      node.className = className;
      node.textContent = text;
    }
    element.insertBefore(node, before);
  }

  function trackLine(text) {
    const newline = text.lastIndexOf('\n');
    run.lineText = newline < 0 ? run.lineText + text : text.slice(newline + 1);
  }

  // The report's rules keep the figure's size, so that they never wrap.
  const RULE = '-'.repeat(COLUMNS) + ' \n';
  function addDialogue(text) {
    let start = 0;
    for (let at; (at = text.indexOf(RULE, start)) >= 0; start = at + RULE.length) {
      if (at > start) addText(region('dialogue'), text.slice(start, at));
      addText(region('dialogue'), RULE, 'rule');
    }
    if (start < text.length) addText(region('dialogue'), text.slice(start));
  }

  function showOutput(bytes) {
    run.screenBytes.push(bytes);
    const text = run.decoder.decode(bytes, { stream: true });
    const split = splitByRegion(text, run.line);
    run.line = split.line;
    for (const piece of split.pieces) {
      if (piece.region === 'dialogue') {
        addDialogue(piece.text);
      } else {
        addText(region(piece.region), piece.text);
      }
    }
    trackLine(text);
    if (run.answered) run.unspoken += text;
    if (run.answered && !run.endOfInput && !run.noted && readingStopped(text)) {
      run.noted = true;
      say(unreadableNote(run.lastAnswer));
    }
  }

  function scrollToEnd() {
    window.scrollTo(0, document.documentElement.scrollHeight);
  }

  // The answer field, right after the question; one field for the run, so
  // that a phone's keyboard stays open from one question to the next.
  function askForAnswer() {
    if (!run.field) {
      const form = document.createElement('form');
      const input = document.createElement('input');
      input.type = 'text';
      input.autocomplete = 'off';
      input.spellcheck = false;
      input.setAttribute('autocapitalize', 'off');
      input.setAttribute('autocorrect', 'off');
      input.setAttribute('enterkeyhint', 'send');
      input.setAttribute('aria-describedby', 'note');
      form.appendChild(input);
      form.addEventListener('submit', function (event) {
        event.preventDefault();
        answer(input.value + '\n');
      });
      input.addEventListener('keydown', editKey);
      region('dialogue').appendChild(form);
      run.field = { form, input };
    }
    // Named by its question; a read that is no new question (after an empty
    // answer) keeps the name.
    run.question = currentQuestion(run.lineText) || run.question || 'Answer';
    run.field.input.setAttribute('aria-label', run.question);
    speakPending();
    if (document.activeElement !== run.field.input) run.field.input.focus({ preventScroll: true });
    showField();
  }

  function removeField() {
    if (!run.field) return;
    run.field.form.remove();
    run.field = null;
  }

  // Sends text to the program and leaves it in the output, as a terminal
  // echoes what is typed.
  function answer(text) {
    if (!run.queue.waiting) return;
    run.lastAnswer = text.replace(/\n$/, '');
    history.add(run.lastAnswer);
    run.field.input.value = '';
    addText(region('dialogue'), text, 'answer');
    trackLine(text);
    run.screenBytes.push(encoder.encode(text));
    run.answered = true;
    run.queue.push(encoder.encode(text));
  }

  function editKey(event) {
    const input = event.target;
    if (event.isComposing || event.keyCode === 229) return;
    const ctrlOnly = event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey;
    const plain = !event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey;
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    if (ctrlOnly && key === 'u') {
      input.value = '';
    } else if (ctrlOnly && key === 'd') {
      if (input.value !== '') {
        answer(input.value);  // as a terminal: the text, without a line end
      } else if (run.queue.waiting) {
        run.answered = true;
        run.endOfInput = true;
        run.queue.push(END_OF_INPUT);
      }
    } else if (plain && (key === 'ArrowUp' || key === 'ArrowDown')) {
      input.value = key === 'ArrowUp' ? history.older(input.value) : history.newer(input.value);
      input.setSelectionRange(input.value.length, input.value.length);
    } else {
      return;
    }
    event.preventDefault();
  }

  function endKeyWait() {
    const resolve = run.keyWait;
    run.keyWait = null;
    continueButton.hidden = true;
    resolve();
  }

  function hasSelection() {
    const selection = window.getSelection();
    return selection !== null && !selection.isCollapsed && selection.toString() !== '';
  }

  // Enter, Space and Tab on another control are that control's; any other
  // key there ends the wait too (after Copy report, say).
  const CONTROL_KEYS = ['Enter', ' ', 'Spacebar', 'Tab'];
  window.addEventListener('keydown', function (event) {
    if (!run || !run.keyWait) return;
    const target = event.target;
    const onControl = target !== continueButton && target.closest && target.closest('footer');
    if (onControl && CONTROL_KEYS.includes(event.key)) return;
    if (!endsKeyWait(event, hasSelection())) return;
    event.preventDefault();
    endKeyWait();
  }, true);
  continueButton.addEventListener('click', function () {
    if (run && run.keyWait) endKeyWait();
  });

  function finish() {
    if (run.ended) return;
    run.ended = true;
    window.beamEnded = true;
    if (!run.noted) say('The run has ended. Start over for another run.');
    restart.focus();
  }

  function startRun() {
    window.beamOutput = '';
    window.beamEnded = false;
    screen.textContent = '';
    spoken.textContent = '';
    continueButton.hidden = true;
    for (const button of [restart, copyButton, saveButton]) button.disabled = true;
    say('');
    fitFont();
    run = { queue: new InputQueue(), decoder: new TextDecoder(), regions: {}, line: 0,
            lineText: '', question: '', field: null, keyWait: null, screenBytes: [],
            unspoken: '', lastAnswer: '', answered: false, endOfInput: false, noted: false,
            started: false, reportWritten: false, ended: false };
    const thisRun = run;
    createBeam({
      beamWrite: function (bytes) {
        if (thisRun !== run) return;
        let text = '';
        for (let i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
        window.beamOutput += text;
        if (!run.started) {
          run.started = true;
          status.hidden = true;
          for (const button of [restart, copyButton, saveButton]) button.disabled = false;
        }
        showOutput(bytes);
      },
      beamRead: function (room) {
        if (thisRun !== run) return new Promise(function () {});
        const bytes = run.queue.read(room);
        if (run.queue.waiting) askForAnswer();
        return bytes;
      },
      beamAwaitKey: function () {
        if (thisRun !== run) return new Promise(function () {});
        run.queue.clear();  // only keys pressed after the closing line count
        run.reportWritten = true;
        removeField();
        speakPending();
        continueButton.hidden = false;
        continueButton.focus({ preventScroll: true });
        scrollToEnd();
        return new Promise(function (resolve) { run.keyWait = resolve; });
      },
      beamError: stopWithError,
      onExit: function () { if (thisRun === run) finish(); },
      onAbort: stopWithError,
    }).catch(function () {
      fail('beam could not start in this browser. Reload the page; if that does not help, ' +
           'open it in a current Chrome, Edge, Firefox or Safari.');
    });
  }

  // The output as it stands on the screen: the program's bytes and the
  // answers, as a terminal shows them.
  function screenText() {
    const all = new Uint8Array(run.screenBytes.reduce((length, bytes) => length + bytes.length, 0));
    let offset = 0;
    for (const bytes of run.screenBytes) {
      all.set(bytes, offset);
      offset += bytes.length;
    }
    return new TextDecoder().decode(all);
  }

  function copyWithSelection(text) {
    const box = document.createElement('textarea');
    box.value = text;
    box.setAttribute('readonly', '');
    box.className = 'visually-hidden';
    const focused = document.activeElement;
    document.body.appendChild(box);
    box.select();
    const done = document.execCommand('copy');
    box.remove();
    if (focused) focused.focus({ preventScroll: true });
    return done;
  }

  copyButton.addEventListener('click', function () {
    const text = screenText();
    const copied = navigator.clipboard && window.isSecureContext
      ? navigator.clipboard.writeText(text).then(() => true, () => copyWithSelection(text))
      : Promise.resolve(copyWithSelection(text));
    copied.then(function (done) {
      say(done ? 'The report is copied.' : 'This browser did not allow the copy; select the ' +
                 'text and copy it instead.');
    });
  });

  saveButton.addEventListener('click', function () {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob(run.screenBytes, { type: 'text/plain' }));
    link.download = 'beam-report.txt';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
    say('The report is saved as beam-report.txt.');
  });

  restart.addEventListener('click', startRun);

  // Leaving the page in the middle of a run asks first (a swipe, a Back key);
  // once the report is written there is nothing to lose.
  window.addEventListener('beforeunload', function (event) {
    if (run && run.started && !run.reportWritten && !run.ended && run.answered) {
      event.preventDefault();
      event.returnValue = '';
    }
  });

  // Served over http(s): installable, and usable offline after one visit
  // (sw.js keeps the page's files). Opened from disk nothing is asked for.
  if (/^https?:$/.test(location.protocol) && 'serviceWorker' in navigator) {
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.appendChild(manifest);
    navigator.serviceWorker.register('sw.js').catch(function () {});
  }

  startRun();
})();
