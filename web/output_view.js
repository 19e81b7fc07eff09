// The program's output as the page's own text: selectable, zoomable, read
// by screen readers (the rules left out, the report a few lines at a time).
// The banner and legend, the figure and the dialogue (questions, answers,
// report) each have their part of the screen. The figure is one image for
// screen readers, with a short text alternative; it and the report's rules
// keep the fitted size and never wrap (their own box scrolls sideways where
// they cannot fit), other lines wrap at blanks.
//
// Owns, for one run: the screen's parts, the line the next output starts on
// and the text of the line being written, the decoder of the program's
// bytes, everything on the screen as bytes (the program's and the answers
// echoed, as a terminal shows them), what was written and not yet spoken,
// and the element new text goes before (the answer field, where it stands);
// on the first run, the text the page was served with that the program has
// not written yet, and the bytes it has written of it.
class OutputView {
  constructor(screen, spoken) {
    this.screen = screen;
    this.spoken = spoken;
    this.reset(true);
  }

  // `served`: keep the output the page was served with (the program's text
  // up to its first question, web/build_markup.js), for the first run.
  reset(served) {
    const text = served ? this.screen.textContent : '';
    if (!served) this.screen.textContent = '';
    this.spoken.textContent = '';
    this.regions = {};
    this.line = 0;
    this.lineText = '';
    this.decoder = new TextDecoder();
    this.screenBytes = [];
    this.unspoken = '';
    this.anchor = null;
    this.ahead = text;
    this.matched = [];
    if (text === '') return;
    const split = beamPageLogic.splitByRegion(text, 0);
    split.pieces.forEach((piece, i) => (this.regions[piece.region] = this.screen.children[i]));
    this.line = split.line;
    this.trackLine(text);
    this.screenBytes.push(new TextEncoder().encode(text));
  }

  // The program's bytes; `speak`: queue them for screen readers (not before
  // the first answer: the first question is read as the field's name).
  // Returns them as text. What the page was served with is not shown
  // twice. Should the program ever write otherwise (the build checks that
  // it does not), the screen is written again from the program's bytes.
  show(bytes, speak) {
    if (this.ahead !== '') {
      const text = new TextDecoder().decode(bytes); // (the served text is ASCII)
      if (this.ahead.startsWith(text)) {
        this.ahead = this.ahead.slice(text.length);
        this.matched.push(bytes);
        return text;
      }
      const matched = this.matched;
      this.reset(false);
      for (const earlier of matched) this.show(earlier, false);
    }
    this.screenBytes.push(bytes);
    const text = this.decoder.decode(bytes, { stream: true });
    const split = beamPageLogic.splitByRegion(text, this.line);
    this.line = split.line;
    for (const piece of split.pieces) {
      if (piece.region === 'dialogue') {
        this.addDialogue(piece.text);
      } else {
        this.addText(this.region(piece.region), piece.text);
      }
    }
    this.trackLine(text);
    if (speak) this.unspoken += text;
    return text;
  }

  // An answer, left after its question as a terminal echoes what is typed.
  echo(text) {
    this.addText(this.region('dialogue'), text, 'answer');
    this.trackLine(text);
    this.screenBytes.push(new TextEncoder().encode(text));
  }

  // What was written since the last answer, read out once, a few lines at a
  // time and without the rules.
  speakPending() {
    const text = this.unspoken;
    this.unspoken = '';
    for (const piece of beamPageLogic.spokenPieces(text)) {
      const entry = document.createElement('div');
      entry.textContent = piece;
      this.spoken.appendChild(entry);
    }
  }

  region(name) {
    if (!this.regions[name]) {
      const element = document.createElement('div');
      if (name === 'figure') {
        element.setAttribute('role', 'img');
        element.setAttribute('aria-label', beamPageLogic.FIGURE_DESCRIPTION);
        OutputView.keepAsDrawn(element);
      }
      this.screen.appendChild(element);
      this.regions[name] = element;
    }
    return this.regions[name];
  }

  // Adds to a part of the output, before the answer field where it stands.
  addText(element, text, className) {
    const before = this.anchor && this.anchor.parentNode === element ? this.anchor : null;
    const previous = before ? before.previousSibling : element.lastChild;
    if (!className && previous && previous.nodeType === Node.TEXT_NODE) {
      previous.appendData(text);
      return;
    }
    let node = document.createTextNode(text);
    if (className) {
      node = document.createElement('span');
      node.className = className;
      node.textContent = text;
      if (className === 'rule') {
        node.setAttribute('aria-hidden', 'true');
        OutputView.keepAsDrawn(node);
      }
    }
    element.insertBefore(node, before);
  }

  trackLine(text) {
    const newline = text.lastIndexOf('\n');
    this.lineText = newline < 0 ? this.lineText + text : text.slice(newline + 1);
  }

  addDialogue(text) {
    const rule = '-'.repeat(beamPageLogic.COLUMNS) + ' ';
    const dialogue = this.region('dialogue');
    let start = 0;
    for (let at; (at = text.indexOf(rule + '\n', start)) >= 0; start = at + rule.length) {
      if (at > start) this.addText(dialogue, text.slice(start, at));
      this.addText(dialogue, rule, 'rule');
    }
    if (start < text.length) this.addText(dialogue, text.slice(start));
  }

  // The figure and the rules: a box that may scroll sideways is still no
  // Tab stop (nothing in it to act on), and nothing in it is translated.
  static keepAsDrawn(element) {
    element.tabIndex = -1;
    element.translate = false;
  }

  // The dialogue's last `count` lines (the report, once it is written):
  // the lines of it numbered in `numbers` (from 1) each set in an element
  // of its own, their text as it was (`numbers` in order; reversed here).
  // Returns the elements by number.
  wrapLines(count, numbers) {
    const dialogue = this.regions.dialogue;
    const lines = {};
    const nodes = [];
    const walker = document.createTreeWalker(dialogue, NodeFilter.SHOW_TEXT);
    for (let node; (node = walker.nextNode());) nodes.push(node);
    const text = nodes.map((node) => node.data).join('');
    const starts = [0];
    for (let at; (at = text.indexOf('\n', starts[starts.length - 1])) >= 0;) starts.push(at + 1);
    const first = starts.length - 1 - count;
    // From the last, so that the text before each line keeps its nodes.
    for (const number of numbers.reverse()) {
      const start = starts[first + number - 1];
      const end = text.indexOf('\n', start);
      if (first < 0 || start === undefined || end < 0) continue;
      let offset = 0;
      for (const node of nodes) {
        if (start >= offset && end <= offset + node.length && node.parentNode === dialogue) {
          const range = document.createRange();
          range.setStart(node, start - offset);
          range.setEnd(node, end - offset);
          lines[number] = document.createElement('span');
          range.surroundContents(lines[number]);
          break;
        }
        offset += node.length;
      }
    }
    return lines;
  }

  // The questions, answers and report as text, or '' before the first
  // question.
  dialogueText() {
    return this.regions.dialogue ? this.regions.dialogue.textContent : '';
  }

  // The output as it stands on the screen: the program's bytes and the
  // answers, as a terminal shows them.
  text() {
    const all = new Uint8Array(
      this.screenBytes.reduce((length, bytes) => length + bytes.length, 0),
    );
    let offset = 0;
    for (const bytes of this.screenBytes) {
      all.set(bytes, offset);
      offset += bytes.length;
    }
    return new TextDecoder().decode(all);
  }
}
