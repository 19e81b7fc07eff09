// beam in the browser page: the same run as app/main.cpp. main's stack is
// suspended at each read and at the key wait and resumed later, and a value
// returned from a resumed main reaches nobody; exit(0) ends the run for the
// page (Module.onExit) as returning 0 does elsewhere.
#include <cstdio>
#include <cstdlib>

#include "app/run.h"

int main() {
  beam::FileSource standardInput(stdin);
  // The page has notes of its own: no note, nothing kept for one.
  beam::runProgram<beam::FileSource, false>(standardInput, false, nullptr);
  std::exit(0);
}
