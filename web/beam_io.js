// The program's standard input and output in the browser page (and under
// node in the tests), linked into beam.js with --js-library. The program
// itself reads and writes through the C library as everywhere; here its
// read and write calls and its key wait reach the page:
//   Module.beamWrite(bytes)      every byte written to standard output or
//                                error, as written (a Uint8Array);
//   Module.beamRead(maxBytes)    a promise of the next input bytes (at most
//                                maxBytes; a Uint8Array), empty at the end of
//                                input. The read suspends the program until
//                                it settles (ASYNCIFY), so it blocks as a
//                                terminal read does.
//   Module.beamAwaitKey()        a promise that settles on the next key
//                                press (the key wait, app/web/key_wait.cpp).
//   Module.beamPicture(bytes)    optional: the description of the run's
//                                picture (analysis/beam_picture.h), once
//                                the report is written.
//   Module.beamError(error)      told of any error while the program runs
//                                on from a read or the key wait, or of a
//                                read or key promise that fails (the page
//                                shows its failure message).
// Bytes pass unchanged both ways: no text decoding, and an empty input
// queue means "wait", never "end".
mergeInto(LibraryManager.library, {
  // Resumes the suspended program. The run ends with exit(0) after the key
  // wait, inside this resume: the ExitStatus that emscripten throws to
  // unwind the program is the normal end (Module.onExit has been told).
  // Anything else goes to the page, not into the promise callback this runs
  // in, where it would end as an unhandled rejection.
  $beamResume: function (wakeUp, value) {
    try {
      wakeUp(value);
    } catch (error) {
      if (!(error instanceof ExitStatus)) Module.beamError(error);
    }
  },

  fd_write: function (fd, iov, iovcnt, pnum) {
    var written = 0;
    for (var i = 0; i < iovcnt; i++) {
      var base = HEAPU32[(iov + i * 8) >> 2];
      var length = HEAPU32[(iov + i * 8 + 4) >> 2];
      if (length > 0) Module.beamWrite(HEAPU8.slice(base, base + length));
      written += length;
    }
    HEAPU32[pnum >> 2] = written;
    return 0;
  },

  fd_read__deps: ['$beamResume'],
  fd_read: function (fd, iov, iovcnt, pnum) {
    return Asyncify.handleSleep(function (wakeUp) {
      var room = 0;
      for (var i = 0; i < iovcnt; i++) room += HEAPU32[(iov + i * 8 + 4) >> 2];
      Module.beamRead(room).then(function (bytes) {
        var offset = 0;
        for (var i = 0; i < iovcnt && offset < bytes.length; i++) {
          var base = HEAPU32[(iov + i * 8) >> 2];
          var length = Math.min(HEAPU32[(iov + i * 8 + 4) >> 2], bytes.length - offset);
          HEAPU8.set(bytes.subarray(offset, offset + length), base);
          offset += length;
        }
        HEAPU32[pnum >> 2] = offset;
        beamResume(wakeUp, 0);
      }, Module.beamError);
    });
  },

  // The picture of the run (app/web/answer_picture.cpp): its description's
  // bytes, once the report is written.
  beam_picture: function (text, length) {
    if (Module.beamPicture) Module.beamPicture(HEAPU8.slice(text, text + length));
  },

  beam_await_key__deps: ['$beamResume'],
  beam_await_key: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      Module.beamAwaitKey().then(function () {
        beamResume(wakeUp, 0);
      }, Module.beamError);
    });
  },
});
