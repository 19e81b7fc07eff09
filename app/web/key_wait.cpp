// The key wait in the browser page: the page is the console, so there is
// always a person to answer. The page (web/final_key.js) settles
// Module.beamAwaitKey() on the next key press (not a modifier alone, not
// Tab, not a copy of a selection) or on its Continue button, and passes
// nothing of it to the program's input; answers typed before the wait began
// are dropped. The program's stack is suspended meanwhile (ASYNCIFY,
// web/beam_io.js) and resumes when the promise settles.
#include "app/key_wait.h"

extern "C" void beam_await_key();

namespace beam {

void waitForKey(Output& out) {
  out.flush();
  beam_await_key();
}

bool answersAreTyped() { return false; }

}  // namespace beam
