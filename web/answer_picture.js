// The picture of the run's answer, once the report is written: the beam
// from A to B with its load, the total load where it acts, the reactions
// and the horizontal forces as arrows that point the way each acts, the
// length; under it, to the same length, the shear force, the bending
// moment and the deflected shape, each with its mark. Every number, word,
// sign, direction and mark comes from the program (analysis/beam_picture.h)
// and is laid out by web/picture_logic.js; this only draws, in the
// reader's font size and colours, as wide as its box. Or the program's one
// sentence on why there is no picture.
//
// Owns, for one run: the description, and the picture drawn from it.
class AnswerPicture {
  constructor(box, spoken) {
    this.box = box;
    this.spoken = spoken;
    this.reset();
  }

  reset() {
    this.box.textContent = '';
    this.data = null;
    this.drawnFor = 0;
  }

  // The program's description (bytes), drawn at once; screen readers are
  // told that it is there.
  take(bytes) {
    const data = beamPictureLogic.parsePicture(new TextDecoder().decode(bytes));
    const said = document.createElement('div');
    said.textContent = data.none
      ? 'There is no picture of the answer: ' + data.none
      : 'A picture of the answer is below the report.';
    this.spoken.appendChild(said);
    if (data.none) {
      const why = document.createElement('p');
      why.textContent = data.none;
      this.box.replaceChildren(why);
      return;
    }
    this.data = data;
    this.draw();
  }

  // The picture a finished run keeps (folded with its report), in a box
  // of its own that is drawn anew as this one is; or null.
  keep() {
    if (!this.box.firstChild) return null;
    const kept = new AnswerPicture(this.box.cloneNode(false), null);
    kept.box.removeAttribute('id');
    kept.box.append(...this.box.childNodes);
    Object.assign(kept, { data: this.data, drawnFor: this.drawnFor });
    return kept;
  }

  // Drawn anew for the box's width and font size (on every resize, zoom
  // and change of the text size), or for `width` (the paper's).
  draw(width = this.box.clientWidth) {
    const style = getComputedStyle(this.box);
    const font = parseFloat(style.fontSize);
    if (!this.data || width === 0 || width + '/' + font === this.drawnFor) return;
    this.drawnFor = width + '/' + font;
    const svg = new PictureCanvas(width, font, style.fontFamily);
    const layout = beamPictureLogic.layoutPicture(this.data, width, font, svg.measure);
    for (const shape of layout.shapes) svg.draw(shape);
    for (const label of layout.labels) svg.text(label);
    const caption = document.createElement('p');
    caption.textContent = beamPictureLogic.caption(this.data);
    const picture = svg.finish(layout.height, this.box, caption);
    picture.setAttribute('role', 'img');
    picture.setAttribute('aria-label', beamPictureLogic.describePicture(this.data));
  }
}
