#include "app/run.h"

#include <cstdio>

#include "analysis/report.h"
#include "app/answer_picture.h"
#include "app/key_wait.h"
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

void printIntroduction(Output& out) {
  printBanner(out.text);
  printLegendAndFigure(out.text);
}

void finishRun(const BeamProblem& problem, bool complete, const std::string& note,
               bool typedInputEnded, Output& out) {
  printVerticalReport(problem, out.text);
  printHorizontalCase(problem, out.text);
  out.flush();
  showAnswerPicture(problem, complete);
  std::fputs(note.c_str(), stderr);
  printClosingLine(out.text);
  if (typedInputEnded) {
    out.flush();
  } else {
    waitForKey(out);
  }
}

}  // namespace beam
