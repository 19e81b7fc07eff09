#include "analysis/beam_picture.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "analysis/internal_forces.h"
#include "analysis/number_format.h"
#include "analysis/scientific17.h"

namespace beam {
namespace {

void line(std::string& text, std::string_view name, std::string_view value) {
  text.append(name).append(" ").append(value).append("\n");
}

// A section's number for drawing: 17 significant digits, or 0.
std::string exactly(double value) {
  if (value == 0.0) return "0";
  char digits[kScientific17Size];
  char* end = scientific17(digits, std::fabs(value));
  return (value < 0.0 ? "-" : "") + std::string(digits, static_cast<std::size_t>(end - digits));
}

std::string none(std::string_view why) { return "none " + std::string(why) + "\n"; }

}  // namespace

std::string describeBeamPicture(const BeamProblem& p, bool complete) {
  if (!complete)
    return none("beam could not read every answer, so there is no picture of this run.");
  if (!(p.L > 0.0)) {
    return none("There is no picture of this run: the length L must be greater than 0, and it is " +
                formatValue(p.L) + (p.lengthUnit.view().empty() ? "" : " ") +
                std::string(p.lengthUnit.view()) + ".");
  }
  const BeamSolution solution = solveBeam(p);
  const LargestMoment largest = largestMoment(p.L, p.W);
  bool finite = true;
  for (double value : {p.L, p.W, p.Ax, p.Bx, solution.totalLoad, solution.leftDistance, solution.Ay,
                       solution.By, largest.moment}) {
    finite = finite && std::isfinite(value);
  }
  std::string sections;
  for (int part = 0; part <= kPictureParts && finite; ++part) {
    const double x = p.L * part / kPictureParts;
    const SectionForces forces = sectionForces(p.L, p.W, x);
    finite = std::isfinite(forces.shear) && std::isfinite(forces.moment);
    line(sections, "section",
         exactly(x) + " " + exactly(forces.shear) + " " + exactly(forces.moment));
  }
  if (!finite) {
    return none("There is no picture of this run: a value in its working is not a finite number.");
  }
  std::string text = "picture\n";
  line(text, "L", formatValue(p.L));
  line(text, "W", formatValue(p.W));
  line(text, "weightUnit", p.weightUnit.view());
  line(text, "forceUnit", p.forceUnit.view());
  line(text, "lengthUnit", p.lengthUnit.view());
  line(text, "totalLoad", formatValue(solution.totalLoad));
  line(text, "loadAt", formatValue(solution.leftDistance));
  line(text, "Ay", formatValue(solution.Ay));
  line(text, "By", formatValue(solution.By));
  const HorizontalCase horizontal = classifyHorizontalCase(p.Ax, p.Bx);
  if (horizontal == HorizontalCase::AxOnly || horizontal == HorizontalCase::BothForces) {
    line(text, "Ax", formatValue(p.Ax) + " -->");
  }
  if (horizontal == HorizontalCase::BxOnly || horizontal == HorizontalCase::BothForces) {
    line(text, "Bx", formatValue(p.Bx) + " <--");
  }
  line(text, "shearA", formatValue(sectionForces(p.L, p.W, 0.0).shear));
  line(text, "shearB", formatValue(sectionForces(p.L, p.W, p.L).shear));
  line(text, "largestAt", formatValue(largest.x));
  line(text, "largestMoment", formatValue(largest.moment));
  return text + sections;
}

}  // namespace beam
