// An SVG picture laid out in CSS pixels (web/picture_logic.js), drawn for
// the width of its box at the time, its text in the reader's font size and
// colours.
//
// Owns: the picture being drawn.
class PictureCanvas {
  constructor(width, font, fontFamily) {
    this.element = PictureCanvas.make('svg', { class: 'picture', direction: 'ltr' });
    this.width = width;
    const context = document.createElement('canvas').getContext('2d');
    context.font = `${font}px ${fontFamily}`;
    this.measure = (text) => context.measureText(text).width;
  }

  static make(name, attributes) {
    const element = document.createElementNS('http://www.w3.org/2000/svg', name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    return element;
  }

  // One laid-out shape: a line, polygon or circle, or an arrow (a line
  // with its head at x2, y2, `head` long).
  draw({ name, style, box, column, head, of, part, ...attributes }) {
    // (the part of the picture it shows, for marking: kMarkedLines)
    const add = (element) => {
      if (part) element.dataset.part = part;
      this.element.appendChild(element);
    };
    if (name !== 'arrow') {
      add(PictureCanvas.make(name, { ...attributes, class: style }));
      return;
    }
    const { x1, y1, x2, y2 } = attributes;
    add(PictureCanvas.make('line', { x1, y1, x2, y2, class: 'arrow ' + style }));
    const angle = Math.atan2(y2 - y1, x2 - x1);
    const corner = (turn) =>
      `${x2 - head * Math.cos(angle + turn)},${y2 - head * Math.sin(angle + turn)}`;
    add(
      PictureCanvas.make('polygon', {
        points: `${x2},${y2} ${corner(0.4)} ${corner(-0.4)}`,
        class: 'head',
      }),
    );
  }

  // A label, its text set as text (never as markup), narrowed if the font
  // draws it wider than laid out.
  text({ text, x, y, width, part }) {
    const label = this.element.appendChild(PictureCanvas.make('text', { x, y }));
    if (part) label.dataset.part = part;
    label.textContent = text;
    if (this.measure(text) > width) {
      label.setAttribute('textLength', width);
      label.setAttribute('lengthAdjust', 'spacingAndGlyphs');
    }
  }

  // The picture, `height` pixels high, in its box, with what follows it.
  finish(height, box, ...after) {
    this.element.setAttribute('viewBox', `0 0 ${this.width} ${height}`);
    box.replaceChildren(this.element, ...after);
    return this.element;
  }
}
