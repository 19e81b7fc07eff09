// An SVG picture laid out in CSS pixels, for the width of its box at the
// time it is drawn, its text in the reader's font size and colours:
// shapes, arrows, and labels kept inside the picture's width.
//
// Owns: the picture being drawn and its labels.
class PictureCanvas {
  constructor(width, font) {
    this.width = width;
    this.font = font;
    this.element = PictureCanvas.make('svg', { class: 'picture' });
    this.labels = [];
  }

  static make(name, attributes) {
    const element = document.createElementNS('http://www.w3.org/2000/svg', name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    return element;
  }

  shape(name, attributes) {
    return this.element.appendChild(PictureCanvas.make(name, attributes));
  }

  // A line from (x1, y1) with its head at (x2, y2).
  arrow(x1, y1, x2, y2, style = '') {
    this.shape('line', { x1, y1, x2, y2, class: 'arrow ' + style });
    const size = this.font / 2;
    const angle = Math.atan2(y2 - y1, x2 - x1);
    const corner = (turn) =>
      `${x2 - size * Math.cos(angle + turn)},${y2 - size * Math.sin(angle + turn)}`;
    this.shape('polygon', { points: `${x2},${y2} ${corner(0.4)} ${corner(-0.4)}`, class: 'head' });
  }

  // A label whose `anchor` (start, middle or end) stands at (x, y); its
  // text is set as text, never as markup.
  text(content, x, y, anchor) {
    const label = this.shape('text', { x, y, 'text-anchor': anchor });
    label.textContent = content;
    this.labels.push(label);
  }

  // The picture, `height` pixels high, in its box: labels that would stand
  // out at a side move in, and one wider than the picture is narrowed.
  finish(height, box, ...after) {
    this.element.setAttribute('viewBox', `0 0 ${this.width} ${height}`);
    box.replaceChildren(this.element, ...after);
    const room = this.width - 4;
    for (const label of this.labels) {
      const wide = label.getComputedTextLength();
      if (wide > room) {
        label.setAttribute('textLength', room);
        label.setAttribute('lengthAdjust', 'spacingAndGlyphs');
      }
      const bounds = label.getBBox();
      const shift =
        bounds.x < 2 ? 2 - bounds.x : Math.min(0, this.width - 2 - (bounds.x + bounds.width));
      if (shift !== 0) label.setAttribute('x', Number(label.getAttribute('x')) + shift);
    }
    return this.element;
  }
}
