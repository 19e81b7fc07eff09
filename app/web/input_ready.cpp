// waitForInput where there is nothing to wait on (the browser page: its
// reads suspend the program until the page has input, and never fail with
// EAGAIN). What they do: input_ready.h.
#include "app/input_ready.h"

namespace beam {

Ready waitForInput(int, int) { return Ready::kUnwatchable; }

bool readsMayFindNothing(int) { return false; }

}  // namespace beam
