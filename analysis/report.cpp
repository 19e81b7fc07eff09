#include "analysis/report.h"

#include <string>

#include "analysis/number_format.h"

namespace beam {

void ReportPiece::appendTo(std::string& text) const {
  if (kind_ == Kind::kNumber) {
    text += formatValue(value_);
  } else {
    text += text_;
  }
}

void reportLine(std::initializer_list<ReportPiece> pieces, std::string& text) {
  for (const ReportPiece& piece : pieces) piece.appendTo(text);
  text += '\n';
}

void separatorLineTwice(std::string& text) {
  reportLine({kSeparatorLine}, text);
  reportLine({kSeparatorLine}, text);
}

void printVerticalReport(const BeamProblem& problem, std::string& text) {
  const BeamSolution s = solveBeam(problem);
  const double L = problem.L;
  reportLine({" "}, text);
  reportLine({" The Ating Weight On The Beam Is  = ", problem.W, " ", problem.weightUnit}, text);
  reportLine({" "}, text);
  reportLine({"Ay + By = ", s.totalLoad, " Eq-1"}, text);
  reportLine({"(+/-)Ax + (+/-)Bx = ", problem.Ax + problem.Bx, " Eq-2"}, text);
  reportLine({" "}, text);
  reportLine({" The Acting Vertial Force On The Beam Is = ", s.totalLoad, " ", problem.forceUnit},
             text);
  reportLine({" "}, text);
  reportLine(
      {" ==> Left Distance From  The Acting Point =>", s.leftDistance, " ", problem.lengthUnit},
      text);
  reportLine(
      {" ==> Right Distance From The Acting Point =>", s.rightDistance, " ", problem.lengthUnit},
      text);
  reportLine({" The Center Of The Force = ", s.leftDistance, " ", problem.lengthUnit,
              " From The Left Support And ", s.rightDistance, " ", problem.lengthUnit,
              " From The Right Support "},
             text);
  reportLine({" "}, text);
  reportLine({" Sum Of The Moment At Point A = 0  "}, text);
  reportLine({" -1", " * ", s.leftDistance, " * ", s.totalLoad, " + ", L, " x By = 0"}, text);
  reportLine({(-1.0 * s.leftDistance) * s.totalLoad, " + ", L, " x By = 0"}, text);
  reportLine({" ", L, " By = ", s.momentAboutA}, text);
  reportLine({" By = ", s.By}, text);
  reportLine({" By = ", s.By, " ", problem.forceUnit}, text);
  reportLine({"From Eq-1 Above Where, Ay + By = ", s.totalLoad, ", Whioh Eq-1"}, text);
  reportLine({" Ay = ", s.totalLoad, " - ", s.By}, text);
  reportLine({" Ay = ", s.totalLoad - s.By}, text);
  reportLine({" Ay = ", s.Ay, " ", problem.forceUnit}, text);
  reportLine({}, text);
  reportLine({kSeparatorLine}, text);
  reportLine({" Ay = ", s.Ay, " ", problem.forceUnit}, text);
  reportLine({" By = ", s.By, " ", problem.forceUnit}, text);
  separatorLineTwice(text);
}

}  // namespace beam
