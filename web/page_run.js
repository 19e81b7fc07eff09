// The beam page's run: the program (beam.js) started once per run, its
// output handed to the output view, its reads to the answer field, its
// picture of the answer to the answer picture, its key wait to the final
// key. Start over keeps each finished report, folded,
// above the new run. Every error of the page and of the program's run ends
// in one place, with a message. Served over http(s) the page is installable
// and works offline after one visit.
//
// For tests: window.beamOutput holds everything the program wrote, byte for
// byte (one character per byte), and window.beamEnded tells whether the run
// has ended.
//
// Owns: the run (its input queue, whether the program has written, whether
// a note was given, whether it has ended) and the program instance's
// callbacks, which answer only while their run is the page's.
(function () {
  'use strict';
  const byId = (id) => document.getElementById(id);
  const status = byId('status');
  const screen = byId('screen');
  const earlier = byId('earlier');
  const footer = document.querySelector('footer');
  const continueButton = byId('continue');

  // Every failure the page shows. The first stays: a file that did not load
  // says more than what follows from it. The controls, off until the
  // program runs, are turned off again.
  function fail(text) {
    if (status.className === 'failed') return;
    status.hidden = false;
    status.className = 'failed';
    status.setAttribute('role', 'alert');
    status.textContent = text;
    for (const button of footer.querySelectorAll('button')) button.disabled = true;
    for (const control of screen.querySelectorAll('textarea, button')) control.disabled = true;
  }
  // A file that does not load leaves a message that says what to do where
  // the page is: from a server, the connection; from disk, the folder.
  function loadFailed(name) {
    fail(
      'beam could not load ' +
        name +
        (/^https?:$/.test(location.protocol)
          ? ' from the server. Check the connection, then reload the page.'
          : '. Unzip the whole beam folder, keep its files together, and open index.html from ' +
            'it again.'),
    );
  }
  // A host whose Content-Security-Policy forbids compiling WebAssembly: the
  // browser refuses the module (and reports the refusal as an event).
  const POLICY = /Content.Security|CSP|unsafe-eval|wasm-eval/i;
  function refusedByPolicy() {
    fail(
      "beam cannot run here: this site's security policy (Content-Security-Policy) does not " +
        "allow WebAssembly. The site can allow it by adding 'wasm-unsafe-eval' to its " +
        'script-src.',
    );
  }
  document.addEventListener('securitypolicyviolation', (event) => {
    if (/eval/.test(event.blockedURI)) refusedByPolicy();
  });
  // (shown by the style alone when this script does not run)
  byId('stalled').remove();
  // The style, a file of its own, is there before this script runs.
  if (getComputedStyle(footer).display !== 'flex') loadFailed('beam-page.css');

  let run = null;

  // Every error of beam's own, of the page and of the program's run, ends
  // here: a message, never silence. (The program's own I/O passes its
  // errors to beamError.) What the program wrote stays, and can still be
  // copied and saved. The browser's console still shows the error itself.
  function stopWithError() {
    if (run) run.failed = run.ended = true;
    continueButton.hidden = true;
    fail(
      'beam stopped with an error. Reload the page to start again; Copy report and Save ' +
        'as text still keep what it wrote.',
    );
    if (run && run.started) controls.enable(true, false);
  }
  // Only beam's own errors stop it: those from its two scripts (this one and
  // beam.js). Another script's on the page (an extension's, a course
  // template's) are the browser's: the run goes on.
  const ownScripts = [document.currentScript.src, new URL('beam.js', document.baseURI).href];
  const ours = (text) => typeof text === 'string' && ownScripts.some((url) => text.includes(url));
  window.addEventListener('error', (event) => {
    if (ours(event.filename) || ours(event.error && event.error.stack)) stopWithError();
  });
  window.addEventListener('unhandledrejection', (event) => {
    if (ours(event.reason && event.reason.stack)) stopWithError();
  });

  if (typeof WebAssembly !== 'object') {
    fail(
      'This browser cannot run WebAssembly, which beam needs. Open the page in a current ' +
        'Chrome, Edge, Firefox or Safari.',
    );
    return;
  }
  if (typeof createBeam !== 'function') {
    loadFailed('beam.js');
    return;
  }

  const view = new OutputView(screen, byId('spoken'));
  let field = null;
  const frame = new PageFrame(screen, footer, () => field.input);
  field = new AnswerField(frame, view);
  const finalKey = new FinalKey(continueButton, footer);
  const controls = new PageControls(byId, frame, view, () => startRun(false));
  const picture = new AnswerPicture(byId('picture'), byId('spoken'));
  const program = new ProgramModule();
  // The picture and those kept with earlier runs are drawn anew when their
  // box changes size: a resize, a zoom, the browser's text size (their
  // caption's height), an earlier run unfolded; and before printing, for
  // the paper's width (beam-page.css: its margins, and the picture at most
  // that wide). (Drawn in the next frame: a change of size in the
  // observer's own call would go round again.) Each keeps its marks.
  const pictures = [picture];
  const links = [new ReportLinks(screen, picture.box)];
  const PRINT_WIDTH = 680; // 180 mm
  const redraw = (width) => {
    pictures.forEach((each) => each.draw(width));
    links.forEach((each) => each.show());
  };
  const resized = new ResizeObserver(() => requestAnimationFrame(() => redraw()));
  resized.observe(picture.box);
  window.addEventListener('beforeprint', () => redraw(PRINT_WIDTH));
  window.addEventListener('afterprint', () => redraw());

  // The run has ended: the report stays in view and keeps the focus (for a
  // screen reader, and so that a stray Enter or Space lands on no control).
  function finish() {
    if (run.ended) return;
    run.ended = true;
    finalKey.quietNow();
    window.beamEnded = true;
    if (!run.noted) controls.say('The run has ended. Start over for another run.');
    frame.focusWithin(screen);
  }

  // A finished report is kept when the student starts over: the questions,
  // answers and report of each earlier run stay readable above, folded.
  function keepReport() {
    if (!run || !finalKey.reportWritten || view.dialogueText() === '') return false;
    const kept = document.createElement('details');
    const summary = document.createElement('summary');
    summary.textContent = 'Earlier run ' + (earlier.children.length + 1) + ': questions and report';
    links[0].clear();
    const text = view.region('dialogue').cloneNode(true);
    text.className = 'kept';
    text.tabIndex = -1;
    kept.append(summary, text);
    const drawn = picture.keep();
    if (drawn) {
      kept.appendChild(drawn.box);
      pictures.push(drawn);
      resized.observe(drawn.box);
    }
    links.push(new ReportLinks(text, drawn ? drawn.box : text));
    earlier.appendChild(kept);
    return true;
  }

  // The program's writes: the output, and the note where it shows that the
  // program stopped reading an answer.
  function written(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
    window.beamOutput += text;
    if (!run.started) {
      run.started = true;
      controls.enable(true);
    }
    text = view.show(bytes, field.answered);
    if (field.answered && !field.endOfInput && !run.noted && beamNoteLogic.readingStopped(text)) {
      run.noted = true;
      controls.say(beamNoteLogic.unreadableNote(field.lastAnswer));
      const mended = beamNoteLogic.mendedAnswer(field.lastAnswer);
      if (mended !== null) field.mend(mended);
    }
  }

  // The program waits for the final key: the report is complete.
  function awaitKey() {
    run.queue.clear(); // only keys pressed after the closing line count
    const settled = finalKey.begin();
    field.remove();
    view.speakPending();
    const note = beamNoteLogic.specialValuesNote(window.beamOutput, field.answers);
    if (note !== '' && !run.noted) {
      run.noted = true;
      controls.say(note);
    }
    frame.focusWithin(continueButton);
    window.scrollTo(0, document.documentElement.scrollHeight);
    return settled;
  }

  // `first`: the run the page was served for, whose first question is
  // already on the screen with its answer field.
  function startRun(first) {
    const kept = keepReport();
    window.beamOutput = '';
    window.beamEnded = false;
    if (!first) view.reset(false);
    picture.reset();
    links[0].clear();
    finalKey.reset();
    controls.enable(false);
    controls.say(
      kept
        ? 'The earlier report is kept above the new run (Earlier run ' +
            earlier.children.length +
            ').'
        : '',
    );
    frame.fitFont();
    run = {
      queue: new beamPageLogic.InputQueue(),
      noted: false,
      started: false,
      ended: false,
      failed: false,
    };
    field.reset(run.queue);
    if (first) field.adopt(run.queue);
    const thisRun = run;
    const never = () => new Promise(function () {});
    createBeam({
      beamWrite: (bytes) => (thisRun === run ? written(bytes) : undefined),
      beamRead: function (room) {
        if (thisRun !== run) return never();
        const question = field.questionNow();
        const bytes = run.queue.read(room);
        if (run.queue.waiting) {
          field.ask();
          keepForOffline();
        }
        return bytes.then((read) => {
          field.read(question, read);
          return read;
        });
      },
      beamAwaitKey: () => (thisRun === run ? awaitKey() : never()),
      // (the report said first, then that the picture is there)
      beamPicture: function (bytes) {
        if (thisRun !== run) return;
        view.speakPending();
        picture.take(bytes);
        if (picture.data) ReportLinks.wrap(view, picture.data);
      },
      beamError: stopWithError,
      onExit: function () {
        if (thisRun === run) finish();
      },
      onAbort: stopWithError,
      instantiateWasm: program.hook((file, error) =>
        POLICY.test(String(error)) ? refusedByPolicy() : loadFailed(file),
      ),
    }).catch(function () {
      fail(
        'beam could not start in this browser. Reload the page; if that does not help, ' +
          'open it in a current Chrome, Edge, Firefox or Safari.',
      );
    });
  }

  // Leaving the page in the middle of a run asks first (a swipe, a Back key),
  // and so does leaving what a failed run wrote before it is copied or
  // saved; once the report is written there is nothing to lose.
  window.addEventListener('beforeunload', function (event) {
    if (
      run &&
      run.started &&
      field.answered &&
      !controls.kept &&
      (run.failed || (!finalKey.reportWritten && !run.ended))
    ) {
      event.preventDefault();
      event.returnValue = '';
    }
  });

  // Served over http(s): installable, and usable offline after one visit
  // (sw.js keeps the page's files), asked for once the first question is
  // there (its copying would slow the first visit's downloads). Opened from
  // disk nothing is asked for, and in a frame sandboxed without
  // allow-same-origin the browser refuses even a look at the service
  // worker: the page runs without offline use.
  let offlineAsked = false;
  function keepForOffline() {
    if (offlineAsked) return;
    offlineAsked = true;
    try {
      if (/^https?:$/.test(location.protocol) && 'serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch(function () {});
        const manifest = document.createElement('link');
        manifest.rel = 'manifest';
        manifest.href = 'manifest.webmanifest';
        document.head.appendChild(manifest);
      }
    } catch {
      // (a SecurityError: no offline copy here)
    }
  }

  startRun(true);
})();
