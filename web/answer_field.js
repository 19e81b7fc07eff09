// The answer field: the browser's own text field, right after the question
// it answers and named by it. Enter sends the answer, which stays in the
// output after its question as on a terminal; Ctrl+U clears it, Ctrl+D on
// an empty answer ends the input, Up and Down bring back earlier answers.
// After Start over each question offers the answer it was last given in
// this page: Up brings it back first, and a button after the field (for a
// thumb or a mouse) puts it in the field. One field for the run, so that a
// phone's keyboard stays open from one question to the next. The field is
// a one-row text area: a line end typed before the page's script has run
// stays in it (an input's Enter would be lost), and a line end that reaches
// it (typed early, pasted, a phone keyboard's send key) sends the line, in
// order, when the program asks.
//
// Owns: the earlier answers of this page (for Up and Down) and the answer
// each question was last given in an earlier run; and for one run the
// field, the question it is named by, the queue its answers go to, the last
// answer, everything typed, whether anything was typed, whether the input
// has ended, the answer each question was given, the question the last
// line read began at, and whether the next read begins a line.
class AnswerField {
  // frame: the page's PageFrame; view: the run's OutputView.
  constructor(frame, view) {
    this.frame = frame;
    this.view = view;
    this.history = new beamPageLogic.AnswerHistory();
    this.offers = new Map();
    this.given = new Map();
    this.field = null;
    this.reset(null);
  }

  reset(queue) {
    this.remove();
    for (const [question, answer] of this.given) this.offers.set(question, answer);
    this.given = new Map();
    this.readFor = '';
    this.lineStart = true;
    this.queue = queue;
    this.question = '';
    this.lastAnswer = '';
    this.answers = '';
    this.answered = false;
    this.endOfInput = false;
  }

  get input() {
    return this.field ? this.field.input : null;
  }

  // Puts the field after the question the program is waiting on, named by
  // it (a read that is no new question, after an empty answer, keeps the
  // name), and gives it the keyboard where the page may take it.
  ask() {
    if (!this.field) {
      const form = document.createElement('form');
      form.method = 'dialog';
      const input = document.createElement('textarea');
      for (const [name, value] of Object.entries(beamPageLogic.FIELD_ATTRIBUTES)) {
        input.setAttribute(name, value);
      }
      form.appendChild(input);
      this.take(form);
    }
    if (!this.field.form.isConnected) this.view.region('dialogue').appendChild(this.field.form);
    this.view.anchor = this.field.form;
    this.question = this.questionNow() || 'Answer';
    this.field.input.setAttribute('aria-label', this.question);
    this.offer(this.offers.get(this.question));
    this.view.speakPending();
    this.frame.focusWithin(this.field.input);
    if (document.activeElement === this.field.input) this.frame.showField();
    this.takeLines();
  }

  // The question on the output's last line, or the one the field is named by.
  questionNow() {
    return beamPageLogic.currentQuestion(this.view.lineText) || this.question;
  }

  // The answer offered for the question asked (or none): first for Up, and
  // on the button after the field.
  offer(answer) {
    this.history.offer(answer === undefined ? null : answer);
    const button = this.field.offer;
    button.hidden = answer === undefined;
    if (button.hidden) return;
    button.textContent = 'Earlier: ' + answer;
    button.setAttribute('aria-label', 'Answer as in the earlier run: ' + answer);
  }

  // A read of the program took `bytes` for `question`: the line it begins
  // is kept as that question's answer (offered after Start over).
  read(question, bytes) {
    const text = new TextDecoder().decode(bytes).replace(/\n$/, '');
    if (this.lineStart) this.readFor = question;
    if (this.lineStart && text.trim() !== '') this.given.set(question, text);
    this.lineStart = bytes.length === 0 || bytes[bytes.length - 1] === 10;
  }

  // The unread answer as it should have been written: for Up at once, and
  // offered after Start over.
  mend(answer) {
    this.history.add(answer);
    if (this.readFor !== '') this.given.set(this.readFor, answer);
  }

  // The field the page was served with, after the first question, before
  // the program has loaded: the lines ended there wait in it, and each is
  // sent when the program asks, so that it shows after its own question.
  // Given the keyboard where the page may take it.
  adopt(queue) {
    const form = this.view.screen.querySelector('form');
    if (!form) return;
    this.take(form);
    this.view.anchor = form;
    this.queue = queue;
    this.question = this.field.input.getAttribute('aria-label');
    this.frame.focusWithin(this.field.input);
  }

  take(form) {
    const input = form.querySelector('textarea');
    input.addEventListener('keydown', (event) => this.editKey(event));
    input.addEventListener('input', () => this.takeLines());
    const offer = document.createElement('button');
    offer.type = 'button';
    offer.className = 'offer';
    offer.hidden = true;
    // (the press would take the focus, and a phone's keyboard with it)
    offer.addEventListener('mousedown', (event) => event.preventDefault());
    offer.addEventListener('click', () => {
      input.value = this.history.offered;
      input.setSelectionRange(input.value.length, input.value.length);
      this.frame.focusWithin(input);
    });
    form.appendChild(offer);
    this.field = { form, input, offer };
  }

  // Sends the lines ended in the field, in order, while the program takes
  // answers; the rest stays in the field.
  takeLines() {
    const input = this.field.input;
    for (let end; this.open && (end = input.value.indexOf('\n')) >= 0;) {
      this.answer(input.value.slice(0, end + 1), input.value.slice(end + 1));
    }
  }

  remove() {
    if (!this.field) return;
    this.field.form.remove();
    this.field = null;
    this.view.anchor = null;
  }

  // Whether an answer goes to the program now: it waits for one.
  get open() {
    return this.queue !== null && this.queue.waiting;
  }

  // Sends text to the program and leaves it in the output; `rest` stays in
  // the field.
  answer(text, rest = '') {
    if (!this.open) return;
    this.lastAnswer = text.replace(/\n$/, '');
    this.answers += text + ' ';
    this.history.add(this.lastAnswer);
    this.field.input.value = rest;
    this.field.offer.hidden = true;
    this.view.echo(text);
    this.answered = true;
    this.queue.push(new TextEncoder().encode(text));
  }

  editKey(event) {
    const input = event.target;
    if (event.isComposing || event.keyCode === 229) return;
    const ctrlOnly = event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey;
    const plain = !event.ctrlKey && !event.altKey && !event.metaKey && !event.shiftKey;
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    if (plain && key === 'Enter') {
      // (kept as a line end until the program asks, where it does not yet)
      if (this.open) this.answer(input.value + '\n');
      else input.value += '\n';
    } else if (ctrlOnly && key === 'u') {
      input.value = '';
    } else if (ctrlOnly && key === 'd') {
      if (input.value !== '') {
        this.answer(input.value); // as a terminal: the text, without a line end
      } else if (this.open) {
        this.answered = true;
        this.endOfInput = true;
        this.queue.push(beamPageLogic.END_OF_INPUT);
      }
    } else if (plain && (key === 'ArrowUp' || key === 'ArrowDown')) {
      input.value =
        key === 'ArrowUp' ? this.history.older(input.value) : this.history.newer(input.value);
      input.setSelectionRange(input.value.length, input.value.length);
    } else {
      return;
    }
    event.preventDefault();
  }
}
