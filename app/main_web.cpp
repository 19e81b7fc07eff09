// beam in the browser page: the same run as app/main.cpp. main's stack is
// suspended at each read and at the key wait and resumed later, and a value
// returned from a resumed main reaches nobody; exit(0) ends the run for the
// page (Module.onExit) as returning 0 does elsewhere.
#include <cstdlib>

#include "app/run.h"

int main() {
  beam::runProgram(/*noteUnreadAnswer=*/false);
  std::exit(0);
}
