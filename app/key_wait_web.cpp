// The key wait in the browser page: the page's terminal is the console, so
// there is always a person to answer. The page (web/beam-page.js) settles
// Module.beamAwaitKey() on the next key press, which it neither echoes nor
// passes to the program's input; lines typed before the wait began are
// dropped, an arrow or function key is one press (the terminal hands over
// its bytes together), Ctrl+C is a key like any other unless text is
// selected (then it copies). The program's stack is suspended meanwhile
// (ASYNCIFY, web/beam-io.js) and resumes when the promise settles.
#include "app/key_wait.h"

extern "C" void beam_await_key();

namespace beam {

void waitForKey() { beam_await_key(); }

}  // namespace beam
