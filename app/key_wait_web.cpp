// The key wait in the browser page: the page's terminal is the console, so
// there is always a person to answer. The page (web/beam-page.js) resolves
// Module.beamAwaitKey() on the next key press, which it neither echoes nor
// passes to the program's input; an arrow or function key is one press
// (the terminal hands over its bytes together), Ctrl+C is a key like any
// other. The program's stack is suspended meanwhile (ASYNCIFY) and resumes
// when the promise settles.
#include <emscripten.h>

#include "app/key_wait.h"

EM_ASYNC_JS(void, beamAwaitKeyPress, (), { await Module.beamAwaitKey(); });

namespace beam {

void waitForKey() { beamAwaitKeyPress(); }

}  // namespace beam
