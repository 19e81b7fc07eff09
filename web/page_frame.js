// The page's place in the window: whether it may take the keyboard (inside
// another page's frame, a course page, only once the student has clicked,
// tapped or tabbed into it), the size of the figure and the rules, and the
// answer field kept in view, clear of the controls, on every resize,
// rotation and zoom. It scrolls this page only, never a page around it.
//
// Owns: whether the page is framed and may take the focus, the width and
// size the figure's size was last fitted for.
class PageFrame {
  // fieldInput(): the answer field's input, or null when there is none.
  constructor(screen, footer, fieldInput) {
    this.screen = screen;
    this.footer = footer;
    this.fieldInput = fieldInput;
    this.framed = window.self !== window.top;
    this.mayTakeFocus = !this.framed;
    this.fittedFor = '';
    for (const type of ['pointerdown', 'keydown', 'focus']) {
      window.addEventListener(
        type,
        () => {
          if (this.mayTakeFocus) return;
          this.mayTakeFocus = true;
          const input = this.fieldInput();
          if (type !== 'pointerdown' && input) this.focusWithin(input);
        },
        true,
      );
    }
    // A ResizeObserver on the output would see its own change of font; a
    // phone's keyboard opening or closing resizes the visual viewport.
    const relayout = () => this.relayout();
    window.addEventListener('resize', relayout);
    if (window.visualViewport) window.visualViewport.addEventListener('resize', relayout);
    this.keepClearOfControls();
  }

  focusWithin(element) {
    if (this.mayTakeFocus && document.activeElement !== element)
      element.focus({ preventScroll: true });
  }

  // The figure's and the rules' size (--fitted): the largest at which their
  // columns fit the window, at most the reader's own size.
  fitFont() {
    const screen = this.screen;
    const width = screen.clientWidth;
    const largest = parseFloat(getComputedStyle(screen).fontSize);
    if (width === 0 || this.fittedFor === width + '/' + largest) return;
    this.fittedFor = width + '/' + largest;
    const ruler = document.createElement('span');
    ruler.style.cssText = 'position:absolute;visibility:hidden;white-space:pre';
    ruler.textContent = '-'.repeat(beamPageLogic.COLUMNS);
    screen.appendChild(ruler);
    const measure = (size) => {
      ruler.style.fontSize = size + 'px';
      return ruler.getBoundingClientRect().width;
    };
    screen.style.setProperty('--fitted', beamPageLogic.fittedSize(width, measure, largest) + 'px');
    ruler.remove();
  }

  // The room the controls take at the window's foot where they are pinned
  // below the output: what is scrolled into view (the answer field) stops
  // above it.
  controlsRoom() {
    return getComputedStyle(this.footer).position === 'sticky' ? this.footer.offsetHeight + 8 : 0;
  }

  keepClearOfControls() {
    const room = this.controlsRoom();
    document.documentElement.style.scrollPaddingBottom = room > 0 ? room + 'px' : '';
  }

  // Scrolls so that the answer field is in the visible part of the window,
  // clear of the controls where they are pinned.
  showField() {
    const input = this.fieldInput();
    if (!input) return;
    const box = input.getBoundingClientRect();
    const view = window.visualViewport;
    const top = view ? view.offsetTop : 0;
    const bottom = top + (view ? view.height : window.innerHeight) - this.controlsRoom();
    if (box.bottom > bottom) window.scrollBy(0, Math.min(box.bottom - bottom, box.top - top));
    else if (box.top < top) window.scrollBy(0, box.top - top);
  }

  // The focused answer field, with what is typed in it, stays in view.
  relayout() {
    this.fitFont();
    this.keepClearOfControls();
    const input = this.fieldInput();
    if (input && document.activeElement === input) this.showField();
  }
}
