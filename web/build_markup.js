// Builds the page's index.html and beam-page.css from web/index.html and
// web/beam-page.css:
//   node build_markup.js INDEX_HTML STYLE PAGE_LOGIC PROGRAM_JS OUTPUT_DIR
// The markup without comments, line breaks and indentation; the style
// without comments and blanks (it has no strings). Into the markup's empty
// #screen goes what the program writes before its first read (the
// introduction, the figure and the first question), taken from a run of
// the program itself (PROGRAM_JS, emscripten's loader, beside beam.wasm),
// laid out as the page's OutputView lays it out, with the answer field
// after the question (a text area: what is typed there before the page's
// script runs, line ends too, waits in it): the page shows the question before the program has
// loaded, and the program's own bytes, when they come, are those already
// shown.
'use strict';
const fs = require('node:fs');
const path = require('node:path');

const [source, styleSource, pageLogic, programJs, output] = process.argv.slice(2);
const logic = require(path.resolve(pageLogic));

const compactStyle = (style) =>
  style
    .replace(/\/\*[\s\S]*?\*\//g, '')
    .replace(/\s+/g, ' ')
    .replace(/ ?([{};:,]) ?/g, '$1')
    .replace(/;}/g, '}')
    .trim();

// The program's output up to its first read, as text.
function firstQuestion() {
  return new Promise((resolve, reject) => {
    const written = [];
    require(path.resolve(programJs))({
      wasmBinary: fs.readFileSync(path.join(path.dirname(programJs), 'beam.wasm')),
      beamWrite: (bytes) => written.push(Buffer.from(bytes)),
      beamRead: () => {
        resolve(new TextDecoder().decode(Buffer.concat(written)));
        return new Promise(() => {});
      },
      beamAwaitKey: () => new Promise(() => {}),
      beamError: reject,
    });
  });
}

const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const attributes = (table) =>
  Object.entries(table)
    .map(([name, value]) => `${name}="${escape(value).replace(/"/g, '&quot;')}"`)
    .join(' ');

// The screen's parts as OutputView makes them: a <div> each, the figure an
// image that is no Tab stop and is not translated; the field's form last.
function screenMarkup(text) {
  const question = logic.currentQuestion(text.slice(text.lastIndexOf('\n') + 1));
  if (question === '' || text.includes('-'.repeat(logic.COLUMNS))) {
    throw new Error('not a question before the first read: ' + JSON.stringify(text.slice(-80)));
  }
  const field = attributes({ ...logic.FIELD_ATTRIBUTES, 'aria-label': question });
  return logic
    .splitByRegion(text, 0)
    .pieces.map(({ region, text: piece }) => {
      if (region === 'figure') {
        const figure = { role: 'img', 'aria-label': logic.FIGURE_DESCRIPTION };
        return `<div ${attributes(figure)} tabindex="-1" translate="no">${escape(piece)}</div>`;
      }
      const form =
        region === 'dialogue' ? `<form method="dialog"><textarea ${field}></textarea></form>` : '';
      return `<div>${escape(piece)}${form}</div>`;
    })
    .join('');
}

(async () => {
  const screen = screenMarkup(await firstQuestion());
  let html = fs.readFileSync(source, 'utf8').replace(/<!--[\s\S]*?-->/g, '');
  html = html.replace(/>\s*\n\s*</g, '><').replace(/\s*\n\s*/g, ' ');
  const empty = '<div id="screen" tabindex="-1"></div>';
  if (!html.includes(empty)) throw new Error('no empty #screen in ' + source);
  html = html.replace(empty, () => empty.replace('><', '>' + screen + '<'));
  fs.mkdirSync(output, { recursive: true });
  fs.writeFileSync(path.join(output, 'index.html'), html.trim() + '\n');
  fs.writeFileSync(
    path.join(output, 'beam-page.css'),
    compactStyle(fs.readFileSync(styleSource, 'utf8')) + '\n',
  );
  process.exit(0);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
