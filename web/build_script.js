// Builds the page's one script (one request, no module loader):
//   node build_script.js OUTPUT FILE...
// The files named *_logic.js, what needs no browser, as they are; then the
// page's rooms, one job each, inside one block, so that their classes are
// the script's own and no other script's names. The whole is minified with
// terser (pinned by the tree's package-lock.json, at its root): the sources
// keep their comments and names, the page loads fewer bytes, and the same
// sources give the same bytes.
'use strict';
const fs = require('node:fs');
const { minify } = require('terser');

const [output, ...inputs] = process.argv.slice(2);
const read = (file) => fs.readFileSync(file, 'utf8');
const logic = inputs.filter((file) => file.endsWith('_logic.js'));
const rooms = inputs.filter((file) => !logic.includes(file));
const joined = logic.map(read).join('\n') + '\n{\n' + rooms.map(read).join('\n') + '\n}\n';
minify(joined, {
  ecma: 2020,
  toplevel: true, // (no other script uses its names)
  compress: { passes: 3 },
  mangle: true,
  format: { comments: false },
})
  .then((result) => fs.writeFileSync(output, result.code + '\n'))
  .catch((error) => {
    console.error(error);
    process.exit(1);
  });
