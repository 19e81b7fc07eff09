// Runs the browser build of beam (beam.js) under node, as the page runs it:
// standard input from a file, delivered through the page's read hook, every
// output byte to standard output unchanged, the final key pressed at once.
// With --late, the input arrives in pieces of a few bytes, 20 ms apart, so
// that every read has to wait for its bytes. With --picture, the picture's
// description is written instead of the output.
// Usage: node beam_node.js BEAM_JS INPUT_FILE [--late | --picture]
'use strict';
const fs = require('fs');
const path = require('path');

const [beamJs, inputFile, mode] = process.argv.slice(2);
const input = fs.readFileSync(inputFile);
const late = mode === '--late';
let offset = 0;

const createBeam = require(path.resolve(beamJs));
createBeam({
  // (node's fetch takes no file name: the module is read here)
  wasmBinary: fs.readFileSync(path.join(path.dirname(beamJs), 'beam.wasm')),
  beamWrite: (bytes) => mode === '--picture' || fs.writeSync(1, bytes),
  beamPicture: (bytes) => mode === '--picture' && fs.writeSync(1, bytes),
  beamRead: (room) =>
    new Promise((resolve) => {
      const give = () => {
        const end = Math.min(input.length, offset + (late ? 3 : room), offset + room);
        const bytes = new Uint8Array(input.subarray(offset, end));
        offset = end;
        resolve(bytes);
      };
      if (late) setTimeout(give, 20);
      else give();
    }),
  beamAwaitKey: () => Promise.resolve(),
  beamError: (error) => {
    console.error(error);
    process.exit(1);
  },
});
