// beam: solves a beam pinned at A and on a rocker at B under a triangular load.
#include <cstdio>

#include "app/answer_note.h"
#include "app/key_wait.h"
#include "app/run.h"
#include "app/terminal_reports.h"
#include "app/typed_input.h"

int main() {
  const bool typed = beam::answersAreTyped();
  // The locale matters only to typed answers: a run from a file skips it.
  const bool utf8 = typed && beam::localeIsUtf8();
  beam::TypedInput standardInput(stdin, typed, utf8);
  beam::WithoutTerminalReports answers(standardInput, typed, utf8);
  beam::runProgram(answers, typed, beam::unreadAnswerNote, &standardInput);
  return 0;
}
