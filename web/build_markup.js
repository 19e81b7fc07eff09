// Builds the page's index.html from web/index.html without what the browser
// does not need: comments, the style's and the markup's line breaks and
// indentation, the inline script's names and blanks (terser, pinned by the
// tree's package-lock.json). The source keeps them.
//   node build_markup.js SOURCE OUTPUT
// The source's style has no strings, and its text no runs of blanks that
// matter (the page's text is the program's, not the markup's).
'use strict';
const fs = require('node:fs');
const { minify } = require('terser');

const [source, output] = process.argv.slice(2);
const compactStyle = (style) =>
  style
    .replace(/\/\*[\s\S]*?\*\//g, '')
    .replace(/\s+/g, ' ')
    .replace(/ ?([{};:,]) ?/g, '$1')
    .replace(/;}/g, '}')
    .trim();

(async () => {
  let html = fs.readFileSync(source, 'utf8').replace(/<!--[\s\S]*?-->/g, '');
  html = html.replace(
    /<style>([\s\S]*?)<\/style>/,
    (_, style) => `<style>${compactStyle(style)}</style>`,
  );
  const inline = /<script>([\s\S]*?)<\/script>/;
  const script = (await minify(html.match(inline)[1], { ecma: 2020, compress: true, mangle: true }))
    .code;
  html = html.replace(inline, () => `<script>${script}</script>`);
  html = html.replace(/>\s*\n\s*</g, '><').replace(/\s*\n\s*/g, ' ');
  fs.writeFileSync(output, html.trim() + '\n');
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
