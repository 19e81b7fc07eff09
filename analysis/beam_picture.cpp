#include "analysis/beam_picture.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "analysis/internal_forces.h"
#include "analysis/number_format.h"
#include "analysis/report.h"
#include "analysis/scientific17.h"

namespace beam {
namespace {

void line(std::string& text, std::string_view name,
          std::initializer_list<std::string_view> columns) {
  text.append(name);
  for (std::string_view column : columns) text.append(" ").append(column);
  text.append("\n");
}

// A place or a shape for drawing: 17 significant digits, or 0.
std::string exactly(double value) {
  if (value == 0.0) return "0";
  char digits[kScientific17Size];
  char* end = scientific17(digits, std::fabs(value));
  return (value < 0.0 ? "-" : "") + std::string(digits, static_cast<std::size_t>(end - digits));
}

std::string none(std::string_view why) { return "none " + std::string(why) + "\n"; }

std::string tooLarge(std::string_view what) {
  return none("There is no picture of this run: " + std::string(what) +
              " is too large for a double (above 1.79769e+308).");
}

const char* upOrDown(double force) { return force > 0.0 ? "up" : force < 0.0 ? "down" : "none"; }

// A place on the beam, t of the way from A: T, and its distance from A.
std::string place(double L, double t) { return exactly(t) + " " + formatValue(L * t); }

// The report's lines that speak of parts of the picture (kMarkedLines).
void marks(std::string& text, HorizontalCase horizontal) {
  const double vertical = kVerticalReportLines;
  line(text, "report",
       {formatValue(vertical + static_cast<double>(horizontalCaseLines(horizontal)))});
  for (const MarkedLine& marked : kMarkedLines) {
    if (marked.block == kVerticalBlock) {
      line(text, "mark", {formatValue(marked.line), marked.parts});
    } else if (marked.block == static_cast<int>(horizontal)) {
      line(text, "mark", {formatValue(vertical + marked.line), marked.parts});
    }
  }
}

}  // namespace

std::string describeBeamPicture(const BeamProblem& p, bool complete) {
  if (!complete)
    return none("beam could not read every answer, so there is no picture of this run.");
  if (!(p.L > 0.0)) {
    return none("There is no picture of this run: the length L must be greater than 0, and it is " +
                formatValue(p.L) + (p.lengthUnit.view().empty() ? "" : " ") +
                std::string(p.lengthUnit.view()) + ".");
  }
  const BeamSolution s = solveBeam(p);
  if (!std::isfinite(s.totalLoad)) return tooLarge("the total load (L x 0.5) x W");
  const std::string moment = largestMomentText(s.totalLoad, p.L);
  if (moment.empty()) return tooLarge("the largest bending moment");
  const bool loaded = s.totalLoad != 0.0;
  std::string text = "picture\n";
  line(text, "weightUnit", {p.weightUnit.view()});
  line(text, "forceUnit", {p.forceUnit.view()});
  line(text, "lengthUnit", {p.lengthUnit.view()});
  line(text, "L", {formatValue(p.L)});
  const char* way = loaded       ? (s.totalLoad > 0.0 ? "down" : "up")
                    : p.W == 0.0 ? "none"
                                 : "underflow";
  line(text, "load", {formatValue(p.W), way});
  if (loaded) line(text, "totalLoad", {formatValue(s.totalLoad), formatValue(s.leftDistance)});
  line(text, "Ay", {formatValue(s.Ay), upOrDown(s.Ay)});
  line(text, "By", {formatValue(s.By), upOrDown(s.By)});
  const HorizontalCase horizontal = classifyHorizontalCase(p.Ax, p.Bx);
  if (horizontal == HorizontalCase::AxOnly || horizontal == HorizontalCase::BothForces) {
    line(text, "Ax", {formatValue(p.Ax), p.Ax > 0.0 ? "right" : "left"});
  }
  if (horizontal == HorizontalCase::BxOnly || horizontal == HorizontalCase::BothForces) {
    line(text, "Bx", {formatValue(p.Bx), p.Bx > 0.0 ? "left" : "right"});
  }
  if (!loaded) {
    marks(text, horizontal);
    return text;
  }
  line(text, "shear", {formatValue(s.Ay), formatValue(-s.By)});
  line(text, "zeroShear", {place(p.L, kLargestMomentAt)});
  // The label goes to the side of the axis the curve does not take.
  const bool down = s.totalLoad > 0.0;
  line(text, "largestMoment",
       {exactly(kLargestMomentAt), moment, formatValue(p.L * kLargestMomentAt),
        down ? "below" : "above"});
  line(text, "largestDeflection", {place(p.L, kLargestDeflectionAt), down ? "above" : "below"});
  for (int part = 0; part <= kPictureParts; ++part) {
    const double t = static_cast<double>(part) / kPictureParts;
    const SectionShape shape = sectionShape(s, t);
    line(text, "section",
         {exactly(t), exactly(shape.shear), exactly(shape.moment), exactly(shape.deflection)});
  }
  marks(text, horizontal);
  return text;
}

}  // namespace beam
