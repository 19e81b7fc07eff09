#include "app/run.h"

#include <cstdio>
#include <cstdlib>

#include "analysis/report.h"
#include "app/answer_note.h"
#include "app/answer_picture.h"
#include "app/key_wait.h"
#include "app/terminal_reports.h"
#include "text/figure.h"

namespace beam {

const std::array<const char*, 7> kPrompts = {
    "Enter Value 1 For The Length OF The Figure(Shape) Above = ",
    "Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The Figure Above On The "
    "Beam From Point A To Point B  = ",
    "Enter Value 3 For The Horizonatl Force At Point A If Available = ",
    "Enter Value 4 For The Horizonatl Force At Point B If Available = ",
    " Enter The Unit For The Weight Acting Vertically Downward = ",
    " Enter The Derived Unit For The (Acting Force, Mass) Vertically Downward = ",
    " Enter The Unit For The Length = ",
};

namespace {

void printClosingLine(std::string& text) { reportLine({"Press Any Key To Continue"}, text); }

}  // namespace

void printReport(const BeamProblem& problem, std::string& text) {
  printVerticalReport(problem, text);
  printHorizontalCase(problem, text);
  printClosingLine(text);
}

void runProgram(bool noteUnreadAnswer) {
  Output out(stdout);
  printBanner(out.text);
  printLegendAndFigure(out.text);
  FileSource standardInput(stdin);
  const bool typed = answersAreTyped();
  WithoutTerminalReports answers(
      standardInput, typed,
      localeIsUtf8(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG")));
  InputReader in(answers);
  const BeamProblem problem = readBeamProblem(in, out);
  printVerticalReport(problem, out.text);
  printHorizontalCase(problem, out.text);
  out.flush();
  showAnswerPicture(problem, in.valuesRead() == static_cast<int>(kPrompts.size()));
  if (noteUnreadAnswer) {
    const std::string note = unreadAnswerNote(in.stop(), typed);
    std::fputs(note.c_str(), stderr);
  }
  printClosingLine(out.text);
  waitForKey(out);
}

}  // namespace beam
