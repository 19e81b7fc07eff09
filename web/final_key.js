// The final key: at "Press Any Key To Continue" any key press ends the run
// (not a modifier alone, not Tab, not a browser's shortcut), and so does
// the Continue button. For a moment after the report is written and after
// the run has ended, the controls but Continue take no key and no tap: a
// key pressed twice, or a tap meant for the last answer field where the
// controls now stand, never starts over by chance. A key held down repeats
// into none of them.
//
// Owns, for one run: whether the report is written (the wait's keys count
// from then on), the wait's settling function while the program waits, and
// the moment until which the controls are quiet.
class FinalKey {
  constructor(continueButton, footer) {
    this.continueButton = continueButton;
    this.reset();
    // Enter, Space and Tab on another control are that control's; any other
    // key there ends the wait too (after Copy report, say). A key repeated
    // by holding it down does not: the press that began it was the key.
    window.addEventListener(
      'keydown',
      (event) => {
        if (!this.reportWritten) return;
        const target = event.target;
        const onControl = target.closest && target.closest('footer') !== null;
        // The working's own keys, on its lines (web/report_links.js).
        if (ReportLinks.line(target) && /^(Arrow|Escape)/.test(event.key)) return;
        const isKey = beamPageLogic.endsKeyWait(event);
        if (
          this.settle &&
          !event.repeat &&
          isKey &&
          !(onControl && target !== continueButton && FinalKey.CONTROL_KEYS.includes(event.key))
        ) {
          event.preventDefault();
          this.end();
        } else if (onControl && (event.repeat || this.quiet) && isKey) {
          event.preventDefault();
        }
      },
      true,
    );
    continueButton.addEventListener('click', () => {
      if (this.settle) this.end();
    });
    // Clicks and taps on the other controls while quiet, in the capture
    // phase (the press too, so that the focus stays where it is).
    for (const type of ['mousedown', 'click']) {
      footer.addEventListener(
        type,
        (event) => {
          if (event.target !== continueButton && this.quiet) {
            event.preventDefault();
            event.stopImmediatePropagation();
          }
        },
        true,
      );
    }
  }

  reset() {
    this.reportWritten = false;
    this.settle = null;
    this.quietUntil = 0;
    this.continueButton.hidden = true;
  }

  get quiet() {
    return performance.now() < this.quietUntil;
  }

  // The controls take nothing for a moment from now.
  quietNow() {
    this.quietUntil = performance.now() + FinalKey.QUIET_MS;
  }

  // The program waits for the key: a promise that settles on it.
  begin() {
    this.reportWritten = true;
    this.quietNow();
    this.continueButton.hidden = false;
    return new Promise((resolve) => {
      this.settle = resolve;
    });
  }

  end() {
    const settle = this.settle;
    this.settle = null;
    this.continueButton.hidden = true;
    settle();
  }
}
FinalKey.QUIET_MS = 1000;
FinalKey.CONTROL_KEYS = ['Enter', ' ', 'Spacebar', 'Tab'];
