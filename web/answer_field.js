// The answer field: the browser's own text field, right after the question
// it answers and named by it. Enter sends the answer, which stays in the
// output after its question as on a terminal; Ctrl+U clears it, Ctrl+D on
// an empty answer ends the input, Up and Down bring back earlier answers.
// One field for the run, so that a phone's keyboard stays open from one
// question to the next.
//
// Owns: the earlier answers of this page (for Up and Down); and for one run
// the field, the question it is named by, the queue its answers go to, the
// last answer, everything typed, whether anything was typed, whether the
// input has ended, and whether the program has yet to ask (the field the
// page was served with takes answers before the program has loaded).
class AnswerField {
  // frame: the page's PageFrame; view: the run's OutputView.
  constructor(frame, view) {
    this.frame = frame;
    this.view = view;
    this.history = new beamPageLogic.AnswerHistory();
    this.field = null;
    this.reset(null);
  }

  reset(queue) {
    this.remove();
    this.queue = queue;
    this.early = false;
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
    this.early = false;
    if (!this.field) {
      const form = document.createElement('form');
      form.method = 'dialog';
      const input = document.createElement('input');
      for (const [name, value] of Object.entries(beamPageLogic.FIELD_ATTRIBUTES)) {
        input.setAttribute(name, value);
      }
      form.appendChild(input);
      this.take(form);
    }
    if (!this.field.form.isConnected) this.view.region('dialogue').appendChild(this.field.form);
    this.view.anchor = this.field.form;
    this.question = beamPageLogic.currentQuestion(this.view.lineText) || this.question || 'Answer';
    this.field.input.setAttribute('aria-label', this.question);
    this.view.speakPending();
    this.frame.focusWithin(this.field.input);
    if (document.activeElement === this.field.input) this.frame.showField();
  }

  // The field the page was served with, after the first question, before
  // the program has loaded: what is answered there waits, in order, for
  // the program's reads. Given the keyboard where the page may take it.
  adopt(queue) {
    const form = this.view.screen.querySelector('form');
    if (!form) return;
    this.take(form);
    this.view.anchor = form;
    this.queue = queue;
    this.early = true;
    this.frame.focusWithin(this.field.input);
  }

  take(form) {
    const input = form.querySelector('input');
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.answer(input.value + '\n');
    });
    input.addEventListener('keydown', (event) => this.editKey(event));
    this.field = { form, input };
  }

  remove() {
    if (!this.field) return;
    this.field.form.remove();
    this.field = null;
    this.view.anchor = null;
  }

  // Whether an answer goes to the program now: it waits for one, or it has
  // yet to ask (answers typed before wait for its reads).
  get open() {
    return this.queue !== null && (this.queue.waiting || this.early);
  }

  // Sends text to the program and leaves it in the output.
  answer(text) {
    if (!this.open) return;
    this.lastAnswer = text.replace(/\n$/, '');
    this.answers += text + ' ';
    this.history.add(this.lastAnswer);
    this.field.input.value = '';
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
      // Here rather than by the form's submission, which a frame sandboxed
      // without allow-forms refuses.
      this.answer(input.value + '\n');
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
