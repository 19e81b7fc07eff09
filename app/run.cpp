#include "app/run.h"

#include <iostream>
#include <ostream>

#include "analysis/report.h"
#include "app/key_wait.h"
#include "text/figure.h"

namespace beam {
namespace {

void prompt(const char* text, InputReader& in, std::ostream& out) {
  out << text;
  if (in.good()) out.flush();
}

}  // namespace

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

BeamProblem readBeamProblem(InputReader& in, std::ostream& out) {
  BeamProblem problem;
  double* const numbers[] = {&problem.L, &problem.W, &problem.Ax, &problem.Bx};
  UnitWord* const words[] = {&problem.weightUnit, &problem.forceUnit, &problem.lengthUnit};
  std::size_t next = 0;
  for (double* number : numbers) {
    prompt(kPrompts[next++], in, out);
    in.readNumber(*number);
  }
  for (UnitWord* word : words) {
    prompt(kPrompts[next++], in, out);
    in.readWord(*word);
  }
  return problem;
}

void printReport(const BeamProblem& problem, std::ostream& out) {
  printVerticalReport(problem, out);
  printHorizontalCase(problem, out);
  reportLine({"Press Any Key To Continue"}, out);
}

void runProgram() {
  printBanner();
  printLegendAndFigure();
  InputReader in(*std::cin.rdbuf());
  const BeamProblem problem = readBeamProblem(in, std::cout);
  printReport(problem, std::cout);
  waitForKey();
}

}  // namespace beam
