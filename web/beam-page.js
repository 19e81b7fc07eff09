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
// has ended. What needs no browser is in page-logic.js, joined before this
// file when the page is built.
(function (logic) {
  'use strict';
  const { InputQueue, END_OF_INPUT, currentQuestion, splitByRegion, AnswerHistory, endsKeyWait,
          readingStopped, unreadableNote, fittedSize } = logic;

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
})(beamPageLogic);
