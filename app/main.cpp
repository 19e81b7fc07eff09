// beam: solves a beam pinned at A and on a rocker at B under a triangular load.
#include <cstdio>

#include "app/answer_note.h"
#include "app/key_wait.h"
#include "app/run.h"
#include "app/terminal_reports.h"

int main() {
  beam::FileSource standardInput(stdin);
  const bool typed = beam::answersAreTyped();
  // The locale matters only to typed answers: a run from a file skips it.
  beam::WithoutTerminalReports answers(standardInput, typed, typed && beam::localeIsUtf8());
  beam::runProgram(answers, typed, beam::unreadAnswerNote);
  return 0;
}
