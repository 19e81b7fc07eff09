#include "app/run.h"

#include <iostream>
#include <ostream>

#include "analysis/report.h"
#include "app/key_wait.h"
#include "text/figure.h"

namespace beam {
namespace {

constexpr const char* kLengthPrompt = "Enter Value 1 For The Length OF The Figure(Shape) Above = ";
constexpr const char* kWeightPrompt =
    "Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The Figure Above On The "
    "Beam From Point A To Point B  = ";
constexpr const char* kForceAPrompt =
    "Enter Value 3 For The Horizonatl Force At Point A If Available = ";
constexpr const char* kForceBPrompt =
    "Enter Value 4 For The Horizonatl Force At Point B If Available = ";
constexpr const char* kWeightUnitPrompt =
    " Enter The Unit For The Weight Acting Vertically Downward = ";
constexpr const char* kForceUnitPrompt =
    " Enter The Derived Unit For The (Acting Force, Mass) Vertically Downward = ";
constexpr const char* kLengthUnitPrompt = " Enter The Unit For The Length = ";

void prompt(const char* text, InputReader& in, std::ostream& out) {
  out << text;
  if (in.good()) out.flush();
}

}  // namespace

BeamProblem readBeamProblem(InputReader& in, std::ostream& out) {
  BeamProblem problem;
  prompt(kLengthPrompt, in, out);
  in.readNumber(problem.L);
  prompt(kWeightPrompt, in, out);
  in.readNumber(problem.W);
  prompt(kForceAPrompt, in, out);
  in.readNumber(problem.Ax);
  prompt(kForceBPrompt, in, out);
  in.readNumber(problem.Bx);
  prompt(kWeightUnitPrompt, in, out);
  in.readWord(problem.weightUnit);
  prompt(kForceUnitPrompt, in, out);
  in.readWord(problem.forceUnit);
  prompt(kLengthUnitPrompt, in, out);
  in.readWord(problem.lengthUnit);
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
