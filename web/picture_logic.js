// The picture of the answer, laid out without a browser: the program's
// description (analysis/beam_picture.h: every value, sign, direction and
// mark is decided there) read by its contract, and turned into shapes and
// labels whose boxes never meet. The page only draws them
// (web/answer_picture.js); under node, require() gives this to the tests.
const beamPictureLogic = (function () {
  'use strict';

  // The description's lines this page reads, and their columns (-1: the
  // rest of the line): kPictureLines in analysis/beam_picture.h, which the
  // tests compare with this.
  const PICTURE_COLUMNS = {
    picture: 0,
    none: -1,
    weightUnit: 1,
    forceUnit: 1,
    lengthUnit: 1,
    L: 1,
    load: 2,
    totalLoad: 2,
    Ay: 2,
    By: 2,
    Ax: 2,
    Bx: 2,
    shear: 2,
    zeroShear: 2,
    largestMoment: 4,
    largestDeflection: 3,
    section: 4,
    report: 1,
    mark: -1,
  };

  // The description's text -> { none } or its lines by name (each its
  // columns), the sections as numbers, the marked report lines' parts by
  // their number.
  function parsePicture(text) {
    const d = { sections: [], marks: {} };
    for (const line of text.split('\n')) {
      const [name, ...columns] = line.split(' ');
      if (name === 'none') return { none: columns.join(' ') };
      if (name === 'section') d.sections.push(columns.map(Number));
      else if (name === 'mark') d.marks[columns[0]] = columns.slice(1);
      else if (name in PICTURE_COLUMNS) d[name] = columns;
    }
    return d;
  }

  // A unit word kept beside its number, whatever its script. A word with
  // right-to-left letters is embedded (RLE..PDF, where its first letter is
  // one) and followed by a left-to-right mark, which WebKit honours in SVG
  // text as the other engines do (it ignores isolates there); a word
  // without them carries no mark, so a copied label holds none.
  const RIGHT_TO_LEFT =
    /[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufefc\u{10800}-\u{10fff}\u{1e800}-\u{1efff}]/u;
  function unit(value, word) {
    if (!word) return value;
    if (!RIGHT_TO_LEFT.test(word)) return `${value} ${word}`;
    const first = word.match(/\p{L}/u)[0];
    return RIGHT_TO_LEFT.test(first)
      ? `${value} \u202b${word}\u202c\u200e`
      : `${value} ${word}\u200e`;
  }

  // The words of a run's picture, shared by the drawing and its text.
  function pictureWords(d) {
    const force = (value) => unit(value, d.forceUnit[0]);
    const length = (value) => unit(value, d.lengthUnit[0]);
    const moment = (value) =>
      unit(value, [d.forceUnit[0], d.lengthUnit[0]].filter(Boolean).join(' '));
    const named = (name) => `${name} = ${force(d[name][0])}`;
    return { force, length, moment, named, load: unit('W = ' + d.load[0], d.weightUnit[0]) };
  }

  const WAYS = { up: 'up', down: 'down', left: 'to the left', right: 'to the right' };
  // A horizontal force acting against the report's arrow (a negative one).
  const AGAINST = { Ax: ['left', '-->'], Bx: ['right', '<--'] };
  const against = (d, name) => name in AGAINST && d[name] && d[name][1] === AGAINST[name][0];
  // The total load when it is 0 but W is not: too small for a double.
  const UNDERFLOW = 'the total load (L x 0.5) x W is too small for a double, so it';

  // The parts of the picture a report line may mark (kMarkedLines in
  // analysis/beam_picture.h), in words, each where this picture draws it:
  // By -> "By, the rocker's reaction at B, 2 kN, drawn up" (the value as the
  // report gives it, the way as the arrow points).
  function partWords(d) {
    const w = pictureWords(d);
    const force = (name, what) =>
      d[name] &&
      d[name][1] !== 'none' &&
      `${name}, ${what}, ${w.force(d[name][0])}, drawn ${WAYS[d[name][1]]}`;
    const loaded = (words) => d.totalLoad && words;
    return {
      load: w.load,
      totalLoad: loaded(`the total load, ${w.force(d.totalLoad?.[0])}, drawn ${d.load[1]}`),
      leftDistance: loaded(`the total load's lever arm, ${w.length(d.totalLoad?.[1])}`),
      rightDistance: loaded('the rest of L, on to B'),
      L: `L = ${w.length(d.L[0])}, By's lever arm`,
      Ay: force('Ay', "the pin's reaction at A"),
      By: force('By', "the rocker's reaction at B"),
      Ax: force('Ax', 'the force at A'),
      Bx: force('Bx', 'the force at B'),
    };
  }

  // The picture's text alternative: every value it shows, each force's way.
  function describePicture(d) {
    const w = pictureWords(d);
    const forces = ['Ay', 'By', 'Ax', 'Bx']
      .filter((name) => d[name] && d[name][1] !== 'none')
      .map(
        (name) =>
          `${w.named(name)} acts ${WAYS[d[name][1]]}` +
          (against(d, name) ? ` (negative: against the report's ${AGAINST[name][1]})` : ''),
      );
    const text = `Picture of this run's beam, L = ${w.length(d.L[0])}, values as the report gives them: `;
    if (!d.totalLoad) {
      return (
        text +
        (d.load[1] === 'none'
          ? `there is no load (${w.load}), so Ay and By are 0`
          : `${w.load}, but ${UNDERFLOW}, Ay and By are 0`) +
        forces.map((f) => '; ' + f).join('') +
        '.'
      );
    }
    return (
      text +
      `the load ${w.load} over A falls to 0 at B and acts ${d.load[1]}; the total load ` +
      `${w.force(d.totalLoad[0])} acts ${d.load[1]} ${w.length(d.totalLoad[1])} from A; ` +
      forces.join('; ') +
      `. Shear force from ${w.force(d.shear[0])} at A to ${w.force(d.shear[1])} at B, zero ` +
      `${w.length(d.zeroShear[1])} from A. Bending moment 0 at A and at B, largest ` +
      `${w.moment(d.largestMoment[1])} at ${w.length(d.largestMoment[2])} from A. The deflected ` +
      `shape, to scale only with itself, moves most ${w.length(d.largestDeflection[1])} from A.`
    );
  }

  // The words under the picture: how to read it, and why a negative
  // horizontal force's arrow points against the report's.
  function caption(d) {
    return (
      'Values as in the report; each arrow points the way its force acts.' +
      ['Ax', 'Bx']
        .filter((name) => against(d, name))
        .map(
          (name) =>
            ` ${name} is negative, so it acts ${WAYS[AGAINST[name][0]]}, against the ` +
            `report's ${AGAINST[name][1]}.`,
        )
        .join('') +
      (d.sections.length
        ? ' V: the forces up left of a section; M: their moment there, positive where the beam ' +
          'sags; both above the axis where positive. The deflected shape is to scale only with ' +
          'itself (E and I are not asked). Lengths from A.'
        : '')
    );
  }

  // Lays out the picture `width` CSS pixels wide for text `font` pixels
  // high, `measure(text)` giving a text's width. Returns { height, shapes:
  // [{ name, ...attributes, box }], labels: [{ text, x, y, width, box, of }]
  // } (a graph's polygon and mark, and the mark's label, carry the
  // section column they show: `column`, `of`; a force's arrow its name)
  // with every label's box inside the picture and clear of every other
  // label and every shape. A label too wide for the picture is given the
  // picture's width (drawn narrowed).
  function layoutPicture(d, width, font, measure) {
    const shapes = [];
    const labels = [];
    const rowHeight = 1.4 * font;
    const a = 3 * font;
    const b = width - 3 * font;
    const along = (t) => a + (b - a) * t;
    const box = (x1, y1, x2, y2) => ({
      x: Math.min(x1, x2),
      y: Math.min(y1, y2),
      width: Math.abs(x2 - x1),
      height: Math.abs(y2 - y1),
    });
    const shape = (name, attributes, bounds) => shapes.push({ name, ...attributes, box: bounds });
    const arrow = (x1, y1, x2, y2, style = '', of, part = of) => {
      const head = Math.min(font / 2, 0.4 * Math.hypot(x2 - x1, y2 - y1));
      shape('arrow', { x1, y1, x2, y2, head, style, of, part }, box(x1, y1, x2, y2));
    };
    // A label `wide` across from `left`, its row's top at y.
    const label = (of, text, left, wide, y) =>
      labels.push({
        of,
        part: of,
        text,
        x: left + 0.2 * font,
        y: y + font,
        width: wide - 0.4 * font,
        box: box(left, y, left + wide, y + rowHeight),
      });
    // Rows of labels below `top`: each label in the first row where it
    // meets no label already there. Returns the rows' bottom.
    const rows = (top, wanted) => {
      const taken = [];
      for (const [text, x, anchor, of] of wanted) {
        const wide = Math.min(measure(text) + 0.4 * font, width - 4);
        const from = { start: x, middle: x - wide / 2, end: x - wide }[anchor];
        const left = Math.max(2, Math.min(width - 2 - wide, from));
        let row = 0;
        while (taken.some((t) => t.row === row && left < t.right && t.left < left + wide)) row++;
        taken.push({ row, left, right: left + wide });
        label(of, text, left, wide, top + row * rowHeight);
      }
      return top + (taken.length ? Math.max(...taken.map((t) => t.row)) + 1 : 0) * rowHeight;
    };
    const w = pictureWords(d);
    const loaded = !!d.totalLoad;
    const at = along(1 / 3);

    // Over the beam: W, the total load; then the load, its arrows pointing
    // the way it acts, the total load dashed where it acts.
    const top = rows(0.5 * font, [
      [d.load[1] === 'none' ? `No load: ${w.load}` : w.load, a, 'start', 'load'],
      ...(d.load[1] === 'underflow'
        ? [
            [`(L x 0.5) x W = ${w.force('0')}`, a, 'start'],
            ['(too small for a double)', a, 'start'],
          ]
        : []),
      ...(loaded
        ? [
            [
              `(L x 0.5) x W = ${w.force(d.totalLoad[0])}, ${w.length(d.totalLoad[1])} from A`,
              at,
              'start',
              'totalLoad',
            ],
          ]
        : []),
    ]);
    const beamY = top + 3 * font;
    if (loaded) {
      const high = top + 0.5 * font;
      shape(
        'polygon',
        { points: `${a},${beamY} ${a},${high} ${b},${beamY}`, style: 'load', part: 'load' },
        box(a, high, b, beamY),
      );
      const down = d.load[1] === 'down';
      const loadArrow = (x, from, style, part) =>
        down
          ? arrow(x, from, x, beamY, style, undefined, part)
          : arrow(x, beamY, x, from, style, undefined, part);
      for (let x = a; x < b - font; x += 2 * font)
        loadArrow(x, high + (beamY - high) * ((x - a) / (b - a)));
      loadArrow(at, top, 'dashed', 'totalLoad');
      // The lever arms, drawn only where marked: from A to where the total
      // load acts, and on to B.
      for (const [part, x1, x2] of [
        ['leftDistance', a, at],
        ['rightDistance', at, b],
      ])
        shape(
          'line',
          { x1, y1: beamY, x2, y2: beamY, style: 'arm', part },
          box(x1, beamY, x2, beamY),
        );
    }
    // The beam, its supports, the forces at them, labelled in rows below.
    shape(
      'line',
      { x1: a, y1: beamY, x2: b, y2: beamY, style: 'beam' },
      box(a, beamY - 2, b, beamY + 2),
    );
    shape(
      'polygon',
      {
        points: `${a},${beamY} ${a - font / 2},${beamY + font} ${a + font / 2},${beamY + font}`,
        style: 'support',
      },
      box(a - font / 2, beamY, a + font / 2, beamY + font),
    );
    shape(
      'circle',
      { cx: b, cy: beamY + font / 2, r: font / 2, style: 'support' },
      box(b - font / 2, beamY, b + font / 2, beamY + font),
    );
    const vertical = [];
    for (const [name, x, anchor] of [
      ['Ay', a, 'start'],
      ['By', b, 'end'],
    ]) {
      if (d[name][1] === 'none') continue;
      const [near, far] = [beamY + 1.2 * font, beamY + 3 * font];
      if (d[name][1] === 'up') arrow(x, far, x, near, '', name);
      else arrow(x, near, x, far, '', name);
      vertical.push([name, x, anchor]);
    }
    const horizontal = [];
    for (const [name, x, side, anchor] of [
      ['Ax', a, -1, 'start'],
      ['Bx', b, 1, 'end'],
    ]) {
      if (!d[name]) continue;
      const [near, far] = [x + side * 0.3 * font, x + side * 2.6 * font];
      if ((d[name][1] === 'right') === side < 0) arrow(far, beamY, near, beamY, '', name);
      else arrow(near, beamY, far, beamY, '', name);
      horizontal.push([name, far, anchor]);
    }
    // Each support's labels on its own side, each nearer its own arrow than
    // any other force's: the vertical force's right under its arrow (kept
    // clear of the other support's), the horizontal force's under it (kept
    // 4.5 font sizes clear of the other support's vertical arrow, nearer to
    // it than its own arrow otherwise). Two labels that do not fit side by
    // side are moved apart, then narrowed.
    let y = beamY + 3.3 * font;
    for (const [row, clear] of [
      [vertical, 0.5],
      [horizontal, vertical.length ? 4.5 : 0.5],
    ]) {
      const placed = row.map(([name, x, anchor]) => {
        const others = [...vertical, ...horizontal].some(([force]) => force[0] !== name[0]);
        const [from, to] = !others
          ? [2, width - 2]
          : name[0] === 'A'
            ? [2, b - clear * font]
            : [a + clear * font, width - 2];
        const text = w.named(name);
        const wide = Math.min(measure(text) + 0.4 * font, to - from);
        const left = Math.max(from, Math.min(to - wide, anchor === 'start' ? x : x - wide));
        return { of: name, text, left, wide };
      });
      const [l, r] = placed;
      const gap = font / 2;
      if (r && l.left + l.wide + gap > r.left) {
        l.left = Math.max(2, r.left - gap - l.wide);
        r.left = Math.min(width - 2 - r.wide, l.left + l.wide + gap);
        const over = l.left + l.wide + gap - r.left;
        if (over > 0) {
          const k = 1 - over / (l.wide + r.wide);
          [l.wide, r.wide] = [l.wide * k, r.wide * k];
          r.left = width - 2 - r.wide;
        }
      }
      for (const { of, text, left, wide } of placed) label(of, text, left, wide, y);
      if (placed.length) y += rowHeight;
    }
    y = rows(y, [['L = ' + w.length(d.L[0]), (a + b) / 2, 'middle', 'L']]);
    arrow((a + b) / 2, y + 0.3 * font, a, y + 0.3 * font, '', undefined, 'L');
    arrow((a + b) / 2, y + 0.3 * font, b, y + 0.3 * font, '', undefined, 'L');
    y += font;

    // The graphs, each about its axis, positive above; every label in rows
    // above or below the graph's band, never on a curve.
    const graph = (column, title, ends, mark) => {
      const values = d.sections.map((section) => section[column]);
      const over = [[title, a, 'start']];
      const under = [];
      for (const [text, index, anchor, part] of ends) {
        (values[index] >= 0 ? over : under).push([text, index ? b : a, anchor, part]);
      }
      const markX = along(Number(mark.t));
      (mark.side === 'above' ? over : under).push([mark.text, markX, 'middle', column]);
      const bandTop = rows(y, over);
      const axis = bandTop + 2.9 * font; // room for a mark at the band's edge
      const toY = (value) => axis - value * 2.5 * font;
      shape('line', { x1: a, y1: axis, x2: b, y2: axis, style: 'axis' }, box(a, axis, b, axis));
      const points = d.sections.map((section) => [along(section[0]), toY(section[column])]);
      shape(
        'polygon',
        {
          points: [[a, axis], ...points, [b, axis]].map((p) => p.join(',')).join(' '),
          style: 'graph',
          column,
        },
        box(a, axis - 2.5 * font, b, axis + 2.5 * font),
      );
      const t = Number(mark.t);
      const after = d.sections.findIndex((section) => section[0] >= t);
      const [t0, v0] = [d.sections[Math.max(0, after - 1)][0], values[Math.max(0, after - 1)]];
      const [t1, v1] = [d.sections[after][0], values[after]];
      const markY = toY(t1 === t0 ? v1 : v0 + ((v1 - v0) * (t - t0)) / (t1 - t0));
      shape(
        'circle',
        { cx: markX, cy: markY, r: font / 4, style: 'mark', column },
        box(markX - font / 4, markY - font / 4, markX + font / 4, markY + font / 4),
      );
      y = rows(axis + 2.9 * font, under) + 0.8 * font;
    };
    if (d.sections.length) {
      graph(
        1,
        'Shear force V',
        [
          [w.force(d.shear[0]), 0, 'start', 'Ay'],
          [w.force(d.shear[1]), d.sections.length - 1, 'end', 'By'],
        ],
        { t: d.zeroShear[0], side: 'below', text: 'V = 0 at ' + w.length(d.zeroShear[1]) },
      );
      graph(2, 'Bending moment M', [], {
        t: d.largestMoment[0],
        side: d.largestMoment[3],
        text: `largest ${w.moment(d.largestMoment[1])} at ${w.length(d.largestMoment[2])}`,
      });
      graph(3, 'Deflected shape, to scale only with itself', [], {
        t: d.largestDeflection[0],
        side: d.largestDeflection[2],
        text: 'moves most at ' + w.length(d.largestDeflection[1]),
      });
    }
    return { height: y + 0.5 * font, shapes, labels };
  }

  return { PICTURE_COLUMNS, parsePicture, describePicture, caption, partWords, layoutPicture };
})();
if (typeof module === 'object' && module.exports) module.exports = beamPictureLogic;
