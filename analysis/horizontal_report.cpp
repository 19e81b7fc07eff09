// The closing block of the report: the horizontal forces, one of four cases.
#include "analysis/report.h"

namespace beam {
namespace {

void appendBxOnly(const BeamProblem& p, std::string& out) {
  reportLine({" Ax - Bx = ", integerZero, " + ", p.Bx}, out);
  reportLine({" -Bx = ", -1.0 * p.Bx, " ", p.forceUnit}, out);
  reportLine({" Bx = ", p.Bx, " ", p.forceUnit, " <--, Acting Towards The Left Side Of The Beam"},
             out);
}

void appendAxOnly(const BeamProblem& p, std::string& out) {
  reportLine({" Ax - Bx = ", p.Ax, " + ", integerZero}, out);
  reportLine({" Ax  = ", p.Ax, " ", p.forceUnit}, out);
  reportLine(
      {" Ax  = ", p.Ax, " ", p.forceUnit, " -->, Acting Towards The Right Side OF The Beam "}, out);
}

// The three lines on the difference Ax - Bx that open the last two cases.
void appendDifference(const BeamProblem& p, std::string& out) {
  const double difference = p.Ax - p.Bx;
  reportLine({" Ax - Bx = ", p.Ax, " - ", p.Bx}, out);
  reportLine({" Ax - Bx = ", difference, " ", p.forceUnit}, out);
  reportLine({" Ax  - Bx = ", difference, " ", p.forceUnit, " -->, Acting On The Entire Beam  "},
             out);
}

void appendBothForces(const BeamProblem& p, std::string& out) {
  reportLine({" This Means That An Extra Force Is Produced At Joint(Point) B Of The Beam  "}, out);
  reportLine({" Which Produces The Equation Below For The Entire Beam(Diagram, Figure) Above  "},
             out);
  appendDifference(p, out);
  reportLine({" Next Equation And Topic(s) To Be Resolved Later...............  "}, out);
}

void appendNoForces(const BeamProblem& p, std::string& out) {
  appendDifference(p, out);
  reportLine({" Ax = ", "0.00 ", p.forceUnit, ", And , Bx = ", "0.00 ", p.forceUnit}, out);
}

}  // namespace

void printHorizontalCase(const BeamProblem& problem, std::string& text) {
  switch (classifyHorizontalCase(problem.Ax, problem.Bx)) {
    case HorizontalCase::BxOnly:
      appendBxOnly(problem, text);
      break;
    case HorizontalCase::AxOnly:
      appendAxOnly(problem, text);
      break;
    case HorizontalCase::BothForces:
      appendBothForces(problem, text);
      break;
    case HorizontalCase::NoForces:
      appendNoForces(problem, text);
      break;
  }
  separatorLineTwice(text);
}

std::size_t horizontalCaseLines(HorizontalCase c) {
  switch (c) {
    case HorizontalCase::BxOnly:
    case HorizontalCase::AxOnly:
      return 5;
    case HorizontalCase::BothForces:
      return 8;
    case HorizontalCase::NoForces:
      return 6;
  }
  return 0;
}

}  // namespace beam
