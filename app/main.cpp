// beam: solves a beam pinned at A and on a rocker at B under a triangular load.
#include "app/run.h"

int main() {
  beam::runProgram(/*noteUnreadAnswer=*/true);
  return 0;
}
