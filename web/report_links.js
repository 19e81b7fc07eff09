// The working and the picture, linked: pointing at a line of the report
// that speaks of a part of the picture marks that part (the program says
// which, analysis/beam_picture.h's kMarkedLines); pointing at a part of
// the picture marks the lines that speak of it. A mouse points by hovering,
// a tap pins the mark (a second tap, or a tap elsewhere, clears it), the
// keyboard reaches the lines as one Tab stop (arrow keys between them,
// Escape leaves), and each line tells screen readers what it marks. The
// marks are classes and attributes around the program's text, never text.
//
// Owns, for one run's lines and picture (the current run's, or an earlier
// run's kept copy): what is marked by hovering, and what is pinned.
class ReportLinks {
  // `lines`: an element holding the report's linked lines; `picture`: the
  // box holding the picture.
  constructor(lines, picture) {
    this.lines = lines;
    this.picture = picture;
    this.hovered = this.pinned = null;
    // A mouse over a line or a part marks it (a pen or a finger taps).
    for (const [element, what] of [
      [lines, (e) => ReportLinks.line(e.target)],
      [picture, (e) => this.partAt(e)],
    ]) {
      for (const type of ['pointerover', 'pointerout'])
        element.addEventListener(type, (e) => {
          if (e.pointerType === 'mouse') this.hover(type === 'pointerover' ? what(e) : null);
        });
    }
    lines.addEventListener(
      'pointerdown',
      (e) => (this.down = this.pinned === ReportLinks.line(e.target)),
    );
    lines.addEventListener('focusin', (e) => this.focus(ReportLinks.line(e.target)));
    lines.addEventListener('focusout', (e) => {
      if (!ReportLinks.line(e.relatedTarget) && this.pinned instanceof Element) this.pin(null);
    });
    lines.addEventListener('keydown', (e) => this.key(e));
    document.addEventListener('click', (e) => {
      const line = ReportLinks.line(e.target);
      if (line && lines.contains(line)) this.pin(this.down ? null : line);
      else if (picture.contains(e.target)) {
        const part = this.partAt(e);
        this.pin(part && part !== this.pinned ? part : null);
      } else this.pin(null);
    });
  }

  // The report's lines that the picture's description marks (`d.marks`),
  // each given the parts this picture draws and their words; the first is
  // the Tab stop.
  static wrap(view, d) {
    const words = beamPictureLogic.partWords(d);
    const marks = {};
    for (const [number, parts] of Object.entries(d.marks)) {
      const drawn = parts.filter((part) => words[part]);
      if (drawn.length) marks[number] = drawn;
    }
    const wrapped = view.wrapLines(Number(d.report[0]), Object.keys(marks).map(Number));
    Object.keys(wrapped).forEach((number, i) => {
      const line = wrapped[number];
      line.className = 'linked';
      line.dataset.parts = marks[number].join(' ');
      line.tabIndex = i ? -1 : 0;
      line.setAttribute(
        'aria-description',
        'marks ' + marks[number].map((part) => words[part]).join('; '),
      );
    });
  }

  static line(target, attribute = 'data-parts') {
    return target && target.closest ? target.closest(`[${attribute}]`) : null;
  }

  // The part of the picture a pointer is on (its arrow's head or line, its
  // label), that some line marks.
  partAt(event) {
    const part = ReportLinks.line(event.target, 'data-part');
    return part && this.linesOf(part.dataset.part).length ? part.dataset.part : null;
  }

  linesOf(part) {
    return [...this.lines.querySelectorAll('[data-parts]')].filter((line) =>
      line.dataset.parts.split(' ').includes(part),
    );
  }

  clear() {
    this.hovered = null;
    this.pin(null);
  }

  hover(what) {
    this.hovered = what;
    this.show();
  }

  pin(what) {
    this.pinned = what;
    this.show();
  }

  // A line reached (by Tab, the arrows or a tap) is the one Tab stop, and
  // marks.
  focus(line) {
    if (!line) return;
    for (const other of this.lines.querySelectorAll('[data-parts]')) other.tabIndex = -1;
    line.tabIndex = 0;
    this.pin(line);
  }

  key(event) {
    const all = [...this.lines.querySelectorAll('[data-parts]')];
    const at = all.indexOf(event.target); // (the answer field's keys are its own)
    const to = all[at + { ArrowDown: 1, ArrowUp: -1 }[event.key]];
    if (at < 0) return;
    if (event.key === 'Escape') {
      this.pin(null);
      this.lines.focus();
    } else if (to) to.focus();
    else return;
    event.preventDefault();
  }

  // Marks what is pointed at, or else what is pinned: a line and its
  // parts, or a part and its lines. Also after the picture is drawn anew.
  show() {
    const what = this.hovered || this.pinned;
    const lines = !what ? [] : what instanceof Element ? [what] : this.linesOf(what);
    const parts = !what ? [] : what instanceof Element ? what.dataset.parts.split(' ') : [what];
    for (const line of this.lines.querySelectorAll('[data-parts]'))
      line.classList.toggle('marked', lines.includes(line));
    for (const element of this.picture.querySelectorAll('[data-part]'))
      element.classList.toggle('marked', parts.includes(element.dataset.part));
  }
}
