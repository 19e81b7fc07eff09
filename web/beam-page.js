// The beam page: a terminal (xterm.js) in front of the program (beam.js).
//
// The terminal gives the program its input as a terminal in canonical mode
// does: typed characters are echoed, Backspace edits the line, Enter
// delivers the line with its line end, Ctrl+D on an empty line is the end of
// input (with text on the line, it delivers the text). When the program
// waits for its final key, the next key press ends the wait: not echoed, an
// arrow or function key is one press, Ctrl+C is a key. Then the page says
// that the run has ended and offers another, which starts the program anew.
//
// For tests: window.beamOutput holds everything the program wrote, byte for
// byte (one character per byte), and window.beamEnded tells whether the run
// has ended.
(function () {
  'use strict';

  var terminal = new Terminal({ convertEol: true, cursorBlink: true, scrollback: 5000 });
  terminal.open(document.getElementById('terminal'));
  var again = document.getElementById('again');
  var encoder = new TextEncoder();
  var END_OF_INPUT = null;  // in the input queue: Ctrl+D on an empty line
  var run = null;           // the current run's state

  function deliver() {
    if (!run.reader || run.queue.length === 0) return;
    var reader = run.reader;
    run.reader = null;
    var chunk = run.queue[0];
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

  // Canonical-mode line editing of what is typed (or pasted).
  function editLine(data) {
    if (data.charAt(0) === '\x1b') return;  // cursor and function keys: not line input
    for (var character of data) {
      if (character === '\r' || character === '\n') {
        terminal.write('\r\n');
        submit(encoder.encode(run.line.join('') + '\n'));
        run.line = [];
      } else if (character === '\x7f' || character === '\b') {
        if (run.line.length > 0) {
          run.line.pop();
          terminal.write('\b \b');
        }
      } else if (character === '\x04') {
        submit(run.line.length === 0 ? END_OF_INPUT : encoder.encode(run.line.join('')));
        run.line = [];
      } else if (character >= ' ') {
        run.line.push(character);
        terminal.write(character);
      }
    }
  }

  terminal.onData(function (data) {
    if (run === null) return;
    if (run.ended) {
      if (data === '\r') startRun();
      return;
    }
    if (run.keyWait) {
      var ends = run.keyWait;
      run.keyWait = null;
      ends();
      return;
    }
    editLine(data);
  });

  function finish() {
    if (run.ended) return;
    run.ended = true;
    window.beamEnded = true;
    terminal.write('\r\n[The run has ended. Press Enter or the button below to start another run.]\r\n');
    again.hidden = false;
  }

  function startRun() {
    window.beamOutput = '';
    window.beamEnded = false;
    again.hidden = true;
    run = { queue: [], line: [], reader: null, keyWait: null, ended: false };
    var thisRun = run;
    createBeam({
      beamWrite: function (bytes) {
        if (thisRun !== run) return;
        var text = '';
        for (var i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
        window.beamOutput += text;
        terminal.write(bytes);
      },
      beamRead: function (room) {
        return new Promise(function (resolve) {
          run.reader = { room: room, resolve: resolve };
          deliver();
        });
      },
      beamAwaitKey: function () {
        return new Promise(function (resolve) { run.keyWait = resolve; });
      },
      onExit: function () { if (thisRun === run) finish(); },
    });
    terminal.focus();
  }

  again.addEventListener('click', startRun);
  startRun();
})();
