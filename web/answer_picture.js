// The picture of the run's answer, once the report is written: the beam
// from A to B with its triangular load, the total load where it acts, the
// reactions and the horizontal forces as arrows that point the way each
// acts, the length; under it, to the same length, the shear force and the
// bending moment, the largest moment marked. Every number and word comes
// from the program (analysis/beam_picture.h describes them); the page only
// draws, in the reader's font size and colours, as wide as its box. Or the
// program's one sentence on why there is no picture.
//
// Owns, for one run: the description, and the picture drawn from it.
class AnswerPicture {
  constructor(box) {
    this.box = box;
    this.reset();
  }

  reset() {
    this.box.textContent = '';
    this.data = null;
    this.drawnFor = 0;
  }

  // The program's description (bytes), drawn at once.
  take(bytes) {
    const lines = new TextDecoder().decode(bytes).split('\n');
    if (lines[0].startsWith('none ')) {
      const why = document.createElement('p');
      why.textContent = lines[0].slice(5);
      this.box.replaceChildren(why);
      return;
    }
    const data = { sections: [] };
    for (const line of lines.slice(1)) {
      const [name, ...rest] = line.split(' ');
      if (name === 'section') data.sections.push(rest.map(Number));
      // Ax and Bx without their arrows: each always points its own way.
      else if (name === 'Ax' || name === 'Bx') data[name] = rest[0];
      else if (name !== '') data[name] = rest.join(' ');
    }
    this.data = data;
    this.draw();
  }

  // What drawn pictures a finished run keeps (folded with its report).
  keep() {
    const kept = this.box.firstChild ? this.box.cloneNode(true) : null;
    if (kept) kept.removeAttribute('id');
    return kept;
  }

  // Drawn anew for the box's width (on every resize and zoom).
  draw() {
    const width = this.box.clientWidth;
    if (!this.data || width === 0 || width === this.drawnFor) return;
    this.drawnFor = width;
    const d = this.data;
    const font = parseFloat(getComputedStyle(this.box).fontSize);
    const unit = (value, word) => (word ? value + ' ' + word : value);
    const force = (value) => unit(value, d.forceUnit);
    const length = (value) => unit(value, d.lengthUnit);
    const moment = (value) => unit(value, [d.forceUnit, d.lengthUnit].filter(Boolean).join(' '));
    const svg = new PictureCanvas(width, font);
    const a = 3 * font;
    const b = width - 3 * font;
    const along = (x) => a + ((b - a) * x) / d.sections[d.sections.length - 1][0];
    const down = !d.W.startsWith('-'); // the load acts downward
    const beamY = 7 * font;
    const height = 2.5 * font;

    // The load: a triangle over the beam, its arrows pointing the way it
    // acts (down onto the beam, or up from it), the total load dashed
    // where it acts.
    svg.shape('polygon', {
      points: `${a},${beamY} ${a},${beamY - height} ${b},${beamY}`,
      class: 'load',
    });
    const loadArrow = (x, top, style) =>
      down ? svg.arrow(x, top, x, beamY, style) : svg.arrow(x, beamY, x, top, style);
    for (let x = a; x < b - font; x += 2 * font) {
      loadArrow(x, beamY - height * (1 - (x - a) / (b - a)));
    }
    svg.text(unit('W = ' + d.W, d.weightUnit), a, beamY - height - 0.5 * font, 'start');
    const at = a + (b - a) / 3;
    loadArrow(at, beamY - height - 2.5 * font, 'dashed');
    svg.text(
      `(L x 0.5) x W = ${force(d.totalLoad)}, ${length(d.loadAt)} from A`,
      at,
      beamY - height - 3 * font,
      'start',
    );
    // The beam, its supports and the reactions.
    svg.shape('line', { x1: a, y1: beamY, x2: b, y2: beamY, class: 'beam' });
    svg.shape('polygon', {
      points: `${a},${beamY} ${a - font / 2},${beamY + font} ` + `${a + font / 2},${beamY + font}`,
      class: 'support',
    });
    svg.shape('circle', { cx: b, cy: beamY + font / 2, r: font / 2, class: 'support' });
    // The forces at the supports, each labelled on a row of its own below.
    let row = beamY + 3.9 * font;
    const label = (text, x, anchor) => {
      svg.text(text, x, row, anchor);
      row += font;
    };
    const reaction = (x, value, name, anchor) => {
      const [from, to] = value.startsWith('-')
        ? [beamY + font, beamY + 3 * font]
        : [beamY + 3 * font, beamY + font];
      svg.arrow(x, from, x, to);
      label(`${name} = ${force(value)}`, x, anchor);
    };
    reaction(a, d.Ay, 'Ay', 'start');
    reaction(b, d.By, 'By', 'end');
    if (d.Ax) {
      svg.arrow(a - 2.8 * font, beamY, a - 0.2 * font, beamY);
      label('Ax = ' + force(d.Ax), a - 2.8 * font, 'start');
    }
    if (d.Bx) {
      svg.arrow(b + 2.8 * font, beamY, b + 0.2 * font, beamY);
      label('Bx = ' + force(d.Bx), b + 2.8 * font, 'end');
    }
    const dimension = row + 0.6 * font;
    svg.arrow(a + (b - a) / 2, dimension, a, dimension);
    svg.arrow(a + (b - a) / 2, dimension, b, dimension);
    svg.text('L = ' + length(d.L), a + (b - a) / 2, dimension - 0.3 * font, 'middle');

    // The shear force and the bending moment, each about its axis.
    const graph = (top, column, title, ends, mark) => {
      const values = d.sections.map((section) => section[column]);
      const largest = Math.max(...values.map(Math.abs)) || 1;
      const axis = top + 5.2 * font;
      const y = (value) => axis - (value / largest) * 2.5 * font;
      svg.text(title, a, top + font, 'start');
      svg.shape('line', { x1: a, y1: axis, x2: b, y2: axis, class: 'axis' });
      const points = d.sections.map((section) => `${along(section[0])},${y(section[column])}`);
      svg.shape('polygon', {
        points: `${a},${axis} ${points.join(' ')} ${b},${axis}`,
        class: 'graph',
      });
      if (ends) {
        svg.text(ends[0], a, y(values[0]) + (values[0] < 0 ? 1.1 : -0.3) * font, 'start');
        const last = values[values.length - 1];
        svg.text(ends[1], b, y(last) + (last < 0 ? 1.1 : -0.3) * font, 'end');
      }
      const x = along(Number(d.largestAt) || 0);
      const markY = column === 2 ? y(Number(d.largestMoment)) : axis;
      svg.shape('circle', { cx: x, cy: markY, r: font / 4, class: 'mark' });
      svg.text(mark, x, axis + (column === 2 && down ? 1.3 : -0.6) * font, 'middle');
      return axis + 3.8 * font;
    };
    let top = dimension + font;
    top = graph(
      top,
      1,
      'Shear force V',
      [force(d.shearA), force(d.shearB)],
      `V = 0 at ${length(d.largestAt)}`,
    );
    top = graph(
      top,
      2,
      'Bending moment M',
      null,
      `largest ${moment(d.largestMoment)} at ${length(d.largestAt)}`,
    );

    const caption = document.createElement('p');
    caption.textContent =
      "The load, Ay and By point the way each acts; Ax and Bx as the report's --> and <-- " +
      'give them (a negative value acts the other way). V: the forces up on the part left of ' +
      'a section; M: their moment about it, positive where the beam sags (drawn above the ' +
      'axis). Lengths from A.';
    const picture = svg.finish(top, this.box, caption);
    picture.setAttribute('role', 'img');
    picture.setAttribute('aria-label', this.description(force, length, moment));
  }

  // The picture's text alternative: every value it shows.
  description(force, length, moment) {
    const d = this.data;
    const horizontal = [
      d.Ax && 'Ax = ' + force(d.Ax) + ' to the right',
      d.Bx && 'Bx = ' + force(d.Bx) + ' to the left',
    ].filter(Boolean);
    return (
      `Picture of this run's beam, L = ${length(d.L)}: the load W = ` +
      `${d.W}${d.weightUnit ? ' ' + d.weightUnit : ''} over A falls to 0 at B; the total load ` +
      `${force(d.totalLoad)} acts ${length(d.loadAt)} from A; Ay = ${force(d.Ay)}, ` +
      `By = ${force(d.By)}` +
      horizontal.map((text) => '; ' + text).join('') +
      `. Shear force from ${force(d.shearA)} at A to ${force(d.shearB)} at B, zero ` +
      `${length(d.largestAt)} from A. Bending moment 0 at A and at B, largest ` +
      `${moment(d.largestMoment)} at ${length(d.largestAt)} from A.`
    );
  }
}
