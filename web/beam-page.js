// The beam page: a terminal (xterm.js) in front of the program (beam.js).
//
// The terminal gives the program its input as a terminal in canonical mode
// does: typed characters are echoed, Backspace erases the last one, Ctrl+U
// the line and Ctrl+W the last word, Enter delivers the line with its line
// end, Ctrl+D on an empty line is the end of input (with text on the line,
// it delivers the text). When the program waits for its final key, lines
// typed before are dropped and the next key press ends the wait: not echoed,
// an arrow or function key is one press, Ctrl+C is a key unless text is
// selected. Then the page says that the run has ended and offers another,
// which starts the program anew.
//
// As in a browser: Ctrl+C or Cmd+C with a selection copies it, Ctrl+V or
// Cmd+V pastes, Tab moves the focus out of the terminal. The terminal fills
// its part of the window, with the largest font (15 px down to 10 px) that
// fits the program's widest line; narrower windows wrap lines inside it.
// Screen readers read the program's output from a log region.
//
// For tests: window.beamOutput holds everything the program wrote, byte for
// byte (one character per byte), and window.beamEnded tells whether the run
// has ended.
(function () {
  'use strict';

  const status = document.getElementById('status');
  const again = document.getElementById('again');
  const transcript = document.getElementById('transcript');
  const element = document.getElementById('terminal');

  function fail(message) {
    if (status.className === 'failed') return;  // a file that did not load says more
    status.hidden = false;
    status.className = 'failed';
    status.setAttribute('role', 'alert');
    status.textContent = message;
  }

  if (status.className === 'failed') return;
  if (typeof WebAssembly !== 'object') {
    fail('This browser cannot run WebAssembly, which beam needs. Open the page in a current ' +
         'Chrome, Edge, Firefox or Safari.');
    return;
  }
  if (typeof Terminal !== 'function' || typeof FitAddon !== 'object' ||
      typeof Unicode11Addon !== 'object' || typeof createBeam !== 'function') {
    fail('beam could not load all of its files. Unzip the whole beam folder, keep its files ' +
         'together, and open index.html from it again.');
    return;
  }

  // The program's widest line: the second prompt (121 columns) and a digit.
  const WIDEST_LINE = 122;
  const LARGEST_FONT = 15;
  const SMALLEST_FONT = 10;  // still legible on a phone; narrower windows wrap

  const terminal = new Terminal({
    convertEol: true, cursorBlink: true, scrollback: 5000, fontSize: LARGEST_FONT,
    allowProposedApi: true,  // the add-on's Unicode 11 widths
  });
  const fit = new FitAddon.FitAddon();
  terminal.loadAddon(fit);
  terminal.loadAddon(new Unicode11Addon.Unicode11Addon());
  terminal.unicode.activeVersion = '11';
  terminal.open(element);
  terminal.textarea.setAttribute('aria-describedby', 'help');

  function fitToWindow() {
    if (element.clientWidth === 0 || element.clientHeight === 0) return;
    let size = LARGEST_FONT;
    for (; size > SMALLEST_FONT; --size) {
      terminal.options.fontSize = size;
      const proposed = fit.proposeDimensions();
      if (proposed && proposed.cols >= WIDEST_LINE) break;
    }
    terminal.options.fontSize = size;
    fit.fit();
  }
  new ResizeObserver(fitToWindow).observe(element);
  // Where a screen keyboard only shrinks the visual viewport (iOS), the page
  // shrinks with it, so the line being typed stays in view.
  if (window.visualViewport) {
    window.visualViewport.addEventListener('resize', function () {
      if (window.visualViewport.scale === 1) {
        document.body.style.height = window.visualViewport.height + 'px';
      }
    });
  }
  // The page never pans: a browser that scrolls to show the terminal's
  // hidden input box is put back at the left.
  for (const box of [element, element.parentElement]) {
    box.addEventListener('scroll', function () { box.scrollLeft = 0; box.scrollTop = 0; });
  }
  window.addEventListener('scroll', function () { window.scrollTo(0, 0); });

  terminal.attachCustomKeyEventHandler(function (event) {
    const command = event.ctrlKey || event.metaKey;
    const key = (event.key || '').toLowerCase();
    if (event.key === 'Tab' && !command && !event.altKey) return false;  // the focus moves
    // The browser's copy and paste, which the terminal fills and types in.
    // Ctrl+Shift+C is the browser's own key for something else: copied here.
    if (command && key === 'c' && terminal.hasSelection()) {
      if (event.shiftKey && event.type === 'keydown' && navigator.clipboard) {
        navigator.clipboard.writeText(terminal.getSelection()).catch(function () {});
        event.preventDefault();
      }
      return false;
    }
    if (command && key === 'v') return false;
    return true;
  });

  const encoder = new TextEncoder();
  const END_OF_INPUT = null;  // in the input queue: Ctrl+D on an empty line
  let run = null;             // the current run's state
  let decoder = null;         // the run's output as text, for the log region

  function log(text) {
    if (text === '') return;
    const entry = document.createElement('div');
    entry.textContent = text;
    transcript.appendChild(entry);
  }

  function deliver() {
    if (!run.reader || run.queue.length === 0) return;
    const reader = run.reader;
    run.reader = null;
    let chunk = run.queue[0];
    if (chunk === END_OF_INPUT) {
      run.queue.shift();
      reader.resolve(new Uint8Array(0));
      return;
    }
    if (chunk.length > reader.room) {
      run.queue[0] = chunk.subarray(reader.room);
      chunk = chunk.subarray(0, reader.room);
    } else {
      run.queue.shift();
    }
    reader.resolve(chunk);
  }

  function submit(bytes) {
    run.queue.push(bytes);
    deliver();
  }

  function sendLine(text) {
    log(text);
    submit(encoder.encode(text));
  }

  function endLine() {
    if (run.lineStart) run.lineStart.marker.dispose();
    run.lineStart = null;
    run.line = [];
  }

  // Resolves once the terminal has drawn everything written so far, so that
  // its cursor is where the next character goes.
  const drawn = () => new Promise((resolve) => terminal.write('', resolve));

  // Erases the line from character keep on and writes the rest again from
  // where the line began: right across wrapped rows and wide characters,
  // whatever the terminal did with them.
  async function eraseFrom(keep) {
    if (keep < 0 || keep >= run.line.length) return;
    run.line.length = keep;
    await drawn();
    const start = run.lineStart;
    if (start.marker.isDisposed) return;  // gone from the scrollback
    let row = start.marker.line;
    let x = start.x;
    if (x >= terminal.cols) {  // the line began in the next row
      row += 1;
      x = 0;
    }
    const buffer = terminal.buffer.active;
    const up = buffer.baseY + buffer.cursorY - row;
    terminal.write((up > 0 ? '\x1b[' + up + 'A' : '') + '\x1b[' + (x + 1) + 'G\x1b[J' +
                   run.line.join(''));
  }

  function lastWordStart(line) {
    let i = line.length;
    while (i > 0 && /\s/.test(line[i - 1])) --i;
    while (i > 0 && !/\s/.test(line[i - 1])) --i;
    return i;
  }

  // Canonical-mode line editing of what is typed (or pasted).
  async function editLine(data) {
    if (data.charAt(0) === '\x1b') return;  // cursor and function keys: not line input
    for (const character of data) {
      if (character === '\r' || character === '\n') {
        terminal.write('\r\n');
        sendLine(run.line.join('') + '\n');
        endLine();
      } else if (character === '\x7f' || character === '\b') {
        await eraseFrom(run.line.length - 1);
      } else if (character === '\x15') {  // Ctrl+U
        await eraseFrom(0);
      } else if (character === '\x17') {  // Ctrl+W
        await eraseFrom(lastWordStart(run.line));
      } else if (character === '\x04') {  // Ctrl+D
        if (run.line.length === 0) submit(END_OF_INPUT); else sendLine(run.line.join(''));
        endLine();
      } else if (character >= ' ' || character === '\t') {
        if (run.line.length === 0) {  // a new line, or one erased whole
          endLine();
          await drawn();
          run.lineStart = { marker: terminal.registerMarker(0), x: terminal.buffer.active.cursorX };
        }
        run.line.push(character);
        terminal.write(character);
      }
    }
  }

  async function take(data) {
    if (run === null || !run.started) return;  // nothing to type into yet
    if (run.ended) {
      if (data === '\r') startRun();
      return;
    }
    if (run.keyWait) {
      const ends = run.keyWait;
      run.keyWait = null;
      ends();
      return;
    }
    await editLine(data);
  }

  // Typed data is taken in order, each piece after the one before.
  let taken = Promise.resolve();
  terminal.onData(function (data) {
    taken = taken.then(() => take(data));
  });

  function finish() {
    if (run.ended) return;
    run.ended = true;
    window.beamEnded = true;
    const message = '[The run has ended. Press Enter or the button below to start another run.]';
    terminal.write('\r\n' + message + '\r\n');
    log(message);
    again.hidden = false;
  }

  function startRun() {
    window.beamOutput = '';
    window.beamEnded = false;
    again.hidden = true;
    decoder = new TextDecoder();
    run = { queue: [], line: [], lineStart: null, reader: null, keyWait: null,
            started: false, ended: false };
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
        }
        terminal.write(bytes);
        log(decoder.decode(bytes, { stream: true }));
      },
      beamRead: function (room) {
        return new Promise(function (resolve) {
          run.reader = { room: room, resolve: resolve };
          deliver();
        });
      },
      beamAwaitKey: function () {
        run.queue = [];  // only keys pressed after the closing line count
        endLine();
        return new Promise(function (resolve) { run.keyWait = resolve; });
      },
      onExit: function () { if (thisRun === run) finish(); },
      onAbort: function () {
        fail('beam stopped with an error. Reload the page to start again.');
      },
    }).catch(function () {
      fail('beam could not start in this browser. Reload the page; if that does not help, ' +
           'open it in a current Chrome, Edge, Firefox or Safari.');
    });
    terminal.focus();
  }

  // Leaving the page in the middle of a run asks first (a swipe, a Back key).
  window.addEventListener('beforeunload', function (event) {
    if (run && run.started && !run.ended) {
      event.preventDefault();
      event.returnValue = '';
    }
  });

  again.addEventListener('click', startRun);
  startRun();
})();
