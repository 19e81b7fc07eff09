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

void printVerticalReport(const BeamProblem& p, std::string& out) {
  const BeamSolution s = solveBeam(p);
  const double L = p.L;
  reportLine({" "}, out);
  reportLine({" The Ating Weight On The Beam Is  = ", p.W, " ", p.weightUnit}, out);
  reportLine({" "}, out);
  reportLine({"Ay + By = ", s.totalLoad, " Eq-1"}, out);
  reportLine({"(+/-)Ax + (+/-)Bx = ", p.Ax + p.Bx, " Eq-2"}, out);
  reportLine({" "}, out);
  reportLine({" The Acting Vertial Force On The Beam Is = ", s.totalLoad, " ", p.forceUnit}, out);
  reportLine({" "}, out);
  reportLine({" ==> Left Distance From  The Acting Point =>", s.leftDistance, " ", p.lengthUnit},
             out);
  reportLine({" ==> Right Distance From The Acting Point =>", s.rightDistance, " ", p.lengthUnit},
             out);
  reportLine({" The Center Of The Force = ", s.leftDistance, " ", p.lengthUnit,
              " From The Left Support And ", s.rightDistance, " ", p.lengthUnit,
              " From The Right Support "},
             out);
  reportLine({" "}, out);
  reportLine({" Sum Of The Moment At Point A = 0  "}, out);
  reportLine({" -1", " * ", s.leftDistance, " * ", s.totalLoad, " + ", L, " x By = 0"}, out);
  reportLine({(-1.0 * s.leftDistance) * s.totalLoad, " + ", L, " x By = 0"}, out);
  reportLine({" ", L, " By = ", s.momentAboutA}, out);
  reportLine({" By = ", s.By}, out);
  reportLine({" By = ", s.By, " ", p.forceUnit}, out);
  reportLine({"From Eq-1 Above Where, Ay + By = ", s.totalLoad, ", Whioh Eq-1"}, out);
  reportLine({" Ay = ", s.totalLoad, " - ", s.By}, out);
  reportLine({" Ay = ", s.totalLoad - s.By}, out);
  reportLine({" Ay = ", s.Ay, " ", p.forceUnit}, out);
  reportLine({}, out);
  reportLine({kSeparatorLine}, out);
  reportLine({" Ay = ", s.Ay, " ", p.forceUnit}, out);
  reportLine({" By = ", s.By, " ", p.forceUnit}, out);
  reportLine({kSeparatorLine}, out);
  reportLine({kSeparatorLine}, out);
}

}  // namespace beam
