// The controls below the output and the message line among them: Start
// over (the run's own), Copy report (exactly, or it says it could not),
// Save as text (inside another page's frame it cannot know the file
// arrived, and does not say so).
//
// Owns: the message line's text, and for one run whether the buttons work
// and whether the report was copied or saved.
class PageControls {
  // frame: the page's PageFrame; view: the run's OutputView; startOver():
  // a new run.
  constructor(byId, frame, view, startOver) {
    this.frame = frame;
    this.view = view;
    this.message = byId('message');
    this.buttons = [byId('restart'), byId('copy'), byId('save')];
    byId('restart').addEventListener('click', startOver);
    byId('copy').addEventListener('click', () => this.copy());
    byId('save').addEventListener('click', () => this.save());
  }

  say(text) {
    this.message.textContent = text;
    this.frame.keepClearOfControls(); // a longer message may take another row
  }

  // At the start of a run nothing works and nothing is kept; `restart`: Start
  // over works too (not after a failure).
  enable(on, restart = on) {
    if (!on) this.kept = false;
    this.buttons.forEach((button, index) => {
      button.disabled = index === 0 ? !restart : !on;
    });
  }

  copied() {
    this.kept = true;
    this.say('The report is copied.');
  }

  copy() {
    const text = this.view.text();
    if (PageControls.copyExactly(text)) {
      this.copied();
    } else if (navigator.clipboard && window.isSecureContext) {
      navigator.clipboard.writeText(text).then(
        () => this.copied(),
        () => this.say(PageControls.NOT_COPIED),
      );
    } else {
      this.say(PageControls.NOT_COPIED);
    }
  }

  save() {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob(this.view.screenBytes, { type: 'text/plain' }));
    link.download = 'beam-report.txt';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    this.kept = true;
    // Inside another page's frame the download may be refused without a
    // word to the page.
    this.say(
      this.frame.framed
        ? 'The browser was asked to save beam-report.txt. If no file ' +
            'arrives, the page around beam does not allow downloads: use Copy report, or open beam ' +
            'on a page of its own.'
        : 'The report is saved as beam-report.txt.',
    );
  }

  // The copy as the browser's own Copy command, with the text given to the
  // clipboard exactly (no selection of the page's text, whose spaces an
  // engine may fold). Works off a secure context and in a frame that may not
  // use the clipboard API; true only when the text was handed over.
  static copyExactly(text) {
    let handed = false;
    const give = (event) => {
      event.clipboardData.setData('text/plain', text);
      event.preventDefault();
      handed = true;
    };
    document.addEventListener('copy', give, true);
    try {
      return document.execCommand('copy') && handed;
    } catch {
      return false;
    } finally {
      document.removeEventListener('copy', give, true);
    }
  }
}
PageControls.NOT_COPIED =
  'This browser did not let the page copy the report exactly. Use Save ' +
  'as text, or select the text and copy it yourself (spaces in the drawing may then change).';
