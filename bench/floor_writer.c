/* The floor for a whole run: a static C program that writes the typical
   run's output with one write() and does nothing else. No C++ runtime, no
   stdio buffer, no dynamic loader; what beam costs above this is its own. */
#include <unistd.h>

#include "typical_transcript.h"

int main(void) {
  const ssize_t written = write(STDOUT_FILENO, kTypicalTranscript, sizeof kTypicalTranscript - 1);
  return written == (ssize_t)(sizeof kTypicalTranscript - 1) ? 0 : 1;
}
