// The beam page: the program (beam.js) with its output as the browser's own
// text and each answer in the browser's own text field.
//
// The output is laid out as text: selectable, zoomable, read by screen
// readers (the rules left out, the report a few lines at a time). The
// figure's and the rules' 58 columns are in the largest monospace size, from
// 10 px up to the reader's own, at which they fit the window, and scroll in
// their own box where even 10 px does not fit; other lines wrap at blanks.
// The figure is one image for screen readers, with a short text
// alternative. When the program reads, a text field stands right after the
// question, named by it: Enter sends the answer, which stays in the output
// after its question as on a terminal; Ctrl+U clears it, Ctrl+D on an empty
// answer ends the input, Up and Down bring back earlier answers. At "Press
// Any Key To Continue" any key press ends the run (not a modifier alone, not
// Tab, not a copy of a selection), and so does the Continue button. The
// controls below the output: Start over (a finished report is kept, folded,
// above the new run), Copy report (exactly, or it says it could not), Save
// as text. Inside another page's frame the page takes the keyboard only
// once the student comes into it, and scrolls only itself.
//
// For tests: window.beamOutput holds everything the program wrote, byte for
// byte (one character per byte), and window.beamEnded tells whether the run
// has ended. What needs no browser is in page-logic.js, joined before this
// file when the page is built.
(function (logic) {
  'use strict';
  const { InputQueue, END_OF_INPUT, currentQuestion, splitByRegion, AnswerHistory, endsKeyWait,
          readingStopped, unreadableNote, fittedSize, spokenPieces, specialValuesNote } = logic;

  const byId = (id) => document.getElementById(id);
  const status = byId('status');
  const screen = byId('screen');
  const spoken = byId('spoken');
  const restart = byId('restart');
  const copyButton = byId('copy');
  const saveButton = byId('save');
  const continueButton = byId('continue');
  const message = byId('message');
  const earlier = byId('earlier');

  // Inside another page's frame (a course page), the page takes the
  // keyboard only once the student has clicked, tapped or tabbed into it,
  // and scrolls only itself.
  const framed = window.self !== window.top;
  let mayTakeFocus = !framed;
  function focusWithin(element) {
    if (mayTakeFocus && document.activeElement !== element) element.focus({ preventScroll: true });
  }
  for (const type of ['pointerdown', 'keydown', 'focus']) {
    window.addEventListener(type, function () {
      if (mayTakeFocus) return;
      mayTakeFocus = true;
      if (type !== 'pointerdown' && run && run.field) focusWithin(run.field.input);
    }, true);
  }

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
  // The room the controls take at the window's foot where they are pinned
  // below the output: what is scrolled into view (the answer field) stops
  // above it.
  function controlsRoom() {
    const footer = document.querySelector('footer');
    return getComputedStyle(footer).position === 'sticky' ? footer.offsetHeight + 8 : 0;
  }
  function keepClearOfControls() {
    const room = controlsRoom();
    document.documentElement.style.scrollPaddingBottom = room > 0 ? room + 'px' : '';
  }
  // Scrolls this page only (never a page around its frame) so that the
  // answer field is in the visible part of the window, clear of the
  // controls where they are pinned.
  function showField() {
    if (!run || !run.field) return;
    const box = run.field.input.getBoundingClientRect();
    const view = window.visualViewport;
    const top = view ? view.offsetTop : 0;
    const bottom = top + (view ? view.height : window.innerHeight) - controlsRoom();
    if (box.bottom > bottom) window.scrollBy(0, Math.min(box.bottom - bottom, box.top - top));
    else if (box.top < top) window.scrollBy(0, box.top - top);
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

  // What the program wrote since the last answer, read out once, a few
  // lines at a time and without the rules (the first question is read as
  // the answer field's name instead).
  function speakPending() {
    const text = run.unspoken;
    run.unspoken = '';
    for (const piece of spokenPieces(text)) {
      const entry = document.createElement('div');
      entry.textContent = piece;
      spoken.appendChild(entry);
    }
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
      if (className === 'rule') node.setAttribute('aria-hidden', 'true');
    }
    element.insertBefore(node, before);
  }

  function trackLine(text) {
    const newline = text.lastIndexOf('\n');
    run.lineText = newline < 0 ? run.lineText + text : text.slice(newline + 1);
  }

  // The report's rules keep the figure's size and never wrap (a box that
  // scrolls sideways where they cannot fit); screen readers pass them over.
  const RULE = '-'.repeat(COLUMNS) + ' ';
  function addDialogue(text) {
    let start = 0;
    for (let at; (at = text.indexOf(RULE + '\n', start)) >= 0; start = at + RULE.length) {
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
    focusWithin(run.field.input);
    if (document.activeElement === run.field.input) showField();
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
    run.answers += text + ' ';
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

  // For a moment after the report is written and after the run has ended,
  // the controls but Continue take no key and no tap: a key pressed twice,
  // or a tap meant for the last answer field where the controls now stand,
  // never starts over by chance. A key held down repeats into none of them.
  const QUIET_MS = 1000;
  const quiet = () => run !== null && performance.now() < run.quietUntil;

  // Enter, Space and Tab on another control are that control's; any other
  // key there ends the wait too (after Copy report, say). A key repeated by
  // holding it down does not: the press that began it was the key.
  const CONTROL_KEYS = ['Enter', ' ', 'Spacebar', 'Tab'];
  window.addEventListener('keydown', function (event) {
    if (!run || !run.reportWritten) return;
    const target = event.target;
    const onControl = target.closest && target.closest('footer') !== null;
    if (run.keyWait && !event.repeat && endsKeyWait(event, hasSelection()) &&
        !(onControl && target !== continueButton && CONTROL_KEYS.includes(event.key))) {
      event.preventDefault();
      endKeyWait();
    } else if (onControl && (event.repeat || quiet()) && event.key !== 'Tab') {
      event.preventDefault();
    }
  }, true);
  continueButton.addEventListener('click', function () {
    if (run && run.keyWait) endKeyWait();
  });
  // Clicks and taps on the other controls while quiet, in the capture phase
  // (the press too, so that the focus stays where it is).
  for (const type of ['mousedown', 'click']) {
    document.querySelector('footer').addEventListener(type, function (event) {
      if (event.target !== continueButton && quiet()) {
        event.preventDefault();
        event.stopImmediatePropagation();
      }
    }, true);
  }

  // The run has ended: the report stays in view and keeps the focus (for a
  // screen reader, and so that a stray Enter or Space lands on no control).
  function finish() {
    if (run.ended) return;
    run.ended = true;
    run.quietUntil = performance.now() + QUIET_MS;
    window.beamEnded = true;
    if (!run.noted) say('The run has ended. Start over for another run.');
    focusWithin(screen);
  }

  // A finished report is kept when the student starts over: the questions,
  // answers and report of each earlier run stay readable above, folded.
  function keepReport() {
    if (!run || !run.reportWritten || !run.regions.dialogue) return false;
    const kept = document.createElement('details');
    const summary = document.createElement('summary');
    summary.textContent = 'Earlier run ' + (earlier.children.length + 1) + ': questions and report';
    const text = document.createElement('div');
    text.className = 'kept';
    text.textContent = run.regions.dialogue.textContent;
    kept.append(summary, text);
    earlier.appendChild(kept);
    return true;
  }

  function startRun() {
    const kept = keepReport();
    window.beamOutput = '';
    window.beamEnded = false;
    screen.textContent = '';
    spoken.textContent = '';
    continueButton.hidden = true;
    for (const button of [restart, copyButton, saveButton]) button.disabled = true;
    say(kept ? 'The earlier report is kept above the new run (Earlier run ' +
        earlier.children.length + ').' : '');
    fitFont();
    run = { queue: new InputQueue(), decoder: new TextDecoder(), regions: {}, line: 0,
            lineText: '', question: '', field: null, keyWait: null, screenBytes: [],
            unspoken: '', lastAnswer: '', answers: '', answered: false, endOfInput: false,
            noted: false, started: false, reportWritten: false, ended: false, quietUntil: 0 };
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
        run.quietUntil = performance.now() + QUIET_MS;
        removeField();
        speakPending();
        const note = specialValuesNote(window.beamOutput, run.answers);
        if (note !== '' && !run.noted) {
          run.noted = true;
          say(note);
        }
        continueButton.hidden = false;
        focusWithin(continueButton);
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

  // The copy as the browser's own Copy command, with the text given to the
  // clipboard exactly (no selection of the page's text, whose spaces an
  // engine may fold). Works off a secure context and in a frame that may not
  // use the clipboard API; true only when the text was handed over.
  function copyExactly(text) {
    let handed = false;
    const give = (event) => {
      event.clipboardData.setData('text/plain', text);
      event.preventDefault();
      handed = true;
    };
    document.addEventListener('copy', give, true);
    try {
      return document.execCommand('copy') && handed;
    } catch (error) {
      return false;
    } finally {
      document.removeEventListener('copy', give, true);
    }
  }

  const NOT_COPIED = 'This browser did not let the page copy the report exactly. Use Save as text, ' +
    'or select the text and copy it yourself (spaces in the drawing may then change).';
  copyButton.addEventListener('click', function () {
    const text = screenText();
    if (copyExactly(text)) {
      say('The report is copied.');
    } else if (navigator.clipboard && window.isSecureContext) {
      navigator.clipboard.writeText(text).then(() => say('The report is copied.'),
        () => say(NOT_COPIED));
    } else {
      say(NOT_COPIED);
    }
  });

  saveButton.addEventListener('click', function () {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob(run.screenBytes, { type: 'text/plain' }));
    link.download = 'beam-report.txt';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
    // Inside another page's frame the download may be refused without a
    // word to the page: it cannot say the file is saved.
    say(framed ? 'The browser was asked to save beam-report.txt. If no file arrives, the page ' +
        'around beam does not allow downloads: use Copy report, or open beam on a page of its own.'
      : 'The report is saved as beam-report.txt.');
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
